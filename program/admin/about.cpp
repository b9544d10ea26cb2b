#include <string>

#include "datadll/dictionary/globals.h"
#include "framework/window_manager.h"
#include "program/admin/admin_windows.h"
#include "program/common/help_links.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/pictures.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr int kBuildNumber = 24;
constexpr std::int32_t kBuildDate = 72628;  // 3 November 1999
// The maker's site, as Main's Help menu opens it.
constexpr std::string_view kWebSite = "https://www.kestrova.example/";

}  // namespace

void About() {
  Window window("About");
  Control& body = window.Beside();
  body.Image("tray.ico");
  Control& texts = body.Stacked();
  texts.String(std::string(PRODUCTNAME.clipped()));
  texts.String("Version " + std::string(VERSIONNUMBER.clipped()));
  texts.String("Build " + std::to_string(kBuildNumber) + "  " + FORMAT(kBuildDate, "@D17"));
  const int close = window.Button("Cl&ose").Icon("EXIT.ICO").Default();
  const int help = window.Button("&Help");
  window.SetCancelButton(close);

  WindowManager manager(window);
  const WindowProcedureScope scope("About", manager);
  manager.CancelControl = close;
  manager.OnAccepted(help, [] { START([] { OpenHelpLink(kWebSite, "Kestrova Web Site"); }); });
  manager.Run();
}

}  // namespace vx
