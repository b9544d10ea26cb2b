#include "framework/window_position.h"

#include <gtest/gtest.h>

#include "runtime/window/window.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

TEST(WindowPosition, AWindowWithoutASizeLeavesTheStoredPlace) {
  test::TempFolder folder;
  IniFile positions = IniFile::AtPath(folder / "POSITION.INI");
  Window window("Progress");
  SaveWindowPlace(positions, "Progress", window);  // never placed: 0 by 0 would be no window
  EXPECT_FALSE(positions.Has("Progress", "Width"));

  window.Set(Prop::X, 7L).Set(Prop::Y, 8L).Set(Prop::Width, 200L).Set(Prop::Height, 60L);
  SaveWindowPlace(positions, "Progress", window);
  Window again("Progress");
  ASSERT_TRUE(FetchWindowPlace(positions, "Progress", again));
  EXPECT_EQ(again.GetNumber(Prop::Width), 200);
  EXPECT_EQ(again.GetNumber(Prop::X), 7);
}

}  // namespace
}  // namespace vx
