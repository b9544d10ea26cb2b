// Every icon name the program's sources use shows a real picture from the program's own set (or
// the desktop theme's), the tray's and the status picture's frames can be told apart, and a
// theme that has a fitting icon is preferred to the program's own.
#include <gtest/gtest.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/qt/display_probe.h"
#include "frontend/qt/named_icons.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

// A GUI application for the test's lifetime, unless one is running already.
class IconsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!qt::DisplayAvailable()) GTEST_SKIP() << "no display (run under Xvfb)";
    if (!QCoreApplication::instance()) app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[14] = "test_frontend";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

// The texts between double quotes on each line of a source.
std::vector<std::string> QuotedTexts(const std::string& source) {
  std::vector<std::string> texts;
  std::size_t open = std::string::npos;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source[i] == '\n') open = std::string::npos;
    if (source[i] != '"' || (i > 0 && source[i - 1] == '\\')) continue;
    if (open == std::string::npos) {
      open = i;
    } else {
      texts.push_back(source.substr(open + 1, i - open - 1));
      open = std::string::npos;
    }
  }
  return texts;
}

// "EXIT.ICO", "~blank.ico", "tray_ico": one word ending in ".ico" or "_ico", in any case.
bool IsIconName(const std::string& text) {
  if (text.size() <= 4 || text.find_first_of(" \t") != std::string::npos) return false;
  std::string end = text.substr(text.size() - 4);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".ico" || end == "_ico";
}

// Every quoted icon name ("EXIT.ICO", "~blank.ico", "tray_ico") in the program's and the data
// library's sources, with the first file that names it.
std::vector<std::pair<std::string, std::string>> IconNamesInSources() {
  const char* root = std::getenv("VX_SOURCE_DIR");
  if (!root) return {};
  std::set<std::string> seen;
  std::vector<std::pair<std::string, std::string>> names;
  for (const char* layer : {"program", "datadll"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(root) / layer)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      std::ifstream in(entry.path());
      std::stringstream text;
      text << in.rdbuf();
      const std::string source = text.str();
      for (const std::string& quoted : QuotedTexts(source)) {
        if (IsIconName(quoted) && seen.insert(quoted).second) {
          names.emplace_back(quoted, fs::relative(entry.path(), root).string());
        }
      }
    }
  }
  return names;
}

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 64 ? 1 : 0;
  }
  return count;
}

QImage Picture(const QIcon& icon, int size) {
  return icon.pixmap(QSize(size, size), 1.0)
      .toImage()
      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST_F(IconsTest, EveryIconNameInTheSourcesShowsAPictureOfTheProgramsOwnSet) {
  const auto names = IconNamesInSources();
  ASSERT_GT(names.size(), 20u) << "VX_SOURCE_DIR names the source tree";
  for (const auto& [name, file] : names) {
    SCOPED_TRACE(name + " (named in " + file + ")");
    const qt::IconPicture* picture = qt::FindIconPicture(name);
    ASSERT_NE(picture, nullptr) << "the name has a picture";
    EXPECT_FALSE(qt::NamedIcon(name).isNull());
    for (int size : {16, 22, 32}) {
      // The program's own copy is the compiled-in file, at each size it is kept in.
      const QString path = QStringLiteral(":/vx/icons/%1/%2.png")
                               .arg(size)
                               .arg(QString::fromUtf8(picture->file.data()));
      const QImage file_image(path);
      ASSERT_FALSE(file_image.isNull()) << path.toStdString();
      EXPECT_EQ(file_image.size(), QSize(size, size)) << path.toStdString();
      const QImage shown = Picture(qt::FallbackIcon(name), size);
      EXPECT_EQ(shown, file_image.convertToFormat(QImage::Format_ARGB32_Premultiplied))
          << path.toStdString();
      // "~blank.ico" is empty on purpose (a list row or the toolbar with nothing to show);
      // every other picture has something to see.
      if (picture->file == "vx-blank") {
        EXPECT_EQ(OpaquePixels(shown), 0);
      } else if (picture->file.starts_with("vx-working-") ||
                 picture->file.starts_with("vx-scripting-")) {
        // The frames of the toolbar's working animation are a thin moving mark: less to see,
        // but never nothing.
        EXPECT_GT(OpaquePixels(shown), size * size / 20) << path.toStdString();
      } else {
        EXPECT_GT(OpaquePixels(shown), size * size / 10) << path.toStdString();
      }
    }
  }
}

TEST_F(IconsTest, NamesMatchWithoutCaseMarkOrExtension) {
  const qt::IconPicture* done = qt::FindIconPicture("done");
  ASSERT_NE(done, nullptr);
  for (const char* name : {"~done.ico", "~Done.ICO", "done_ico", "DONE.ICO", "!done.ico"}) {
    EXPECT_EQ(qt::FindIconPicture(name), done) << name;
  }
  // A mark or extension that is part of another name does not make it this one.
  EXPECT_NE(qt::FindIconPicture("~wrkas.ico"), qt::FindIconPicture("~wrka.ico"));
  for (const char* unknown : {"", "nosuchpicture.ico", ".ico", "~"}) {
    EXPECT_EQ(qt::FindIconPicture(unknown), nullptr) << unknown;
    EXPECT_TRUE(qt::NamedIcon(unknown).isNull()) << unknown;
    EXPECT_TRUE(qt::FallbackIcon(unknown).isNull()) << unknown;
  }
}

// Pictures that stand for different states, or frames of one animation, must look different.
TEST_F(IconsTest, StatesAndAnimationFramesAreDistinctPictures) {
  const std::vector<std::vector<std::string>> groups = {
      {"tray_ico", "traybusy_ico", "traybus2_ico"},
      {"busykey.ico", "busykey2.ico", "busykey3.ico", "busykey4.ico"},
      {"~wrka.ico", "~wrkb.ico", "~wrkc.ico", "~wrkd.ico", "~wrke.ico", "~wrkf.ico", "~wrkg.ico",
       "~wrkas.ico", "~wrkbs.ico", "~wrkcs.ico", "~wrkds.ico", "~wrkes.ico", "~wrkfs.ico",
       "~wrkgs.ico", "~blank.ico"},
      {"~done.ico", "~skip.ico", "~skipped.ico", "~notdone.ico", "~disabled.ico"},
      {"~progtsk2.ico", "~msgtask.ico", "~bothtask.ico", "~blank.ico"},
  };
  for (const auto& group : groups) {
    for (std::size_t i = 0; i < group.size(); ++i) {
      for (std::size_t j = i + 1; j < group.size(); ++j) {
        for (int size : {16, 32}) {
          EXPECT_NE(Picture(qt::NamedIcon(group[i]), size), Picture(qt::NamedIcon(group[j]), size))
              << group[i] << " and " << group[j] << " at " << size;
        }
      }
    }
  }
  // The tray's idle picture is the program's mark, which windows without their own icon show.
  EXPECT_EQ(Picture(qt::ProgramIcon(), 32), Picture(qt::NamedIcon("tray_ico"), 32));
}

TEST_F(IconsTest, EachMessageBoxKindHasItsOwnPicture) {
  const std::vector<MessageIcon> kinds = {MessageIcon::Information, MessageIcon::Exclamation,
                                          MessageIcon::Question, MessageIcon::Hand};
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const QImage picture = Picture(qt::MessageBoxIcon(kinds[i]), 32);
    EXPECT_GT(OpaquePixels(picture), 100) << "kind " << i;
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_NE(picture, Picture(qt::MessageBoxIcon(kinds[j]), 32));
  }
  EXPECT_TRUE(qt::MessageBoxIcon(MessageIcon::None).isNull());
}

