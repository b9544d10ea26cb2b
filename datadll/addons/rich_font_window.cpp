#include "datadll/addons/rich_font_window.h"

#include "datadll/xplore/xplore_class.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr const char* kColours[] = {"Black", "Maroon",  "Green",  "Olive", "Navy", "Purple",
                                    "Teal",  "Gray",    "Silver", "Red",   "Lime", "Yellow",
                                    "Blue",  "Fuchsia", "Aqua",   "White"};

}  // namespace

bool ChooseRichFont(std::string_view title, RichCharFormat& format, bool whole_font) {
  std::string face = format.font;
  long points = format.size / 20;
  bool bold = format.bold, italic = format.italic, underline = format.underline,
       strikeout = format.strikeout;
  std::string colour = "Black";
  std::string from;
  std::vector<long> samples;
  for (const char* name : kColours) {
    from += (from.empty() ? "" : "|") + std::string(name);
    const long value = XPLORECLASS::COLORSTRINGTOLONG(name, 0);
    samples.push_back(value);
    if (value == format.color) colour = name;
  }
  Window window(title);
  if (whole_font) {
    window.Prompt("&Typeface:");
    window.Entry(face, "@s32");
    window.Prompt("&Size:");
    window.Spin(points, "@n3", 4, 144);
    window.Check("&Bold", bold);
    window.Check("&Italic", italic);
    window.Check("&Underline", underline);
    window.Check("S&trikeout", strikeout);
  }
  window.Prompt("&Colour:");
  window.DropList(colour, from).Swatches(samples);
  Control& buttons = window.Row();
  const int ok = buttons.Button("&OK").Default();
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  bool chosen = false;
  manager.OnAccepted(ok, [&] {
    manager.Update();
    chosen = true;
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  if (!chosen) return false;
  if (whole_font) {
    if (!CLIP(face).empty()) format.font = CLIP(face);
    if (points > 0) format.size = static_cast<int>(points * 20);
    format.bold = bold;
    format.italic = italic;
    format.underline = underline;
    format.strikeout = strikeout;
  }
  format.color = XPLORECLASS::COLORSTRINGTOLONG(colour, format.color);
  return true;
}

}  // namespace vx
