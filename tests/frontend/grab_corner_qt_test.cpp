// The size grip as the Qt renderer draws it: in the window's lower right corner over the rest,
// and still there after the window is resized.
#include <gtest/gtest.h>
#include <QSizeGrip>

#include <atomic>
#include <string>

#include "datadll/utility/grab_corner_class.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

using namespace test;

TEST(QtSizeGrip, StandsInTheLowerRightCornerAndFollowsAResize) {
  REQUIRE_QT_DISPLAY();
  std::atomic<long> model_x{0};
  const int status = RunAsUser(
      [&] {
        std::string name;
        Window w("Sample With A Grip");
        w.Prompt("&Name:");
        w.Entry(name, "@s20");
        w.Button("Close");
        GRABCORNERCLASS grip;
        grip.INIT(w);
        while (w.Accept()) {
          if (EVENT() != EVENT_Sized) continue;
          grip.TAKERESIZE();
          model_x = w[static_cast<int>(grip.FEQ)].GetNumber(Prop::X);
        }
      },
      [&] {
        qt::QtWindow* window = WaitShown("Sample With A Grip");
        ASSERT_NE(window, nullptr);
        const auto in_corner = [&] {
          bool there = false;
          OnGui([&] {
            const auto* grip = window->findChild<QSizeGrip*>();
            there = grip != nullptr && grip->isVisible() &&
                    grip->geometry().bottomRight() == window->rect().bottomRight();
          });
          return there;
        };
        EXPECT_TRUE(WaitFor(in_corner, 5s));
        OnGui([&] { window->resize(window->width() + 90, window->height() + 40); });
        EXPECT_TRUE(WaitFor(in_corner, 5s));
        int width = 0;
        OnGui([&] { width = window->width(); });
        EXPECT_TRUE(WaitFor([&] { return model_x == width - kSizeGripPixels; }, 5s))
            << model_x << " for a width of " << width;
      });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
