// The list extension's description of a list's columns: what a browse says of each column
// (the packed column descriptor it hands over), and the column records the extension keeps for
// the columns it knows (FQ) and those shown (SQ).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

// One column as a browse describes it. A column not displayed (DISPLAY 0) is a field of the
// browse queue after the shown ones (a task's id, its category) that can be shown later.
struct XploreColumn {
  std::string FIELD;  // field label, as "SCH:Date"
  int WIDTHDLU = 0;
  std::string HEADER;
  std::string PICTURE;  // "@d6b"
  std::string DESCRIPTION;
  char JUST = 'L';  // header and data justification: L, C, R, D
  bool DISPLAY = true;
  bool COLORS = false;  // four colour fields follow the value in the queue
  bool ICONX = false;   // an icon field follows
  bool VIEWFIELD = true;
  long TABCONTROL = 0;
  bool TOTALOK = false;
  bool GRAPHOK = true;
  bool SORTFIELD = true;   // the column can be ordered on
  char LOCATORTYPE = 'S';  // "X": not a queue field at all
};

// A field that makes up a column's order, or one appended to every order.
struct XploreSubOrder {
  int QNOS = 0;  // the column it belongs to (0: appended to all)
  int SEQ = 0;
  std::string FIELDNAME;
  int ASCDESC = 0;  // the field's own direction: 0 ascending, 1 descending
  std::string PICTURE;
};

// A column the extension knows (record of the queues FQ and SQ).
struct XPGQ {
  std::string FIELD;
  std::string DESCRIPTION;
  long ICON = 0;
  std::string HEADER;
  int QNOS = 0;  // field number (from 1) of the column's value in the browse queue
  int SEQ = 0;
  int COL = 0;  // list column (from 1); 0 when not displayed
  long NFG = -1, NBG = -1, SFG = -1, SBG = -1;
  int WIDTHDLU = 0;
  int WIDTHPIX = 0;
  int XPOSPIX = 0;
  char HJUST = 'L';
  char FJUST = 'L';
  int HOFFSET = 0;
  int FOFFSET = 0;
  bool ULINE = false, FIXED = false, BORDER = true, RESIZE = true, DISPLAY = true;
  int ASCDESC = 0;
  bool CONTROLFIELD = true, VIEWFIELD = true;
  long TABCONTROL = 0;
  bool TOTALOK = false, GRAPHOK = true;
  int SORTFIELD = 0;  // 0: the column cannot be ordered on
  char LOCATORTYPE = 'S';
  bool COLORS = false, ICONX = false;
  int MAXWIDTH = 0;
  std::string PICTURE;
};

// The packed descriptors: every text a length byte and that many bytes, numbers little-endian.
// Column: label, width (2 bytes), header, picture, description, justification character,
// DISPLAY, COLORS, ICONX, VIEWFIELD bytes, TABCONTROL (4 bytes), TOTALOK, GRAPHOK, SORTFIELD
// bytes, LOCATORTYPE character. Texts longer than 255 bytes are cut.
std::string PackColumnDescriptor(const std::vector<XploreColumn>& columns);
// Reads at most `count` columns; a descriptor that ends inside a column stops there (the
// columns read before it are kept), so a short or damaged descriptor is never read past.
std::vector<XploreColumn> ParseColumnDescriptor(std::string_view packed, int count);

// Sub-orders: per entry the column's label, a 2-byte count, then count times (label,
// direction byte, picture). The always-append descriptor: APPLYALL byte, a 2-byte count, then
// count times (label, direction byte, picture).
struct XploreColumnOrder {
  std::string column;
  std::vector<XploreSubOrder> fields;  // FIELDNAME, ASCDESC, PICTURE
};
std::string PackSubOrderDescriptor(const std::vector<XploreColumnOrder>& orders);
std::vector<XploreColumnOrder> ParseSubOrderDescriptor(std::string_view packed, int count);
std::string PackAppendDescriptor(bool apply_all, const std::vector<XploreSubOrder>& fields);
bool ParseAppendDescriptor(std::string_view packed, bool& apply_all,
                           std::vector<XploreSubOrder>& fields);

}  // namespace vx
