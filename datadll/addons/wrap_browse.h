// A long text shown over several list rows, word-wrapped to the width of each row's cell.
//
// Each row registered with ADDROW names a list column and the text variable that row shows;
// WRAP fills them in order with the text's successive lines. A line ends at a line break (CR,
// LF or CR LF, which are not shown) or after the last word that fits the cell's width, measured
// in the list's font through the front end's text metrics (runtime/report/text_measure.h); a
// word wider than the cell is cut where it overflows. Rows left over are blanked; text beyond
// the last row is not shown.
#pragma once

#include <string>
#include <vector>

namespace vx {
class Control;
}  // namespace vx

namespace vx::MH {

class WRAPBROWSE {
 public:
  virtual ~WRAPBROWSE() = default;
  void INIT(Control& list);
  void ADDROW(int column, std::string& field);
  void WRAP(std::string_view text);
  void KILL() { rows_.clear(); }

 private:
  struct Row {
    int column;
    long offset;  // the column's indent, in dialog units
    std::string* field;
  };
  Control* list_ = nullptr;
  std::vector<Row> rows_;
};

}  // namespace vx::MH
