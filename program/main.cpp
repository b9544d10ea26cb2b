// VX: the scheduler program. The Qt front end draws the window model on the process's main
// thread while the program runs as runtime thread 1; without a display it runs headless, and
// the boxes it answers by itself go to the event log.
#include <string>
#include <vector>

#include "frontend/qt/run_with_qt.h"
#include "program/admin/program_arguments.h"
#include "program/common/write_log.h"
#include "program/shell/program_body.h"

int main(int argc, char** argv) {
  vx::SetProgramArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  return vx::qt::RunWithQt(
      argc, argv, vx::ProgramBody,
      [](const std::string& caption, const std::string& text) { vx::WriteLog(text, caption); });
}
