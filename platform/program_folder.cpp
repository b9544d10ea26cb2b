#include "platform/program_folder.h"

#include <system_error>

namespace vx::platform {

std::filesystem::path RunningProgramFolder() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : program.parent_path();
}

}  // namespace vx::platform
