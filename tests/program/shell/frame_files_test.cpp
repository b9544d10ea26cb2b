// The main frame holds a table of every data file the task tree reaches, so that the task lists,
// which open the tree on threads of their own, find each file's connection kept for them: only
// the first list of a session connects to the files.
#include "program/shell/frame_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/table_managers.h"
#include "framework/relation_manager.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/program/window_fixture.h"
#include "tests/runtime/faulty_vfs.h"

namespace vx {
namespace {

class FrameFilesTest : public test::WindowTest {};

TEST_F(FrameFilesTest, ATaskTreeOpenedAfterTheFirstConnectsToNoFile) {
  constexpr int kOpenTree = EVENT_User + 1;
  test::FaultyVfs vfs;      // never armed: it only counts the databases opened
  std::vector<int> opened;  // databases each tree open connected to, written on its thread
  // Main's thread holds the frame's tables and starts a thread for each tree open, as the
  // frame starts a task list; each such thread shows a window once its tree is open.
  ui_.Start([&] {
    OpenFrameFiles();
    Window frame("Frame files");
    while (frame.Accept()) {
      if (EVENT() != kOpenTree) continue;
      START([&] {
        const int before = vfs.databases_opened();
        EXPECT_EQ(RELATE_SCHEDULE->Open(), 0);
        opened.push_back(vfs.databases_opened() - before);
        Window list("Tree open");
        while (list.Accept()) {
        }
        RELATE_SCHEDULE->Close();
      });
    }
    CloseFrameFiles();
  });
  const DriverWindow frame = ui_.WaitWindow("Frame files");
  for (int round = 0; round < 2; ++round) {
    PostEvent(frame.Thread(), Event{kOpenTree, 0, 0});
    DriverWindow list = ui_.WaitWindow("Tree open");
    list.Close();
    ui_.WaitThreadEnded(list.Thread());
  }
  ui_.WaitWindow("Frame files").Close();
  ui_.Finish();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_GT(opened[0], 0);  // the first list's thread connects to the tree's files
  EXPECT_EQ(opened[1], 0);  // the next one finds every connection kept
}

}  // namespace
}  // namespace vx
