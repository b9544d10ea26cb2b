#include "datadll/xplore/xplore_class.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>

#include "datadll/xplore/xplore_progress.h"
#include "framework/window_manager.h"
#include "platform/shell_open.h"
#include "runtime/csv.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

char PictureType(std::string_view picture) {
  if (!picture.empty() && picture.front() == '@') picture.remove_prefix(1);
  return picture.empty()
             ? 'S'
             : static_cast<char>(std::toupper(static_cast<unsigned char>(picture.front())));
}

bool IsTextPicture(std::string_view picture) {
  const char type = PictureType(picture);
  return type == 'S' || type == 'P' || type == 'K';
}

// A text as the expression evaluator reads a text constant: in single quotes, each quote
// doubled, so a cell's apostrophe can neither end the text nor add to the expression.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// At most `bytes` bytes of a text, never cutting a character in two.
std::string CutAt(std::string text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

// One line of "XPort.CSV": a cell is quoted when it holds a comma, a quote or a line break.
std::string CsvLine(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i)
    CsvAppendField(line, cells[i], CsvNeedsQuotes(cells[i]), i == 0);
  return line + std::string(kCsvLineEnd);
}

// Alerts a control on several keys as one Alert call per key would (each key once, after those
// it had), with one change of its alert list.
void AlertKeys(Control& control, std::initializer_list<int> keycodes) {
  const std::string before = control.Get(Prop::Alert);
  std::string keys = before;
  for (int keycode : keycodes) {
    const std::string key = std::to_string(keycode);
    bool known = false;
    for (std::size_t start = 0; start <= keys.size() && !known;) {
      const std::size_t end = std::min(keys.find('|', start), keys.size());
      known = std::string_view(keys).substr(start, end - start) == key;
      start = end + 1;
    }
    if (known) continue;
    if (!keys.empty()) keys += '|';
    keys += key;
  }
  if (keys != before) control.Set(Prop::Alert, keys);
}

struct PopupEntry {
  const char* code;
  int event;
};

}  // namespace

// ---- the popup ----

