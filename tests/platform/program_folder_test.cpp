#include "platform/program_folder.h"

#include <gtest/gtest.h>

namespace vx::platform {
namespace {

TEST(RunningProgramFolder, IsTheFolderOfThisExecutable) {
  const std::filesystem::path folder = RunningProgramFolder();
  EXPECT_TRUE(folder.is_absolute());
  EXPECT_TRUE(std::filesystem::exists(folder / "test_platform"));
}

}  // namespace
}  // namespace vx::platform
