#include "runtime/window/control.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>

#include "runtime/event_queue.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/threads.h"
#include "runtime/window/rich_edit_input.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::vector<std::string> SplitBars(std::string_view text) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t bar = text.find('|', pos);
    parts.emplace_back(
        text.substr(pos, bar == std::string_view::npos ? std::string_view::npos : bar - pos));
    if (bar == std::string_view::npos) break;
    pos = bar + 1;
  }
  return parts;
}

// The rows of every control not rendered yet: one empty list, shared (rows are never changed
// once made, only replaced).
const std::shared_ptr<const std::vector<ListRow>>& NoRows() {
  static const auto* const none = new std::shared_ptr<const std::vector<ListRow>>(
      std::make_shared<const std::vector<ListRow>>());
  return *none;
}

// The format of a control that has none.
const ListFormat& NoFormat() {
  static const ListFormat none;
  return none;
}

std::string WithoutHotLetter(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
    out += text[i];
  }
  return out;
}

}  // namespace

// --- ControlMaker ---------------------------------------------------------------------------

Control& ControlMaker::Make(ControlType type, std::string_view text, Binding use) {
  Window& window = MakerWindow();
  Control& c = window.AddControl(type, MakerParent(), use);
  if (!text.empty()) c.props_.Change(Prop::Text, text);
  if (window.IsOpen()) window.AnnounceControl(c);
  return c;
}

Control& ControlMaker::Prompt(std::string_view text) { return Make(ControlType::Prompt, text, {}); }
Control& ControlMaker::String(std::string_view text) { return Make(ControlType::String, text, {}); }
Control& ControlMaker::String(Binding use, std::string_view picture) {
  return Make(ControlType::String, {}, use).Set(Prop::Picture, picture);
}
Control& ControlMaker::Entry(Binding use, std::string_view picture) {
  return Make(ControlType::Entry, {}, use).Set(Prop::Picture, picture);
}
Control& ControlMaker::Text(Binding use) { return Make(ControlType::Text, {}, use); }
Control& ControlMaker::Spin(Binding use, std::string_view picture, long low, long high, long step) {
  return Make(ControlType::Spin, {}, use)
      .Set(Prop::Picture, picture)
      .Set(Prop::RangeLow, low)
      .Set(Prop::RangeHigh, high)
      .Set(Prop::Step, step);
}
Control& ControlMaker::Button(std::string_view text) { return Make(ControlType::Button, text, {}); }
Control& ControlMaker::Check(std::string_view text, Binding use) {
  return Make(ControlType::Check, text, use).Set(Prop::TrueValue, "1").Set(Prop::FalseValue, "0");
}
Control& ControlMaker::Option(std::string_view text, Binding use) {
  return Make(ControlType::Option, text, use);
}
Control& ControlMaker::Radio(std::string_view text, std::string_view value) {
  Control& c = Make(ControlType::Radio, text, {});
  if (!value.empty()) c.props_.Change(Prop::Value, value);
  return c;
}
Control& ControlMaker::DropList(Binding use, std::string_view from) {
  return Make(ControlType::DropList, {}, use).From(from);
}
Control& ControlMaker::Combo(Binding use, std::string_view picture, std::string_view from) {
  return Make(ControlType::Combo, {}, use).Set(Prop::Picture, picture).From(from);
}
Control& ControlMaker::List(std::string_view format) {
  return Make(ControlType::List, {}, {}).Format(format);
}
Control& ControlMaker::Sheet() { return Make(ControlType::Sheet, {}, {}); }
Control& ControlMaker::Tab(std::string_view text) { return Make(ControlType::Tab, text, {}); }
Control& ControlMaker::Group(std::string_view text) { return Make(ControlType::Group, text, {}); }
Control& ControlMaker::Panel() { return Make(ControlType::Panel, {}, {}); }
Control& ControlMaker::Region() { return Make(ControlType::Region, {}, {}); }
Control& ControlMaker::Image(std::string_view file) { return Make(ControlType::Image, file, {}); }
Control& ControlMaker::BarGraph() { return Make(ControlType::BarGraph, {}, {}); }
Control& ControlMaker::SizeGrip() { return Make(ControlType::SizeGrip, {}, {}); }
Control& ControlMaker::PageImage() { return Make(ControlType::PageImage, {}, {}); }
Control& ControlMaker::RichEdit() { return Make(ControlType::RichEdit, {}, {}); }
Control& ControlMaker::Ruler() { return Make(ControlType::Ruler, {}, {}); }