void XPLORECLASS::ADDITEMSTOPOPUP() {
  BrowseClass* browse = Browse();
  if (!browse || !ListBox()) return;
  PopupClass& popup = browse->Popup;
  const int list = ListBox()->Number();
  auto item = [&](std::string_view text, std::string_view name, int event, int level) {
    popup.AddItemEvent(text, name, event, list, level);
  };
  auto masked = [&](long bits) { return (MASK & bits) != 0; };
  if (LISTTYPE == 1 && !popup.MenuTextEmpty()) popup.AddItemAt("-", "S11", 1);
  popup.AddSubMenu("&Output", "Output", 1);
  item("Print All", "PVW", EVENT_XplorePrintAll, 2);
  item("Print Page", "PPG", EVENT_XplorePrintPage, 2);
  item("Export to ASCII (" + ASCIIFILENAME + ")", "ASC", EVENT_XploreExportAscii, 2);
  item("Export to HTML (" + HTMLFILENAME + ")", "HTM", EVENT_XploreExportHtml, 2);
  item("Graph on", "GBR", EVENT_XploreGraph, 2);
  popup.AddSubMenu("&List", "List", 1);
  item("Reset to Default", "DEF", EVENT_XploreResetToDefault, 2);
  item("Best-fit Column Widths", "ADJ", EVENT_XploreBestFit, 2);
  if (masked(0x100000)) item("List Properties", "PRP", EVENT_XploreListProperties, 2);
  item("Sort on", "SRT", EVENT_XploreSortOn, 2);
  if (LISTTYPE == 1) {
    popup.AddSubMenu("&Filter", "Filter", 2);
    item("Add Filter of", "ADDF1", EVENT_XploreFilterEqual, 3);
    item("Add Filter of", "ADDF4", EVENT_XploreFilterNotEqual, 3);
    popup.AddItemAt("-", "S31", 3);
    item("Add Filter of", "ADDF2", EVENT_XploreFilterLess, 3);
    item("Add Filter of", "ADDF3", EVENT_XploreFilterGreater, 3);
    item("Add = to Filter", "EQL", EVENT_XploreFilterEquality, 3);
    popup.AddItemAt("-", "S32", 3);
    item("Cancel Filter", "VOID", EVENT_XploreFilterCancel, 3);
  }
  if (masked(0xEDEFEFFF)) {
    popup.AddSubMenu("&Xplore", "Xplore", 2);
    if (masked(0x2000)) {
      item("Move Left", "MCL", EVENT_ListMoveLeft, 3);
      item("Move Right", "MCR", EVENT_ListMoveRight, 3);
      popup.AddItemAt("-", "S21", 3);
    }
    if (masked(0x200)) item("Header offset", "HOS", EVENT_XploreHeaderOffset, 3);
    if (masked(0x10)) item("Data offset", "DOS", EVENT_XploreDataOffset, 3);
    if (masked(0x800)) item("Width", "WID", EVENT_XploreWidth, 3);
    if (masked(0x400)) item("Header Text", "HDR", EVENT_XploreHeaderText, 3);
    if (masked(0xE10)) popup.AddItemAt("-", "S22", 3);
    const PopupEntry data[] = {{"FJL", 1041}, {"FJC", 1043}, {"FJR", 1042}, {"FJD", 1044}};
    const char* data_text[] = {"Data Just left", "Data Just Center", "Data Just Right",
                               "Data Just Decimal"};
    for (int i = 0; i < 4; ++i) {
      if (masked(1L << i)) item(data_text[i], data[i].code, data[i].event, 3);
    }
    if (masked(0xF)) popup.AddItemAt("-", "S23", 3);
    const PopupEntry header[] = {{"HJL", 1037}, {"HJC", 1039}, {"HJR", 1038}, {"HJD", 1040}};
    const char* header_text[] = {"Hdr Just left", "Hdr Just Center", "Hdr Just Right",
                                 "Hdr Just Decimal"};
    for (int i = 0; i < 4; ++i) {
      if (masked(0x20L << i)) item(header_text[i], header[i].code, header[i].event, 3);
    }
    if (masked(0x1E0)) popup.AddItemAt("-", "S24", 3);
    const PopupEntry flags[] = {{"RSZ", 1054}, {"BDR", 1053}, {"ULI", 1052}, {"FXD", 1051}};
    const char* flag_text[] = {"Resize", "Border", "Underline", "Fixed"};
    for (int i = 0; i < 4; ++i) {
      if (masked(0x80000L >> i)) item(flag_text[i], flags[i].code, flags[i].event, 3);
    }
    if (masked(0xF0000)) popup.AddItemAt("-", "S25", 3);
    popup.AddItemAt("-", "S29", 3);
    if (masked(0x8000)) item("Colors", "CLR", EVENT_XploreColors, 3);
  }
  popup.BeforeAsk = [this] { PREPAREPOPUP(); };
}

std::string XPLORECLASS::PlainHeader(const XPGQ& column) const {
  std::string header = CLIP(column.HEADER);
  if (VISUAL == ">Header" && column.QNOS == QNOS && QNOS) {
    for (const std::string& token : {ASCTOKEN, DESCTOKEN}) {
      if (!token.empty() && header.rfind(token, 0) == 0) {
        header.erase(0, token.size());
        break;
      }
    }
  }
  return header;
}

std::string XPLORECLASS::CellText(std::size_t row, const XPGQ& column) const {
  const BrowseClass* browse = Browse();
  if (!browse || row >= browse->Records()) return {};
  const std::vector<std::string> fields = browse->Fields(row);
  const std::size_t field = static_cast<std::size_t>(column.QNOS);
  if (field == 0 || field > fields.size()) return {};
  const std::string shown =
      column.PICTURE.empty() ? fields[field - 1] : FORMAT(fields[field - 1], column.PICTURE);
  return CLIP(LEFT(shown));
}

std::string XPLORECLASS::SelectedCell() const {
  const BrowseClass* browse = Browse();
  const XPGQ* column = const_cast<XPLORECLASS*>(this)->SQEntry(CURRENTCOL);
  if (!browse || !column || browse->Selected() < 1) return {};
  return CutAt(CellText(static_cast<std::size_t>(browse->Selected() - 1), *column), 80);
}

