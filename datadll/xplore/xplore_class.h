// The list extension as a browse window declares it: the root class (sorting by header, the
// saved layout) with the list popup and its column operations, the filters by cell value,
// export to CSV and HTML, the bar graph of a column and the attribute windows.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datadll/xplore/xplore_root_class.h"
#include "runtime/expression/bindings.h"
#include "runtime/expression/evaluate.h"
#include "runtime/report/page_image.h"

namespace vx {

namespace platform {
class ShellOpener;
}

// The events the popup's items post to the list's window.
inline constexpr int EVENT_XploreResetToDefault = 1036;
inline constexpr int EVENT_XploreHdrJustLeft = 1037;   // 1037-1040: left, right, centre, decimal
inline constexpr int EVENT_XploreDataJustLeft = 1041;  // 1041-1044: left, right, centre, decimal
inline constexpr int EVENT_XploreListProperties = 1045;
inline constexpr int EVENT_XploreWidth = 1046;
inline constexpr int EVENT_XploreHeaderOffset = 1047;
inline constexpr int EVENT_XploreDataOffset = 1048;
inline constexpr int EVENT_XploreHeaderText = 1050;
inline constexpr int EVENT_XploreFixed = 1051;  // 1051-1054: fixed, underline, border, resize
inline constexpr int EVENT_XploreColors = 1063;
inline constexpr int EVENT_XploreHideColumn = 1065;
inline constexpr int EVENT_XploreBestFit = 1067;
inline constexpr int EVENT_XploreSortOn = 1068;
inline constexpr int EVENT_XplorePrintPage = 1069;
inline constexpr int EVENT_XplorePrintAll = 1070;
inline constexpr int EVENT_XploreGraph = 1071;
inline constexpr int EVENT_XploreExportAscii = 1072;
inline constexpr int EVENT_XploreExportHtml = 1073;
inline constexpr int EVENT_XploreFilterEqual = 1074;
inline constexpr int EVENT_XploreFilterLess = 1075;
inline constexpr int EVENT_XploreFilterGreater = 1076;
inline constexpr int EVENT_XploreFilterNotEqual = 1077;
inline constexpr int EVENT_XploreFilterCancel = 1078;
inline constexpr int EVENT_XploreFilterEquality = 1079;

// Keys the browse alerts on its list for the extension.
inline constexpr int AltF11 = 0x47A;    // best-fit column widths
inline constexpr int AltF12 = 0x47B;    // the window's own layout
inline constexpr int CtrlAltR = 0x652;  // row or column selection
inline constexpr int AltM = 0x44D;      // the popup from the keyboard

class XPLORECLASS : public XPLOREROOTCLASS {
 public:
  // Opens the export files; the desktop's opener when not set.
  platform::ShellOpener* Opener = nullptr;

  void ADDITEMSTOPOPUP() override;
  // Before each showing of the popup: the column under the mouse, its texts, checks, greying.
  void PREPAREPOPUP();
  Level HANDLEMYEVENTS() override;
  void SetAlerts() override;

  // Filters by the highlighted row's cell of the current column (events 1074 to 1078).
  void ADDFILTER(int event);
  void CANCELFILTER();
  // The filter as the expression evaluator reads it ("" when none).
  std::string FilterExpression() const;
  // Re-applies the filter to the browse under the name "Xplore" (every order when FILTERSHARED).
  void APPLYFILTER();

  // Column operations on CURRENTCOL.
  void MODCOLATTRIBUTE(std::string_view code);
  bool MOVECOLLEFT();
  bool MOVECOLRIGHT();
  bool HIDECOLUMN();
  // Shows again a column that is not displayed (its queue field), at the end.
  bool SHOWCOLUMN(int qnos);
  void ADJUSTALLCOLUMNS();
  void TOGGLEBAR();
  void INVOKEPOPUP();

  // Exports every row of the browse, as shown, to ASCIIFILENAME or HTMLFILENAME in the current
  // folder, then opens it (SHELLEXECUTE) and says in an "Export" box where the file lies, and
  // why no program opened it if none did. A file that cannot be written is reported and never
  // opened; answers whether the file was written.
  virtual bool EXPORTASCII();
  virtual bool EXPORTHTML();

