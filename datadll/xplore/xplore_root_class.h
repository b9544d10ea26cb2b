// The list extension every browse window carries: sorting by a click on a column header (a
// second click reverses it, the sorted column is marked), the list's layout kept in an INI file
// under the procedure's name, and the columns known to it. XPLORECLASS (xplore_class.h) adds
// the list popup, export, graph and the attribute windows.
//
// A browse attaches it in its Init, after its browse object is set up:
//
//   xplore_.INIT(*this, browse_, window()[list_], "BrowseHolidays", "?Browse:1",
//                {"HOL:HolidayDate", "HOL:Holiday"}, "Underline");
//
// The labels name the browse queue's fields in order (the row fields SetQueueRecord gives);
// a label past the list format's columns is a column not shown. The object then takes the
// list's mouse events, restores the layout when the window opens and keeps it when it closes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datadll/xplore/xplore_columns.h"
#include "framework/browse_class.h"
#include "framework/window_component.h"

namespace vx {

class Control;
struct ListColumn;
class WindowManager;
class Window;

class XPLOREROOTCLASS : public WindowComponent {
 public:
  XPLOREROOTCLASS() = default;
  XPLOREROOTCLASS(const XPLOREROOTCLASS&) = delete;
  XPLOREROOTCLASS& operator=(const XPLOREROOTCLASS&) = delete;
  ~XPLOREROOTCLASS() override = default;

  // Settings, as the program's browses set them.
  bool UPPER = true;  // text columns order without regard to case
  bool GRAPH = true;  // "Graph on" may be offered
  bool PRINTVIEW = true;
  bool PRINTPAGE = true;
  std::string ASCIIFILENAME = "XPort.CSV";
  std::string HTMLFILENAME = "XPort.HTM";
  std::string SEPARATOR = ",";
  bool BROWSEHEADER = true;  // exports carry a header row
  bool SHELLEXECUTE = true;  // an export is opened afterwards
  int ASCDESC = 0;           // direction the next newly sorted column starts with
  int MAXFONTSIZE = 14, MINFONTSIZE = 6, PAPERTYPE = 1, ALLPREVIEW = 1, PAGEPREVIEW = 0;
  long HEADERSTYLE = 400;
  bool IGNOREEVENT = false;  // set when the header's right-click choice was shown
  int LISTTYPE = 1;          // 1: a list driven by a browse object
  int CURRENTCOL = 0;        // list column under the last press
  int QNOS = 0;              // browse-queue field of the sorted column
  std::string HDRTOKEN = ">";
  std::string ASCTOKEN = ">";
  std::string DESCTOKEN = "<";
  std::string VISUAL;  // "Underline", ">Header" or "Text Bar"
  std::string COLDESC;
  std::string INIFILENAME;
  bool APPLYALL = false;     // the AOQ fields follow every column's order
  bool FILTERSHARED = true;  // a popup filter holds for every sort order of the browse
  bool FILTEREQUAL = false;  // the "<" and ">" filters include equality

  // What the procedure keeps about the sort (the header visual must be redrawn, the order comes
  // from a header click, the sorted list column (0: the browse's own key order), the popup's
  // mask, file sequence, the title the "Text Bar" visual writes).
  bool RESTOREHEADER = false;
  bool VIEWORDER = false;
  int SEQUENCENBR = 0;
  long MASK = 1048576;
  bool FILESEQON = false;
  std::string TITLETEXT;

  // The packed descriptors LISTBOXDATA fills (see xplore_columns.h) and their entry counts.
  std::string GR_LBF;
  std::string GRS_SF;
  std::string GRA_SF;
  int QDIM = 0;
  int QDIMS = 0;

  // The columns: all of them (FQ), those shown in list order (SQ), the fields of each
  // column's order (SOQ) and those appended to every order (AOQ); list formats by number.
  std::vector<XPGQ> FQ;
  std::vector<XPGQ> SQ;
  std::vector<XploreSubOrder> SOQ;
  std::vector<XploreSubOrder> AOQ;
  std::vector<std::pair<long, std::string>> FORQ;

  struct LayoutValues {
    std::string ORIGFORMATSTRING;
    std::string FONT;
    int POINT = 0;
    long COLOR = -1;
    long STYLE = 0;
    long LINEHEIGHT = 0;           // 0: fitted to the font
    std::string HSCROLL, VSCROLL;  // "0" none, "1" or empty: when the rows need one
    bool ALLOWBBRESIZE = true;
  };
  LayoutValues DEF;   // the window's own layout
  LayoutValues PARS;  // the layout shown now

