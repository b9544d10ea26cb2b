#include "datadll/xplore/xplore_root_class.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <tuple>
#include <utility>

#include "datadll/utility/zq_browse_class.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/pictures.h"
#include "runtime/shared_memo.h"
#include "runtime/text_functions.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/list_format.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// The type letter of a picture: "@d6b" is 'D'; no picture shows text ('S').
char PictureType(std::string_view picture) {
  if (!picture.empty() && picture.front() == '@') picture.remove_prefix(1);
  return picture.empty()
             ? 'S'
             : static_cast<char>(std::toupper(static_cast<unsigned char>(picture.front())));
}

int ToInt(std::string_view text, int fallback) {
  int value = fallback;
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
    return fallback;
  return value;
}

bool SameLabel(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The label of a column that has none: the header, or the field's number.
std::string HeaderOf(const XPGQ& column) { return column.HEADER; }

const XPGQ* FindByLabel(const std::vector<XPGQ>& columns, std::string_view label) {
  for (const XPGQ& column : columns) {
    if (!column.FIELD.empty() && SameLabel(column.FIELD.substr(0, 25), label.substr(0, 25)) &&
        column.QNOS)
      return &column;
  }
  return nullptr;
}

// What a list is made of (its design and its field labels) decides these results, the same for
// every window of that list: each is made once per process (runtime/shared_memo.h). A window
// copies a result into its own queues, so nothing one window changes reaches another.
constexpr std::size_t kListDesigns = 32;  // a program has no more lists than that

// The column descriptor the base LISTBOXDATA packs from a list format and the field labels.
struct PackedColumns {
  std::string packed;
  int count = 0;
};
using PackedColumnsKey = std::pair<std::string, std::vector<std::string>>;  // format, labels

SharedMemo<PackedColumnsKey, PackedColumns>& PackedColumnsMemo() {
  static auto& memo = *new SharedMemo<PackedColumnsKey, PackedColumns>(kListDesigns);
  return memo;
}

// What GETQFIELDS makes of a browse's descriptors.
struct FieldQueues {
  std::vector<XPGQ> fq, sq;
  std::vector<XploreSubOrder> soq, aoq;
  bool apply_all = false;
  int queue_fields = 0;
};

// The descriptors: columns, sub-orders, appended orders, and the counts of the first two.
using FieldQueuesKey = std::tuple<std::string, std::string, std::string, int, int>;

SharedMemo<FieldQueuesKey, FieldQueues>& FieldQueuesMemo() {
  static auto& memo = *new SharedMemo<FieldQueuesKey, FieldQueues>(kListDesigns);
  return memo;
}

PackedColumns PackColumns(const std::vector<ListColumn>& shown,
                          const std::vector<std::string>& fields) {
  std::vector<XploreColumn> columns;
  columns.reserve(std::max(shown.size(), fields.size()));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const ListColumn& c = shown[i];
    XploreColumn x;
    x.FIELD = i < fields.size() ? fields[i] : std::string();
    x.WIDTHDLU = c.width;
    x.HEADER = c.header;
    x.PICTURE = c.picture;
    x.DESCRIPTION = c.header;
    x.JUST = c.justify;
    x.COLORS = c.colors;
    x.ICONX = c.icon;
    x.SORTFIELD = !x.FIELD.empty();
    x.GRAPHOK = !x.FIELD.empty();
    columns.push_back(std::move(x));
  }
  for (std::size_t i = shown.size(); i < fields.size(); ++i) {
    XploreColumn x;
    x.FIELD = fields[i];
    const std::size_t colon = x.FIELD.find(':');
    x.HEADER = colon == std::string::npos ? x.FIELD : x.FIELD.substr(colon + 1);
    x.DESCRIPTION = x.HEADER;
    x.WIDTHDLU = 60;
    x.PICTURE = "@s40";
    x.DISPLAY = false;
    columns.push_back(std::move(x));
  }
  PackedColumns result;
  result.packed = PackColumnDescriptor(columns);
  result.count = static_cast<int>(columns.size());
  return result;
}

