#include "datadll/utility/sys_hot_key_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/datadll/fake_hot_key_grabber.h"

namespace vx {
namespace {

using test::FakeHotKeyGrabber;
using test::GrabLog;

// Records what the class reports through its virtual hooks.
class RecordingHotKeys : public SYSHOTKEYCLASS {
 public:
  void TAKEKEY(std::int32_t id, std::string_view text) override {
    taken.emplace_back(id, std::string(text));
  }
  void TAKEINVALIDKEY(std::string_view text) override { invalid.emplace_back(text); }
  std::vector<std::pair<std::int32_t, std::string>> taken;
  std::vector<std::string> invalid;
};

class HotKeyClassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowLink link;
    link.post = [this](int event) { posted.push_back(event); };
    keys.INIT(link, std::make_unique<FakeHotKeyGrabber>(log));
  }
  void TearDown() override { keys.KILL(); }

  std::vector<std::int32_t> Codes(const Queue<HotKeyEntry>& q) {
    std::vector<std::int32_t> out;
    for (const auto& e : q) out.push_back(e.code);
    return out;
  }

  GrabLog log;
  std::vector<int> posted;
  RecordingHotKeys keys;
};

TEST_F(HotKeyClassTest, KeyTextsTranslateToCodes) {
  const struct {
    const char* text;
    std::int32_t code;
  } cases[] = {
      {"CtrlShiftA", 0x641},
      {"^+A", 0x641},
      {"Ctrl-Shift-A", 0x641},
      {"SHIFTCTRLA", 0x641},
      {"ctrlshifta", 0x641},
      {"WinW", 0x857},
      {"*W", 0x857},
      {"%F4", 0x173},
      {"AltF10", 0x179},
      {"F1", 112},
      {"F10", 121},
      {"Pad7", 103},
      {"Bs", 8},
      {"Backspace", 8},
      {"PgUpKey", 33},
      {"KeyPad0", 96},
      {"MouseCenter2", 7},
      {"7", 55},
      {"CtrlAltDelete", 0x32E},
      {"CtrlShift-Space  ", 0x620},
      {"^^A", 0x241},
      {"CtrlNoSuchKey", 0x200},
      {"+", 0x400},
      {"NoSuchKey", 0},
      {"", 0},
      {"-", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(keys.TRNKEYNAME(c.text), c.code) << c.text;
}

TEST_F(HotKeyClassTest, CodesTranslateToDisplayTexts) {
  const struct {
    std::uint32_t code;
    const char* text;
  } cases[] = {
      {8, "Backspace"},     {20, "Caps"},
      {45, "Insert"},       {46, "Delete"},
      {1, "MouseLeft"},     {0x641, "Shift-Ctrl-A"},
      {0x957, "Alt-Win-W"}, {0xF41, "Shift-Alt-Ctrl-Win-A"},
      {0x2FF, "Ctrl-"},     {0, ""},
      {112, "F1"},          {105, "Pad9"},
  };
  for (const auto& c : cases) EXPECT_EQ(keys.TRNVIRTKEY(c.code), c.text) << c.code;
}

TEST_F(HotKeyClassTest, EveryKeyNameReadsBackAsTheLastNameOfItsCode) {
  ASSERT_EQ(keys.KeyNames.Records(), 92u);
  for (const auto& entry : keys.KeyNames) {
    const std::int32_t code = keys.TRNKEYNAME(entry.name);
    EXPECT_EQ(code, entry.code) << entry.name;
    std::string last;
    for (const auto& other : keys.KeyNames)
      if (other.code == entry.code) last = other.name;
    EXPECT_EQ(keys.TRNVIRTKEY(static_cast<std::uint32_t>(code)), last) << entry.name;
  }
}

TEST_F(HotKeyClassTest, KeysAreKeptInCodeOrderOnceEachAndRegisteredByPosition) {
  keys.ADDKEY("CtrlShiftA");
  keys.ADDKEY("WinW");
  keys.ADDKEY("^+A");  // the same key in other words
  keys.ADDKEY("F5");
  EXPECT_EQ(Codes(keys.RegisteredKeys), (std::vector<std::int32_t>{116, 0x641, 0x857}));
  EXPECT_EQ(keys.RegisteredKeys[2].text, "CtrlShiftA") << "the first text stays";
  EXPECT_TRUE(log.grabs.empty()) << "nothing is registered while inactive";

  keys.ACTIVATE();
  EXPECT_EQ(log.held, (std::map<int, unsigned>{{1, 116}, {2, 0x641}, {3, 0x857}}));
  EXPECT_EQ(keys.registered, 1);

  // While active, an added key shifts the ids behind it, so every key is registered again.
  keys.ADDKEY("AltB");
  EXPECT_EQ(log.held, (std::map<int, unsigned>{{1, 116}, {2, 0x142}, {3, 0x641}, {4, 0x857}}));

  keys.UNACTIVATE();
  EXPECT_TRUE(log.held.empty());
  EXPECT_EQ(keys.registered, 0);
  EXPECT_EQ(keys.active, 0);
}

TEST_F(HotKeyClassTest, RemovingAnUnknownKeyKeepsTheKeysAndRegistersThemAgain) {
  keys.ADDKEY("WinW");
  keys.ADDKEY("F5");
  keys.ACTIVATE();
  const std::size_t grabs_before = log.grabs.size();
  keys.REMOVEKEY("F6");
  EXPECT_EQ(Codes(keys.RegisteredKeys), (std::vector<std::int32_t>{116, 0x857}));
  EXPECT_EQ(log.grabs.size(), grabs_before + 2);
  EXPECT_EQ(log.held.size(), 2u);

  keys.REMOVEKEY("F5");
  EXPECT_EQ(Codes(keys.RegisteredKeys), (std::vector<std::int32_t>{0x857}));
  EXPECT_EQ(log.held, (std::map<int, unsigned>{{1, 0x857}}));
}

TEST_F(HotKeyClassTest, TextsNamingNoKeyGoToTheInvalidKeyHook) {
  keys.ACTIVATE();
  keys.ADDKEY("NoSuchKey");
  keys.REMOVEKEY("Bogus");
  EXPECT_EQ(keys.invalid, (std::vector<std::string>{"NoSuchKey", "Bogus"}));
  EXPECT_TRUE(keys.RegisteredKeys.Records() == 0);
  EXPECT_TRUE(log.grabs.empty());
}

TEST_F(HotKeyClassTest, RefusedKeysStayRegisteredAndAreListedAsFailed) {
  log.refused = {0x857};
  keys.ADDKEY("WinW");
  keys.ADDKEY("F5");
  keys.ACTIVATE();
  EXPECT_EQ(Codes(keys.RegisteredKeys), (std::vector<std::int32_t>{116, 0x857}));
  EXPECT_EQ(Codes(keys.FailedKeys), (std::vector<std::int32_t>{0x857}));

  // The next pass starts a fresh list: once the other program lets go, nothing has failed.
  log.refused.clear();
  keys.ADDKEY("F6");
  EXPECT_TRUE(keys.FailedKeys.Records() == 0);
}

TEST_F(HotKeyClassTest, PressesAreQueuedHandedToTheHookAndPostedAs1810) {
  keys.ADDKEY("F5");
  keys.ADDKEY("CtrlShiftA");
  keys.ACTIVATE();
  ASSERT_TRUE(log.handler);
  log.handler(2, 6, 'A');
  log.handler(9, 2, 'Q');  // an id with no key behind it
  ASSERT_EQ(keys.PressedKeys.Records(), 2u);
  EXPECT_EQ(keys.PressedKeys[1].code, 0x641);
  EXPECT_EQ(keys.PressedKeys[1].text, "CtrlShiftA");
  EXPECT_EQ(keys.PressedKeys[2].code, 0);
  EXPECT_EQ(keys.PressedKeys[2].text, std::to_string('Q' << 16 | 2));
  EXPECT_EQ(keys.taken,
            (std::vector<std::pair<std::int32_t, std::string>>{{2, "CtrlShiftA"}, {9, "5308418"}}));
  EXPECT_EQ(posted, (std::vector<int>{EVENT_HotKeyPressed, EVENT_HotKeyPressed}));
}

TEST_F(HotKeyClassTest, PressesGoThroughTheWindowsDeliveryAndStopAtKill) {
  // A window that queues messages for its own thread, as the runtime does.
  std::vector<std::function<void()>> window_queue;
  RecordingHotKeys other;
  GrabLog other_log;
  WindowLink link;
  link.post = [this](int event) { posted.push_back(event); };
  link.deliver = [&](std::function<void()> message) { window_queue.push_back(std::move(message)); };
  other.INIT(link, std::make_unique<FakeHotKeyGrabber>(other_log));
  other.ADDKEY("F5");
  other.ACTIVATE();

  other_log.handler(1, 0, 116);
  EXPECT_TRUE(other.PressedKeys.Records() == 0)
      << "nothing happens until the window runs the message";
  ASSERT_EQ(window_queue.size(), 1u);
  window_queue[0]();
  EXPECT_EQ(other.PressedKeys.Records(), 1u);

  other_log.handler(1, 0, 116);
  other.KILL();
  EXPECT_TRUE(other_log.held.empty());
  window_queue[1]();  // a message still queued when the object went
  EXPECT_TRUE(other.PressedKeys.Records() == 0);
  EXPECT_EQ(posted, (std::vector<int>{EVENT_HotKeyPressed}));
}

}  // namespace
}  // namespace vx