void XPLORECLASS::PREPAREPOPUP() {
  Control* list = ListBox();
  BrowseClass* browse = Browse();
  if (!list || !browse) return;
  GETCOLUMNINFO();
  // A right click on a row names the column under the mouse; the popup opened from the keys
  // works on the column the user selected (INVOKEPOPUP).
  if (!keyboard_popup_ && list->GetNumber(Prop::MouseDownRow) > 0 &&
      list->GetNumber(Prop::MouseDownField) > 0) {
    CURRENTCOL = static_cast<int>(list->GetNumber(Prop::MouseDownField));
  }
  if (!SQEntry(CURRENTCOL)) CURRENTCOL = SQ.empty() ? 0 : 1;
  const XPGQ* column = SQEntry(CURRENTCOL);
  PopupClass& popup = browse->Popup;
  const std::string header = column ? PlainHeader(*column) : std::string();
  popup.SetItemCheck("FXD", column && column->FIXED);
  popup.SetItemCheck("ULI", column && column->ULINE);
  popup.SetItemCheck("BDR", column && column->BORDER);
  popup.SetItemCheck("RSZ", column && column->RESIZE);
  const char hj = column ? column->HJUST : 'L';
  const char fj = column ? column->FJUST : 'L';
  popup.SetItemCheck("HJL", hj == 'L');
  popup.SetItemCheck("HJC", hj == 'C');
  popup.SetItemCheck("HJR", hj == 'R');
  popup.SetItemCheck("HJD", hj == 'D');
  popup.SetItemCheck("FJL", fj == 'L');
  popup.SetItemCheck("FJC", fj == 'C');
  popup.SetItemCheck("FJR", fj == 'R');
  popup.SetItemCheck("FJD", fj == 'D');
  popup.SetItemCheck("EQL", FILTEREQUAL);
  const std::string cell = SelectedCell();
  const std::string eq = FILTEREQUAL ? "=" : "";
  popup.SetText("ADDF1", "Add Filter of (" + header + " = " + cell + ")");
  popup.SetText("ADDF4", "Add Filter of (" + header + " <> " + cell + ")");
  popup.SetText("ADDF2", "Add Filter of (" + header + " <" + eq + " " + cell + ")");
  popup.SetText("ADDF3", "Add Filter of (" + header + " >" + eq + " " + cell + ")");
  const bool filterable =
      column && column->VIEWFIELD && !column->FIELD.empty() && browse->Records() > 0;
  for (const char* name : {"ADDF1", "ADDF2", "ADDF3", "ADDF4"})
    popup.SetItemEnable(name, filterable);
  popup.SetItemEnable("VOID", !conditions_.empty());
  popup.SetText("SRT", "Sort on " + header);
  popup.SetItemEnable("SRT", column && column->SORTFIELD);
  popup.SetText("GBR", "Graph on " + header);
  popup.SetItemEnable("GBR", GRAPH && column && column->GRAPHOK);
  popup.SetItemEnable("PVW", PRINTVIEW && browse->Records() > 0);
  popup.SetItemEnable("PPG", PRINTPAGE && browse->Records() > 0);
}

void XPLORECLASS::SetAlerts() {
  XPLOREROOTCLASS::SetAlerts();
  if (Control* list = ListBox()) AlertKeys(*list, {AltF11, AltF12, CtrlAltR, AltM});
}

