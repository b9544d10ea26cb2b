// VX: the scheduler program.
#include <cstdio>

#include "datadll/dictionary/vx_files.h"
#include "platform/user_folders.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  vx::VX_Files_Load();
  std::printf("Varnodex: data folder %s\n", vx::platform::DefaultDataFolder().c_str());
  vx::VX_Files_Unload();
  return 0;
}
