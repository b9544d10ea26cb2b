#include "datadll/addons/tree_list_class.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <utility>

#include "datadll/addons/addon_keys.h"
#include "datadll/addons/tree_toolbar_target.h"
#include "framework/file_manager.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/record_codec.h"
#include "runtime/threads.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx::addons {
namespace {

constexpr int CtrlUp = 0x226, CtrlDown = 0x228, CtrlLeft = 0x225, CtrlRight = 0x227;
constexpr int ShiftUp = 0x126, ShiftDown = 0x128;
constexpr int CtrlPageUp = 0x221, CtrlPageDown = 0x222;

// The keys the tree alerts and the action each runs (TAKEACTION).
constexpr std::pair<int, int> kKeyActions[] = {
    {MouseLeft2, 1}, {InsertKey, 2},     {CtrlEnter, 3},   {DeleteKey, 4},
    {CtrlUp, 5},     {CtrlDown, 6},      {CtrlLeft, 7},    {CtrlRight, 8},
    {ShiftUp, 9},    {CtrlPageDown, 10}, {CtrlPageUp, 11}, {ShiftDown, 12}};

TreeRecord RecordOf(const FileManager& file) {
  TreeRecord r;
  const char* buffer = static_cast<const char*>(file.def().buffer());
  for (const auto& field : file.def().fields) r[field.name] = storage::FieldText(field, buffer);
  return r;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string FieldOf(const TreeRecord& r, const std::string& name) {
  auto it = r.find(name);
  return it == r.end() ? std::string() : Trimmed(it->second);
}

}  // namespace

std::string TREESECTION::TAKEFORMAT(const TreeRecord& record, int, bool, bool, bool) {
  return DISPLAYFIELD.empty() ? TEXT : FieldOf(record, DISPLAYFIELD);
}

void TREESECTION::FORMATICON(const std::string& icon) {
  if (formatting_) formatting_->icon = icon;
}

void TREESECTION::FORMATCOLORS(long fg, long bg, long selected_fg, long selected_bg) {
  if (formatting_) formatting_->colours = {fg, bg, selected_fg, selected_bg};
}

void TREESECTION::FORMATICON(long value) {
  auto it = icons_.find(value);
  if (it == icons_.end()) it = icons_.find(0);
  if (it != icons_.end()) FORMATICON(it->second);
}

void TREESECTION::FORMATCOLORS(long value) {
  auto it = colours_.find(value);
  if (it == colours_.end()) it = colours_.find(0);
  if (it != colours_.end())
    FORMATCOLORS(it->second[0], it->second[1], it->second[2], it->second[3]);
}

void ULTRATREECLASS::INIT(Control& list) {
  list_ = &list;
  list.From(this);
}

int ULTRATREECLASS::Add(SectionType type, TREESECTION& object) {
  Section s{type, &object};
  sections_.push_back(std::move(s));
  return static_cast<int>(sections_.size());
}

int ULTRATREECLASS::ADDSECTION(FILESECTION& section, FileManager& file,
                               const storage::KeyDef& key) {
  const int id = Add(SectionType::File, section);
  sections_.back().file = &file;
  sections_.back().key = &key;
  for (const auto& c : key.components) sections_.back().identity.push_back(c.field);
  return id;
}

int ULTRATREECLASS::ADDSECTION(VIEWSECTION& section, FileManager& file,
                               const storage::KeyDef& key) {
  const int id = Add(SectionType::View, section);
  sections_.back().file = &file;
  sections_.back().key = &key;
  for (const auto& c : key.components) sections_.back().identity.push_back(c.field);
  return id;
}

int ULTRATREECLASS::ADDSECTION(QUEUESECTION& section, const std::vector<TreeRecord>& queue,
                               std::vector<std::string> identity) {
  const int id = Add(SectionType::Queue, section);
  sections_.back().queue = &queue;
  sections_.back().identity = std::move(identity);
  return id;
}

int ULTRATREECLASS::ADDHEADER(HEADERSECTION& section, int parent) {
  const int id = Add(SectionType::Header, section);
  if (parent >= 1 && parent < id) sections_[parent - 1].header = id;
  sections_.back().is_child = true;
  return id;
}

int ULTRATREECLASS::ADDFOOTER(FOOTERSECTION& section, int parent) {
  const int id = Add(SectionType::Footer, section);
  if (parent >= 1 && parent < id) sections_[parent - 1].footer = id;
  sections_.back().is_child = true;
  return id;
}

void ULTRATREECLASS::ADDLINK(int child, int parent, std::string child_field,
                             std::string parent_field) {
  const int count = static_cast<int>(sections_.size());
  if (child < 1 || child > count || parent < 1 || parent > count) return;
  if (child != parent) sections_[child - 1].is_child = true;
  sections_[parent - 1].children.push_back(
      {child, std::move(child_field), std::move(parent_field)});
}

bool ULTRATREECLASS::ADDRECURSION(int section, std::string child_field, std::string parent_field) {
  if (section < 1 || section > static_cast<int>(sections_.size()) ||
      sections_[section - 1].type != SectionType::View) {
    MESSAGE("Programming Error! Recursion supported only for views.", "Programming Error",
            MessageIcon::Exclamation);
    return false;
  }
  ADDLINK(section, section, std::move(child_field), std::move(parent_field));
  return true;
}

std::vector<TreeRecord> ULTRATREECLASS::Read(const Section& s) const {
  std::vector<TreeRecord> out;
  if (s.queue) return *s.queue;
  if (!s.file) return out;
  if (failed_) return out;
  int code = s.file->UseFile();
  if (code == 0) code = s.file->Set(*s.key);
  while (code == 0 && (code = s.file->TryNext()) == 0) {
    TreeRecord r = RecordOf(*s.file);
    if (s.type == SectionType::File && s.object->TAKEFILTER(r)) continue;
    out.push_back(std::move(r));
  }
  if (code != 0 && code != storage::kNoRecord) {
    LoadFailed(s, code);
    out.clear();
  }
  return out;
}

Control& ULTRATREECLASS::ProgressOverList() {
  Window& window = list_->OwnerWindow();
  if (!progress_) {
    ControlMaker& maker = list_->Parent() ? static_cast<ControlMaker&>(window[list_->Parent()])
                                          : static_cast<ControlMaker&>(window);
    progress_ = maker.Progress(0, 100).Number();
  }
  Control& bar = window[progress_];
  bar.Place(list_->GetNumber(Prop::X),
            list_->GetNumber(Prop::Y) + list_->GetNumber(Prop::Height) / 2,
            list_->GetNumber(Prop::Width), 8);
  bar.Set(Prop::Value, 0L).Unhide();
  return bar;
}

void ULTRATREECLASS::LoadFailed(const Section& s, int code) const {
  failed_ = true;
  const storage::TableDef& def = s.file->def();
  const std::string name = def.display_name.empty() ? def.StoredName() : def.display_name;
  MESSAGE("Status " + std::to_string(code) + " attempting to load " + name, "Tree",
          MessageIcon::Exclamation);
  MESSAGE("Closing active window due to unrecoverable error", "Tree", MessageIcon::Exclamation);
  if (list_) list_->OwnerWindow().Post(EVENT_CloseWindow);
}

std::string ULTRATREECLASS::IdentityOf(const Section& s, const TreeRecord& r) const {
  std::string id;
  for (const std::string& f : s.identity) id += FieldOf(r, f) + "\x1f";
  return id;
}

// Whether the record is the row itself or one of the rows above it on its chain of parents.
bool ULTRATREECLASS::OnChain(long row, int section, const std::string& identity) const {
  while (row >= 1) {
    const Row& r = rows_[row - 1];
    if (r.section == section && r.identity == identity) return true;
    const long depth = Depth(row);
    if (depth <= 1) return false;
    long up = row - 1;
    while (up >= 1 && Depth(up) >= depth) --up;
    row = up;
  }
  return false;
}

std::vector<ULTRATREECLASS::Row> ULTRATREECLASS::ChildrenOf(long parent) const {
  std::vector<Row> out;
  const long depth = parent ? Depth(parent) + 1 : 1;
  const std::string prefix = parent ? rows_[parent - 1].position + "." : std::string();
  int ordinal = 0;
  const auto add = [&](int section, TreeRecord record) {
    Row r;
    r.section = section;
    r.level = depth;
    r.position = prefix + std::to_string(++ordinal);
    r.identity = IdentityOf(sections_[section - 1], record);
    r.path = (parent ? rows_[parent - 1].path : std::string()) + "/" + std::to_string(section) +
             ":" + r.identity;
    r.record = std::move(record);
    out.push_back(std::move(r));
  };
  if (parent == 0) {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
      const Section& s = sections_[i];
      if (s.is_child || s.type == SectionType::Header || s.type == SectionType::Footer) continue;
      for (TreeRecord& r : Read(s)) add(static_cast<int>(i) + 1, std::move(r));
    }
    return out;
  }
  const Row& p = rows_[parent - 1];
  const Section& ps = sections_[p.section - 1];
  if (ps.type == SectionType::Header || ps.type == SectionType::Footer) return out;
  for (const Section::Link& link : ps.children) {
    const Section& cs = sections_[link.child - 1];
    const std::size_t before = out.size();
    for (TreeRecord& r : Read(cs)) {
      if (!link.child_field.empty() &&
          FieldOf(r, link.child_field) != FieldOf(p.record, link.parent_field))
        continue;
      // A record already on this row's chain would lead round the cycle again.
      if (OnChain(parent, link.child, IdentityOf(cs, r))) continue;
      add(link.child, std::move(r));
    }
    // A section under its own records has its header and footer once, above its top records.
    if (out.size() == before || link.child == p.section) continue;
    if (cs.header) {
      Row h;
      h.section = cs.header;
      h.level = depth;
      h.position = prefix + "0";
      h.path = p.path + "/" + std::to_string(cs.header);
      out.insert(out.begin() + static_cast<long>(before), std::move(h));
    }
    if (cs.footer) {
      Row f;
      f.section = cs.footer;
      f.level = depth;
      f.position = prefix + std::to_string(++ordinal);
      f.path = p.path + "/" + std::to_string(cs.footer);
      out.push_back(std::move(f));
    }
  }
  return out;
}