Control& ControlMaker::Progress(long low, long high) {
  return Make(ControlType::Progress, {}, {}).Set(Prop::RangeLow, low).Set(Prop::RangeHigh, high);
}
Control& ControlMaker::Menu(std::string_view text) { return Make(ControlType::Menu, text, {}); }
Control& ControlMaker::Item(std::string_view text) { return Make(ControlType::Item, text, {}); }
Control& ControlMaker::Separator() { return Make(ControlType::Item, "-", {}); }

Control& ControlMaker::Row() { return MakeArranged({Arrangement::Row, 0}); }
Control& ControlMaker::Grid(int columns) {
  return MakeArranged({Arrangement::Grid, columns >= 1 ? columns : 1});
}
Control& ControlMaker::Beside() { return MakeArranged({Arrangement::Beside, 0}); }
Control& ControlMaker::Stacked() { return MakeArranged({Arrangement::Stacked, 0}); }
Control& ControlMaker::FormRows() { return MakeArranged({Arrangement::FormRows, 0}); }
Control& ControlMaker::Free() { return MakeArranged({Arrangement::Free, 0}); }

// A region announced with its layout, so that a front end builds the right container before the
// first control inside it arrives.
Control& ControlMaker::MakeArranged(Layout layout) {
  Window& window = MakerWindow();
  Control& c = window.AddControl(ControlType::Region, MakerParent(), {});
  c.props_.Change(Prop::Layout, layout.Text());
  if (window.IsOpen()) window.AnnounceControl(c);
  return c;
}

// --- Control --------------------------------------------------------------------------------

Control::Control(Window& window, int number, ControlType type, int parent, Binding use)
    : window_(window), number_(number), type_(type), parent_(parent), use_(use), rows_(NoRows()) {}

Control& Control::Set(Prop prop, std::string_view value) {
  if (!props_.Change(prop, value)) return *this;
  if (prop == Prop::Format) {
    format_ = ReadListFormat(value);
    if (!window_.IsOpen()) {
      design_format_ = std::string(value);
      design_ = format_;
    }
  }
  if (window_.IsOpen()) window_.AnnounceProp(number_, prop, props_.View(prop));
  if (prop == Prop::Layout) window_.Relayout(number_);
  if (prop == Prop::Format && window_.IsOpen()) Render();
  return *this;
}

Control& Control::Place(long x, long y, long width, long height) {
  return Set(Prop::X, x).Set(Prop::Y, y).Set(Prop::Width, width).Set(Prop::Height, height);
}

Control& Control::Default() {
  window_.SetDefaultButton(number_);
  return *this;
}

Control& Control::Alert(int keycode) {
  const std::string keys = Get(Prop::Alert);
  const std::string key = std::to_string(keycode);
  if (("|" + keys + "|").find("|" + key + "|") != std::string::npos) return *this;
  return Set(Prop::Alert, keys.empty() ? key : keys + "|" + key);
}

bool Control::Visible() const {
  for (const Control* c = this; c; c = c->parent_ ? window_.Find(c->parent_) : nullptr) {
    if (c->Is(Prop::Hide)) return false;
  }
  return true;
}

bool Control::Enabled() const {
  for (const Control* c = this; c; c = c->parent_ ? window_.Find(c->parent_) : nullptr) {
    if (c->Is(Prop::Disable)) return false;
  }
  return true;
}

std::vector<Control*> Control::Children() const {
  std::vector<Control*> out;
  for (const auto& c : window_.Controls()) {
    if (c->parent_ == number_) out.push_back(c.get());
  }
  return out;
}

// The value that choosing item `choice` (from 1) stores in the use-variable.
std::string Control::ChoiceValue(long choice) const {
  switch (type_) {
    case ControlType::Option: {
      const auto radios = Children();
      if (choice < 1 || choice > static_cast<long>(radios.size())) return use_.numeric() ? "0" : "";
      if (use_.numeric()) return std::to_string(choice);
      const Control& radio = *radios[choice - 1];
      const std::string value = radio.Get(Prop::Value);
      return value.empty() ? WithoutHotLetter(radio.Get(Prop::Text)) : value;
    }
    case ControlType::DropList:
    case ControlType::Combo:
      if (choice < 1 || choice > static_cast<long>(item_values_.size())) return "";
      return item_values_[choice - 1];
    default:
      return std::to_string(choice);
  }
}

