// An entry that finds a list's row: Enter in the entry locates at once (it counts as the entry
// accepted), and the list goes to the first row whose text in the locator's column begins with
// what was typed (letter case aside with NOCASE), as if the user had chosen it.
#pragma once

#include <string>

namespace vx {
class Control;
}  // namespace vx

namespace vx::MH {

class ENTRYLOCATORCLASS {
 public:
  virtual ~ENTRYLOCATORCLASS() = default;
  // The entry, the list and the list's column (from 1) it locates on.
  void INIT(Control& entry, Control& list, int column, bool no_case = true);
  // For the event the window took last; answers 0 (the window goes on with the event).
  int TAKEEVENT();
  // The row the text locates (from 1); 0 when none begins with it.
  long ROWFOR(const std::string& text) const;

  bool NOCASE = true;

 private:
  Control* entry_ = nullptr;
  Control* list_ = nullptr;
  int column_ = 1;
};

}  // namespace vx::MH