void ULTRATREECLASS::Format(Row& row, bool loaded, bool not_loaded) {
  const bool none = !loaded && !not_loaded;
  TREESECTION& section = *sections_[row.section - 1].object;
  TREESECTION::Look look;
  section.formatting_ = &look;
  if (!section.PICKFIELD.empty()) {
    const long value = std::atol(FieldOf(row.record, section.PICKFIELD).c_str());
    section.FORMATICON(value);
    section.FORMATCOLORS(value);
  }
  row.text = section.TAKEFORMAT(row.record, static_cast<int>(std::labs(row.level)), loaded,
                                not_loaded, none);
  section.formatting_ = nullptr;
  row.icon = look.icon;
  row.colours = look.colours;
  if (!row.icon.empty() && std::find(icons_.begin(), icons_.end(), row.icon) == icons_.end()) {
    icons_.push_back(row.icon);
    if (list_) list_->IconList(icons_);
  }
}

// The text, then what the tree column's format asks for: four colours, an icon's number in the
// list's icons (from 1; 0 none), the level.
std::vector<std::string> ULTRATREECLASS::Fields(std::size_t row) const {
  const Row& r = rows_[row];
  std::vector<std::string> out = {r.text};
  const ListColumn* column = list_ && !list_->Columns().empty() ? &list_->Columns()[0] : nullptr;
  if (column && column->colors) {
    for (long c : r.colours) out.push_back(std::to_string(c));
  }
  if (column && column->icon) {
    const auto at = std::find(icons_.begin(), icons_.end(), r.icon);
    out.push_back(r.icon.empty() || at == icons_.end() ? "0"
                                                       : std::to_string(at - icons_.begin() + 1));
  }
  out.push_back(std::to_string(r.level));
  return out;
}

