#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/queue_list.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

// A plain accept loop over every kind of input control; OK asks before it closes.
struct Fields {
  String<20> name;
  long count = 0;
  int alarm = 0;
  String<20> kind = "Both";
  String<10> unit = "hour(s)";
  unsigned answer = 0;
};

void Form(Fields& f) {
  Window w("Plain Form");
  w.Prompt("&Name:");
  w.Entry(f.name, "@s20");
  w.Prompt("Count:");
  w.Spin(f.count, "@n3", 0, 100);
  auto& alarm = w.Check("&Alarm", f.alarm);
  auto& kind = w.Option("Kind", f.kind);
  kind.Radio("&Start Program", "Run Program");
  kind.Radio("&Both");
  w.DropList(f.unit, "minute(s)|hour(s)|day(s)");
  auto& sheet = w.Sheet();
  sheet.Tab("First");
  auto& second = sheet.Tab("Second");
  auto& ok = w.Button("&OK").Default();
  while (w.Accept()) {
    if (ACCEPTED() == alarm) second.Hide(!f.alarm);
    if (ACCEPTED() == ok) {
      f.answer =
          MESSAGE("Save?", "Confirm", MessageIcon::Question, BUTTON_YES + BUTTON_NO, BUTTON_NO);
      if (f.answer == BUTTON_YES) break;
    }
  }
}

TEST(WindowModel, ADriverFillsEveryKindOfInputAndAnswersTheQuestion) {
  Fields f;
  TestDriver ui;
  ui.Start([&] { Form(f); });
  auto w = ui.WaitWindow("Plain Form");
  EXPECT_EQ(w.Control("Both").Kind(), ControlType::Radio);
  EXPECT_EQ(w.ControlOf(f.kind).Choice(), 2);  // shown from the variable at opening
  EXPECT_EQ(w.ControlOf(f.unit).Value(), "hour(s)");

  w.Control("Name").Type("Ada");
  w.Control("Count:").Type("12");
  w.Control("Start Program").Press();
  w.ControlOf(f.unit).Choose("day(s)");
  EXPECT_TRUE(w.Control("Second").Hidden() == false);
  w.Control("Alarm").Tick(false);
  EXPECT_TRUE(w.Control("Second").Hidden());
  EXPECT_THROW(w.Control("Second").Press(), std::logic_error);  // a hidden tab cannot be chosen
  w.Control("Alarm").Tick(true);
  w.Control("Second").Press();

  w.Control("OK").Press();
  auto asked = ui.WaitMessage(BUTTON_NO);
  EXPECT_EQ(asked.text, "Save?");
  EXPECT_EQ(asked.default_button, BUTTON_NO);
  EXPECT_TRUE(w.Open());
  ui.AnswerMessage(BUTTON_YES);
  w.Control("OK").Press();
  ui.WaitClosed(w);
  ui.Finish();

  EXPECT_EQ(f.name, "Ada");
  EXPECT_EQ(f.count, 12);
  EXPECT_EQ(f.kind, "Run Program");
  EXPECT_EQ(f.unit, "day(s)");
  EXPECT_EQ(f.alarm, 1);
  EXPECT_EQ(f.answer, BUTTON_YES);
}

struct Rows : ListSource {
  std::vector<std::vector<std::string>> rows;
  std::size_t Records() const override { return rows.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return rows[row]; }
};

TEST(WindowModel, ListsShowTheirSourceThroughTheFormat) {
  Rows rows;
  // icon column with colours (value, 4 colours, icon), then a text column cut by its picture
  rows.rows = {{"", "255", "-1", "-1", "-1", "2", "Dentist appointment"},
               {"", "-1", "-1", "-1", "-1", "1", "Gym"}};
  long chosen = 0;
  TestDriver ui;
  ui.Start([&] {
    Window w("Tasks");
    auto& list =
        w.List("12L*I@s1@80L~Description~@s8@").From(&rows).IconList({"~done.ico", "~skip.ico"});
    while (w.Accept()) {
      if (EVENT() == EVENT_NewSelection && FIELD() == list) chosen = list.Choice();
      if (ACCEPTED() == list && KEYCODE() == MouseLeft2) break;
    }
  });
  auto w = ui.WaitWindow("Tasks");
  auto list = w.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.CellDetail(1, 1).icon, "~skip.ico");
  EXPECT_EQ(list.CellDetail(1, 1).fg, 255);
  EXPECT_EQ(list.Cell(1, 2), "Dentist");  // cut to the picture's width
  EXPECT_EQ(list.CellDetail(2, 1).icon, "~done.ico");
  list.ChooseRow(2);
  EXPECT_EQ(chosen, 2);
  list.ActivateRow(1);
  ui.WaitClosed(w);
  ui.Finish();
}