Level XPLORECLASS::HANDLEMYEVENTS() {
  const int event = EVENT();
  if (event == EVENT_AlertKey) {
    switch (KEYCODE()) {
      case AltF11:
        ADJUSTALLCOLUMNS();
        break;
      case AltF12:
        RESETTODEFAULT();
        break;
      case CtrlAltR:
        TOGGLEBAR();
        break;
      case AltM:
        INVOKEPOPUP();
        break;
      default:
        return Level_Benign;
    }
    return Level_Benign;
  }
  switch (event) {
    case EVENT_XploreResetToDefault:
      RESETTODEFAULT();
      break;
    case 1037:
      MODCOLATTRIBUTE("HJL");
      break;
    case 1038:
      MODCOLATTRIBUTE("HJR");
      break;
    case 1039:
      MODCOLATTRIBUTE("HJC");
      break;
    case 1040:
      MODCOLATTRIBUTE("HJD");
      break;
    case 1041:
      MODCOLATTRIBUTE("FJL");
      break;
    case 1042:
      MODCOLATTRIBUTE("FJR");
      break;
    case 1043:
      MODCOLATTRIBUTE("FJC");
      break;
    case 1044:
      MODCOLATTRIBUTE("FJD");
      break;
    case 1051:
      MODCOLATTRIBUTE("FXD");
      break;
    case 1052:
      MODCOLATTRIBUTE("ULI");
      break;
    case 1053:
      MODCOLATTRIBUTE("BDR");
      break;
    case 1054:
      MODCOLATTRIBUTE("RSZ");
      break;
    case EVENT_XploreFilterEquality:
      MODCOLATTRIBUTE("EQL");
      break;
    case EVENT_XploreHideColumn:
      HIDECOLUMN();
      break;
    case EVENT_XploreListProperties:
      PROCREFORMAT();
      break;
    case EVENT_XploreWidth:
      SPINCOLATTRIBUTE("WID");
      break;
    case EVENT_XploreHeaderOffset:
      SPINCOLATTRIBUTE("HOS");
      break;
    case EVENT_XploreDataOffset:
      SPINCOLATTRIBUTE("DOS");
      break;
    case EVENT_XploreHeaderText:
      ENTRYCOLATTRIBUTE("HDR");
      break;
    case EVENT_XploreColors:
      COLORCOLATTRIBUTE();
      break;
    case 1059:
      LISTFONT();
      break;
    case EVENT_XploreBestFit:
      ADJUSTALLCOLUMNS();
      break;
    case EVENT_XploreSortOn:
      if (const XPGQ* column = SQEntry(CURRENTCOL); column && column->SORTFIELD) {
        SHOWNEWSORT();
        if (ListBox()) ListBox()->OwnerWindow().Post(EVENT_ListSorted, ListBox()->Number());
      }
      break;
    case EVENT_XploreGraph:
      if (const XPGQ* column = SQEntry(CURRENTCOL); column && GRAPH && column->GRAPHOK)
        SHOWBARGRAPH();
      break;
    case EVENT_XplorePrintAll:
      if (PRINTVIEW) PRINTBROWSE("View");
      break;
    case EVENT_XplorePrintPage:
      if (PRINTPAGE) PRINTBROWSE("Page");
      break;
    case EVENT_XploreExportAscii:
      EXPORTASCII();
      break;
    case EVENT_XploreExportHtml:
      EXPORTHTML();
      break;
    case EVENT_XploreFilterEqual:
    case EVENT_XploreFilterLess:
    case EVENT_XploreFilterGreater:
    case EVENT_XploreFilterNotEqual:
      ADDFILTER(event);
      break;
    case EVENT_XploreFilterCancel:
      CANCELFILTER();
      break;
    case EVENT_ListSorted:
      APPLYFILTER();
      break;
    default:
      return Level_Benign;
  }
  return Level_Benign;
}

// ---- filters ----

void XPLORECLASS::ADDFILTER(int event) {
  BrowseClass* browse = Browse();
  GETCOLUMNINFO();
  const XPGQ* column = SQEntry(CURRENTCOL);
  if (!browse || !column || column->FIELD.empty() || !column->VIEWFIELD || browse->Selected() < 1)
    return;
  const std::string cell = SelectedCell();
  std::string op = "=";
  if (event == EVENT_XploreFilterNotEqual) op = "<>";
  if (event == EVENT_XploreFilterLess) op = FILTEREQUAL ? "<=" : "<";
  if (event == EVENT_XploreFilterGreater) op = FILTEREQUAL ? ">=" : ">";
  // The record's value against the cell's: texts by their shown text (letter case aside when
  // UPPER), dates, times and numbers by value.
  std::string left = column->FIELD;
  std::string right;
  if (IsTextPicture(column->PICTURE)) {
    if (UPPER) {
      left = "UPPER(" + left + ")";
      right = "UPPER(" + Quoted(cell) + ")";
    } else {
      right = Quoted(cell);
    }
  } else {
    right = Quoted(column->PICTURE.empty() ? cell : DEFORMAT(cell, column->PICTURE));
  }
  // A new limit of the same kind on the same field takes the old one's place.
  auto kind = [](const std::string& o) { return o == "=" || o == "<>" ? 0 : o[0] == '<' ? 1 : 2; };
  std::erase_if(conditions_, [&](const Condition& c) {
    return c.field == column->FIELD && kind(c.op) == kind(op);
  });
  conditions_.push_back({column->FIELD, op, left + " " + op + " " + right});
  APPLYFILTER();
  if (Manager()) Manager()->Reset(false);
}

