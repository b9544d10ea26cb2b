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

constexpr const char* kColourNames[] = {"None", "Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray",
                                        "Silver", "Red", "Lime", "Yellow", "Blue", "Fuschia", "Aqua", "White"};
constexpr const char* kPreferenceColours[] = {"Maroon", "Olive", "Navy", "Silver", "Purple", "Green", "Teal", "Gray",
                                              "Red", "Yellow", "Blue", "Lime", "Fuschia", "Aqua", "White", "Black"};
constexpr const char* kStyleNames[] = {"Regular",           "Bold",           "Italic",           "Bold Italic",
                                       "Regular Underline", "Bold Underline", "Italic Underline", "Bold Italic Underline"};
constexpr long kItalic = 0x1000;
constexpr long kUnderline = 0x2000;

std::string ColourName(long value) {
  for (const char* name : kColourNames) {
    if (XPLORECLASS::COLORSTRINGTOLONG(name, -2) == value) return name;
  }
  return "None";
}

std::string ColourChoices() {
  std::string from;
  for (const char* name : kColourNames) from += (from.empty() ? "" : "|") + std::string(name);
  return from;
}

// A drop list of the named colours, each shown with a sample of itself ("None" without).
Control& ColourDropList(ControlMaker& parent, std::string& name) {
  std::vector<long> samples;
  for (const char* colour : kColourNames) samples.push_back(XPLORECLASS::COLORSTRINGTOLONG(colour, -1));
  return parent.DropList(name, ColourChoices()).Swatches(std::move(samples));
}

int StyleIndex(long style) {
  return (style >= 700 || (style & 0xFFF) >= 700 ? 1 : 0) + ((style & kItalic) ? 2 : 0) + ((style & kUnderline) ? 4 : 0);
}

long StyleOf(int index) {
  return ((index & 1) ? 700 : 400) | ((index & 2) ? kItalic : 0) | ((index & 4) ? kUnderline : 0);
}

}  // namespace