// A front end that keeps every control's snapshot, as one drawing on another thread does: each
// snapshot keeps the properties the control had when it appeared, and the control keeps them too.
class KeepingFrontEnd final : public FrontEnd {
 public:
  void Announce(const ModelMessage& m) override {
    if (m.kind == ModelMessage::Kind::ControlAdded) kept.push_back(m.snapshot);
  }
  void Ask(std::shared_ptr<Request> request) override { request->Answer(0); }
  std::vector<std::shared_ptr<const ControlSnapshot>> kept;
};

TEST(WindowModel, AFrontEndThatKeepsASnapshotAndTheControlBothHaveItsProperties) {
  KeepingFrontEnd front_end;
  SetFrontEnd(&front_end);
  std::map<Prop, std::string> before, after;
  RunProgram([&] {
    Window w("Kept");
    Control& button = w.Button("&Save").Tip("Saves the task, its script and its exceptions");
    w.Open();
    before = button.Props();
    Control& late = w.Button("&Later").Icon("LATER.ICO");  // made after the window opened
    late.Tip("Made when the window stood");
    button.Tip("Another tip");
    after = late.Props();
    w.Close();
  });
  SetFrontEnd(nullptr);
  ASSERT_EQ(front_end.kept.size(), 2u);
  EXPECT_EQ(front_end.kept[0]->props, before);
  EXPECT_EQ(before.at(Prop::Tip), "Saves the task, its script and its exceptions");
  EXPECT_EQ(before.at(Prop::Text), "&Save");
  EXPECT_EQ(front_end.kept[1]->props.at(Prop::Text), "&Later");
  EXPECT_EQ(front_end.kept[1]->props.count(Prop::Tip), 0u);  // set after it appeared
  EXPECT_EQ(after.at(Prop::Tip), "Made when the window stood");
  EXPECT_EQ(after.at(Prop::Text), "&Later");
}

// With the driver, which copies what it is told, the control keeps every property through its
// announcement and the mirror has the same ones.
TEST(WindowModel, AControlKeepsItsPropertiesWhenItIsAnnounced) {
  std::map<Prop, std::string> model;
  TestDriver ui;
  ui.Start([&] {
    Window w("Announced");
    Control& entry = w.Button("&Go").Tip("Goes a long way from here, and back again");
    w.Open();
    model = entry.Props();
    while (w.Accept()) {
    }
  });
  auto w = ui.WaitWindow("Announced");
  EXPECT_EQ(w.Control("Go").Get(Prop::Tip), "Goes a long way from here, and back again");
  w.Close();
  ui.Finish();
  EXPECT_EQ(model.at(Prop::Tip), "Goes a long way from here, and back again");
  EXPECT_EQ(model.at(Prop::Text), "&Go");
  EXPECT_EQ(model.count(Prop::Row), 1u);
}

TEST(WindowModel, WithoutAFrontEndQuestionsTakeTheirDefault) {
  unsigned answer = 0;
  int item = -1;
  std::string file = "start.wav";
  bool picked = true;
  RunProgram([&] {
    answer =
        MESSAGE("Delete?", "Confirm", MessageIcon::Question, BUTTON_YES + BUTTON_NO, BUTTON_NO);
    item = POPUP("&Restore|-|E&xit");
    picked = FILEDIALOG("Select WAV File for Alarm", file, "WAV Files|*.WAV");
  });
  EXPECT_EQ(answer, BUTTON_NO);
  EXPECT_EQ(item, 0);
  EXPECT_FALSE(picked);
  EXPECT_EQ(file, "start.wav");
}