FieldQueues MakeFieldQueues(std::string_view columns, int column_count, std::string_view sub_orders,
                            int sub_order_count, std::string_view append) {
  FieldQueues result;
  const std::vector<XploreColumn> parsed = ParseColumnDescriptor(columns, column_count);
  result.fq.reserve(parsed.size());
  result.sq.reserve(parsed.size());
  int running = 1;  // the browse-queue field of the next column
  int position = 0;
  for (const XploreColumn& c : parsed) {
    ++position;
    XPGQ q;
    q.FIELD = c.FIELD;
    q.DESCRIPTION = c.DESCRIPTION;
    q.HEADER = c.HEADER;
    q.PICTURE = c.PICTURE;
    q.WIDTHDLU = c.WIDTHDLU;
    q.FJUST = c.JUST;
    q.HJUST = c.JUST;
    q.DISPLAY = c.DISPLAY;
    q.COLORS = c.COLORS;
    q.ICONX = c.ICONX;
    q.VIEWFIELD = c.VIEWFIELD;
    q.TABCONTROL = c.TABCONTROL;
    q.TOTALOK = c.TOTALOK;
    q.GRAPHOK = c.GRAPHOK;
    q.SORTFIELD = c.SORTFIELD ? 1 : 0;
    q.LOCATORTYPE = c.LOCATORTYPE;
    if (c.LOCATORTYPE != 'X' || c.DISPLAY) {
      q.QNOS = running;
      q.SEQ = position;
      q.ASCDESC = 0;
      q.HOFFSET = 1;
      q.FOFFSET = 1;
      q.CONTROLFIELD = c.DISPLAY;
      if (c.DISPLAY) {
        q.COL = position;
        XPGQ& shown = result.sq.emplace_back(q);
        shown.SEQ = shown.COL = static_cast<int>(result.sq.size());
      }
      running += 1 + (c.COLORS ? 4 : 0) + (c.ICONX ? 1 : 0);
    }
    result.fq.push_back(std::move(q));
  }
  result.queue_fields = running - 1;
  for (const XploreColumnOrder& order : ParseSubOrderDescriptor(sub_orders, sub_order_count)) {
    const XPGQ* column = FindByLabel(result.fq, order.column);
    for (XploreSubOrder f : order.fields) {
      f.QNOS = column ? column->QNOS : 0;
      result.soq.push_back(std::move(f));
    }
  }
  ParseAppendDescriptor(append, result.apply_all, result.aoq);
  for (XploreSubOrder& f : result.aoq) f.QNOS = 0;
  return result;
}

}  // namespace

void XPLOREROOTCLASS::INIT(WindowManager& manager, BrowseClass& browse, Control& list,
                           std::string_view procedure, std::string_view list_name,
                           std::vector<std::string> fields, std::string_view visual,
                           std::string_view ini_file) {
  manager_ = &manager;
  browse_ = &browse;
  list_ = &list;
  procedure_ = procedure;
  list_name_ = list_name;
  fields_ = std::move(fields);
  VISUAL = visual;
  INIFILENAME = ini_file;
  LISTTYPE = 1;
  HDRTOKEN = ASCDESC ? DESCTOKEN : ASCTOKEN;
  SQ.clear();
  FQ.clear();
  SOQ.clear();
  AOQ.clear();
  FORQ.clear();
  LISTBOXDATA();
  if (FORQ.empty()) CREATEFORMATQ(1);
  MAXFONTSIZE = 14;
  MINFONTSIZE = 6;
  PAPERTYPE = 1;
  ALLPREVIEW = 1;
  PAGEPREVIEW = 0;
  HEADERSTYLE = 400;
  ASCIIFILENAME = "XPort.CSV";
  HTMLFILENAME = "XPort.HTM";
  if (auto* zq = dynamic_cast<ZQBROWSECLASS*>(&browse)) {
    zq->DoubleClickClaimed = [this] { return LEFTBUTTON2(); };
    claimed_by_browse_ = true;
  }
  manager.AddItem(*this);
}

void XPLOREROOTCLASS::LISTBOXDATA() {
  // The columns of the list's format, labelled in order; labels past them are fields of the
  // browse queue that are not shown.
  const bool design = !list_->DesignColumns().empty();
  const std::string current = design ? std::string() : list_->Get(Prop::Format);
  const std::string& format = design ? list_->DesignFormat() : current;
  const std::shared_ptr<const PackedColumns> packed = PackedColumnsMemo().Get(
      PackedColumnsKey(format, fields_),
      [&] { return PackColumns(design ? list_->DesignColumns() : list_->Columns(), fields_); });
  GR_LBF = packed->packed;
  QDIM = packed->count;
  GRS_SF.clear();
  QDIMS = 0;
  GRA_SF.clear();
  GETQFIELDS();
  CREATEFORMATQ(1);
}

void XPLOREROOTCLASS::GETQFIELDS() {
  const std::shared_ptr<const FieldQueues> made =
      FieldQueuesMemo().Get(FieldQueuesKey(GR_LBF, GRS_SF, GRA_SF, QDIM, QDIMS),
                            [&] { return MakeFieldQueues(GR_LBF, QDIM, GRS_SF, QDIMS, GRA_SF); });
  FQ = made->fq;
  SQ = made->sq;
  SOQ = made->soq;
  AOQ = made->aoq;
  APPLYALL = made->apply_all;
  queue_fields_ = made->queue_fields;
}

void XPLOREROOTCLASS::ADDALLCOLUMNSORTORDERS() {
  ADDITEMSTOPOPUP();
  // Each sortable column gets the numbers of its two orders (ascending, then descending).
  int n = 0;
  for (XPGQ& column : FQ) {
    if (!column.SORTFIELD || column.FIELD.empty() || column.QNOS == 0) {
      column.SORTFIELD = 0;
      continue;
    }
    ++n;
    column.SORTFIELD = 2 * n - 1;
  }
  for (XPGQ& shown : SQ) {
    if (const XPGQ* column = FQByQnos(shown.QNOS)) shown.SORTFIELD = column->SORTFIELD;
  }
}

