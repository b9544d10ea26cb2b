// A fresh data folder (also the current folder and the home of the user's settings) with the
// data library loaded, the program's error object recording every message and halt instead of
// showing or ending anything, and a fixed moment.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "framework/file_manager.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/storage/file.h"
#include "support/temp_folder.h"
#include "tests/support/fixed_clock.h"

namespace vx::test {

// Records each box and answers from a list of answers, then with the box's default button.
class ScriptedReporter : public MessageReporter {
 public:
  unsigned Show(const MessageBoxRequest& box) override {
    shown.push_back(box);
    if (answers.empty()) return box.default_button;
    const unsigned a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<MessageBoxRequest> shown;
  std::deque<unsigned> answers;
};

// A date as lists and date entries show it under the default date format.
inline std::string Shown(std::int32_t date) { return FORMAT(date, "@D3"); }

class ShellTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    VX_Files_Load();
    errors_.Init();
    errors_.SetReporter(&reporter_);
    errors_.SetHaltHandler([this](int, std::string_view text) { halts_.emplace_back(text); });
    VX_FILES_INIT(&errors_, nullptr);
  }
  void TearDown() override {
    // Open files belong to the thread, not to the test: close them so that the next test's
    // folder is used afresh.
    for (const storage::TableDef* table : DictionaryTables()) {
      storage::File& file = storage::File::For(*table);
      while (file.IsOpen()) file.Close();
    }
    VX_Files_Unload();
    TempFolderTest::TearDown();
  }

  // The stored task with this id, read into the SCHEDULE buffer (the table open on this thread).
  static SCHEDULE_RECORD StoredTask(std::int32_t id) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    EXPECT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0) << id;
    return SCH;
  }

  // Every stored task in id order (the table opened and closed on this thread).
  static std::vector<SCHEDULE_RECORD> StoredTasks() {
    std::vector<SCHEDULE_RECORD> out;
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->Set(SCH_KEYID);
    while (ACCESS_SCHEDULE->TryNext() == 0) out.push_back(SCH);
    ACCESS_SCHEDULE->Close();
    return out;
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const MessageBoxRequest& box : reporter_.shown) out.push_back(box.caption);
    return out;
  }

  ScriptedReporter reporter_;
  ErrorClass errors_;
  std::vector<std::string> halts_;
  // Friday 12 June 2026, 14:07:09.
  test::FixedClock clock_{DATE(6, 12, 2026), MakeTime(14, 7, 9)};
  test::ScopedClock scoped_clock_{clock_};
};

}  // namespace vx::test
