#include "program/scripts/builtin_sources.h"

#include <memory>
#include <utility>

#include "runtime/pictures.h"

namespace vx {
namespace {

ScriptDateFormatter& Formatter() {
  static ScriptDateFormatter formatter;
  return formatter;
}

platform::ActiveWindow*& InstalledWindow() {
  static platform::ActiveWindow* window = nullptr;
  return window;
}

}  // namespace

void SetScriptDateFormatter(ScriptDateFormatter formatter) { Formatter() = std::move(formatter); }

std::string ScriptFormatDate(std::int32_t date) {
  if (Formatter()) return Formatter()(date);
  return date == 0 ? std::string() : FORMAT(date, "@D3");
}

void SetScriptActiveWindow(platform::ActiveWindow* window) { InstalledWindow() = window; }

platform::ActiveWindow& ScriptActiveWindow() {
  if (InstalledWindow() != nullptr) return *InstalledWindow();
  static const std::unique_ptr<platform::ActiveWindow> desktop = platform::MakeX11ActiveWindow();
  return *desktop;
}

}  // namespace vx