std::vector<std::string> XPLOREROOTCLASS::FINDANYSUBFIELDS(std::string_view direction) const {
  std::vector<std::string> elements;
  auto* self = const_cast<XPLOREROOTCLASS*>(this);
  const XPGQ* column = self->SQEntry(CURRENTCOL);
  if (!column) return elements;
  const int wanted = direction == "1" ? 1 : 0;
  auto element = [&](const std::string& label, int natural, const std::string& picture) {
    std::string text = wanted != natural ? "-" : "";
    if (UPPER && LISTTYPE == 1 && PictureType(picture) == 'S') {
      text += "UPPER(" + label + ")";
    } else {
      text += label;
    }
    elements.push_back(std::move(text));
  };
  std::vector<const XploreSubOrder*> own;
  for (const XploreSubOrder& f : SOQ) {
    if (f.QNOS == column->QNOS) own.push_back(&f);
  }
  std::stable_sort(own.begin(), own.end(), [](const XploreSubOrder* a, const XploreSubOrder* b) {
    return a->SEQ < b->SEQ;
  });
  if (own.empty()) {
    element(column->FIELD, 0, column->PICTURE);
  } else {
    for (const XploreSubOrder* f : own) element(f->FIELDNAME, f->ASCDESC, f->PICTURE);
  }
  if (APPLYALL) {
    for (const XploreSubOrder& f : AOQ) element(f.FIELDNAME, f.ASCDESC, f.PICTURE);
  }
  return elements;
}

BrowseClass::SortElement XPLOREROOTCLASS::ElementFor(const std::string& text) const {
  BrowseClass::SortElement element;
  std::string_view label = text;
  if (!label.empty() && label.front() == '-') {
    element.descending = true;
    label.remove_prefix(1);
  }
  bool upper = false;
  if (label.size() > 7 && SameLabel(label.substr(0, 6), "UPPER(") && label.back() == ')') {
    upper = true;
    label = label.substr(6, label.size() - 7);
  }
  // A field the browse binds is read from the record; a column of the list from its row.
  const int slot = browse_->Bindings.Find(label);
  if (slot >= 0) {
    const BrowseClass* browse = browse_;
    element.value = [browse, slot, upper] {
      ExprValue v = browse->Bindings.Read(slot);
      if (upper && v.is_text()) v = ExprValue::Text(vx::UPPER(v.AsText()));
      return v;
    };
    return element;
  }
  if (const XPGQ* column = FQByLabel(label)) {
    const BrowseClass* browse = browse_;
    const std::size_t field = static_cast<std::size_t>(column->QNOS);
    const char type = PictureType(column->PICTURE);
    element.value = [browse, field, type, upper] {
      if (field == 0 || field > browse->Q.size()) return ExprValue();
      const std::string& value = browse->Q[field - 1];
      if (type == 'S' || type == 'P' || type == 'K')
        return ExprValue::Text(upper ? vx::UPPER(value) : value);
      return ExprValue::Number(ExprValue::Text(value).AsNumber());
    };
  }
  return element;
}

void XPLOREROOTCLASS::ApplySort() {
  if (!browse_) return;
  const XPGQ* column = QNOS ? FQByQnos(QNOS) : nullptr;
  if (!column || !VIEWORDER) {
    browse_->SetSortElements({});
    return;
  }
  const int saved_col = CURRENTCOL;
  CURRENTCOL = 0;
  for (const XPGQ& shown : SQ) {
    if (shown.QNOS == QNOS) CURRENTCOL = shown.COL;
  }
  std::vector<std::string> texts;
  const bool descending = SortedDescending();
  if (CURRENTCOL) texts = FINDANYSUBFIELDS(descending ? "1" : "0");
  CURRENTCOL = saved_col;
  std::vector<BrowseClass::SortElement> elements;
  for (const std::string& text : texts) elements.push_back(ElementFor(text));
  const BrowseClass* browse = browse_;
  const std::size_t field = static_cast<std::size_t>(column->QNOS);
  const std::string picture = column->PICTURE;
  browse_->SetSortElements(std::move(elements), [browse, field, picture] {
    if (field == 0 || field > browse->Q.size()) return std::string();
    const std::string shown =
        picture.empty() ? browse->Q[field - 1] : FORMAT(browse->Q[field - 1], picture);
    std::size_t start = shown.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : shown.substr(start);
  });
}

std::string XPLOREROOTCLASS::SortedField() const {
  if (!VIEWORDER || !QNOS) return {};
  const XPGQ* column = const_cast<XPLOREROOTCLASS*>(this)->FQByQnos(QNOS);
  return column ? column->FIELD : std::string();
}

bool XPLOREROOTCLASS::SortedDescending() const {
  for (const XPGQ& shown : SQ) {
    if (shown.QNOS == QNOS && QNOS) return shown.ASCDESC != 0;
  }
  const XPGQ* column = QNOS ? const_cast<XPLOREROOTCLASS*>(this)->FQByQnos(QNOS) : nullptr;
  return column && column->ASCDESC != 0;
}

