// The bar graph of a list column: its rows counted by category and drawn by the front end.
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "datadll/xplore/xplore_class.h"
#include "datadll/xplore/xplore_progress.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/text_functions.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

struct NamedColour {
  const char* name;
  long value;
};
constexpr NamedColour kColours[] = {
    {"None", -1},         {"Black", 0},          {"Maroon", 0x000080},  {"Green", 0x008000},
    {"Olive", 0x008080},  {"Navy", 0x800000},    {"Purple", 0x800080},  {"Teal", 0x808000},
    {"Gray", 0x808080},   {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},     {"Lime", 0x00FF00},
    {"Yellow", 0x00FFFF}, {"Blue", 0xFF0000},    {"Fuschia", 0xFF00FF}, {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF},  {"Fuchsia", 0xFF00FF},  // as shown; "Fuschia" as stored
};
constexpr const char* kGraphColours[] = {"Maroon", "Olive", "Navy", "Silver",
                                         "Purple", "Green", "Teal", "Gray"};

int Hour(std::string_view text) {
  if (text.size() < 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
    return -1;
  return (text[0] - '0') * 10 + (text[1] - '0');
}

std::string Band(int first, int hours) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:00-%02d:59", first, first + hours - 1);
  return text;
}

}  // namespace

long XPLORECLASS::COLORSTRINGTOLONG(std::string_view name, long value) {
  const std::string wanted = vx::UPPER(CLIP(name));
  for (const NamedColour& c : kColours) {
    if (vx::UPPER(c.name) == wanted) return c.value;
  }
  return value;
}

std::string XPLORECLASS::GETMONTHNAME(int month) {
  static const char* const names[] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
  if (month < 1 || month > 12) return {};
  char text[24];
  std::snprintf(text, sizeof text, "%2d =%s", month, names[month - 1]);
  return text;
}

std::string XPLORECLASS::GETDAYNAME(int day) {
  static const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
  if (day < 1 || day > 7) return {};
  char text[24];
  std::snprintf(text, sizeof text, "%2d =%s", day, names[day - 1]);
  return text;
}

std::string XPLORECLASS::GET6HRSTRING(std::string_view text) {
  const int hour = Hour(text);
  return hour < 0 || hour > 23 ? std::string(text) : Band(hour / 6 * 6, 6);
}

std::string XPLORECLASS::GET4HRSTRING(std::string_view text) {
  const int hour = Hour(text);
  return hour < 0 || hour > 23 ? std::string(text) : Band(hour / 4 * 4, 4);
}

std::string XPLORECLASS::GETSTRINGFORGRAPH(std::size_t row, const XPGQ& column) {
  return CellText(row, column);
}

long XPLORECLASS::GETRECORDSINKEY() {
  return Browse() ? static_cast<long>(Browse()->Records()) : 0;
}

bool XPLORECLASS::COUNTCATEGORIES(std::vector<GraphCategory>& categories, long& counted) {
  categories.clear();
  counted = 0;
  GETCOLUMNINFO();
  const XPGQ* column = SQEntry(CURRENTCOL);
  BrowseClass* browse = Browse();
  if (!column || !browse) return false;
  const std::string description =
      CLIP(column->DESCRIPTION.empty() ? column->HEADER : column->DESCRIPTION);
  std::map<std::string, long> counts;
  XploreProgress progress("Are you sure you want to quit this Graphing Procedure?");
  progress.Open(browse->Records());
  // The list's window shows the busy pointer while the rows are counted.
  std::optional<CursorScope> busy;
  busy.emplace(ListBox() ? &ListBox()->OwnerWindow() : nullptr, CursorWait);
  for (std::size_t r = 0; r < browse->Records(); ++r) {
    ++counts[CLIP(SUB(GETSTRINGFORGRAPH(r, *column), 1, 80))];
    ++counted;
    if (!progress.Step()) return false;
    if (counts.size() > kMaxCategories) {
      MESSAGE("Too complex to graph - exceeds max number of categories: " +
                  std::to_string(kMaxCategories) + " - '" + description,
              "Xplore", MessageIcon::Information);
      return false;
    }
  }
  progress.Close();
  busy.reset();
  if (counts.size() < 2) {
    MESSAGE(std::string(counts.empty() ? "There are no categories to Graph of '"
                                       : "There is only one category to Graph of '") +
                description + "'",
            "Xplore", MessageIcon::Information);
    return false;
  }
  for (const auto& [name, count] : counts) {
    // The share in hundredths of a percent, rounded, shown with two decimals.
    const long long hundredths = (static_cast<long long>(count) * 10000 + counted / 2) / counted;
    char percent[32];
    std::snprintf(percent, sizeof percent, "%lld.%02lld", hundredths / 100, hundredths % 100);
    categories.push_back({name, count, percent});
  }
  return true;
}