void ULTRATREECLASS::Show() {
  if (!list_) return;
  list_->From(this);
  if (CURRENTCHOICE > static_cast<long>(rows_.size()))
    CURRENTCHOICE = static_cast<long>(rows_.size());
  list_->Choose(CURRENTCHOICE);
}

void ULTRATREECLASS::EXPAND(long row, bool all) {
  if (row < 1 || row > static_cast<long>(rows_.size()) || rows_[row - 1].level > 0) return;
  std::vector<Row> children = ChildrenOf(row);
  if (failed_) return;
  rows_[row - 1].level = Depth(row);
  Format(rows_[row - 1], true, false);
  expanded_.insert(rows_[row - 1].path);
  rows_.insert(rows_.begin() + row, children.begin(), children.end());
  // Each new row: opened at once when every row is opened or it was open before, else only
  // probed for children (contracted when it has some).
  for (long i = row + 1; i <= row + static_cast<long>(children.size()); ++i) {
    Row& r = rows_[i - 1];
    const Section& s = sections_[r.section - 1];
    const bool fixed = s.type == SectionType::Header || s.type == SectionType::Footer;
    const bool has = !fixed && (s.object->ASSUMECHILDREN || !ChildrenOf(i).empty());
    r.level = has ? -r.level : r.level;
    Format(r, false, has);
  }
  for (long i = row + static_cast<long>(children.size()); i > row; --i) {
    const Row& r = rows_[i - 1];
    const bool reopen = expanded_.count(r.path) != 0;
    if (failed_) return;
    if (r.level < 0 && (all || reopen || Depth(i) < LOADDEPTH)) EXPAND(i, all);
  }
}

