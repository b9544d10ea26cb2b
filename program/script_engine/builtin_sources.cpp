#include "program/script_engine/builtin_sources.h"

#include <utility>

#include "program/script_engine/desktop_seam.h"
#include "runtime/pictures.h"

namespace vx {
namespace {

ScriptDateFormatter& Formatter() {
  static ScriptDateFormatter formatter;
  return formatter;
}

DesktopSeam<platform::ActiveWindow>& Focused() {
  static DesktopSeam<platform::ActiveWindow> seam([] { return platform::MakeX11ActiveWindow(); });
  return seam;
}

}  // namespace

void SetScriptDateFormatter(ScriptDateFormatter formatter) { Formatter() = std::move(formatter); }

std::string ScriptFormatDate(std::int32_t date) {
  if (Formatter()) return Formatter()(date);
  return date == 0 ? std::string() : FORMAT(date, "@D3");
}

void SetScriptActiveWindow(platform::ActiveWindow* window) { Focused().Install(window); }
platform::ActiveWindow& ScriptActiveWindow() { return Focused().Get(); }

}  // namespace vx