void XPLORECLASS::CANCELFILTER() {
  conditions_.clear();
  APPLYFILTER();
  if (Manager()) Manager()->Reset(false);
}

std::string XPLORECLASS::FilterExpression() const {
  std::string text;
  for (const Condition& c : conditions_) {
    if (!text.empty()) text += " AND ";
    text += "(" + c.expression + ")";
  }
  return text;
}

void XPLORECLASS::APPLYFILTER() {
  BrowseClass* browse = Browse();
  if (!browse) return;
  const int orders = FILTERSHARED ? BrowseClass::AllOrders : 0;
  if (conditions_.empty()) {
    browse->ClearFilter("Xplore", orders);
    filter_.reset();
    SETFILTERS();
    return;
  }
  if (!bindings_ready_) {
    // Each column's label reads the record: through the browse's own bindings when it has
    // them, else from the row the browse makes of the record.
    for (const XPGQ& column : FQ) {
      if (column.FIELD.empty() || !column.QNOS) continue;
      const int slot = browse->Bindings.Find(column.FIELD);
      const std::size_t field = static_cast<std::size_t>(column.QNOS);
      const bool text = IsTextPicture(column.PICTURE);
      filter_bindings_.Bind(column.FIELD, [browse, slot, field, text] {
        if (slot >= 0) return browse->Bindings.Read(slot);
        browse->Q.clear();
        browse->SetQueueRecord();
        if (field > browse->Q.size()) return ExprValue();
        const std::string& value = browse->Q[field - 1];
        return text ? ExprValue::Text(value) : ExprValue::Number(ExprValue::Text(value).AsNumber());
      });
    }
    bindings_ready_ = true;
  }
  filter_ = std::make_shared<Expression>(FilterExpression(), filter_bindings_);
  std::shared_ptr<Expression> filter = filter_;
  browse->SetFilter([filter] { return filter->ok() && filter->Evaluate().IsTrue(); }, "Xplore",
                    orders);
  SETFILTERS();
}

// ---- column operations ----

void XPLORECLASS::MODCOLATTRIBUTE(std::string_view code) {
  GETCOLUMNINFO();
  if (code == "EQL") {
    FILTEREQUAL = !FILTEREQUAL;
    SETKEYCODE(0);
    return;
  }
  XPGQ* column = SQEntry(CURRENTCOL);
  if (!column) return;
  if (code.size() == 3 && (code[0] == 'H' || code[0] == 'F') && code[1] == 'J') {
    (code[0] == 'H' ? column->HJUST : column->FJUST) = code[2];
  } else if (code == "FXD") {
    column->FIXED = !column->FIXED;
  } else if (code == "ULI") {
    column->ULINE = !column->ULINE;
  } else if (code == "BDR") {
    column->BORDER = !column->BORDER;
  } else if (code == "RSZ") {
    column->RESIZE = !column->RESIZE;
  } else {
    return;
  }
  REFORMATLISTBOX();
  SETKEYCODE(0);
}

bool XPLORECLASS::MOVECOLLEFT() {
  if (CURRENTCOL <= 1) return false;  // the first column stays where it is
  return MoveColumn(CURRENTCOL, -1);
}

bool XPLORECLASS::MOVECOLRIGHT() {
  if (CURRENTCOL >= static_cast<int>(SQ.size())) return false;
  return MoveColumn(CURRENTCOL, 1);
}

