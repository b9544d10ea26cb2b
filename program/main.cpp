// VX: the scheduler program. Until the desktop front end is linked in, the program runs its
// window model without one: message boxes take their default answers and the frame is not
// drawn, but the scheduler, the tray model and the hot keys run.
#include <string>
#include <vector>

#include "program/shell/program_arguments.h"
#include "program/shell/program_body.h"
#include "runtime/threads.h"

int main(int argc, char** argv) {
  vx::SetProgramArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  vx::RunProgram(vx::ProgramBody);
  return 0;
}
