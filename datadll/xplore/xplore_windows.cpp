// The small windows of the list extension: the graph preferences with their font chooser, the
// list properties, the column colours and the single-attribute windows. Each applies what it
// changes to the list at once.
#include <algorithm>
#include <cstdio>

#include "datadll/xplore/xplore_class.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/text_functions.h"
#include "runtime/window/text_rows.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr const char* kColourNames[] = {"None",   "Black", "Maroon",  "Green",  "Olive", "Navy",
                                        "Purple", "Teal",  "Gray",    "Silver", "Red",   "Lime",
                                        "Yellow", "Blue",  "Fuchsia", "Aqua",   "White"};
// The graph colours as the preferences store them: fuchsia keeps the spelling that INI files
// already hold ("Fuschia"), and is shown spelt right.
constexpr std::string_view kStoredFuchsia = "Fuschia";
constexpr const char* kPreferenceColours[] = {
    "Maroon", "Olive",  "Navy", "Silver", "Purple",  "Green", "Teal",  "Gray",
    "Red",    "Yellow", "Blue", "Lime",   "Fuschia", "Aqua",  "White", "Black"};

std::string ShownColourName(const std::string& stored) {
  return vx::UPPER(stored) == vx::UPPER(kStoredFuchsia) ? std::string("Fuchsia") : stored;
}
constexpr const char* kStyleNames[] = {
    "Regular",           "Bold",           "Italic",           "Bold Italic",
    "Regular Underline", "Bold Underline", "Italic Underline", "Bold Italic Underline"};
constexpr long kItalic = 0x1000;
constexpr long kUnderline = 0x2000;

std::string ColourName(long value) {
  for (const char* name : kColourNames) {
    if (XPLORECLASS::COLORSTRINGTOLONG(name, -2) == value) return name;
  }
  return "None";
}

// A justification as the list properties' drop lists name it, from its letter.
std::string JustName(char letter) {
  return std::string(letter == 'C'   ? "Center"
                     : letter == 'R' ? "Right"
                     : letter == 'D' ? "Decimal"
                                     : "Left");
}

std::string ColourChoices() {
  std::string from;
  for (const char* name : kColourNames) from += (from.empty() ? "" : "|") + std::string(name);
  return from;
}

// A drop list of the named colours, each shown with a sample of itself ("None" without).
Control& ColourDropList(ControlMaker& parent, std::string& name) {
  std::vector<long> samples;
  for (const char* colour : kColourNames)
    samples.push_back(XPLORECLASS::COLORSTRINGTOLONG(colour, -1));
  return parent.DropList(name, ColourChoices()).Swatches(std::move(samples));
}

int StyleIndex(long style) {
  return (style >= 700 || (style & 0xFFF) >= 700 ? 1 : 0) + ((style & kItalic) ? 2 : 0) +
         ((style & kUnderline) ? 4 : 0);
}

long StyleOf(int index) {
  return ((index & 1) ? 700 : 400) | ((index & 2) ? kItalic : 0) | ((index & 4) ? kUnderline : 0);
}

}  // namespace