bool XPLORECLASS::HIDECOLUMN() {
  GETCOLUMNINFO();
  if (SQ.size() <= 1 || !SQEntry(CURRENTCOL)) return false;
  const XPGQ hidden = SQ[static_cast<std::size_t>(CURRENTCOL - 1)];
  if (XPGQ* known = FQByQnos(hidden.QNOS)) {
    *known = hidden;
    known->COL = 0;
  }
  SQ.erase(SQ.begin() + (CURRENTCOL - 1));
  const bool sorted_hidden = VIEWORDER && QNOS == hidden.QNOS;
  if (!REFORMATLISTBOX()) return false;
  GETCOLUMNINFO();
  if (sorted_hidden) {
    // The list stays in that column's order; its mark has no column to stand on.
    SEQUENCENBR = 0;
  }
  if (CURRENTCOL > static_cast<int>(SQ.size())) CURRENTCOL = static_cast<int>(SQ.size());
  return true;
}

bool XPLORECLASS::SHOWCOLUMN(int qnos) {
  GETCOLUMNINFO();
  const XPGQ* known = FQByQnos(qnos);
  if (!known) return false;
  for (const XPGQ& shown : SQ) {
    if (shown.QNOS == qnos) return false;
  }
  XPGQ column = *known;
  column.DISPLAY = true;
  if (column.WIDTHDLU <= 0) column.WIDTHDLU = 40;
  SQ.push_back(column);
  if (!REFORMATLISTBOX()) {
    SQ.pop_back();
    return false;
  }
  GETCOLUMNINFO();
  return true;
}

void XPLORECLASS::ADJUSTALLCOLUMNS() {
  // Every cell of every column is measured: a long list takes a moment.
  const CursorScope busy(OwnerWindow(), CursorWait);
  GETCOLUMNINFO();
  auto letters = [](std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
  };
  const BrowseClass* browse = Browse();
  for (XPGQ& column : SQ) {
    std::size_t widest = letters(PlainHeader(column));
    for (std::size_t r = 0; browse && r < browse->Records(); ++r)
      widest = std::max(widest, letters(CellText(r, column)));
    int width = static_cast<int>(widest) * 4;
    if (column.FJUST == 'L' || column.FJUST == 'R') width += column.FOFFSET;
    if (column.FJUST == 'D') width += 1;
    if (column.ICONX) width += 11;
    column.WIDTHDLU = width + 1;
  }
  REFORMATLISTBOX();
}

void XPLORECLASS::TOGGLEBAR() {
  // Row selection or column selection, which starts on the first column.
  if (Control* list = ListBox())
    list->Set(Prop::SelectedColumn, list->Is(Prop::SelectedColumn) ? 0L : 1L);
}

void XPLORECLASS::INVOKEPOPUP() {
  Control* list = ListBox();
  BrowseClass* browse = Browse();
  if (!list || !browse) return;
  const long selected = list->GetNumber(Prop::SelectedColumn);
  if (selected < 1 || selected > static_cast<long>(list->Columns().size())) return;
  CURRENTCOL = static_cast<int>(selected);
  // Under the list, at the middle of the selected column.
  long middle = 0;
  for (long c = 1; c < selected; ++c)
    middle += list->Columns()[static_cast<std::size_t>(c - 1)].width;
  middle += list->Columns()[static_cast<std::size_t>(selected - 1)].width / 2;
  keyboard_popup_ = true;
  browse->Popup.AskAt(middle, -1, list->Number());
  keyboard_popup_ = false;
}

// ---- export ----