TEST(WindowModel, AModalWindowTakesItsThreadsInputUntilItCloses) {
  std::vector<std::string> log;
  TestDriver ui;
  ui.Start([&] {
    Window browse("Browse");
    auto& edit = browse.Button("&Edit");
    while (browse.Accept()) {
      if (ACCEPTED() == edit) {
        browse.Post(EVENT_User + 5);  // waits until the browse is on top again
        Window form("Form");
        auto& close = form.Button("Close");
        while (form.Accept()) {
          if (EVENT() == EVENT_User + 5) log.push_back("form got the browse's event");
          if (ACCEPTED() == close) break;
        }
        log.push_back("form closed");
      }
      if (EVENT() == EVENT_User + 5) log.push_back("browse event");
    }
  });
  auto browse = ui.WaitWindow("Browse");
  browse.Control("Edit").Press();
  auto form = ui.WaitWindow("Form");
  browse.Control("Edit").Press();  // dropped: the browse is under the form
  form.Control("Close").Press();
  browse.Close();
  ui.Finish();
  EXPECT_EQ(log, (std::vector<std::string>{"form closed", "browse event"}));
}

// A window opened while another takes an event leaves that event as it found it: after the inner
// window closes, the outer loop's later tests still read the outer window's own event (not the
// inner one's close), so an "else" branch of the same loop is not run by mistake.
TEST(WindowModel, AWindowThatClosesGivesTheWindowUnderItsEventBack) {
  std::vector<std::string> log;
  TestDriver ui;
  ui.Start([&] {
    Window outer("Outer");
    auto& open = outer.Button("&Open");
    while (outer.Accept()) {
      if (ACCEPTED() == open) {
        Window inner("Inner");
        inner.Prompt("Nothing to do here");
        inner.Button("Close");
        while (inner.Accept()) {
        }  // ends with the inner window's close
      }
      log.push_back(std::to_string(EVENT()) + ":" + std::to_string(FIELD()));
      if (EVENT() == EVENT_CloseWindow) break;
    }
    log.push_back("outer closed");
  });
  auto outer = ui.WaitWindow("Outer");
  const int open = outer.Control("Open").Number();
  outer.Control("Open").Press();
  auto inner = ui.WaitWindow("Inner");
  inner.Close();
  outer.Close();
  ui.Finish();
  // The outer loop read its own press after the inner window closed, and went on until it was
  // closed itself.
  const auto pressed = std::find(log.begin(), log.end(),
                                 std::to_string(EVENT_Accepted) + ":" + std::to_string(open));
  EXPECT_NE(pressed, log.end());
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2].substr(0, log[log.size() - 2].find(':')),
            std::to_string(EVENT_CloseWindow));
  EXPECT_TRUE(std::count(log.begin(), log.end(), "outer closed") == 1);
  EXPECT_FALSE(outer.Open());
}

// The end of the session, posted to a window with two windows of its thread over it, closes each
// of them down (newest first, as if cancelled) and then reaches that window. The question whether
// the session may end closes nothing.
TEST(WindowModel, TheEndOfTheSessionClosesTheWindowsOverItsWindowAndThenReachesIt) {
  std::vector<std::string> log;
  TestDriver ui;
  ui.Start([&] {
    Window frame("Frame");
    auto& open = frame.Button("&Open");
    while (frame.Accept()) {
      if (EVENT() == EVENT_QueryEndSession) log.push_back("frame asked");
      if (EVENT() == EVENT_EndSession) {
        log.push_back("frame told");
        break;
      }
      if (ACCEPTED() != open) continue;
      Window dialog("Dialog");
      auto& more = dialog.Button("&More");
      while (dialog.Accept()) {
        if (EVENT() == EVENT_CloseDown) log.push_back("dialog closed down");
        if (ACCEPTED() != more) continue;
        Window inner("Inner");
        inner.Button("Cancel");
        while (inner.Accept()) {
          if (EVENT() == EVENT_CloseDown) log.push_back("inner closed down");
        }
      }
    }
  });
  auto frame = ui.WaitWindow("Frame");
  frame.Control("Open").Press();
  ui.WaitWindow("Dialog").Control("More").Press();
  auto inner = ui.WaitWindow("Inner");
  // Posted as the session's listener posts them: program events for the frame, from another thread.
  PostEvent(frame.Thread(), Event{EVENT_QueryEndSession, 0, frame.Id()});
  inner.Post(EVENT_User + 1);  // taken after the question
  EXPECT_TRUE(inner.Open());
  PostEvent(frame.Thread(), Event{EVENT_EndSession, 0, frame.Id()});
  ui.Finish();
  EXPECT_EQ(log, (std::vector<std::string>{"inner closed down", "dialog closed down", "frame asked",
                                           "frame told"}));
}