bool XPLORECLASS::FONTCHOOSER(std::string_view title, std::string& name, long& size, long& colour,
                              long& style) {
  std::string typeface = name;
  long points = size;
  std::string colour_name = ColourName(colour);
  std::string style_name = kStyleNames[std::clamp(StyleIndex(style), 0, 7)];
  Window window(title);
  window.Prompt("&Typeface:");
  window.Entry(typeface, "@s40");
  window.Prompt("&Size:");
  window.Spin(points, "@n3", MINFONTSIZE, 72);
  window.Prompt("St&yle:");
  std::string styles;
  for (const char* s : kStyleNames) styles += (styles.empty() ? "" : "|") + std::string(s);
  window.DropList(style_name, styles);
  window.Prompt("&Colour:");
  ColourDropList(window, colour_name);
  const int ok = window.Button("OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  bool chosen = false;
  manager.On(EVENT_Accepted, ok, [&] {
    manager.Update();
    chosen = true;
    manager.PostClose();
    return Level_Notify;
  });
  manager.CancelControl = cancel;
  manager.Run();
  if (!chosen) return false;
  name = CLIP(typeface);
  size = points;
  colour = COLORSTRINGTOLONG(colour_name, colour);
  for (int i = 0; i < 8; ++i) {
    if (style_name == kStyleNames[i]) style = StyleOf(i);
  }
  return true;
}

void XPLORECLASS::LISTFONT() {
  Control* list = ListBox();
  if (!list) return;
  std::string name = list->Get(Prop::FontName);
  long size = list->GetNumber(Prop::FontSize) > 0 ? list->GetNumber(Prop::FontSize) : 10;
  long colour = list->Get(Prop::FontColor).empty() ? 0 : list->GetNumber(Prop::FontColor);
  long style = list->Get(Prop::FontStyle).empty() ? 400 : list->GetNumber(Prop::FontStyle);
  if (!FONTCHOOSER("Font", name, size, colour, style)) return;
  list->Set(Prop::FontName, name);
  list->Set(Prop::FontSize, size);
  list->Set(Prop::FontColor, colour);
  list->Set(Prop::FontStyle, style);
  PARS.FONT = name;
  PARS.POINT = static_cast<int>(size);
  PARS.COLOR = colour;
  PARS.STYLE = style;
}

void XPLORECLASS::PREFERENCES() {
  IniFile ini(INIFILENAME);
  const std::string section = "XplorePreferences";
  auto key = [](int i) {
    char text[24];
    std::snprintf(text, sizeof text, "Col%02d", i + 1);
    return std::string(text);
  };
  std::vector<std::string> colours;
  for (int i = 0; i < 16; ++i) colours.push_back(ini.Get(section, key(i), kPreferenceColours[i]));
  std::string font = ini.Get(section, "FontName", "Arial");
  long size = std::stol("0" + ini.Get(section, "FontSize", "12"));
  long font_colour = std::stol("0" + ini.Get(section, "FontColor", "0"));
  long style = std::stol("0" + ini.Get(section, "FontStyle", "700"));

  Window window("Preferences");
  TextRows rows;
  auto fill = [&] {
    rows.rows.clear();
    for (const std::string& c : colours) {
      const std::string value = std::to_string(COLORSTRINGTOLONG(c, -1));
      rows.rows.push_back({ShownColourName(c), "", "-1", value, "-1", value});
    }
  };
  fill();
  window.Prompt("&Colors");
  Control& list = window.List("80L(2)|~Graph Colors~@s20@40L*~~@s1@");
  list.From(&rows);
  Control& moves = window.Row();
  const int up = moves.Button("Move Up").Icon("MOVEUP.ICO");
  const int down = moves.Button("Move Down").Icon("MOVEDOWN.ICO");
  const int reset = moves.Button("&Reset");
  window.String("Note: Only the top 8 colors will be used for graphing");
  Control& font_box = window.Group("Font");
  std::string font_text;
  auto describe = [&] {
    font_text = font + " " + std::to_string(size) + " pt " +
                kStyleNames[std::clamp(StyleIndex(style), 0, 7)];
  };
  describe();
  font_box.String(font_text, "@s60").Tip("Specify the font here to be used in the Graphs");
  const int change_font = font_box.Button("Change &Font");
  const int ok = window.Button("OK").Icon("ok.ico").Default();
  window.SetCancelButton(ok);

  WindowManager manager(window);
  auto move = [&](int step) {
    const long row = list.Choice();
    const long to = row + step;
    if (row < 1 || to < 1 || to > static_cast<long>(colours.size())) return Level_Benign;
    std::swap(colours[static_cast<std::size_t>(row - 1)],
              colours[static_cast<std::size_t>(to - 1)]);
    fill();
    list.From(&rows);
    list.Choose(to);
    return Level_Benign;
  };
  manager.On(EVENT_Accepted, up, [&] { return move(-1); });
  manager.On(EVENT_Accepted, down, [&] { return move(1); });
  manager.On(EVENT_Accepted, reset, [&] {
    colours.assign(std::begin(kPreferenceColours), std::end(kPreferenceColours));
    fill();
    list.From(&rows);
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, change_font, [&] {
    if (FONTCHOOSER("Select font for vertical legend on graphs", font, size, font_colour, style)) {
      describe();
      window.Display();
    }
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, ok, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  // However the window closed, what it shows is kept.
  for (int i = 0; i < 16; ++i) ini.Put(section, key(i), colours[static_cast<std::size_t>(i)]);
  ini.Put(section, "FontName", font);
  ini.Put(section, "FontSize", std::to_string(size));
  ini.Put(section, "FontColor", std::to_string(font_colour));
  ini.Put(section, "FontStyle", std::to_string(style));
}

void XPLORECLASS::COLORCOLATTRIBUTE() {
  GETCOLUMNINFO();
  if (!SQEntry(CURRENTCOL)) return;
  const int column = CURRENTCOL;
  std::string names[4];
  {
    const XPGQ& c = *SQEntry(column);
    const long values[4] = {c.NFG, c.NBG, c.SFG, c.SBG};
    for (int i = 0; i < 4; ++i) names[i] = ColourName(values[i]);
  }
  Window window("Column Colors");
  int lists[4] = {};
  const char* groups[] = {"Normal", "Selected"};
  Control& panes = window.Beside();
  for (int g = 0; g < 2; ++g) {
    Control& box = panes.Group(groups[g]);
    box.Prompt("Text");
    lists[g * 2] = ColourDropList(box, names[g * 2]);
    box.Prompt("Background");
    lists[g * 2 + 1] = ColourDropList(box, names[g * 2 + 1]);
  }
  const int reset = window.Button("&Reset");
  const int ok = window.Button("OK").Default();
  window.SetCancelButton(ok);
  WindowManager manager(window);
  auto apply = [&] {
    GETCOLUMNINFO();
    XPGQ* c = SQEntry(column);
    if (!c) return;
    long* targets[4] = {&c->NFG, &c->NBG, &c->SFG, &c->SBG};
    for (int i = 0; i < 4; ++i) *targets[i] = COLORSTRINGTOLONG(names[i], *targets[i]);
    REFORMATLISTBOX();
  };
  for (int i = 0; i < 4; ++i) {
    manager.On(EVENT_Accepted, lists[i], [&] {
      apply();
      return Level_Benign;
    });
  }
  manager.On(EVENT_Accepted, reset, [&] {
    for (std::string& name : names) name = "None";
    window.Display();
    apply();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, ok, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
}

void XPLORECLASS::SPINCOLATTRIBUTE(std::string_view code) {
  GETCOLUMNINFO();
  XPGQ* start = SQEntry(CURRENTCOL);
  if (!start) return;
  const int column = CURRENTCOL;
  const char* prompt = code == "WID"   ? "Width:"
                       : code == "HOS" ? "Header offset:"
                       : code == "DOS" ? "Data offset:"
                                       : nullptr;
  if (!prompt) return;  // the list's own place and size follow its window's layout
  long value = code == "WID" ? start->WIDTHDLU : code == "HOS" ? start->HOFFSET : start->FOFFSET;
  Window window("Attribute");
  window.Prompt(prompt);
  const int spin = window.Spin(value, "@n4", 0, code == "WID" ? 2000 : 99);
  const int ok = window.Button("OK").Default();
  window.SetCancelButton(ok);
  WindowManager manager(window);
  manager.On(EVENT_Accepted, spin, [&] {
    GETCOLUMNINFO();
    if (XPGQ* c = SQEntry(column)) {
      (code == "WID"   ? c->WIDTHDLU
       : code == "HOS" ? c->HOFFSET
                       : c->FOFFSET) = static_cast<int>(value);
      REFORMATLISTBOX();
    }
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, ok, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
}

void XPLORECLASS::ENTRYCOLATTRIBUTE(std::string_view code) {
  GETCOLUMNINFO();
  XPGQ* start = SQEntry(CURRENTCOL);
  if (!start || code != "HDR") return;
  const int column = CURRENTCOL;
  std::string header = PlainHeader(*start);
  Window window("Attribute");
  window.Prompt("Header Text:");
  const int entry = window.Entry(header, "@s25");
  const int ok = window.Button("OK").Default();
  window.SetCancelButton(ok);
  WindowManager manager(window);
  manager.On(EVENT_Accepted, entry, [&] {
    ERASEVISUAL();
    if (XPGQ* c = SQEntry(column)) {
      c->HEADER = CLIP(header);
      REFORMATLISTBOX();
    }
    RESTOREHEADER = true;
    SETVISUAL();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, ok, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
}

// The "List Properties" window, built and wired in named steps: the two column lists (shown and
// all), the current column's attributes, the list's own attributes, the buttons; then what each
// control does. The controls are made in the order the window shows them.
class XPLORECLASS::ListProperties {
 public:
  explicit ListProperties(XPLORECLASS& xplore) : x_(xplore) {}
  void Run();

 private:
  // Alt+Down and Alt+Up move the current column left and right, Alt+Right shows the field
  // chosen among all, Alt+Left hides the current column; Alt+1 and Alt+2 go to the lists.
  static constexpr int kAltLeft = 0x425, kAltUp = 0x426, kAltRight = 0x427, kAltDown = 0x428,
                       kAlt1 = 0x431, kAlt2 = 0x432;

  void BuildColumnLists();
  void BuildColumnAttributes();
  void BuildListAttributes();
  void GateByMask();
  void BuildButtons();

  // The two lists from the columns shown (SQ) and known (FQ).
  void Fill();
  // The current column's attributes into the controls, and back to the list at once.
  void Load();
  Level Store();
  // The lists again after a column was shown, hidden or moved; `shown_choice` the row to choose.
  void Refresh(long shown_choice);
  Level HideCurrent();
  Level ShowCurrent();
  Level Move(int step);
  Level Key(bool on_shown);

  void WireColumnAttributes(WindowManager& manager);
  void WireColumnLists(WindowManager& manager);
  void WireListAttributes(WindowManager& manager);
  void WireButtons(WindowManager& manager);

  XPLORECLASS& x_;
  Window window_{"List Properties"};
  TextRows shown_rows_, all_rows_;
  Control* shown_list_ = nullptr;
  Control* all_list_ = nullptr;
  Control* attributes_ = nullptr;
  // The current column's attributes; each is offered only when the popup mask has its bit.
  std::string header_text_, header_just_ = "Left", data_just_ = "Left";
  long header_offset_ = 0, data_offset_ = 0, width_ = 0, fixed_ = 0, underline_ = 0, border_ = 0,
       resize_ = 0;
  int header_entry_ = 0, header_offset_spin_ = 0, header_just_list_ = 0, data_offset_spin_ = 0,
      data_just_list_ = 0, width_spin_ = 0, fixed_check_ = 0, underline_check_ = 0,
      border_check_ = 0, resize_check_ = 0;
  // The list's own: its line height and scroll bars.
  Control* list_ = nullptr;
  long line_height_ = 0, vscroll_ = 0, hscroll_ = 0;
  int line_height_spin_ = 0, vscroll_check_ = 0, hscroll_check_ = 0;
  int add_ = 0, hide_ = 0, left_ = 0, right_ = 0, font_ = 0, colours_ = 0, reset_ = 0, close_ = 0;
};

void XPLORECLASS::ListProperties::Fill() {
  shown_rows_.rows.clear();
  for (const XPGQ& c : x_.SQ) shown_rows_.rows.push_back({x_.PlainHeader(c), c.FIELD});
  all_rows_.rows.clear();
  for (const XPGQ& c : x_.FQ) {
    if (!c.QNOS) continue;
    const bool displayed =
        std::any_of(x_.SQ.begin(), x_.SQ.end(), [&](const XPGQ& s) { return s.QNOS == c.QNOS; });
    all_rows_.rows.push_back({c.HEADER, displayed ? "1" : "0", c.FIELD});
  }
}

void XPLORECLASS::ListProperties::BuildColumnLists() {
  window_.Arrange(Arrangement::Stacked);
  Control& panes = window_.Beside();
  Fill();
  shown_list_ =
      &panes.List("70L(2)|~Field~@s35@70L(2)~Data~@s35@").Tip("Right Click to erase field");
  shown_list_->From(&shown_rows_);
  all_list_ =
      &panes.List("70L(2)|I~Column~@s35@70L(2)~Data~@s35@").Tip("Right Click to display field");
  all_list_->IconList({"~XpCheck.ICO"});
  all_list_->From(&all_rows_);
  for (Control* list : {shown_list_, all_list_}) {
    list->Alert(MouseRight)
        .Alert(kAltLeft)
        .Alert(kAltUp)
        .Alert(kAltRight)
        .Alert(kAltDown)
        .Alert(kAlt1)
        .Alert(kAlt2);
  }
}

void XPLORECLASS::ListProperties::BuildColumnAttributes() {
  const char* justs = "Left|Center|Right|Decimal";
  attributes_ = &window_.Beside();
  Control& header_box = attributes_->Group("Header");
  header_box.Prompt("Te&xt:");
  header_entry_ = header_box.Entry(header_text_, "@s25").Tip("Change Column Header Text");
  header_box.Prompt("Off&set:");
  header_offset_spin_ = header_box.Spin(header_offset_, "@n2", 0, 99).Tip("Change Header Offset");
  header_box.Prompt("&Header:");
  header_just_list_ = header_box.DropList(header_just_, justs);
  Control& data_box = attributes_->Group("Data");
  data_box.Prompt("Offse&t:");
  data_offset_spin_ = data_box.Spin(data_offset_, "@n2", 0, 99).Tip("Change Data Field Offset");
  data_box.Prompt("&Field:");
  data_just_list_ = data_box.DropList(data_just_, justs);
  data_box.Prompt("&Width:");
  width_spin_ = data_box.Spin(width_, "@n4", 1, 2000).Tip("Change Column Width");
  Control& flags = window_.Row();
  fixed_check_ =
      flags.Check("F&ixed", fixed_).Tip("Fix all columns to the left when horizontal Scrolling");
  underline_check_ = flags.Check("&Underline", underline_).Tip("Underline the current column");
  border_check_ = flags.Check("&Border", border_).Tip("Right hand border line");
  resize_check_ = flags.Check("&Resize", resize_).Tip("Allow Column Resize with Mouse");
}

// In the attributes pane, below the column's groups (the flags' row stands under the panes).
void XPLORECLASS::ListProperties::BuildListAttributes() {
  list_ = x_.ListBox();
  line_height_ = list_ ? list_->GetNumber(Prop::LineHeight) : 0;
  vscroll_ = list_ && list_->Get(Prop::VScroll) == "0" ? 0 : 1;
  hscroll_ = list_ && list_->Get(Prop::HScroll) == "0" ? 0 : 1;
  Control& list_box = attributes_->Group("List");
  list_box.Prompt("&LineHeight:");
  line_height_spin_ = list_box.Spin(line_height_, "@n3", 0, 99).Tip("Adjust Line Height");
  vscroll_check_ = list_box.Check("&Vertical Scroll", vscroll_).Tip("Display Vertical Scroll bar");
  hscroll_check_ =
      list_box.Check("Hori&zontal Scroll", hscroll_).Tip("Display Horizontal Scroll bar");
}

void XPLORECLASS::ListProperties::GateByMask() {
  const std::pair<int, long> gates[] = {
      {line_height_spin_, 0x4000000}, {vscroll_check_, 0x8000000},  {hscroll_check_, 0x10000000},
      {header_entry_, 0x400},         {header_offset_spin_, 0x200}, {header_just_list_, 0x1E0},
      {data_offset_spin_, 0x10},      {data_just_list_, 0xF},       {width_spin_, 0x800},
      {fixed_check_, 0x10000},        {underline_check_, 0x20000},  {border_check_, 0x40000},
      {resize_check_, 0x80000}};
  for (const auto& [control, bits] : gates) window_[control].Enable((x_.MASK & bits) != 0);
}

void XPLORECLASS::ListProperties::BuildButtons() {
  Control& buttons = window_.Row();
  add_ = buttons.Button("Add Column to display list");
  hide_ = buttons.Button("Hide column from display list");
  left_ = buttons.Button("Move Column Left");
  right_ = buttons.Button("Move Column Right");
  Control& more = window_.Row();
  font_ = more.Button("F&ont").Tip("Assign New Font to Listbox");
  colours_ = more.Button("C&olors").Tip("Assign New Colors to Column");
  reset_ = more.Button("&Default").Tip("Reset listbox back to default");
  close_ = more.Button("&Close");
  window_.SetCancelButton(close_);
}

void XPLORECLASS::ListProperties::Load() {
  x_.GETCOLUMNINFO();
  const XPGQ* c = x_.SQEntry(static_cast<int>(shown_list_->Choice()));
  if (!c) return;
  header_text_ = x_.PlainHeader(*c);
  header_offset_ = c->HOFFSET;
  data_offset_ = c->FOFFSET;
  width_ = c->WIDTHDLU;
  header_just_ = JustName(c->HJUST);
  data_just_ = JustName(c->FJUST);
  fixed_ = c->FIXED;
  underline_ = c->ULINE;
  border_ = c->BORDER;
  resize_ = c->RESIZE;
  window_.Display();
}

Level XPLORECLASS::ListProperties::Store() {
  const int column = static_cast<int>(shown_list_->Choice());
  x_.ERASEVISUAL();
  if (XPGQ* c = x_.SQEntry(column)) {
    c->HEADER = CLIP(header_text_);
    c->HOFFSET = static_cast<int>(header_offset_);
    c->FOFFSET = static_cast<int>(data_offset_);
    c->WIDTHDLU = static_cast<int>(width_);
    c->HJUST = header_just_.empty() ? 'L' : header_just_[0];
    c->FJUST = data_just_.empty() ? 'L' : data_just_[0];
    c->FIXED = fixed_ != 0;
    c->ULINE = underline_ != 0;
    c->BORDER = border_ != 0;
    c->RESIZE = resize_ != 0;
    x_.REFORMATLISTBOX();
  }
  x_.RESTOREHEADER = true;
  x_.SETVISUAL();
  return Level_Benign;
}

void XPLORECLASS::ListProperties::Refresh(long shown_choice) {
  Fill();
  shown_list_->From(&shown_rows_);
  all_list_->From(&all_rows_);
  if (shown_choice > 0)
    shown_list_->Choose(std::min<long>(shown_choice, static_cast<long>(x_.SQ.size())));
  Load();
}

Level XPLORECLASS::ListProperties::HideCurrent() {
  x_.CURRENTCOL = static_cast<int>(shown_list_->Choice());
  if (x_.HIDECOLUMN()) Refresh(x_.CURRENTCOL);
  return Level_Benign;
}

Level XPLORECLASS::ListProperties::ShowCurrent() {
  const long row = all_list_->Choice();
  if (row < 1 || row > static_cast<long>(all_rows_.rows.size())) return Level_Benign;
  const XPGQ* known = x_.FQByLabel(all_rows_.rows[static_cast<std::size_t>(row - 1)][2]);
  if (known && x_.SHOWCOLUMN(known->QNOS)) Refresh(static_cast<long>(x_.SQ.size()));
  return Level_Benign;
}

Level XPLORECLASS::ListProperties::Move(int step) {
  x_.CURRENTCOL = static_cast<int>(shown_list_->Choice());
  if (step < 0 ? x_.MOVECOLLEFT() : x_.MOVECOLRIGHT()) Refresh(x_.CURRENTCOL);
  return Level_Benign;
}

Level XPLORECLASS::ListProperties::Key(bool on_shown) {
  switch (KEYCODE()) {
    case MouseRight:
      return on_shown ? HideCurrent() : ShowCurrent();
    case kAltDown:
      return Move(-1);
    case kAltUp:
      return Move(1);
    case kAltRight:
      return ShowCurrent();
    case kAltLeft:
      return HideCurrent();
    case kAlt1:
      window_.Select(*all_list_);
      return Level_Benign;
    case kAlt2:
      window_.Select(*shown_list_);
      return Level_Benign;
    default:
      return Level_Benign;
  }
}

void XPLORECLASS::ListProperties::WireColumnAttributes(WindowManager& manager) {
  for (int control :
       {header_entry_, header_offset_spin_, header_just_list_, data_offset_spin_, data_just_list_,
        width_spin_, fixed_check_, underline_check_, border_check_, resize_check_}) {
    manager.On(EVENT_Accepted, control, [this] { return Store(); });
  }
}

void XPLORECLASS::ListProperties::WireColumnLists(WindowManager& manager) {
  manager.On(EVENT_NewSelection, *shown_list_, [this] {
    Load();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, hide_, [this] { return HideCurrent(); });
  manager.On(EVENT_Accepted, add_, [this] { return ShowCurrent(); });
  manager.On(EVENT_AlertKey, *shown_list_, [this] { return Key(true); });
  manager.On(EVENT_AlertKey, *all_list_, [this] { return Key(false); });
  manager.On(EVENT_Accepted, left_, [this] { return Move(-1); });
  manager.On(EVENT_Accepted, right_, [this] { return Move(1); });
}

void XPLORECLASS::ListProperties::WireListAttributes(WindowManager& manager) {
  manager.On(EVENT_Accepted, line_height_spin_, [this] {
    if (list_) list_->Set(Prop::LineHeight, line_height_);
    x_.PARS.LINEHEIGHT = line_height_;
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, vscroll_check_, [this] {
    x_.PARS.VSCROLL = vscroll_ ? "1" : "0";
    if (list_) list_->Set(Prop::VScroll, x_.PARS.VSCROLL);
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, hscroll_check_, [this] {
    x_.PARS.HSCROLL = hscroll_ ? "1" : "0";
    if (list_) list_->Set(Prop::HScroll, x_.PARS.HSCROLL);
    return Level_Benign;
  });
}

void XPLORECLASS::ListProperties::WireButtons(WindowManager& manager) {
  manager.On(EVENT_Accepted, font_, [this] {
    x_.LISTFONT();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, colours_, [this] {
    x_.CURRENTCOL = static_cast<int>(shown_list_->Choice());
    x_.COLORCOLATTRIBUTE();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, reset_, [this] {
    x_.RESETTODEFAULT();
    line_height_ = list_ ? list_->GetNumber(Prop::LineHeight) : 0;
    Refresh(1);
    all_list_->Choose(1);
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, close_, [&manager] {
    manager.PostClose();
    return Level_Notify;
  });
}

void XPLORECLASS::ListProperties::Run() {
  BuildColumnLists();
  BuildColumnAttributes();
  BuildListAttributes();
  GateByMask();
  BuildButtons();
  WindowManager manager(window_);
  WireColumnAttributes(manager);
  WireColumnLists(manager);
  WireListAttributes(manager);
  WireButtons(manager);
  shown_list_->Choose(std::clamp<long>(x_.CURRENTCOL, 1, static_cast<long>(x_.SQ.size())));
  all_list_->Choose(1);
  Load();
  manager.Run();
}

void XPLORECLASS::PROCREFORMAT() {
  GETCOLUMNINFO();
  ListProperties(*this).Run();
  SETVISUAL();
}

}  // namespace vx