  // Prints the list as a report of the columns shown, in their order, with their headers,
  // pictures and justification, fitted to the page's width (the rightmost columns that do not
  // fit are left out): mode "View" every row of the browse, "Page" the rows the list shows now;
  // another mode does nothing. Under the last row of a "View" print each column marked TOTALOK
  // gets its total, the sum of the values as stored (never of the text a picture made of
  // them). With the mode's preview flag (ALLPREVIEW, PAGEPREVIEW) the pages go to MYPREVIEWER
  // and print only when it answers true; without, they print at once.
  virtual void PRINTBROWSE(std::string_view mode);
  // Shows the printout's pages and answers whether to print them. A browse procedure puts its
  // previewer here; the base says that none was put and answers false.
  virtual bool MYPREVIEWER(report::PageImageQueue& pages);

  // The bar graph of the current column: its rows counted by category (at most 150), drawn in
  // a window of its own with "Pre&ferences", "&To Clipboard" and OK.
  virtual void SHOWBARGRAPH();
  // The category of a row (from 0) for the graph; the base gives the cell as the list shows it.
  // A browse groups dates or times here with the helpers below.
  virtual std::string GETSTRINGFORGRAPH(std::size_t row, const XPGQ& column);
  // The number of rows the graph counts against (the base: the rows of the browse).
  virtual long GETRECORDSINKEY();
  static std::string GETMONTHNAME(int month);              // " 1 =January" .. "12 =December"
  static std::string GETDAYNAME(int day);                  // " 1 =Sunday" .. " 7 =Saturday"
  static std::string GET4HRSTRING(std::string_view text);  // "08:00-11:59" for an hour "08".."11"
  static std::string GET6HRSTRING(std::string_view text);  // "06:00-11:59" for an hour "06".."11"
  // A colour value (0xBBGGRR) by its name; "None" is -1; an unknown name leaves `value`.
  static long COLORSTRINGTOLONG(std::string_view name, long value);
  static constexpr std::size_t kMaxCategories = 150;
  struct GraphCategory {
    std::string PNAME;
    long COUNT = 0;
    std::string PERCENT;  // with two decimals
  };
  // Counts the current column's rows by category, in order of their names. False, after its
  // message, when there is nothing to draw (no category, only one, or more than 150).
  bool COUNTCATEGORIES(std::vector<GraphCategory>& categories, long& counted);

  // The attribute windows. PREFERENCES: the graph's colours and font, kept in the INI file's
  // "XplorePreferences". PROCREFORMAT ("List Properties"): columns shown, hidden and reordered,
  // their colours, the window's own layout again. COLORCOLATTRIBUTE: the current column's four
  // colours. SPINCOLATTRIBUTE ("WID", "HOS", "DOS") and ENTRYCOLATTRIBUTE ("HDR"): one value of
  // the current column. FONTCHOOSER: typeface, size, colour and style; false when cancelled.
  virtual void PREFERENCES();
  virtual void PROCREFORMAT();
  virtual void COLORCOLATTRIBUTE();
  virtual void SPINCOLATTRIBUTE(std::string_view code);
  virtual void ENTRYCOLATTRIBUTE(std::string_view code);
  // The list's font (event 1059, "F&ont" of the list properties).
  void LISTFONT();
  bool FONTCHOOSER(std::string_view title, std::string& name, long& size, long& colour,
                   long& style);

  // The cell text of a row (from 0) and a displayed column, as exports and the popup show it.
  std::string CellText(std::size_t row, const XPGQ& column) const;

 protected:
  // The current column's header without the sort's mark.
  std::string PlainHeader(const XPGQ& column) const;

 private:
  // The "List Properties" window's steps (PROCREFORMAT).
  class ListProperties;

  bool WriteExport(const std::string& file, const std::string& contents);
  void OpenExport(const std::string& file);
  std::string SelectedCell() const;

  struct Condition {
    std::string field;  // the column's label
    std::string op;     // "=", "<>", "<", "<=", ">", ">="
    std::string expression;
  };
  std::vector<Condition> conditions_;
  ExpressionBindings filter_bindings_;
  std::shared_ptr<Expression> filter_;
  bool bindings_ready_ = false;
  bool keyboard_popup_ = false;  // the popup was opened from the keys: keep CURRENTCOL
};

}  // namespace vx