XPGQ* XPLOREROOTCLASS::SQEntry(int column) {
  if (column < 1 || column > static_cast<int>(SQ.size())) return nullptr;
  return &SQ[static_cast<std::size_t>(column - 1)];
}

XPGQ* XPLOREROOTCLASS::FQByQnos(int qnos) {
  for (XPGQ& column : FQ) {
    if (column.QNOS == qnos && qnos != 0) return &column;
  }
  return nullptr;
}

const XPGQ* XPLOREROOTCLASS::FQByLabel(std::string_view label) const {
  return FindByLabel(FQ, label);
}

int XPLOREROOTCLASS::XLATECOL2Q(int column) const {
  return column >= 1 && column <= static_cast<int>(SQ.size())
             ? SQ[static_cast<std::size_t>(column - 1)].QNOS
             : 0;
}

Window& XPLOREROOTCLASS::OwnerWindow() const { return list_->OwnerWindow(); }

// ---- the list's layout ----

bool XPLOREROOTCLASS::EQUATECOLTOQFIELD(std::string_view format) {
  if (format.size() > kMaxFormat) return false;
  bool in_range = true;
  const std::vector<ListColumn> columns = ParseListFormat(format, &in_range);
  if (!in_range) return false;
  return EquateColumns(columns);
}

bool XPLOREROOTCLASS::EquateColumns(const std::vector<ListColumn>& columns) {
  if (columns.empty()) return false;
  // Built over the records of the SQ before last, so their texts' room is used again.
  std::vector<XPGQ>& shown = spare_sq_;
  shown.reserve(columns.size());
  std::size_t count = 0;
  for (const ListColumn& c : columns) {
    if (c.field < 1 || c.field > queue_fields_) return false;
    const XPGQ* known = FQByQnos(c.field);
    if (!known) return false;
    if (count < shown.size()) {
      shown[count] = *known;
    } else {
      shown.push_back(*known);
    }
    XPGQ& q = shown[count++];
    for (const XPGQ& old : SQ) {
      if (old.QNOS == q.QNOS) q.ASCDESC = old.ASCDESC;
    }
    q.WIDTHDLU = c.width;
    q.FJUST = c.justify;
    q.FOFFSET = c.indent;
    q.HJUST = c.header_justify;
    q.HOFFSET = c.header_indent;
    q.HEADER = c.header;
    q.PICTURE = c.picture;
    q.ULINE = c.underline;
    q.FIXED = c.fixed;
    q.BORDER = c.right_border;
    q.RESIZE = c.resizable;
    q.COLORS = c.colors;
    q.ICONX = c.icon;
    q.NFG = c.normal_fg;
    q.NBG = c.normal_bg;
    q.SFG = c.selected_fg;
    q.SBG = c.selected_bg;
    q.DISPLAY = true;
    q.SEQ = q.COL = static_cast<int>(count);
  }
  shown.resize(count);
  SQ.swap(shown);
  // The sorted column keeps its mark wherever it now stands.
  if (VIEWORDER && QNOS) {
    SEQUENCENBR = 0;
    for (const XPGQ& q : SQ) {
      if (q.QNOS == QNOS) SEQUENCENBR = q.COL;
    }
  }
  return true;
}

void XPLOREROOTCLASS::GETCOLUMNINFO() {
  if (!list_) return;
  // The list holds its format's columns already; only whether every number of the format fits
  // is not kept with them, and that depends on the text alone.
  const std::string format = list_->Get(Prop::Format);
  if (format.size() > kMaxFormat) return;
  if (ReadListFormat(format)->in_range) EquateColumns(list_->Columns());
}

bool XPLOREROOTCLASS::REFORMATLISTBOX() {
  std::vector<ListColumn> columns;
  for (const XPGQ& q : SQ) {
    ListColumn c;
    c.width = q.WIDTHDLU;
    c.justify = q.FJUST;
    c.indent = q.FOFFSET;
    c.colors = q.COLORS;
    c.icon = q.ICONX;
    c.fixed = q.FIXED;
    c.underline = q.ULINE;
    c.resizable = q.RESIZE;
    c.right_border = q.BORDER;
    c.header = q.HEADER.substr(0, 25);
    c.header_justify = q.HJUST;
    c.header_indent = q.HOFFSET;
    c.picture = q.PICTURE;
    c.field = q.QNOS;
    c.explicit_field = true;
    c.normal_fg = q.NFG;
    c.normal_bg = q.NBG;
    c.selected_fg = q.SFG;
    c.selected_bg = q.SBG;
    columns.push_back(std::move(c));
  }
  const std::string format = WriteListFormat(columns);
  if (format.size() > kMaxFormat) {
    MESSAGE("The list's layout would be longer than " + std::to_string(kMaxFormat) +
                " characters, so it was left as it was.",
            "List Layout", MessageIcon::Exclamation);
    return false;
  }
  for (std::size_t i = 0; i < SQ.size(); ++i) SQ[i].SEQ = SQ[i].COL = static_cast<int>(i) + 1;
  if (list_) list_->Format(format);
  return true;
}