// A press that starts work under a progress window returns once the work is done: the thread
// looking at the progress window's events between steps is busy, not waiting for the user. The
// progress window can still be found and pressed meanwhile.
TEST(WindowModel, AnInputThatStartsWorkReturnsWhenTheWorkIsDone) {
  std::atomic<int> steps{0};
  std::atomic<bool> stopped{false};
  TestDriver ui;
  ui.Start([&] {
    Window main("Main");
    auto& work = main.Button("&Work");
    auto& long_work = main.Button("&Long Work");
    while (main.Accept()) {
      if (ACCEPTED() != work && ACCEPTED() != long_work) continue;
      const int limit = ACCEPTED() == work ? 5 : 20000;
      Window progress("Busy");
      auto& stop = progress.Button("Stop");
      progress.Working(true);
      progress.Timer(1);
      steps = 0;
      stopped = false;
      for (int i = 0; i < limit && !stopped; ++i) {
        SleepFor(std::chrono::milliseconds(2));
        ++steps;
        while (progress.Accept()) {
          if (EVENT() == EVENT_Timer) break;
          if (ACCEPTED() == stop) stopped = true;
        }
      }
    }
  });
  auto main = ui.WaitWindow("Main");
  main.Control("Work").Press();
  EXPECT_EQ(steps, 5) << "the press returned before the work was done";
  EXPECT_FALSE(ui.HasWindow("Busy"));

  std::thread user([&] { main.Control("Long Work").Press(); });
  auto busy = ui.WaitWindow("Busy");
  busy.Control("Stop").Press();  // returns once the work has stopped and the thread waits again
  EXPECT_TRUE(stopped);
  EXPECT_LT(steps, 20000);
  user.join();
  main.Close();
  ui.Finish();
}

// The mirror wakes a waiting test when a thread comes to rest; a change made while the thread
// goes on working must still reach a test waiting for it.
TEST(WindowModel, AChangeMadeInTheMiddleOfWorkReachesAWaitingTest) {
  std::atomic<bool> seen{false}, gave_up{false};
  TestDriver ui;
  ui.Start([&] {
    Window w("Before");
    auto& go = w.Button("&Go");
    while (w.Accept()) {
      if (ACCEPTED() != go) continue;
      w.Title("After");
      // Works on until the test has seen the new title, or gives up after a long while.
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!seen && !gave_up) {
        SleepFor(std::chrono::milliseconds(1));
        gave_up = std::chrono::steady_clock::now() > until;
      }
    }
  });
  auto before = ui.WaitWindow("Before");
  std::thread user([&] { before.Control("Go").Press(); });
  EXPECT_EQ(ui.WaitWindow("After").Id(), before.Id());
  EXPECT_FALSE(gave_up) << "the title was seen only once the work had ended";
  seen = true;
  user.join();
  before.Close();
  ui.Finish();
}

TEST(WindowModel, ASecondRunOfTheSameDriverTakesEachActionBeforeItReturns) {
  TestDriver ui;
  ui.Start([] {});
  ui.Finish();  // its thread 1 has ended
  std::uint8_t ticked = 0;
  std::vector<int> seen;
  ui.Start([&] {
    Window w("Again");
    w.Check("Tick me", ticked);
    while (w.Accept()) {
      if (ACCEPTED() != 0) seen.push_back(ticked);
    }
  });
  DriverWindow w = ui.WaitWindow("Again");
  std::size_t ticks = 0;
  for (const bool on : {true, false, true}) {
    w.Control("Tick me").Tick(on);
    EXPECT_EQ(seen.size(), ++ticks) << "taken before Tick returns";
  }
  w.Close();
  ui.Finish();
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 1}));
}

TEST(WindowModel, TheDriverEndsARunThatATestLeavesGoing) {
  auto ui = std::make_unique<TestDriver>();
  ui->Start([] {
    START([] {
      Window w("Second");
      while (w.Accept()) {
      }
    });
    Window w("First");
    while (w.Accept()) {
      if (EVENT() == EVENT_OpenWindow) MESSAGE("Still here");
    }
  });
  ui->WaitWindow("Second");
  ui.reset();  // answers the message and closes both windows; must not hang
  SUCCEED();
}