// A small icon theme of one picture in a temporary folder: where the theme has the fitting icon
// it is shown, and the program's own picture everywhere else.
TEST_F(IconsTest, TheDesktopThemesIconIsPreferredWhereItHasOne) {
  const fs::path root = fs::temp_directory_path() / ("vx-icon-theme-" + std::to_string(::getpid()));
  const fs::path actions = root / "vxtest" / "32x32" / "actions";
  fs::create_directories(actions);
  std::ofstream(root / "vxtest" / "index.theme")
      << "[Icon Theme]\nName=vxtest\nDirectories=32x32/actions\n\n"
         "[32x32/actions]\nSize=32\nContext=Actions\nType=Fixed\n";
  QImage red(32, 32, QImage::Format_ARGB32_Premultiplied);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(red.save(QString::fromStdString((actions / "document-open.png").string())));

  const QStringList paths = QIcon::themeSearchPaths();
  const QString theme = QIcon::themeName();
  QIcon::setThemeSearchPaths({QString::fromStdString(root.string())});
  QIcon::setThemeName("vxtest");

  EXPECT_EQ(Picture(qt::NamedIcon("OPEN.ICO"), 32).pixel(16, 16), QColor(255, 0, 0).rgba());
  EXPECT_EQ(Picture(qt::NamedIcon("EXIT.ICO"), 32), Picture(qt::FallbackIcon("EXIT.ICO"), 32))
      << "a name the theme lacks shows the program's own picture";
  EXPECT_EQ(Picture(qt::NamedIcon("tray_ico"), 32), Picture(qt::FallbackIcon("tray_ico"), 32));

  QIcon::setThemeName(theme);
  QIcon::setThemeSearchPaths(paths);
  EXPECT_EQ(Picture(qt::NamedIcon("OPEN.ICO"), 32) == red, false) << "a theme change is followed";
  fs::remove_all(root);
}

TEST_F(IconsTest, AnImageFilesPathShowsThatImage) {
  const fs::path file =
      fs::temp_directory_path() / ("vx-icon-" + std::to_string(::getpid()) + ".png");
  QImage blue(16, 16, QImage::Format_ARGB32_Premultiplied);
  blue.fill(QColor(0, 0, 255));
  ASSERT_TRUE(blue.save(QString::fromStdString(file.string())));
  EXPECT_EQ(Picture(qt::NamedIcon(file.string()), 16).pixel(8, 8), QColor(0, 0, 255).rgba());
  fs::remove(file);
}

}  // namespace
}  // namespace vx