void XPLOREROOTCLASS::GETBBSIZE(std::string_view procedure, std::string_view list_name) {
  DEF.FONT = list_->Get(Prop::FontName);
  DEF.POINT = static_cast<int>(list_->GetNumber(Prop::FontSize));
  DEF.LINEHEIGHT = list_->GetNumber(Prop::LineHeight);
  DEF.HSCROLL = list_->Get(Prop::HScroll);
  DEF.VSCROLL = list_->Get(Prop::VScroll);
  DEF.STYLE = list_->GetNumber(Prop::FontStyle);
  DEF.COLOR = list_->Get(Prop::FontColor).empty() ? -1 : list_->GetNumber(Prop::FontColor);
  const std::string design =
      list_->DesignFormat().empty() ? list_->Get(Prop::Format) : list_->DesignFormat();
  // The section is read once: the list's layout takes a dozen keys of it, each named
  // "Xplore<what>-<list>" (built in one buffer).
  const IniSection ini = IniFile::ReadSection(INIFILENAME, procedure);
  std::string key;
  auto named = [&](std::string_view what) -> std::string& {
    key.assign("Xplore").append(what).append(1, '-').append(list_name);
    return key;
  };
  // A value is read from one line of the file, so it never holds a line break: a missing key
  // reads as one.
  constexpr std::string_view kMissing = "\n";
  const std::string stored = ini.Get(named("OrigFormatString"), "0");
  if (stored != design) {
    // The window's list was changed since the layout was kept (or none was): its own layout.
    DEF.ORIGFORMATSTRING = design;
    SEQUENCENBR = 1;
    for (auto& [number, format] : FORQ) format = design;
    PARS = DEF;
    GETCOLUMNINFO();
    return;
  }
  DEF.ORIGFORMATSTRING = design;
  for (auto& [number, format] : FORQ) {
    format = ini.Get(named("FormatString").append(std::to_string(number)), design);
  }
  const std::string saved = FORQ.empty() ? std::string("0") : FORQ.front().second;
  if (saved != "0" && saved != list_->Get(Prop::Format)) {
    // A kept format that names a field the list does not have, or is too long, is not used.
    if (EQUATECOLTOQFIELD(saved)) {
      list_->Format(saved);
    } else {
      for (auto& [number, format] : FORQ) format = design;
    }
  }
  GETCOLUMNINFO();
  const std::pair<std::string_view, Prop> kept[] = {
      {"Font", Prop::FontName},   {"LineHeight", Prop::LineHeight}, {"Hscroll", Prop::HScroll},
      {"Vscroll", Prop::VScroll}, {"Point", Prop::FontSize},        {"Color", Prop::FontColor},
      {"Style", Prop::FontStyle}};
  for (const auto& [what, prop] : kept) {
    const std::string value = ini.Get(named(what), kMissing);
    if (value != kMissing) list_->Set(prop, value);
  }
  PARS = DEF;
  PARS.FONT = list_->Get(Prop::FontName);
  PARS.POINT = static_cast<int>(list_->GetNumber(Prop::FontSize));
  PARS.LINEHEIGHT = list_->GetNumber(Prop::LineHeight);
  PARS.HSCROLL = list_->Get(Prop::HScroll);
  PARS.VSCROLL = list_->Get(Prop::VScroll);
  const std::string previous = ini.Get(named("PrevCol"), kMissing);
  const bool kept_sort = previous != kMissing;
  SEQUENCENBR = kept_sort ? ToInt(previous, 1) : 1;
  const int direction = ToInt(ini.Get(named("AscDesc"), "0"), 0) ? 1 : 0;
  // A column sort kept with the layout is the list's order again.
  XPGQ* column = kept_sort ? SQEntry(SEQUENCENBR) : nullptr;
  if (column && column->SORTFIELD) {
    column->ASCDESC = direction;
    HDRTOKEN = direction ? DESCTOKEN : ASCTOKEN;
    CURRENTCOL = SEQUENCENBR;
    QNOS = column->QNOS;
    VIEWORDER = true;
    RESTOREHEADER = true;
    ApplySort();
    SETVISUAL();
  } else if (kept_sort && SEQUENCENBR != 0 && !column) {
    SEQUENCENBR = 1;
  }
}

