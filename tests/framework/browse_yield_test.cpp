#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/browse_class.h"
#include "framework/table_view.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/storage/file.h"
#include "runtime/storage_fixture.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using storage::File;
using test::ItemBuffer;
using test::MakeItemTable;
using test::SetItem;

std::atomic<int> g_ticks{0};
std::atomic<bool> g_ticker_ready{false};
std::atomic<bool> g_reading{false};

// Another runtime thread's window whose timer fires every hundredth of a second; at its first
// tick during the read it posts an event to the reading thread (thread 1).
void Ticker() {
  Window w("Ticker");
  w.Timer(1);
  bool posted = false;
  while (w.Accept()) {
    if (EVENT() == EVENT_OpenWindow) g_ticker_ready = true;
    if (EVENT() != EVENT_Timer) continue;
    ++g_ticks;
    if (g_reading && !posted) {
      POST(EVENT_User, 0, 1);
      posted = true;
    }
  }
}

// A view whose every record takes 2 ms to read, holding the runtime lock meanwhile.
class SlowView final : public BrowseView {
 public:
  int records = 0;
  int ticks_at_reset = 0, ticks_at_end = 0;
  void Reset(int) override {
    next_ = 0;
    ticks_at_reset = g_ticks;
    g_reading = true;
  }
  bool Next() override {
    if (next_ == records) {
      ticks_at_end = g_ticks;
      g_reading = false;
      return false;
    }
    std::this_thread::sleep_for(2ms);
    ++next_;
    return true;
  }
  long Position() const override { return next_; }
  bool Fetch(long position) override { return position >= 1 && position <= records; }

 private:
  int next_ = 0;
};

struct NumberBrowse : BrowseClass {
  SlowView* view = nullptr;
  void SetQueueRecord() override { Q = {std::to_string(view->Position())}; }
};

TEST(BrowseYield, OtherThreadsTimersTickWhileALongReadRunsAndItsOwnEventsWait) {
  g_ticks = 0;
  g_ticker_ready = false;
  SlowView view;
  view.records = 300;  // about 0.6 s of reading
  std::size_t rows = 0;
  bool event_waits = false;
  RunProgram([&] {
    START(Ticker);
    while (!g_ticker_ready) SleepFor(1ms);
    Window w("Numbers");
    auto& list = w.List("40R~N~@n5@");
    WindowManager manager(w);
    NumberBrowse brw;
    brw.view = &view;
    brw.Init(list, view, manager);
    brw.AddSortOrder();
    brw.ResetFromView();
    rows = brw.Records();
    // The event posted to this thread during the read still waits: yielding took no events.
    event_waits = CurrentEventQueue()->Pending(EVENT_User, 0);
    // The rows came in the view's order, each once.
    for (std::size_t i = 0; i < brw.Records(); ++i)
      ASSERT_EQ(brw.Fields(i).at(0), std::to_string(i + 1));
  });
  EXPECT_EQ(rows, 300u);
  EXPECT_GT(view.ticks_at_end, view.ticks_at_reset) << "the ticker never ran during the read";
  EXPECT_TRUE(event_waits);
}

// A browse over a stored table by id, while another runtime thread deletes the record the
// walk stands on and the one after it, and adds one at the end, in the middle of the read.
class BrowseYieldTable : public test::ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    def_ = MakeItemTable("items.tps");
    file_ = std::make_unique<File>(def_);
    ASSERT_EQ(file_->Create(), 0);
    ASSERT_EQ(file_->Open(), 0);
    for (int id = 1; id <= kRecords; ++id) {
      SetItem(id, ("n" + std::to_string(id)).c_str(), 1);
      ASSERT_EQ(file_->Add(), 0);
    }
    file_->Close();
  }

  static constexpr int kRecords = 200;
  static constexpr int kStop = 50;  // the record the read stands on when the other thread writes
  storage::TableDef def_;
  std::unique_ptr<File> file_;
};

TEST_F(BrowseYieldTable, RecordsDeletedAndAddedByAnotherThreadDuringTheReadNeitherCrashNorRepeat) {
  std::atomic<bool> at_stop{false};
  std::atomic<bool> written{false};
  bool written_during_read = false;
  std::vector<std::string> ids;
  long selected = 0;
  RunProgram([&] {
    File& file = *file_;
    START([&] {
      file.Open();
      while (!at_stop) SleepFor(1ms);
      for (int id : {kStop, kStop + 1}) {
        SetItem(id, "");
        EXPECT_EQ(file.Get(def_.keys[0]), 0);
        EXPECT_EQ(file.Delete(), 0);
      }
      SetItem(1000, "last", 1);
      EXPECT_EQ(file.Add(), 0);
      file.Close();
      written = true;
    });
    file.Open();
    Window w("Items");
    auto& list = w.List("40R~Id~@n5@");
    WindowManager manager(w);
    struct ItemBrowse : BrowseClass {
      void SetQueueRecord() override { Q = {std::to_string(ItemBuffer().Id)}; }
    } brw;
    TableView view(file, {&def_.keys[0]});
    brw.Init(list, view, manager);
    brw.AddSortOrder();
    // At the stop record the read takes longer than a slice, so it yields right after it,
    // with the writer waiting for the lock.
    brw.SetFilter([&] {
      if (ItemBuffer().Id == kStop) {
        at_stop = true;
        std::this_thread::sleep_for(BrowseClass::kReadSlice + 20ms);
      }
      if (ItemBuffer().Id == 1000) written_during_read = written;
      return true;
    });
    brw.ResetFromView();
    for (std::size_t i = 0; i < brw.Records(); ++i) ids.push_back(brw.Fields(i).at(0));
    // The row of the record deleted after it was read stays until the next reset; choosing it
    // finds nothing to fetch and breaks nothing.
    brw.Select(kStop);
    selected = brw.Selected();
    brw.ResetFromView();
    EXPECT_EQ(brw.Records(), static_cast<std::size_t>(kRecords - 1));
    file.Close();
  });
  EXPECT_TRUE(written_during_read);
  std::vector<std::string> expected;
  for (int id = 1; id <= kRecords; ++id) {
    if (id != kStop + 1) expected.push_back(std::to_string(id));
  }
  expected.push_back("1000");
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(selected, kStop);
}

}  // namespace
}  // namespace vx