void ULTRATREECLASS::CONTRACT(long row, bool forget) {
  if (row < 1 || row > static_cast<long>(rows_.size()) || rows_[row - 1].level < 0) return;
  const long depth = Depth(row);
  long end = row;
  while (end < static_cast<long>(rows_.size()) && Depth(end + 1) > depth) ++end;
  if (end == row) return;  // a leaf
  for (long i = row + 1; i <= end && forget; ++i) expanded_.erase(rows_[i - 1].path);
  expanded_.erase(rows_[row - 1].path);
  rows_.erase(rows_.begin() + row, rows_.begin() + end);
  rows_[row - 1].level = -depth;
  Format(rows_[row - 1], false, true);
  if (CURRENTCHOICE > row && CURRENTCHOICE <= end) CURRENTCHOICE = row;
  if (CURRENTCHOICE > end) CURRENTCHOICE -= end - row;
}

void ULTRATREECLASS::REFRESHTREE(int mode, int load_depth) {
  if (load_depth != 0) LOADDEPTH = load_depth;
  if (mode & 1) {
    EXPLODE = true;
  } else if (mode & 2) {
    EXPLODE = false;
  }
  // The chosen row: its chain of section and position, found again after the reload.
  std::vector<std::pair<int, std::string>> chain;
  if (CURRENTCHOICE >= 1 && CURRENTCHOICE <= static_cast<long>(rows_.size())) {
    for (long row = CURRENTCHOICE; row >= 1;) {
      chain.insert(chain.begin(), {rows_[row - 1].section, rows_[row - 1].identity});
      const long depth = Depth(row);
      if (depth <= 1) break;
      long up = row - 1;
      while (up >= 1 && Depth(up) >= depth) --up;
      row = up;
    }
  }
  if (mode & 3) expanded_.clear();
  if (list_ && (!list_->Visible() || !list_->Enabled())) return;
  failed_ = false;
  rows_ = ChildrenOf(0);
  for (long i = 1; i <= static_cast<long>(rows_.size()); ++i) {
    Row& r = rows_[i - 1];
    const bool has = sections_[r.section - 1].object->ASSUMECHILDREN || !ChildrenOf(i).empty();
    if (has) r.level = -r.level;
    Format(r, false, has);
  }
  // The rows open before open again one by one: a long reopening shows the busy cursor and its
  // progress over the list, and lets other threads run between rows.
  const auto reopens = [&](const Row& r) {
    return r.level < 0 && ((mode & 1) || expanded_.count(r.path) || LOADDEPTH > 1);
  };
  const long total = std::count_if(rows_.begin(), rows_.end(), reopens);
  std::optional<CursorScope> busy;
  Control* bar = nullptr;
  if (total > 0 && list_) {
    busy.emplace(&list_->OwnerWindow(), "Wait");
    bar = &ProgressOverList();
  }
  long done = 0;
  for (long i = static_cast<long>(rows_.size()); i >= 1 && !failed_; --i) {
    if (!reopens(rows_[i - 1])) continue;
    EXPAND(i, (mode & 1) != 0);
    if (bar) {
      bar->Set(Prop::Value, ++done * 100 / total);
      YIELD();
    }
  }
  if (bar) bar->Hide();
  // A failed load leaves no tree: the window is closing.
  if (failed_) {
    rows_.clear();
    CURRENTCHOICE = 0;
    Show();
    return;
  }
  if ((mode & 4) && !chain.empty()) {
    long found = 0;
    long from = 1;
    for (const auto& [section, identity] : chain) {
      long at = 0;
      for (long i = from; i <= static_cast<long>(rows_.size()); ++i) {
        if (rows_[i - 1].section == section && rows_[i - 1].identity == identity) {
          at = i;
          break;
        }
      }
      if (!at) break;
      found = at;
      from = at + 1;
    }
    if (!found) {
      MESSAGE("Previously selected record no longer in queue", "Tree", MessageIcon::Exclamation);
      found = rows_.empty() ? 0 : 1;
    }
    CURRENTCHOICE = found;
  } else if (SELECTAFTERREFRESH && CURRENTCHOICE == 0 && !rows_.empty()) {
    CURRENTCHOICE = 1;
  }
  Show();
}

