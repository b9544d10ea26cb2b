// The clipboard recorder over the CLIPBOARD table: what counts as a new text, the digest key
// that keeps identical texts out, the category from the window in front, and trimming.
#include "program/organiser/capture_clipboard.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <optional>

#include <string>
#include <vector>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "platform/active_window.h"
#include "runtime/storage/file.h"
#include "runtime/window/dialogs.h"
#include "tests/program/shell_fixture.h"
#include "tests/support/fake_active_window.h"

namespace vx {
namespace {

class CaptureClipboardTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    installed_.emplace(&ProgramServices::clipboard_front, &front_);
    MAXCLIPBOARDENTRIES = 50;
    CLI = CLIPBOARD_RECORD{};
    ClipboardChanged("");
  }
  void TearDown() override {
    installed_.reset();
    ClipboardChanged("");
    CLI = CLIPBOARD_RECORD{};
    ShellTest::TearDown();
  }

  void Copy(const std::string& text) {
    ClipboardChanged(text);
    CaptureClipboard();
  }

  // Every stored entry as "contents|category|date|time", oldest first.
  std::vector<CLIPBOARD_RECORD> Entries() {
    std::vector<CLIPBOARD_RECORD> out;
    const CLIPBOARD_RECORD saved = CLI;
    CLI = CLIPBOARD_RECORD{};
    ACCESS_CLIPBOARD->Set(CLI_KEYCLIPKEEP);
    while (ACCESS_CLIPBOARD->TryNext() == 0) out.push_back(CLI);
    CLI = saved;
    return out;
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& e : Entries()) out.push_back(e.ClipContents.str());
    return out;
  }
  void Store(const std::string& text, std::int32_t time, bool keep) {
    const CLIPBOARD_RECORD saved = CLI;
    CLI = CLIPBOARD_RECORD{};
    CLI.ClipContents = text;
    CLI.ClipHashKey = ClipboardHashKey(text);
    CLI.ClipDate = clock_.Today();
    CLI.ClipTime = time;
    CLI.ClipKeep = keep ? 1 : 0;
    ASSERT_EQ(ACCESS_CLIPBOARD->Insert(), 0) << text;
    CLI = saved;
  }

  test::FakeActiveWindow front_{"Notes - Editor"};
  std::optional<ScopedProgramServices> installed_;
};

TEST_F(CaptureClipboardTest, ANewTextIsStoredOnceWithItsMomentHashAndFrontWindow) {
  Copy("Call Bob at 555-0199");
  Copy("Call Bob at 555-0199");
  const auto entries = Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].ClipContents.str(), "Call Bob at 555-0199");
  EXPECT_EQ(entries[0].ClipHashKey.str(), ClipboardHashKey("Call Bob at 555-0199"));
  EXPECT_EQ(entries[0].Category.str(), "Notes - Editor");
  EXPECT_EQ(entries[0].ClipDate, clock_.Today());
  EXPECT_EQ(entries[0].ClipTime, clock_.Clock());
  EXPECT_EQ(entries[0].ClipKeep, 0);
  EXPECT_TRUE(entries[0].Abbreviation.blank());
  EXPECT_EQ(CLI.ClipContents.str(), "Call Bob at 555-0199");  // the next tick finds nothing new
}

// Only an identical text counts as a repeat: texts that share their letters (a note with two
// telephone numbers, two amounts, a change of case) are all kept, and a text seen again after
// another keeps its first entry and moment.
TEST_F(CaptureClipboardTest, OnlyIdenticalTextsCountAsRepeatsAndTheFirstKeepsItsMoment) {
  Copy("Call Bob at 555-0199");
  clock_.Set(clock_.Today(), clock_.Clock() + 100);
  Copy("Call Bob at 555-0100");
  Copy("Total: 12.50");
  Copy("Total: 99.00");
  Copy("CALL BOB AT 555-0199");
  clock_.Set(clock_.Today(), clock_.Clock() + 100);
  Copy("Call Bob at 555-0199");     // the first text again after others: no new entry
  Copy("Call Bob at 555-0199   ");  // trailing blanks do not make a text new
  const auto entries = Entries();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].ClipContents.str(), "Call Bob at 555-0199");
  EXPECT_EQ(entries[0].ClipTime, clock_.Clock() - 200);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{"Call Bob at 555-0199", "Call Bob at 555-0100",
                                      "Total: 12.50", "Total: 99.00", "CALL BOB AT 555-0199"}));
}

