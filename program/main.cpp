// VX: the scheduler program.
#include <cstdio>
#include <string>
#include <vector>

#include "datadll/dictionary/vx_files.h"
#include "platform/user_folders.h"
#include "program/shell/install_program_services.h"
#include "program/shell/program_arguments.h"

int main(int argc, char** argv) {
  vx::SetProgramArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  vx::VX_Files_Load();
  vx::InstallProgramServices();
  std::printf("Varnodex: data folder %s\n", vx::platform::DefaultDataFolder().c_str());
  vx::VX_Files_Unload();
  return 0;
}