// Entries show their variable under their picture and store what is typed through it; list
// cells are shown under their column's picture.
TEST(WindowModel, EntriesAndListCellsGoThroughTheirPictures) {
  std::int32_t date = DATE(12, 3, 2025);
  long amount = 1234;
  Rows rows;
  rows.rows = {{std::to_string(DATE(5, 7, 2024))}};
  TestDriver ui;
  ui.Start([&] {
    Window w("Dates");
    w.Entry(date, "@d6").Required();
    w.Entry(amount, "@n6");
    w.List("40L~Date~@d6@").From(&rows);
    while (w.Accept()) {
      if (ACCEPTED() == 2) break;
    }
  });
  auto w = ui.WaitWindow("Dates");
  auto entry = w.ControlOf(date);
  EXPECT_EQ(entry.Value(), " 3/12/2025");
  EXPECT_EQ(entry.Get(Prop::Required), "1");
  EXPECT_EQ(w.ControlOf(amount).Value(), " 1,234");
  EXPECT_EQ(w.ControlNumber(3).Cell(1, 1), " 7/05/2024");
  entry.Type("09/04/2026");
  w.ControlOf(amount).Type("5,678");
  ui.Finish();
  EXPECT_EQ(date, DATE(4, 9, 2026));
  EXPECT_EQ(amount, 5678);
}

TEST(WindowModel, FileDialogsAndTheClipboardGoThroughTheFrontEnd) {
  std::string file = "old.wav";
  bool picked = false, cancelled = true;
  std::string pasted;
  TestDriver ui;
  ui.AnswerFile("/sounds/ring.wav");
  ui.AnswerFile("");
  ClipboardChanged("from elsewhere");
  ui.Start([&] {
    picked = FILEDIALOG("Select WAV File for Alarm", file, "WAV Files|*.WAV");
    std::string other = "keep";
    cancelled = !FILEDIALOG("Select Folder", other, {}, FILE_Directory);
    pasted = CLIPBOARD();
    SETCLIPBOARD("copied text");
  });
  ui.Finish();
  EXPECT_TRUE(picked);
  EXPECT_EQ(file, "/sounds/ring.wav");
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(pasted, "from elsewhere");
  EXPECT_EQ(ui.LastClipboardWrite(), "copied text");
  EXPECT_EQ(CLIPBOARD(), "copied text");
  const auto asked = ui.Requests();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].filter, "WAV Files|*.WAV");
  EXPECT_EQ(asked[1].kind, Request::Kind::FolderDialog);
  ClipboardChanged("");
}

TEST(WindowModel, ControlsOnAHiddenTabAreNotVisible) {
  RunProgram([] {
    String<10> name;
    Window w("Tabs");
    auto& sheet = w.Sheet();
    auto& first = sheet.Tab("First");
    auto& entry = first.Entry(name, "@s10").Required();
    auto& second = sheet.Tab("Second");
    auto& check = second.Check("Flag", name);
    first.Hide();
    EXPECT_FALSE(entry.Visible());
    EXPECT_TRUE(check.Visible());
    entry.Alert(EnterKey).Alert(MouseRight).Alert(EnterKey);
    EXPECT_EQ(entry.Get(Prop::Alert), "13|2");
    sheet.Disable();
    EXPECT_FALSE(check.Enabled());
    EXPECT_EQ(sheet.Children().size(), 2u);
    EXPECT_EQ(*PropByName("required"), Prop::Required);
    EXPECT_EQ(PropName(Prop::Selected), "Selected");
  });
}

// The keys go to the first field a user can reach: not a prompt or button, nothing hidden,
// greyed or on a page of a sheet not shown, and of radios the chosen one.
TEST(WindowModel, TheFirstFieldIsTheFirstOneTheKeysCanReach) {
  RunProgram([] {
    String<10> text;
    long choice = 2;
    Window w("Fields");
    w.Prompt("&Name:");
    const int help = w.Button("Help");
    Control& hidden = w.Entry(text, "@s10").Hide();
    Control& greyed = w.Entry(text, "@s10").Disable();
    Control& sheet = w.Sheet();
    Control& first = sheet.Tab("First");
    Control& group = first.Option("Kind", choice);
    group.Radio("One");
    const int two = group.Radio("Two");
    const int flag = first.Check("Flag", text);
    const int later = sheet.Tab("Second").Entry(text, "@s10");
    w.Display();  // the radios show their variable's choice
    EXPECT_EQ(w.FirstField(), two) << "the chosen radio of the first page";
    w[group].Hide();
    EXPECT_EQ(w.FirstField(), flag);
    sheet.Choose(2);
    EXPECT_EQ(w.FirstField(), later) << "only the page shown counts";
    hidden.Unhide();
    EXPECT_EQ(w.FirstField(), hidden.Number());
    hidden.Hide();
    greyed.Enable();
    EXPECT_EQ(w.FirstField(), greyed.Number());
    Window buttons("Buttons");
    buttons.Button("OK");
    EXPECT_EQ(buttons.FirstField(), 0);
    EXPECT_NE(help, 0);
  });
}