// Which item (from 1) stands for a use-variable value; 0 none.
long Control::ChoiceOf(std::string_view value) const {
  for (long i = 1;; ++i) {
    if (type_ == ControlType::Option && i > static_cast<long>(Children().size())) return 0;
    if (type_ != ControlType::Option && i > static_cast<long>(item_values_.size())) return 0;
    const std::string candidate = ChoiceValue(i);
    if (ClipView(candidate) == ClipView(value)) return i;
  }
}

void Control::Display() {
  const std::string& picture = props_.View(Prop::Picture);  // a map keeps it where it is
  switch (type_) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Spin:
    case ControlType::String:
    case ControlType::Combo:
      if (use_.bound()) Set(Prop::Value, FORMAT(use_.Get(), picture));
      if (type_ == ControlType::Combo) Set(Prop::Selected, ChoiceOf(use_.Get()));
      break;
    case ControlType::Check:
      if (use_.bound())
        Set(Prop::Value, ClipView(use_.Get()) == ClipView(Get(Prop::TrueValue)) ? "1" : "0");
      break;
    case ControlType::Option:
    case ControlType::DropList:
      if (use_.bound()) {
        const long choice = ChoiceOf(use_.Get());
        Set(Prop::Selected, choice);
        if (type_ == ControlType::DropList) {
          Set(Prop::Value, choice > 0 ? items_[choice - 1] : std::string());
        }
      }
      break;
    case ControlType::Sheet:
      if (use_.bound()) Set(Prop::Selected, TextToNumber(use_.Get()));
      break;
    case ControlType::List:
      Render();
      break;
    default:
      break;
  }
}

void Control::Update() {
  if (!use_.bound()) return;
  switch (type_) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Spin:
    case ControlType::Combo:
      use_.Set(DEFORMAT(Get(Prop::Value), Get(Prop::Picture)));
      break;
    case ControlType::Check:
      use_.Set(Is(Prop::Value) ? Get(Prop::TrueValue) : Get(Prop::FalseValue));
      break;
    case ControlType::Option:
    case ControlType::DropList:
      use_.Set(ChoiceValue(Choice()));
      break;
    case ControlType::Sheet:
      use_.Set(std::to_string(Choice()));
      break;
    default:
      break;
  }
}

void Control::Choose(long choice) {
  Set(Prop::Selected, choice);
  if (type_ == ControlType::DropList || type_ == ControlType::Combo) {
    Set(Prop::Value, choice > 0 && choice <= static_cast<long>(items_.size()) ? items_[choice - 1]
                                                                              : std::string());
  }
  if (type_ == ControlType::Option || type_ == ControlType::DropList ||
      type_ == ControlType::Sheet || type_ == ControlType::Combo) {
    Update();
  }
}

Control& Control::From(ListSource* source) {
  source_ = source;
  if (window_.IsOpen()) Render();
  return *this;
}

Control& Control::From(std::string_view items) {
  items_.clear();
  item_values_.clear();
  // "text|#value" gives the item before it a stored value other than its text.
  for (std::string& part : SplitBars(items)) {
    if (!part.empty() && part.front() == '#' && !items_.empty()) {
      item_values_.back() = part.substr(1);
      continue;
    }
    items_.push_back(part);
    item_values_.push_back(part);
  }
  Set(Prop::From, items);
  if (window_.IsOpen()) Render();
  return *this;
}

Control& Control::Swatches(std::vector<long> colours) {
  item_swatches_ = std::move(colours);
  if (window_.IsOpen()) Render();
  return *this;
}

Control& Control::Format(std::string_view format) { return Set(Prop::Format, format); }

Control& Control::IconList(std::vector<std::string> icons) {
  std::string joined;
  for (std::size_t i = 0; i < icons.size(); ++i) joined += (i ? "|" : "") + icons[i];
  return Set(Prop::IconList, joined);
}

std::size_t Control::Rows() const {
  if (source_) return source_->Records();
  return items_.size();
}

std::vector<std::string> Control::RowFields(long row) const {
  if (!source_ || row < 1 || static_cast<std::size_t>(row) > source_->Records()) return {};
  return source_->Fields(static_cast<std::size_t>(row - 1));
}