namespace {
constexpr const char* kPopupNames[] = {
    "Insert", "Change",    "Delete",      "-", "ExpandNode",  "ContractNode",
    "-",      "ExpandAll", "ContractAll", "-", "RefreshNode", "RefreshTree"};
}  // namespace

void ULTRATREECLASS::ASKPOPUP() {
  const Row* row = CURRENTCHOICE >= 1 && CURRENTCHOICE <= static_cast<long>(rows_.size())
                       ? &rows_[static_cast<std::size_t>(CURRENTCHOICE - 1)]
                       : nullptr;
  const Rights rights = RIGHTS();
  std::string menu;
  for (const char* name : kPopupNames) {
    const std::string n = name;
    bool enabled = true;
    if (n == "Insert") enabled = rights.insert;
    if (n == "Change") enabled = rights.change;
    if (n == "Delete") enabled = rights.remove;
    if (n == "ExpandNode") enabled = row && row->level < 0;
    if (n == "ContractNode")
      enabled = row && row->level > 0 && CURRENTCHOICE < static_cast<long>(rows_.size()) &&
                Depth(CURRENTCHOICE + 1) > Depth(CURRENTCHOICE);
    menu += (menu.empty() ? "" : "|") + std::string(enabled || n == "-" ? "" : "~") + n;
  }
  const int chosen = POPUP(menu);
  int number = 0;
  for (const char* name : kPopupNames) {
    if (std::string(name) == "-") continue;
    if (++number == chosen) TAKEPOPUPACTION(name);
  }
}