  // Attaches to a browse: `fields` labels the browse queue's fields in order. Registers with
  // the window manager, so the list's events, the window's opening (layout restored, popup
  // items) and closing (layout kept) reach the object without further calls.
  void INIT(WindowManager& manager, BrowseClass& browse, Control& list, std::string_view procedure,
            std::string_view list_name, std::vector<std::string> fields,
            std::string_view visual = "Underline", std::string_view ini_file = ".\\POSITION.INI");

  // Hooks a browse may override.
  // Describes the columns: fills GR_LBF, GRS_SF, GRA_SF, QDIM, QDIMS, then GETQFIELDS and
  // CREATEFORMATQ(1). The base takes the list's format and the field labels given to INIT.
  virtual void LISTBOXDATA();
  // After a header sort set its order (SortedField() names the column).
  virtual void SETNEWORDERFIELDS() {}
  // After the popup's filter changed (the browse re-applies its own filters here).
  virtual void SETFILTERS() {}

  // The extension's popup items, added to the browse's popup when the window opens.
  virtual void ADDITEMSTOPOPUP() {}
  // The list's events the root does not take itself (the popup's items, the alerted keys).
  virtual Level HANDLEMYEVENTS() { return Level_Benign; }

  void GETQFIELDS();
  void CREATEFORMATQ(long number) { FORQ.emplace_back(number, "0"); }
  // Adds the popup items (XPLORECLASS) and makes every column with a field sortable.
  virtual void ADDALLCOLUMNSORTORDERS();
  // The order elements of the current column (CURRENTCOL), for a direction ("0" or "1"):
  // "-" where the direction differs from the field's own, "UPPER(...)" around text fields.
  std::vector<std::string> FINDANYSUBFIELDS(std::string_view direction) const;

  // Layout in the INI file (section: the procedure; keys end in the list's name).
  void GETBBSIZE(std::string_view procedure, std::string_view list_name);
  void PUTINIX(std::string_view procedure, std::string_view list_name, int sequence, int direction);
  void KILL();

  // The list's mouse.
  void LEFTBUTTONDOWN();
  void LEFTBUTTONUP(bool show_message);
  void RIGHTBUTTONDOWN();
  virtual void RIGHTBUTTONUP();
  bool LEFTBUTTON2();  // true: the double click was on the header (the browse leaves it)

  // Sorts on CURRENTCOL (a second time: the other way).
  void SHOWNEWSORT();
  void SETVISUAL();
  void ERASEVISUAL();
  // Back to the browse's own order ("Key Sequence").
  void KeySequence();
  // SQ from the list as shown now; REFORMATLISTBOX the list from SQ (false, with a message,
  // when the format would pass its limit); EQUATECOLTOQFIELD SQ from a format set from
  // outside (false when it names a field the list does not have or holds a number too large).
  void GETCOLUMNINFO();
  bool REFORMATLISTBOX();
  bool EQUATECOLTOQFIELD(std::string_view format);
  void RESETTODEFAULT();
  int XLATECOL2Q(int column) const;

  // The sorted column's label ("" while the browse's own order holds) and direction.
  std::string SortedField() const;
  bool SortedDescending() const;
  // The number of fields of the browse queue (values, colours and icons).
  int QueueFields() const { return queue_fields_; }
  Control* ListBox() const { return list_; }
  BrowseClass* Browse() const { return browse_; }
  WindowManager* Manager() const { return manager_; }

  // WindowComponent
  Level TakeEvent() override;
  void SetAlerts() override;
  void Kill() override;

  static constexpr std::size_t kMaxFormat = 1024;

 protected:
  XPGQ* SQEntry(int column);
  XPGQ* FQByQnos(int qnos);
  const XPGQ* FQByLabel(std::string_view label) const;
  // Applies the sorted column's order to the browse (or none when no column is sorted).
  void ApplySort();
  Window& OwnerWindow() const;
  // A column moved one place left (-1) or right (+1) in SQ and on the list.
  bool MoveColumn(int column, int step);

  std::vector<std::string> fields_;
  std::string procedure_;
  std::string list_name_;
  int queue_fields_ = 0;
  bool opened_ = false;
  bool claimed_by_browse_ = false;

 private:
  BrowseClass::SortElement ElementFor(const std::string& text) const;
  // SQ from the columns of a format that passed EQUATECOLTOQFIELD's checks of its text.
  bool EquateColumns(const std::vector<ListColumn>& columns);

  std::vector<XPGQ> spare_sq_;  // EquateColumns' room for the next SQ
  WindowManager* manager_ = nullptr;
  BrowseClass* browse_ = nullptr;
  Control* list_ = nullptr;
  // The press on a header, kept per list: two lists never see each other's presses.
  bool pressed_ = false;
  bool dragging_ = false;
  int press_col_ = 0;
  int drop_col_ = 0;
};

}  // namespace vx