// A window opens with the keys in its first field, unless the program chose another before it
// first waited.
TEST(WindowModel, AWindowOpensWithTheKeysInItsFirstFieldUnlessTheProgramChoseOne) {
  TestDriver ui;
  for (const bool choose : {false, true}) {
    int first = 0, second = 0;
    ui.Start([&] {
      String<10> a, b;
      Window w("Form");
      w.Prompt("&A:");
      first = w.Entry(a, "@s10");
      w.Prompt("&B:");
      second = w.Entry(b, "@s10");
      if (choose) w.Select(second);
      while (w.Accept()) {
      }
    });
    DriverWindow form = ui.WaitWindow("Form");
    EXPECT_EQ(form.Get(Prop::Focus), std::to_string(choose ? second : first)) << choose;
    form.Close();
    ui.Finish();
  }
}

TEST(WindowModel, AQueueFeedsAListAndARefreshShowsItsChanges) {
  struct Entry {
    String<10> name;
    long count = 0;
  };
  Queue<Entry> queue;
  queue.buffer = {"b", 2};
  queue.Add();
  queue.buffer = {"a", 1};
  queue.Add();
  QueueList<Entry> rows(queue, [](const Entry& e) {
    return ListFields{e.name.str(), std::to_string(e.count)};
  });
  TestDriver ui;
  ui.Start([&] {
    Window w("Queue");
    auto& list = w.List("40L~Name~@s10@20R~Count~@n3@").From(&rows);
    auto& sort = w.Button("Sort");
    while (w.Accept()) {
      if (ACCEPTED() == sort) {
        queue.SortBy(&Entry::name);
        list.Display();
      }
    }
  });
  auto w = ui.WaitWindow("Queue");
  auto list = w.ControlNumber(1);
  EXPECT_EQ(list.Cell(1, 1), "b");
  EXPECT_EQ(list.Cell(2, 2), "  1");
  w.Control("Sort").Press();
  EXPECT_EQ(list.Cell(1, 1), "a");
  w.Close();
  ui.Finish();
}

// A combo refilled each time its list is about to drop down: the text typed into it is taken
// first and survives the refill.
TEST(WindowModel, DroppingDownLetsTheProgramRefillTheListFirst) {
  String<20> pick;
  std::vector<int> events;  // what the program saw of the combo
  TestDriver ui;
  ui.Start([&] {
    Window w("Refill");
    auto& combo = w.Combo(pick, "@s20", "old");
    w.Button("Close");
    int drops = 0;
    while (w.Accept()) {
      if (FIELD() != combo) continue;
      events.push_back(EVENT());
      if (EVENT() == EVENT_DroppingDown) {
        ++drops;
        combo.From("fresh " + std::to_string(drops) + "|other");
      }
    }
  });
  auto w = ui.WaitWindow("Refill");
  auto combo = w.ControlOf(pick);
  EXPECT_EQ(combo.Cell(1, 1), "old");
  combo.TypeKeys("Zed");
  combo.DropDown();
  EXPECT_EQ((std::vector<int>{EVENT_Accepted, EVENT_DroppingDown}), events);
  ASSERT_EQ(combo.Rows(), 2u);
  EXPECT_EQ(combo.Cell(1, 1), "fresh 1");
  EXPECT_EQ(combo.Value(), "Zed");
  combo.DropDown();
  EXPECT_EQ(combo.Cell(1, 1), "fresh 2");
  EXPECT_THROW(w.Control("Close").DropDown(), std::logic_error);
  w.Close();
  ui.Finish();
  EXPECT_EQ(pick, "Zed");
}

}  // namespace
}  // namespace vx
