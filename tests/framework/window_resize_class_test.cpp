// The controls of a free area as the window sizes it: each resized in proportion to the area,
// or fixed to the top left with its size kept.
#include "framework/window_resize_class.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "runtime/events.h"
#include "runtime/window/window.h"
#include "support/control_place.h"
#include "support/test_driver.h"

namespace vx {
namespace {

TEST(WindowResize, ControlsFollowTheAreaByTheirStrategies) {
  TestDriver ui;
  WINDOWRESIZECLASS resizer;
  ui.Start([&] {
    Window window("Resized");
    Control& area = window.Free();
    area.Place(0, 0, 200, 100);
    std::string notes;
    area.Text(notes).Place(20, 30, 160, 60);
    area.Button("Grows").Place(100, 4, 40, 14);
    area.Button("Fixed").Icon("bold.ico").Place(10, 4, 16, 14);
    window.Open();
    resizer.Init(window, area);
    resizer.SetStrategy(window.Controls().back()->Number(), WINDOWRESIZECLASS::FixTopLeft);
    area.Button("Later").Place(150, 80, 30, 10);  // made after Init: the program places it
    while (window.Accept()) resizer.TakeEvent();
  });
  DriverWindow w = ui.WaitWindow("Resized");
  DriverControl area = w.ControlNumber(1);
  const DriverControl text = w.ControlNumber(2), grows = w.Control("Grows"),
                      fixed = w.Control("Fixed"), later = w.Control("Later");
  area.SizeArea(400, 150);
  EXPECT_EQ(PlaceOf(text), (std::array<long, 4>{40, 45, 320, 90}));
  EXPECT_EQ(PlaceOf(grows), (std::array<long, 4>{200, 6, 80, 21}));
  EXPECT_EQ(PlaceOf(fixed), (std::array<long, 4>{10, 4, 16, 14}));
  EXPECT_EQ(PlaceOf(later), (std::array<long, 4>{150, 80, 30, 10}));
  // Back to the starting size: every control where it started, none drifted by rounding.
  area.SizeArea(130, 70);
  area.SizeArea(200, 100);
  EXPECT_EQ(PlaceOf(text), (std::array<long, 4>{20, 30, 160, 60}));
  EXPECT_EQ(PlaceOf(grows), (std::array<long, 4>{100, 4, 40, 14}));
  EXPECT_EQ(resizer.StrategyOf(text.Number()), WINDOWRESIZECLASS::Proportional);
  w.Close();
  ui.Finish();
}

// A text below a ruler, both stretched: the text takes up the area's change of width and height,
// the ruler only the change of width, so both keep their place and the ruler its height, and
// they stay as wide as each other. Neither goes below nothing when the area shrinks past them.
TEST(WindowResize, StretchedControlsTakeUpTheAreasChangeOfSize) {
  TestDriver ui;
  WINDOWRESIZECLASS resizer;
  ui.Start([&] {
    Window window("Stretched");
    Control& area = window.Free();
    area.Place(0, 0, 200, 100);
    std::string notes;
    const int ruler = area.Ruler().Place(10, 20, 180, 14).Number();
    const int text = area.Text(notes).Place(10, 34, 180, 60).Number();
    window.Open();
    resizer.Init(window, area);
    resizer.SetStrategy(ruler, WINDOWRESIZECLASS::StretchWidth);
    resizer.SetStrategy(text, WINDOWRESIZECLASS::Stretch);
    while (window.Accept()) resizer.TakeEvent();
  });
  DriverWindow w = ui.WaitWindow("Stretched");
  DriverControl area = w.ControlNumber(1);
  const DriverControl ruler = w.ControlNumber(2), text = w.ControlNumber(3);
  struct Case {
    long width, height;
    std::array<long, 4> ruler, text;
  };
  for (const Case& c : {
           Case{400, 300, {10, 20, 380, 14}, {10, 34, 380, 260}},
           Case{150, 80, {10, 20, 130, 14}, {10, 34, 130, 40}},
           Case{10, 30, {10, 20, 0, 14}, {10, 34, 0, 0}},  // smaller than the controls
           Case{200, 100, {10, 20, 180, 14}, {10, 34, 180, 60}},
       }) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    area.SizeArea(c.width, c.height);
    EXPECT_EQ(PlaceOf(ruler), c.ruler);
    EXPECT_EQ(PlaceOf(text), c.text);
  }
  w.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