// The recorder compares the clipboard with the entry it holds on every tick: a text that the
// held entry begins, or that begins it, is a new text; so is one differing only within the
// held entry's padding.
TEST_F(CaptureClipboardTest, ATextThatBeginsOrExtendsTheHeldEntryIsNew) {
  const std::string held(300, 'h');
  const std::string cases[] = {
      held.substr(0, 299),                 // the held entry begins with it
      held + "x",                          // it begins with the held entry
      held + std::string(500, ' ') + "y",  // past the first block of the held entry's padding
      std::string(8192, 'h'),              // the whole field
  };
  for (const std::string& text : cases) {
    Copy(held);
    const auto before = Entries().size();
    Copy(text);
    EXPECT_EQ(Entries().size(), before + 1) << text.size();
    Copy(text + "   ");  // the same text again: nothing new
    EXPECT_EQ(Entries().size(), before + 1) << text.size();
  }
}

TEST_F(CaptureClipboardTest, BlankOrControlLedTextsAreIgnoredAndLeadingBlanksAreNot) {
  const struct {
    std::string text;
    bool stored;
  } cases[] = {
      {"", false},
      {"     ", false},
      {"\nline after a break", false},
      {"\tTabbed", false},
      {"   indented text", true},
      {"\xC3\xA9t\xC3\xA9", true},  // a first byte above the blank
  };
  for (const auto& c : cases) {
    CLI = CLIPBOARD_RECORD{};
    const auto before = Entries().size();
    Copy(c.text);
    EXPECT_EQ(Entries().size(), before + (c.stored ? 1 : 0)) << "[" << c.text << "]";
  }
}

TEST_F(CaptureClipboardTest, LongTextsAreCutAndKeyedOnTheirWholeStoredText) {
  const std::string letters(130, 'a');
  Copy(letters + std::string(9000, 'x'));
  auto entries = Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].ClipContents.str().size(), 8192u);
  // Texts agreeing in their first 120 letters are still different texts.
  Copy(letters + "y" + std::string(9000, 'x'));
  EXPECT_EQ(Entries().size(), 2u);
  // A change beyond the cut is not noticed.
  Copy(letters + std::string(9000, 'x') + "tail");
  EXPECT_EQ(Entries().size(), 2u);
}

// The key is a digest of the whole text without its trailing blanks, within the key's 120
// characters; texts with no letter at all get keys of their own too.
TEST(ClipboardHashKey, DigestOfTheWholeTextWithoutTrailingBlanks) {
  EXPECT_EQ(ClipboardHashKey("abc  "),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_NE(ClipboardHashKey("12.50"), ClipboardHashKey("99.00"));
  EXPECT_NE(ClipboardHashKey("a1 b"), ClipboardHashKey("a2 b"));
  EXPECT_LE(ClipboardHashKey(std::string(8192, 'z')).size(), 120u);
}

TEST_F(CaptureClipboardTest, TheCategoryIsTheFrontWindowsTitleCutTo20OrGeneral) {
  front_.SetTitle("A window title of thirty chars");
  Copy("first text");
  front_.SetTitle("");
  Copy("second text");
  const auto entries = Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Category.str(), "A window title of th");
  EXPECT_EQ(entries[1].Category.str(), "General");
}

TEST_F(CaptureClipboardTest, TrimmingRemovesTheOldestNotKeptPassingOverTheTextBeingStored) {
  MAXCLIPBOARDENTRIES = 3;
  Store("kept one", 10, true);
  Store("oldest", 20, false);
  Store("middle", 30, false);
  Store("newest", 40, false);
  Copy("oldest");  // equal to the oldest entry: that one stays and the next oldest goes
  EXPECT_EQ(Texts(), (std::vector<std::string>{"oldest", "newest", "kept one"}));
  Copy("brand new text");  // 3 stored: no trim; 4 after
  EXPECT_EQ(Entries().size(), 4u);
  Copy("another text");
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{"newest", "brand new text", "another text", "kept one"}));
}

TEST_F(CaptureClipboardTest, KeptEntriesAreNeverTrimmedAndNoLimitMeansNoTrim) {
  MAXCLIPBOARDENTRIES = 1;
  Store("kept a", 10, true);
  Store("kept b", 20, true);
  Copy("new one");
  Copy("new two");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"new two", "kept a", "kept b"}));
  MAXCLIPBOARDENTRIES = 0;
  Copy("new three");
  Copy("new four");
  EXPECT_EQ(Entries().size(), 5u);
}

}  // namespace
}  // namespace vx