void XPLOREROOTCLASS::PUTINIX(std::string_view procedure, std::string_view list_name, int sequence,
                              int direction) {
  const std::string list(list_name);
  IniFile ini(INIFILENAME);
  if (!FORQ.empty()) FORQ.front().second = list_->Get(Prop::Format);
  for (const auto& [number, format] : FORQ) {
    ini.Put(procedure, "XploreFormatString-" + list + std::to_string(number), format);
  }
  ini.Put(procedure, "XploreOrigFormatString-" + list, DEF.ORIGFORMATSTRING);
  const std::string font = list_->Get(Prop::FontName);
  if (!font.empty()) ini.Put(procedure, "XploreFont-" + list, font);
  if (!list_->Get(Prop::LineHeight).empty())
    ini.Put(procedure, "XploreLineHeight-" + list, list_->Get(Prop::LineHeight));
  if (!list_->Get(Prop::HScroll).empty())
    ini.Put(procedure, "XploreHscroll-" + list, list_->Get(Prop::HScroll));
  if (!list_->Get(Prop::VScroll).empty())
    ini.Put(procedure, "XploreVscroll-" + list, list_->Get(Prop::VScroll));
  if (!list_->Get(Prop::FontSize).empty())
    ini.Put(procedure, "XplorePoint-" + list, list_->Get(Prop::FontSize));
  if (!list_->Get(Prop::FontColor).empty())
    ini.Put(procedure, "XploreColor-" + list, list_->Get(Prop::FontColor));
  if (!list_->Get(Prop::FontStyle).empty())
    ini.Put(procedure, "XploreStyle-" + list, list_->Get(Prop::FontStyle));
  ini.Put(procedure, "XplorePrevCol-" + list, std::to_string(sequence));
  ini.Put(procedure, "XploreAscDesc-" + list, std::to_string(direction));
}

void XPLOREROOTCLASS::KILL() {
  SQ.clear();
  FQ.clear();
  SOQ.clear();
  AOQ.clear();
  FORQ.clear();
  // Nothing of the browse may call back into this object once it is gone.
  if (browse_) {
    browse_->SetSortElements({});
    browse_->ClearFilter("Xplore", BrowseClass::AllOrders);
    browse_->ClearFilter("Xplore", 0);
    browse_->Popup.BeforeAsk = nullptr;
  }
  if (auto* zq = dynamic_cast<ZQBROWSECLASS*>(browse_)) zq->DoubleClickClaimed = nullptr;
}

void XPLOREROOTCLASS::RESETTODEFAULT() {
  if (!list_) return;
  list_->Format(DEF.ORIGFORMATSTRING.empty() ? list_->DesignFormat() : DEF.ORIGFORMATSTRING);
  if (!DEF.FONT.empty() || !list_->Get(Prop::FontName).empty())
    list_->Set(Prop::FontName, DEF.FONT);
  if (DEF.POINT > 0 || !list_->Get(Prop::FontSize).empty())
    list_->Set(Prop::FontSize, static_cast<long>(DEF.POINT));
  if (DEF.LINEHEIGHT > 0 || !list_->Get(Prop::LineHeight).empty())
    list_->Set(Prop::LineHeight, DEF.LINEHEIGHT);
  PARS = DEF;
  // Every column the design shows, in the design's order.
  SQ.clear();
  for (const XPGQ& column : FQ) {
    if (!column.CONTROLFIELD) continue;
    XPGQ shown = column;
    shown.SEQ = shown.COL = static_cast<int>(SQ.size()) + 1;
    shown.DISPLAY = true;
    SQ.push_back(shown);
  }
  RESTOREHEADER = true;
  GETCOLUMNINFO();
  if (VIEWORDER && QNOS) {
    ERASEVISUAL();
    SETVISUAL();
  }
}

// ---- sorting and its mark ----

void XPLOREROOTCLASS::SHOWNEWSORT() {
  ERASEVISUAL();
  RESTOREHEADER = true;
  XPGQ* column = SQEntry(CURRENTCOL);
  if (!column) return;
  if (VIEWORDER && SEQUENCENBR == CURRENTCOL) {
    column->ASCDESC = column->ASCDESC ? 0 : 1;
  } else {
    column->ASCDESC = ASCDESC;
    ASCDESC = 0;
    SEQUENCENBR = CURRENTCOL;
  }
  HDRTOKEN = column->ASCDESC ? DESCTOKEN : ASCTOKEN;
  QNOS = column->QNOS;
  if (XPGQ* known = FQByQnos(QNOS)) known->ASCDESC = column->ASCDESC;
  VIEWORDER = true;
  FILESEQON = false;
  if (browse_) browse_->SetFileSequence(false);
  SETNEWORDERFIELDS();
  ApplySort();
  SETVISUAL();
  SETKEYCODE(0);
}

void XPLOREROOTCLASS::SETVISUAL() {
  if (!list_ || !VIEWORDER || !SEQUENCENBR) return;
  GETCOLUMNINFO();
  XPGQ* column = SQEntry(SEQUENCENBR);
  if (!column) return;
  if (VISUAL == "Underline") {
    column->ULINE = true;
    REFORMATLISTBOX();
  } else if (VISUAL == ">Header") {
    if (RESTOREHEADER) {
      column->HEADER = HDRTOKEN + HeaderOf(*column);
      RESTOREHEADER = false;
      REFORMATLISTBOX();
    }
  } else if (VISUAL == "Text Bar") {
    Window& w = OwnerWindow();
    std::string title = TITLETEXT;
    const std::size_t quote = title.find('"');
    title = title.empty() ? HeaderOf(*column) : title.substr(0, quote);
    w.Title(title + (column->ASCDESC ? "(Descending)" : "(Ascending)"));
  }
}

