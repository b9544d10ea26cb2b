// The folder chooser lists folders without opening any file of the folder it shows: a special
// file (as root, /proc/kmsg blocks a read until the kernel logs something) must never be read.
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "runtime/window/dialogs.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using test::OnGui;
using test::WaitFor;

// The names of the files (not folders) opened in the watched folders since the last call.
std::vector<std::string> OpenedFiles(int watch) {
  std::vector<std::string> names;
  alignas(inotify_event) char buffer[8192];
  for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
    for (char* at = buffer; at < buffer + got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      if ((event->mask & IN_OPEN) != 0 && (event->mask & IN_ISDIR) == 0 && event->len > 0)
        names.emplace_back(event->name);
      at += sizeof(inotify_event) + event->len;
    }
  }
  return names;
}

QFileDialog* ShownFileDialog() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog != nullptr && dialog->isVisible())
      return dialog;
  }
  return nullptr;
}

TEST(QtFolderDialog, ListsTheFoldersWithoutOpeningAnyFileOfThem) {
  REQUIRE_QT_DISPLAY();
  std::string pattern = (fs::temp_directory_path() / "vx-folder-dialog-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path top = pattern;
  const fs::path inner = top / "inner";
  fs::create_directory(inner);
  fs::create_directory(inner / "deeper");
  // Names that say nothing of their type: only their contents would.
  for (const fs::path& folder : {top, inner}) {
    std::ofstream(folder / "notes") << "%PDF-1.4\n";
    std::ofstream(folder / "kmsg") << "<6>kernel\n";
  }
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, top.c_str(), IN_OPEN), 0);
  ASSERT_GE(::inotify_add_watch(watch, inner.c_str(), IN_OPEN), 0);

  std::string chosen = top.string();
  bool picked = true;
  std::vector<std::string> opened;
  bool listed = false;
  test::RunAsUser([&] { picked = FILEDIALOG("Select data directory", chosen, {}, FILE_Directory); },
                  [&] {
                    QFileDialog* dialog = nullptr;
                    if (!WaitFor([&] {
                          OnGui([&] { dialog = ShownFileDialog(); });
                          return dialog != nullptr;
                        })) {
                      return;
                    }
                    // The next folder's listing is awaited to its end: every entry has been
                    // described (icon and type) by the time the model says it is loaded.
                    const auto loaded = std::make_shared<std::atomic<bool>>(false);
                    OnGui([&] {
                      auto* model = dialog->findChild<QFileSystemModel*>();
                      if (model == nullptr) return;
                      QObject::connect(model, &QFileSystemModel::directoryLoaded, dialog,
                                       [loaded, inner](const QString& path) {
                                         if (fs::path(path.toStdString()) == inner) *loaded = true;
                                       });
                      dialog->setDirectory(QString::fromStdString(inner.string()));
                    });
                    listed = WaitFor([&] { return loaded->load(); });
                    opened = OpenedFiles(watch);
                    OnGui([&] { dialog->reject(); });
                  });
  ::close(watch);
  std::error_code ec;
  fs::remove_all(top, ec);
  EXPECT_TRUE(listed) << "the dialog listed the folder";
  EXPECT_TRUE(opened.empty()) << "opened: " << ::testing::PrintToString(opened);
  EXPECT_FALSE(picked) << "cancelled";
}

}  // namespace
}  // namespace vx
