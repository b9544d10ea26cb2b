#include "program/script_engine/builtin_sources.h"

#include "program/common/program_services.h"
#include "program/script_engine/desktop_seam.h"
#include "runtime/pictures.h"

namespace vx {
namespace {

DesktopSeam<platform::ActiveWindow>& Focused() {
  static DesktopSeam<platform::ActiveWindow> seam([] { return platform::MakeX11ActiveWindow(); });
  return seam;
}

}  // namespace

std::string ScriptFormatDate(std::int32_t date) {
  const ScriptDateFormatter& formatter = CurrentProgramServices().script_dates;
  if (formatter) return formatter(date);
  return date == 0 ? std::string() : FORMAT(date, "@D3");
}

platform::ActiveWindow& ScriptActiveWindow() {
  return Focused().Get(CurrentProgramServices().script_front);
}

}  // namespace vx