void ULTRATREECLASS::TAKEPOPUPACTION(const std::string& name) {
  if (name == "Insert") UPDATEROW(1);
  if (name == "Change") UPDATEROW(2);
  if (name == "Delete") UPDATEROW(3);
  if (name == "Select") SELECTROW();
  if (name == "ExpandNode") EXPAND(CURRENTCHOICE);
  if (name == "ContractNode") CONTRACT(CURRENTCHOICE);
  if (name == "ExpandAll") REFRESHTREE(1 | 4);
  if (name == "ContractAll") REFRESHTREE(2 | 4);
  if (name == "RefreshTree") REFRESHTREE(4);
  if (name == "RefreshNode") REFRESHNODE(CURRENTCHOICE);
  Show();
}

void ULTRATREECLASS::UPDATEROW(int request) {
  if (CURRENTCHOICE < 1 || CURRENTCHOICE > static_cast<long>(rows_.size())) return;
  const long row = CURRENTCHOICE;
  int section = rows_[row - 1].section;
  long under = ParentRow(row);
  if (request == 1) {
    std::tie(section, under) = InsertPlace(row);
    if (section == 0) return;
  } else if (sections_[section - 1].type == SectionType::Footer ||
             sections_[section - 1].type == SectionType::Header) {
    return;
  }
  const TREESECTION& t = *sections_[section - 1].object;
  const bool allowed = request == 1 ? t.ALLOWINSERT : request == 2 ? t.ALLOWCHANGE : t.ALLOWDELETE;
  if (!allowed || !t.UPDATE) return;
  const bool top = Depth(row) == 1;
  if (request == 1) PrimeInsert(section, under);
  if (t.UPDATE(request) != 1) return;
  if (request == 3) {
    // The deleted row and the rows under it leave the list at once; the row after it (else the
    // one before) is chosen.
    const long end = LastBelow(row);
    for (long i = row; i <= end; ++i) expanded_.erase(rows_[i - 1].path);
    rows_.erase(rows_.begin() + row - 1, rows_.begin() + end);
    CURRENTCHOICE = std::min(row, static_cast<long>(rows_.size()));
  }
  if (REFRESHTREEAFTERUPDATE || top || under == 0) {
    REFRESHTREE(4);
  } else {
    REFRESHNODE(under);
  }
}

void ULTRATREECLASS::SETALERTS() {
  if (!list_) return;
  for (int key :
       {MouseLeft2, CtrlUp, CtrlDown, CtrlLeft, CtrlRight, CtrlPageUp, CtrlPageDown, MouseRight})
    list_->Alert(key);
  if (ENABLEKEYBOARDUPDATE) {
    for (int key : {InsertKey, DeleteKey, CtrlEnter}) list_->Alert(key);
  }
  if (ENABLETREEEXPLODE) list_->Alert(ShiftUp).Alert(ShiftDown);
  // Alerted letters and digits reach the tree, not the list's own locator, which stays put.
  if (DISABLELOCATOR) {
    for (int key = 'A'; key <= 'Z'; ++key) list_->Alert(key);
    for (int key = '0'; key <= '9'; ++key) list_->Alert(key);
  }
}

void ULTRATREECLASS::SETOPTION(int option, bool value) {
  bool* const options[] = {&ENABLETREEEXPLODE, &ENABLEKEYBOARDUPDATE,   &ENABLELASTLEVELINSERTS,
                           &SELECTING,         &REFRESHTREEAFTERUPDATE, &SELECTAFTERREFRESH,
                           &ACCEPTTOOLBAR,     &DISABLELOCATOR};
  if (option >= 1 && option <= 8) *options[option - 1] = value;
}

void ULTRATREECLASS::SELECTROW() {
  if (!SELECTING || CURRENTCHOICE < 1 || CURRENTCHOICE > static_cast<long>(rows_.size())) return;
  const Row& row = rows_[static_cast<std::size_t>(CURRENTCHOICE - 1)];
  if (!sections_[row.section - 1].object->ALLOWSELECT || !WM) return;
  WM->Response = RequestCompleted;
  WM->PostClose();
}