bool XPLORECLASS::WriteExport(const std::string& file, const std::string& contents) {
  // Written beside the old file under a new name, then put in its place: the file is complete
  // or the old one stays, and a file that cannot be written is reported, never opened.
  const std::filesystem::path target = std::filesystem::current_path() / file;
  std::string temp_name = target.string() + ".XXXXXX";
  const int fd = mkstemp(temp_name.data());
  bool ok = fd >= 0;
  int error = ok ? 0 : errno;
  if (ok) {
    std::size_t done = 0;
    while (done < contents.size()) {
      const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = errno;
        ok = false;
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    if (ok && fsync(fd) != 0) {
      error = errno;
      ok = false;
    }
    if (close(fd) != 0 && ok) {
      error = errno;
      ok = false;
    }
    if (ok) {
      if (std::rename(temp_name.c_str(), target.c_str()) != 0) {
        error = errno;
        ok = false;
      }
    }
    if (!ok) std::remove(temp_name.c_str());
  }
  if (!ok) {
    MESSAGE("The list could not be exported to " + target.string() + ": " + std::strerror(error),
            "Xplore", MessageIcon::Exclamation);
  }
  return ok;
}

void XPLORECLASS::OpenExport(const std::string& file) {
  // The user is told where the file lies whether or not a program shows it, so that an export
  // no program opens can still be found.
  const std::string path = (std::filesystem::current_path() / file).string();
  if (!SHELLEXECUTE) {
    MESSAGE("The list was exported to " + path + ".", "Export", MessageIcon::Information);
    return;
  }
  platform::ShellOpener& opener = Opener ? *Opener : platform::SystemShell();
  platform::ShellOpenRequest request;
  request.target = path;
  int result = 0;
  {
    const RuntimeUnlocked unlocked;  // the desktop's opener may take a moment to answer
    result = opener.Open(request);
  }
  if (result > 32) {
    MESSAGE("The list was exported to " + path + " and opened.", "Export",
            MessageIcon::Information);
    return;
  }
  const std::string type = std::filesystem::path(file).extension().string();
  MESSAGE("The list was exported to " + path + ", but no program opened it.\n\n" +
              platform::ShellOpenFailure(result) + "\n\nOpen the file from its folder, or choose " +
              "an application for \"" + type + "\" files in the desktop's file settings.",
          "Export", MessageIcon::Exclamation);
}

bool XPLORECLASS::EXPORTASCII() {
  GETCOLUMNINFO();
  const BrowseClass* browse = Browse();
  const std::size_t rows = browse ? browse->Records() : 0;
  char count[32];
  std::snprintf(count, sizeof count, "%07zu", rows);
  std::string out = std::string("# Records=") + count + std::string(kCsvLineEnd);
  std::vector<std::string> cells(SQ.size());
  if (BROWSEHEADER) {
    for (std::size_t i = 0; i < SQ.size(); ++i) cells[i] = PlainHeader(SQ[i]);
    out += CsvLine(cells);
  }
  XploreProgress progress;
  progress.Open(rows);
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t i = 0; i < SQ.size(); ++i) cells[i] = CellText(r, SQ[i]);
    out += CsvLine(cells);
    if (!progress.Step()) return false;  // cancelled: the old file stays, nothing is opened
  }
  progress.Close();
  if (!WriteExport(ASCIIFILENAME, out)) return false;
  OpenExport(ASCIIFILENAME);
  return true;
}

bool XPLORECLASS::EXPORTHTML() {
  GETCOLUMNINFO();
  const BrowseClass* browse = Browse();
  const std::size_t rows = browse ? browse->Records() : 0;
  const std::string caption =
      ListBox() ? HtmlEscaped(CLIP(ListBox()->OwnerWindow().Title())) : std::string();
  auto cell = [](const std::string& text) {
    return "<TD>" + (text.empty() ? std::string("&nbsp") : HtmlEscaped(text)) + "</TD> ";
  };
  std::string out = "<HTML>\n";
  out += "<HEAD><META CHARSET=\"UTF-8\"><TITLE>" + caption + "</TITLE></HEAD>\n";
  out += "<H1>" + caption + "</H1><P>\n";
  out += "<TABLE BORDER=2>\n";
  if (BROWSEHEADER) {
    std::string line = "<TR> ";
    for (const XPGQ& column : SQ) line += cell(PlainHeader(column));
    out += line + "</TR>\n";
  }
  XploreProgress progress;
  progress.Open(rows);
  for (std::size_t r = 0; r < rows; ++r) {
    std::string line = "<TR> ";
    for (const XPGQ& column : SQ) line += cell(CellText(r, column));
    out += line + "</TR>\n";
    if (!progress.Step()) return false;  // cancelled: the old file stays, nothing is opened
  }
  progress.Close();
  out += "</TABLE>\n</HTML>\n";
  if (!WriteExport(HTMLFILENAME, out)) return false;
  OpenExport(HTMLFILENAME);
  return true;
}

}  // namespace vx