void Control::Render() {
  if (type_ != ControlType::List && type_ != ControlType::DropList && type_ != ControlType::Combo)
    return;
  std::vector<ListRow> rows;
  if (type_ == ControlType::List && source_) {
    // The icon files, read from a copy of the list's text (a long render may yield).
    const std::string icon_list = Get(Prop::IconList);
    std::vector<std::string_view> icons;
    for (std::size_t pos = 0; !icon_list.empty();) {
      const std::size_t bar = std::min(icon_list.find('|', pos), icon_list.size());
      icons.push_back(std::string_view(icon_list).substr(pos, bar - pos));
      if (bar == icon_list.size()) break;
      pos = bar + 1;
    }
    auto field = [](const std::vector<std::string>& fields, int n) -> std::string_view {
      return n >= 1 && n <= static_cast<int>(fields.size()) ? std::string_view(fields[n - 1])
                                                            : std::string_view();
    };
    const std::size_t count = source_->Records();
    rows.reserve(count);
    // Each column's picture was read with the format, once for all its cells. The format is
    // held here: a long render may yield, and nothing it reads may go meanwhile.
    const std::shared_ptr<const ListFormat> format = format_;
    const std::vector<ListColumn>& columns = (format ? *format : NoFormat()).columns;
    const std::vector<TextPicture>& pictures = (format ? *format : NoFormat()).pictures;
    // Rendering a very long list lets other runtime threads run every 50 ms where its source
    // allows it; the rows rendered so far stay aside until the end.
    const bool may_yield = source_->MayYieldWhileRendered();
    auto slice_start = std::chrono::steady_clock::now();
    for (std::size_t r = 0; r < count; ++r) {
      if (may_yield && r % 256 == 255 &&
          std::chrono::steady_clock::now() - slice_start >= std::chrono::milliseconds(50)) {
        YIELD();
        slice_start = std::chrono::steady_clock::now();
      }
      std::vector<std::string> made;
      const std::vector<std::string>* kept = source_->KeptFields(r);
      if (!kept) made = source_->Fields(r);
      const std::vector<std::string>& fields = kept ? *kept : made;
      ListRow& row = rows.emplace_back(columns.size());
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const ListColumn& col = columns[c];
        ListCell& cell = row[c];
        cell.text = pictures[c].Format(field(fields, col.field));
        cell.fg = col.normal_fg;
        cell.bg = col.normal_bg;
        cell.selected_fg = col.selected_fg;
        cell.selected_bg = col.selected_bg;
        if (col.colors) {
          cell.fg = TextToNumber(field(fields, col.ColorField()));
          cell.bg = TextToNumber(field(fields, col.ColorField() + 1));
          cell.selected_fg = TextToNumber(field(fields, col.ColorField() + 2));
          cell.selected_bg = TextToNumber(field(fields, col.ColorField() + 3));
        }
        if (col.icon) {
          const long n = TextToNumber(field(fields, col.IconField()));
          if (n >= 1 && n <= static_cast<long>(icons.size())) cell.icon = icons[n - 1];
        }
        if (col.tree) cell.level = TextToNumber(field(fields, col.TreeField()));
      }
    }
  } else {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      ListCell cell{items_[i]};
      if (i < item_swatches_.size()) cell.swatch = item_swatches_[i];
      rows.push_back(ListRow{std::move(cell)});
    }
  }
  rows_ = std::make_shared<const std::vector<ListRow>>(std::move(rows));
  window_.AnnounceRows(*this);
}

void Control::ApplyInput(const Event& event) {
  switch (type_) {
    case ControlType::Entry:
      // A keystroke of an immediate entry brings the caret with it (choice, from 1).
      if (event.number == EVENT_NewSelection && event.choice > 0) {
        Set(Prop::SelStart, event.choice);
        Set(Prop::SelEnd, event.choice - 1);
      }
      [[fallthrough]];
    case ControlType::Text:
    case ControlType::Spin:
      Set(Prop::Value, event.text);
      Update();
      break;
    case ControlType::RichEdit: {
      RichEditInput input;
      if (ReadRichEditInput(event.text, input))
        Set(Prop::Value, input.rtf).Set(Prop::SelStart, input.start).Set(Prop::SelEnd, input.end);
      break;
    }
    case ControlType::Combo:
      if (event.choice > 0) {
        Choose(event.choice);
      } else {
        Set(Prop::Value, event.text);
        Update();
      }
      break;
    case ControlType::Check:
      Set(Prop::Value, event.choice ? "1" : "0");
      Update();
      break;
    case ControlType::Option:
    case ControlType::DropList:
    case ControlType::Sheet:
      Choose(event.choice);
      break;
    case ControlType::Ruler:
      Set(Prop::Selected, event.choice);
      break;
    case ControlType::List:
      // In column selection a front end also says which column the user moved to ("column").
      if (event.number == EVENT_NewSelection && Is(Prop::SelectedColumn) && !event.text.empty()) {
        const long column = TextToNumber(event.text);
        if (column >= 1 && column <= static_cast<long>(Columns().size()))
          Set(Prop::SelectedColumn, column);
      }
      Choose(event.choice);
      break;
    default:
      break;
  }
}

