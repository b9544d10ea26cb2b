// The previewer as the Qt renderer shows it: the page control draws the page it is given.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "framework/report/print_preview.h"
#include "frontend/qt/page_image_view.h"
#include "runtime/report/report_writer.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

// The pixels of a grabbed page control that are neither its background (its corner) nor the
// white of the paper: what is drawn on the page.
int InkedPixels(const QImage& image) {
  if (image.isNull()) return 0;
  const QRgb background = image.pixel(0, 0), paper = qRgb(255, 255, 255);
  int inked = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y) | 0xFF000000;
      inked += pixel != (background | 0xFF000000) && pixel != paper;
    }
  }
  return inked;
}

TEST(PrintPreviewQt, ThePageControlDrawsThePage) {
  REQUIRE_QT_DISPLAY();
  report::ReportLayout layout;
  layout.page_header.Font({.size = 16, .bold = true})
      .Text("Print Preview Test", 0, 0, 7500, report::Align::Center);
  layout.detail.Text("A line of the report", 0, 0).Line(0, 200, 7500, 200);
  layout.page_footer.Text("Page", 0, 0).PageNumber("<<<#", 420, 0, 500);
  bool drawn = false;
  const int status = test::RunAsUser(
      [&] {
        report::ReportWriter writer(layout);
        for (int i = 0; i < 30; ++i) writer.PrintDetail();
        PRINTPREVIEW(writer.End());
      },
      [&] {
        qt::QtWindow* window = test::WaitShown("Print Preview");
        ASSERT_NE(window, nullptr);
        // The page arrives after the window shows; wait for it to be drawn.
        drawn = test::WaitFor([&] {
          bool inked = false;
          test::OnGui([&] {
            auto* page = window->findChild<qt::PageImageView*>();
            inked = page && InkedPixels(page->grab().toImage()) > 50;
          });
          return inked;
        });
        // A picture to look at when VX_SCREENSHOT names a file.
        if (const char* file = std::getenv("VX_SCREENSHOT"))
          test::OnGui([&] { window->grab().save(file); });
      });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(drawn);
}

}  // namespace
}  // namespace vx