void XPLOREROOTCLASS::ERASEVISUAL() {
  if (!list_) return;
  GETCOLUMNINFO();
  if (VISUAL == "Underline") {
    bool any = false;
    for (XPGQ& column : SQ) {
      any = any || column.ULINE;
      column.ULINE = false;
    }
    if (any) REFORMATLISTBOX();
  } else if (VISUAL == ">Header") {
    bool any = false;
    for (XPGQ& column : SQ) {
      for (const std::string& token : {ASCTOKEN, DESCTOKEN}) {
        if (!token.empty() && column.HEADER.rfind(token, 0) == 0 && column.QNOS == QNOS) {
          column.HEADER.erase(0, token.size());
          any = true;
          break;
        }
      }
    }
    if (any) REFORMATLISTBOX();
  } else if (VISUAL == "Text Bar") {
    Window& w = OwnerWindow();
    std::string title = TITLETEXT.empty() ? w.Title() : TITLETEXT;
    const std::size_t quote = title.find('"');
    if (quote != std::string::npos) w.Title(title.substr(0, quote + 1) + "Key Sequence");
  }
}

void XPLOREROOTCLASS::KeySequence() {
  ERASEVISUAL();
  SEQUENCENBR = 0;
  QNOS = 0;
  VIEWORDER = false;
  ApplySort();
}

// ---- the mouse ----

void XPLOREROOTCLASS::LEFTBUTTONDOWN() {
  pressed_ = false;
  dragging_ = false;
  const long row = list_->GetNumber(Prop::MouseDownRow);
  const long field = list_->GetNumber(Prop::MouseDownField);
  const long zone = list_->GetNumber(Prop::MouseDownZone);
  if (row != 0 || field <= 0 || zone == ListZone_RightBorder || zone == ListZone_Outside) return;
  GETCOLUMNINFO();
  CURRENTCOL = static_cast<int>(field);
  press_col_ = CURRENTCOL;
  pressed_ = true;
}

void XPLOREROOTCLASS::LEFTBUTTONUP(bool show_message) {
  const long row = list_->GetNumber(Prop::MouseUpRow);
  const long field = list_->GetNumber(Prop::MouseUpField);
  const long zone = list_->GetNumber(Prop::MouseUpZone);
  const bool was_pressed = pressed_;
  const bool was_dragging = dragging_;
  pressed_ = false;
  dragging_ = false;
  if (!was_pressed) return;
  if (was_dragging) {
    // A header dropped on another column's header moves its column there, a place at a time.
    if (row != 0 || field <= 0 || field == press_col_) return;
    CURRENTCOL = press_col_;
    drop_col_ = static_cast<int>(field);
    OwnerWindow().Post(field < press_col_ ? EVENT_ListMoveLeft : EVENT_ListMoveRight,
                       list_->Number());
    return;
  }
  if (zone == ListZone_RightBorder || zone == ListZone_Outside || row != 0 || field <= 0) {
    GETCOLUMNINFO();
    return;
  }
  CURRENTCOL = static_cast<int>(field);
  const XPGQ* column = SQEntry(CURRENTCOL);
  if (!column) return;
  if (column->SORTFIELD) {
    SHOWNEWSORT();
    OwnerWindow().Post(EVENT_ListSorted, list_->Number());
  } else if (show_message) {
    MESSAGE("Data cannot be ordered on column: " + CLIP(column->HEADER) + "(" +
                CLIP(column->FIELD) + ")",
            "Re-Order Option", MessageIcon::Information);
  }
}

void XPLOREROOTCLASS::RIGHTBUTTONDOWN() {
  const long field = list_->GetNumber(Prop::MouseDownField);
  const long zone = list_->GetNumber(Prop::MouseDownZone);
  GETCOLUMNINFO();
  if (zone != ListZone_RightBorder && field >= 1) CURRENTCOL = static_cast<int>(field);
}

void XPLOREROOTCLASS::RIGHTBUTTONUP() {
  const long row = list_->GetNumber(Prop::MouseUpRow);
  const long field = list_->GetNumber(Prop::MouseUpField);
  const long zone = list_->GetNumber(Prop::MouseUpZone);
  if (row != 0 || field < 1 || zone == ListZone_RightBorder) return;
  SETKEYCODE(0);
  IGNOREEVENT = true;
  const int choice = POPUP("Cancel|Key Sequence|File Sequence");
  if (choice == 2 || choice == 3) {
    KeySequence();
    FILESEQON = choice == 3;
    browse_->SetFileSequence(FILESEQON);
    if (manager_) manager_->Reset(false);
  }
}