namespace {

// Reads up to `count` numbers separated by blanks; answers how many were read.
int ReadNumbers(std::string_view text, long* out, int count) {
  const char* p = text.data();
  const char* end = p + text.size();
  int n = 0;
  while (n < count) {
    while (p < end && *p == ' ') ++p;
    if (p == end) break;
    auto [next, ec] = std::from_chars(p, end, out[n]);
    if (ec != std::errc()) break;
    p = next;
    ++n;
  }
  return n;
}

}  // namespace

void Control::ApplyMouse(const Event& e) {
  if (e.number == EVENT_ColumnResize) {
    long v[2] = {0, 0};
    if (ReadNumbers(e.text, v, 2) == 2 && v[0] >= 1 &&
        v[0] <= static_cast<long>(Columns().size()) && v[1] > 0) {
      std::vector<ListColumn> columns = Columns();
      columns[static_cast<std::size_t>(v[0] - 1)].width = static_cast<int>(v[1]);
      Format(WriteListFormat(columns));
    }
    return;
  }
  if (e.number == EVENT_ListScrolled) {
    long v[2] = {0, 0};
    if (ReadNumbers(e.text, v, 2) == 2 && v[0] >= 1 && v[1] >= 0)
      Set(Prop::TopRow, v[0]).Set(Prop::Items, v[1]);
    return;
  }
  if (e.number == EVENT_Accepted) {
    // A double click or Enter on a row: the mouse is on that row, not on the header. A double
    // click says on which column ("row column zone"); Enter is on none.
    long v[3] = {e.choice, 0, 0};
    if (!e.text.empty() && ReadNumbers(e.text, v, 3) < 2) v[1] = v[2] = 0;
    Set(Prop::MouseDownRow, e.choice)
        .Set(Prop::MouseDownField, v[1])
        .Set(Prop::MouseDownZone, v[2]);
    return;
  }
  if (e.number < EVENT_ListLeftDown && e.number != EVENT_AlertKey) return;
  long v[3] = {0, 0, 0};
  if (e.text.empty() || ReadNumbers(e.text, v, 3) < 2) return;
  const bool release = e.number == EVENT_ListLeftUp || e.number == EVENT_ListRightUp;
  Set(release ? Prop::MouseUpRow : Prop::MouseDownRow, v[0]);
  Set(release ? Prop::MouseUpField : Prop::MouseDownField, v[1]);
  Set(release ? Prop::MouseUpZone : Prop::MouseDownZone, v[2]);
}

std::string Control::Header(int column) const {
  const std::vector<ListColumn>& columns = Columns();
  return column >= 1 && column <= static_cast<int>(columns.size()) ? columns[column - 1].header
                                                                   : std::string();
}

bool Control::Underlined(int column) const {
  const std::vector<ListColumn>& columns = Columns();
  return column >= 1 && column <= static_cast<int>(columns.size()) && columns[column - 1].underline;
}

const ListFormat& Control::Shown() const { return format_ ? *format_ : NoFormat(); }

const std::vector<ListColumn>& Control::DesignColumns() const {
  return (design_ ? *design_ : NoFormat()).columns;
}

std::shared_ptr<ControlSnapshot> Control::LendSnapshot() {
  auto s = std::make_shared<ControlSnapshot>();
  s->control = number_;
  s->type = type_;
  s->parent = parent_;
  s->use = reinterpret_cast<std::uintptr_t>(use_.address());
  s->props = props_.Lend();
  return s;
}

void Control::TakeBack(std::shared_ptr<ControlSnapshot> snapshot) {
  if (snapshot.use_count() == 1) {
    // Nobody else holds it: what the front end read of it happened before it let go.
    std::atomic_thread_fence(std::memory_order_acquire);
    props_.TakeBack(std::move(snapshot->props));
  } else {
    props_.TakeBack(std::map<Prop, std::string>(snapshot->props));
  }
}

}  // namespace vx