bool XPLORECLASS::FONTCHOOSER(std::string_view title, std::string& name, long& size, long& colour, long& style) {
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
      rows.rows.push_back({c, "", "-1", value, "-1", value});
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
    font_text = font + " " + std::to_string(size) + " pt " + kStyleNames[std::clamp(StyleIndex(style), 0, 7)];
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
    std::swap(colours[static_cast<std::size_t>(row - 1)], colours[static_cast<std::size_t>(to - 1)]);
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
  const char* prompt = code == "WID" ? "Width:" : code == "HOS" ? "Header offset:" : code == "DOS" ? "Data offset:" : nullptr;
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
      (code == "WID" ? c->WIDTHDLU : code == "HOS" ? c->HOFFSET : c->FOFFSET) = static_cast<int>(value);
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

void XPLORECLASS::PROCREFORMAT() {
  GETCOLUMNINFO();
  Window window("List Properties");
  window.Arrange(Arrangement::Stacked);
  Control& panes = window.Beside();
  TextRows shown_rows, all_rows;
  auto fill = [&] {
    shown_rows.rows.clear();
    for (const XPGQ& c : SQ) shown_rows.rows.push_back({PlainHeader(c), c.FIELD});
    all_rows.rows.clear();
    for (const XPGQ& c : FQ) {
      if (!c.QNOS) continue;
      const bool displayed = std::any_of(SQ.begin(), SQ.end(), [&](const XPGQ& s) { return s.QNOS == c.QNOS; });
      all_rows.rows.push_back({c.HEADER, displayed ? "1" : "0", c.FIELD});
    }
  };
  fill();
  Control& shown_list = panes.List("70L(2)|~Field~@s35@70L(2)~Data~@s35@").Tip("Right Click to erase field");
  shown_list.From(&shown_rows);
  Control& all_list = panes.List("70L(2)|I~Column~@s35@70L(2)~Data~@s35@").Tip("Right Click to display field");
  all_list.IconList({"~XpCheck.ICO"});
  all_list.From(&all_rows);
  // Alt+Down and Alt+Up move the current column left and right, Alt+Right shows the field
  // chosen among all, Alt+Left hides the current column; Alt+1 and Alt+2 go to the lists.
  constexpr int kAltLeft = 0x425, kAltUp = 0x426, kAltRight = 0x427, kAltDown = 0x428, kAlt1 = 0x431, kAlt2 = 0x432;
  for (Control* list : {&shown_list, &all_list}) {
    list->Alert(MouseRight).Alert(kAltLeft).Alert(kAltUp).Alert(kAltRight).Alert(kAltDown).Alert(kAlt1).Alert(kAlt2);
  }
  // The current column's attributes; each is offered only when the popup mask has its bit.
  std::string header_text, header_just = "Left", data_just = "Left";
  long header_offset = 0, data_offset = 0, width = 0, fixed = 0, underline = 0, border = 0, resize = 0;
  const char* justs = "Left|Center|Right|Decimal";
  Control& attributes = window.Beside();
  Control& header_box = attributes.Group("Header");
  header_box.Prompt("Te&xt:");
  const int header_entry = header_box.Entry(header_text, "@s25").Tip("Change Column Header Text");
  header_box.Prompt("Off&set:");
  const int header_offset_spin = header_box.Spin(header_offset, "@n2", 0, 99).Tip("Change Header Offset");
  header_box.Prompt("&Header:");
  const int header_just_list = header_box.DropList(header_just, justs);
  Control& data_box = attributes.Group("Data");
  data_box.Prompt("Offse&t:");
  const int data_offset_spin = data_box.Spin(data_offset, "@n2", 0, 99).Tip("Change Data Field Offset");
  data_box.Prompt("&Field:");
  const int data_just_list = data_box.DropList(data_just, justs);
  data_box.Prompt("&Width:");
  const int width_spin = data_box.Spin(width, "@n4", 1, 2000).Tip("Change Column Width");
  Control& flags = window.Row();
  const int fixed_check = flags.Check("F&ixed", fixed).Tip("Fix all columns to the left when horizontal Scrolling");
  const int underline_check = flags.Check("&Underline", underline).Tip("Underline the current column");
  const int border_check = flags.Check("&Border", border).Tip("Right hand border line");
  const int resize_check = flags.Check("&Resize", resize).Tip("Allow Column Resize with Mouse");
  // The list's own: its line height and scroll bars.
  Control* list = ListBox();
  long line_height = list ? list->GetNumber(Prop::LineHeight) : 0;
  long vscroll = list && list->Get(Prop::VScroll) == "0" ? 0 : 1;
  long hscroll = list && list->Get(Prop::HScroll) == "0" ? 0 : 1;
  Control& list_box = attributes.Group("List");
  list_box.Prompt("&LineHeight:");
  const int line_height_spin = list_box.Spin(line_height, "@n3", 0, 99).Tip("Adjust Line Height");
  const int vscroll_check = list_box.Check("&Vertical Scroll", vscroll).Tip("Display Vertical Scroll bar");
  const int hscroll_check = list_box.Check("Hori&zontal Scroll", hscroll).Tip("Display Horizontal Scroll bar");
  const std::pair<int, long> gates[] = {
      {line_height_spin, 0x4000000}, {vscroll_check, 0x8000000}, {hscroll_check, 0x10000000},
      {header_entry, 0x400},       {header_offset_spin, 0x200}, {header_just_list, 0x1E0}, {data_offset_spin, 0x10},
      {data_just_list, 0xF},       {width_spin, 0x800},         {fixed_check, 0x10000},    {underline_check, 0x20000},
      {border_check, 0x40000},     {resize_check, 0x80000}};
  for (const auto& [control, bits] : gates) window[control].Enable((MASK & bits) != 0);
  auto just_name = [](char letter) {
    return std::string(letter == 'C' ? "Center" : letter == 'R' ? "Right" : letter == 'D' ? "Decimal" : "Left");
  };
  Control& buttons = window.Row();
  const int add = buttons.Button("Add Column to display list");
  const int hide = buttons.Button("Hide column from display list");
  const int left = buttons.Button("Move Column Left");
  const int right = buttons.Button("Move Column Right");
  Control& more = window.Row();
  const int font = more.Button("F&ont").Tip("Assign New Font to Listbox");
  const int colours = more.Button("C&olors").Tip("Assign New Colors to Column");
  const int reset = more.Button("&Default").Tip("Reset listbox back to default");
  const int close = more.Button("&Close");
  window.SetCancelButton(close);

  WindowManager manager(window);
  // The current column's attributes into the controls, and back to the list at once.
  auto load = [&] {
    GETCOLUMNINFO();
    const XPGQ* c = SQEntry(static_cast<int>(shown_list.Choice()));
    if (!c) return;
    header_text = PlainHeader(*c);
    header_offset = c->HOFFSET;
    data_offset = c->FOFFSET;
    width = c->WIDTHDLU;
    header_just = just_name(c->HJUST);
    data_just = just_name(c->FJUST);
    fixed = c->FIXED;
    underline = c->ULINE;
    border = c->BORDER;
    resize = c->RESIZE;
    window.Display();
  };
  auto store = [&] {
    const int column = static_cast<int>(shown_list.Choice());
    ERASEVISUAL();
    if (XPGQ* c = SQEntry(column)) {
      c->HEADER = CLIP(header_text);
      c->HOFFSET = static_cast<int>(header_offset);
      c->FOFFSET = static_cast<int>(data_offset);
      c->WIDTHDLU = static_cast<int>(width);
      c->HJUST = header_just.empty() ? 'L' : header_just[0];
      c->FJUST = data_just.empty() ? 'L' : data_just[0];
      c->FIXED = fixed != 0;
      c->ULINE = underline != 0;
      c->BORDER = border != 0;
      c->RESIZE = resize != 0;
      REFORMATLISTBOX();
    }
    RESTOREHEADER = true;
    SETVISUAL();
    return Level_Benign;
  };
  for (int control : {header_entry, header_offset_spin, header_just_list, data_offset_spin, data_just_list, width_spin,
                      fixed_check, underline_check, border_check, resize_check}) {
    manager.On(EVENT_Accepted, control, store);
  }
  manager.On(EVENT_NewSelection, shown_list, [&] {
    load();
    return Level_Benign;
  });
  auto refresh = [&](long shown_choice) {
    fill();
    shown_list.From(&shown_rows);
    all_list.From(&all_rows);
    if (shown_choice > 0) shown_list.Choose(std::min<long>(shown_choice, static_cast<long>(SQ.size())));
    load();
  };
  auto hide_current = [&] {
    CURRENTCOL = static_cast<int>(shown_list.Choice());
    if (HIDECOLUMN()) refresh(CURRENTCOL);
    return Level_Benign;
  };
  auto show_current = [&] {
    const long row = all_list.Choice();
    if (row < 1 || row > static_cast<long>(all_rows.rows.size())) return Level_Benign;
    const XPGQ* known = FQByLabel(all_rows.rows[static_cast<std::size_t>(row - 1)][2]);
    if (known && SHOWCOLUMN(known->QNOS)) refresh(static_cast<long>(SQ.size()));
    return Level_Benign;
  };
  auto move = [&](int step) {
    CURRENTCOL = static_cast<int>(shown_list.Choice());
    if (step < 0 ? MOVECOLLEFT() : MOVECOLRIGHT()) refresh(CURRENTCOL);
    return Level_Benign;
  };
  manager.On(EVENT_Accepted, hide, hide_current);
  manager.On(EVENT_Accepted, add, show_current);
  auto key = [&](bool on_shown) {
    switch (KEYCODE()) {
      case MouseRight: return on_shown ? hide_current() : show_current();
      case kAltDown: return move(-1);
      case kAltUp: return move(1);
      case kAltRight: return show_current();
      case kAltLeft: return hide_current();
      case kAlt1: window.Select(all_list); return Level_Benign;
      case kAlt2: window.Select(shown_list); return Level_Benign;
      default: return Level_Benign;
    }
  };
  manager.On(EVENT_AlertKey, shown_list, [&] { return key(true); });
  manager.On(EVENT_AlertKey, all_list, [&] { return key(false); });
  manager.On(EVENT_Accepted, left, [&] { return move(-1); });
  manager.On(EVENT_Accepted, right, [&] { return move(1); });
  manager.On(EVENT_Accepted, line_height_spin, [&] {
    if (list) list->Set(Prop::LineHeight, line_height);
    PARS.LINEHEIGHT = line_height;
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, vscroll_check, [&] {
    PARS.VSCROLL = vscroll ? "1" : "0";
    if (list) list->Set(Prop::VScroll, PARS.VSCROLL);
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, hscroll_check, [&] {
    PARS.HSCROLL = hscroll ? "1" : "0";
    if (list) list->Set(Prop::HScroll, PARS.HSCROLL);
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, font, [&] {
    LISTFONT();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, colours, [&] {
    CURRENTCOL = static_cast<int>(shown_list.Choice());
    COLORCOLATTRIBUTE();
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, reset, [&] {
    RESETTODEFAULT();
    line_height = list ? list->GetNumber(Prop::LineHeight) : 0;
    refresh(1);
    all_list.Choose(1);
    return Level_Benign;
  });
  manager.On(EVENT_Accepted, close, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  shown_list.Choose(std::clamp<long>(CURRENTCOL, 1, static_cast<long>(SQ.size())));
  all_list.Choose(1);
  load();
  manager.Run();
  SETVISUAL();
}

}  // namespace vx