void XPLORECLASS::SHOWBARGRAPH() {
  std::vector<GraphCategory> categories;
  long counted = 0;
  if (!COUNTCATEGORIES(categories, counted)) return;
  const XPGQ* column = SQEntry(CURRENTCOL);
  const std::string description =
      CLIP(column->DESCRIPTION.empty() ? column->HEADER : column->DESCRIPTION);

  Window window("Graph");
  Control& graph = window.BarGraph();
  auto draw = [&] {
    // The first eight preference colours, in turn.
    const IniFile ini(INIFILENAME);
    std::vector<long> colours;
    for (int i = 0; i < 8; ++i) {
      char key[24];
      std::snprintf(key, sizeof key, "Col%02d", i + 1);
      colours.push_back(
          COLORSTRINGTOLONG(ini.Get("XplorePreferences", key, kGraphColours[i]), 0x808080));
    }
    std::string data;
    for (std::size_t i = 0; i < categories.size(); ++i) {
      const long colour = colours[i % colours.size()] < 0 ? 0x808080 : colours[i % colours.size()];
      data += categories[i].PNAME + "\t" + std::to_string(categories[i].COUNT) + "\t" +
              categories[i].PERCENT + "\t" + std::to_string(colour) + "\n";
    }
    graph.Value(data);
    graph.Set(Prop::FontName, ini.Get("XplorePreferences", "FontName", "Arial"));
    graph.Set(Prop::FontSize, ini.Get("XplorePreferences", "FontSize", "12"));
    graph.Set(Prop::FontStyle, ini.Get("XplorePreferences", "FontStyle", "700"));
  };
  // The title counts the bars, then the rows they share (two at least, as there are two bars).
  graph.SetText(std::to_string(categories.size()) + " Categories of Field: " + description + " (" +
                std::to_string(counted) + " rows)\nFilter: " + FilterExpression());
  draw();
  Control& buttons = window.Row();
  const int preferences = buttons.Button("Pre&ferences").Tip("Change Colors and/or Font");
  const int clipboard =
      buttons.Button("&To Clipboard").Tip("Copies an Window Image to the ClipBoard");
  const int ok = buttons.Button("OK").Icon("ok.ico").Default();
  window.SetCancelButton(ok);

  WindowManager manager(window);
  manager.OkControl = 0;
  manager.On(EVENT_Accepted, ok, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  manager.On(EVENT_Accepted, preferences, [&] {
    PREFERENCES();
    draw();
    return Level_Benign;
  });
  auto copy_picture = [&] {
    // The window's picture without its buttons; they come back a second later.
    for (int control : {preferences, clipboard, ok}) window[control].Hide();
    window.CopyPicture();
    window.Set(Prop::Timer, 100L);
    return Level_Benign;
  };
  manager.On(EVENT_Accepted, clipboard, copy_picture);
  // Print Screen and Alt+Print Screen copy the graph's picture as the button does.
  graph.Alert(PrintScreenKey).Alert(AltPrintScreen);
  manager.On(EVENT_AlertKey, graph, [&] {
    return KEYCODE() == PrintScreenKey || KEYCODE() == AltPrintScreen ? copy_picture()
                                                                      : Level_Benign;
  });
  manager.On(EVENT_Timer, [&] {
    for (int control : {preferences, clipboard, ok}) window[control].Unhide();
    window.Set(Prop::Timer, 0L);
    return Level_Benign;
  });
  manager.Run();
}

}  // namespace vx
