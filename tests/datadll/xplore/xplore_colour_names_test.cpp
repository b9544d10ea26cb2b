// The named colours of the list extension: fuchsia is shown spelt right while the graph
// preferences keep the spelling that INI files already hold, and both spellings name it.
#include <gtest/gtest.h>

#include <string>

#include "tests/datadll/xplore/people_browse.h"

namespace vx::test {
namespace {

class XploreColourNamesTest : public XploreTest {};

TEST_F(XploreColourNamesTest, FuchsiaIsShownSpeltRightAndStoredAsBefore) {
  EXPECT_EQ(XPLORECLASS::COLORSTRINGTOLONG("Fuchsia", -2), 0xFF00FF);
  EXPECT_EQ(XPLORECLASS::COLORSTRINGTOLONG("Fuschia", -2), 0xFF00FF) << "the stored spelling";

  XPLORECLASS xplore;
  xplore.INIFILENAME = g_setup.ini;
  ui_.Start([&] { xplore.PREFERENCES(); });
  DriverWindow preferences = ui_.WaitWindow("Preferences");
  DriverControl colours = preferences.ControlNumber(2);
  ASSERT_EQ(colours.Rows(), 16u);
  EXPECT_EQ(colours.Cell(13, 1), "Fuchsia");
  // Moved up one, it is stored in its new place under its stored name.
  colours.ChooseRow(13);
  preferences.Control("Move Up").Press();
  preferences.Control("OK").Press();
  ui_.WaitClosed(preferences);
  ui_.Finish();
  EXPECT_EQ(IniFile(g_setup.ini).Get("XplorePreferences", "Col12"), "Fuschia");
  EXPECT_EQ(IniFile(g_setup.ini).Get("XplorePreferences", "Col13"), "Lime");
}

}  // namespace
}  // namespace vx::test