bool XPLOREROOTCLASS::MoveColumn(int column, int step) {
  GETCOLUMNINFO();
  const int to = column + step;
  if (column < 1 || to < 1 || column > static_cast<int>(SQ.size()) ||
      to > static_cast<int>(SQ.size()))
    return false;
  std::swap(SQ[static_cast<std::size_t>(column - 1)], SQ[static_cast<std::size_t>(to - 1)]);
  if (!REFORMATLISTBOX()) return false;
  GETCOLUMNINFO();
  CURRENTCOL = to;
  return true;
}

// ---- the window ----

void XPLOREROOTCLASS::SetAlerts() {
  opened_ = true;
  ADDALLCOLUMNSORTORDERS();
  GETBBSIZE(procedure_, list_name_);
}

void XPLOREROOTCLASS::Kill() {
  if (opened_ && list_) {
    const bool sorted = VIEWORDER && QNOS;
    const int direction = sorted && SortedDescending() ? 1 : 0;
    int sequence = 0;
    if (sorted) {
      for (const XPGQ& q : SQ) {
        if (q.QNOS == QNOS) sequence = q.COL;
      }
    }
    ERASEVISUAL();  // the layout is kept without the sort's mark; the sort is kept beside it
    PUTINIX(procedure_, list_name_, sequence, direction);
  }
  opened_ = false;
  KILL();
}

Level XPLOREROOTCLASS::TakeEvent() {
  if (!list_ || FIELD() != list_->Number()) return Level_Benign;
  switch (EVENT()) {
    case EVENT_ListLeftDown:
      LEFTBUTTONDOWN();
      return Level_Benign;
    case EVENT_ListDragBegun:
      if (pressed_) dragging_ = true;
      return Level_Benign;
    case EVENT_ListLeftUp:
      RESTOREHEADER = false;
      LEFTBUTTONUP(true);
      return Level_Benign;
    case EVENT_ListRightDown:
      RIGHTBUTTONDOWN();
      return Level_Benign;
    case EVENT_ListRightUp:
      RIGHTBUTTONUP();
      return Level_Benign;
    case EVENT_ListSorted: {
      // Re-reading the rows in a column's order shows the busy pointer; the key order does not.
      const CursorScope busy(VIEWORDER ? &OwnerWindow() : nullptr, CursorWait);
      HANDLEMYEVENTS();  // the popup's filter is applied to the new order first
      if (manager_) manager_->Reset(false);
      return Level_Benign;
    }
    case EVENT_ListMoveLeft:
    case EVENT_ListMoveRight: {
      const int step = EVENT() == EVENT_ListMoveLeft ? -1 : 1;
      if (MoveColumn(CURRENTCOL, step) && drop_col_ && CURRENTCOL != drop_col_) {
        OwnerWindow().Post(EVENT(), list_->Number());
      } else {
        drop_col_ = 0;
      }
      return Level_Benign;
    }
    case EVENT_ColumnResize:
      GETCOLUMNINFO();
      return Level_Benign;
    case EVENT_AlertKey:
      if (KEYCODE() == MouseLeft2) {
        if (!claimed_by_browse_) LEFTBUTTON2();
        return Level_Benign;
      }
      return HANDLEMYEVENTS();
    default:
      return HANDLEMYEVENTS();
  }
}

bool XPLOREROOTCLASS::LEFTBUTTON2() {
  if (!list_) return false;
  const long row = list_->GetNumber(Prop::MouseDownRow);
  const long field = list_->GetNumber(Prop::MouseDownField);
  const long zone = list_->GetNumber(Prop::MouseDownZone);
  if (row != 0 || zone != ListZone_RightBorder || field < 1) return row == 0 || row == 255;
  GETCOLUMNINFO();
  XPGQ* column = SQEntry(static_cast<int>(field));
  if (!column) return true;
  // The widest value the column shows under its picture, or its header: a dialog unit is a
  // quarter of a letter.
  std::size_t widest = 0;
  auto measure = [](std::string_view text) {
    std::size_t letters = 0;
    for (unsigned char c : text) letters += (c & 0xC0) != 0x80 ? 1 : 0;
    return letters;
  };
  const std::size_t field_index = static_cast<std::size_t>(column->QNOS);
  for (std::size_t r = 0; r < browse_->Records(); ++r) {
    const std::vector<std::string> fields = browse_->Fields(r);
    if (field_index == 0 || field_index > fields.size()) continue;
    const std::string shown = column->PICTURE.empty()
                                  ? fields[field_index - 1]
                                  : FORMAT(fields[field_index - 1], column->PICTURE);
    widest = std::max(widest, measure(CLIP(LEFT(shown))));
  }
  widest = std::max(widest, measure(column->HEADER));
  int width = static_cast<int>(widest) * 4;
  switch (column->FJUST) {
    case 'L':
      width += column->FOFFSET;
      break;
    case 'R':
      width += column->FOFFSET;
      break;
    case 'D':
      width += 1;
      break;
    default:
      break;
  }
  if (column->ICONX) width += 11;
  column->WIDTHDLU = width + 1;
  REFORMATLISTBOX();
  return true;
}

}  // namespace vx