void ULTRATREECLASS::TAKEVCRSCROLL(int request) {
  const long rows = static_cast<long>(rows_.size());
  if (rows == 0 || request < 2004 || request > 2009) return;
  const long page = list_ ? std::max(1L, list_->GetNumber(Prop::Items)) : 1;
  long to = CURRENTCHOICE;
  switch (request) {
    case 2004:
      to = rows;
      break;
    case 2005:
      to = 1;
      break;
    case 2006:
      to += page;
      break;
    case 2007:
      to -= page;
      break;
    case 2008:
      ++to;
      break;
    default:
      --to;
      break;
  }
  CURRENTCHOICE = std::clamp(to, 1L, rows);
  Show();
  if (list_) list_->OwnerWindow().Post(EVENT_NewSelection, list_->Number());
}

int ULTRATREECLASS::TAKEEVENT() {
  if (!list_) return 0;
  if (TOOLBARITEM && TOOLBARITEM->TAKEEVENT()) return 0;
  const int answer = TakeListEvent();
  if (TOOLBARITEM) TOOLBARITEM->SHOWSTATE();
  return answer;
}

int ULTRATREECLASS::TakeListEvent() {
  const int field = FIELD();
  if (field != 0 && field == LINKEDCONTROL) {
    const Control* linked = list_->OwnerWindow().Find(LINKEDCONTROL);
    const bool list = linked && linked->Type() == ControlType::List;
    if ((list && EVENT() == EVENT_NewSelection) || (!list && EVENT() == EVENT_Accepted)) {
      CURRENTCHOICE = 0;
      REFRESHTREE();
    }
    return 0;
  }
  // A double click on a row is a change, unless it fell on the row's open/close marker: that
  // opened or closed the row and is not meant as a change. Front ends report it as the list's
  // acceptance or, alerted, as the key.
  const bool double_click = field == list_->Number() && KEYCODE() == MouseLeft2 &&
                            (EVENT() == EVENT_Accepted || EVENT() == EVENT_AlertKey);
  if (double_click) {
    CURRENTCHOICE = list_->Choice();
    if (list_->GetNumber(Prop::MouseDownZone) != ListZone_ExpandBox) TAKEACTION(1);
    return 0;
  }
  if (EVENT() == EVENT_Accepted && field != 0) {
    const std::pair<int, const char*> buttons[] = {
        {INSERTCONTROL, "Insert"},          {CHANGECONTROL, "Change"},
        {DELETECONTROL, "Delete"},          {SELECTCONTROL, "Select"},
        {EXPLODENODECONTROL, "ExpandNode"}, {COLLAPSENODECONTROL, "ContractNode"},
        {EXPLODETREECONTROL, "ExpandAll"},  {COLLAPSETREECONTROL, "ContractAll"}};
    for (const auto& [button, action] : buttons) {
      if (button == field) TAKEPOPUPACTION(action);
    }
    return 0;
  }
  if (field == 0 && (EVENT() == TreeContractAllEvent || EVENT() == TreeRefreshEvent)) {
    TAKEPOPUPACTION(EVENT() == TreeContractAllEvent ? "ContractAll" : "RefreshTree");
    return 0;
  }
  if (field != list_->Number()) return 0;
  switch (EVENT()) {
    case EVENT_NewSelection:
      CURRENTCHOICE = list_->Choice();
      return 0;
    case EVENT_Expanded:
      CURRENTCHOICE = list_->Choice();
      EXPAND(CURRENTCHOICE);
      Show();
      return 5;
    case EVENT_Contracted:
      CURRENTCHOICE = list_->Choice();
      CONTRACT(CURRENTCHOICE);
      Show();
      return 5;
    case EVENT_AlertKey:
      CURRENTCHOICE = list_->Choice();
      if (KEYCODE() == MouseRight) {
        ASKPOPUP();
        return 0;
      }
      for (const auto& [key, action] : kKeyActions) {
        if (key == KEYCODE()) TAKEACTION(action);
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace vx::addons
