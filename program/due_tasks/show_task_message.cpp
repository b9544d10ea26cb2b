#include "program/due_tasks/show_task_message.h"

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/common/external_message.h"
#include "program/common/play_alarm.h"
#include "program/common/task_log.h"
#include "program/organiser/generate_email.h"
#include "program/organiser/message_buttons.h"
#include "program/recurrence/moments.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr long kMessageThreadStack = 25000;
constexpr std::int64_t kHundredthsPerSecond = 100;
constexpr std::int64_t kHundredthsPerMinute = 6000;
constexpr int kMinimumSize = 50;

// A moment; date 0 is none.
struct Moment {
  std::int64_t date = 0;
  std::int64_t time = 0;
};

Moment FromNow(std::int64_t hundredths) {
  Moment m{TODAY(), CLOCK() + hundredths};
  NormalizeDateTime(m.date, m.time);
  return m;
}

bool NowPast(const Moment& m) {
  return CompareDateTime(TODAY(), CLOCK(), static_cast<std::int32_t>(m.date),
                         static_cast<std::int32_t>(m.time)) > 0;
}

void LogMessage(const TaskMessage& message) {
  TaskLog(message.title + " " + message.alarm_file, "Message");
}

// Copies the message into the calling thread's MSGLINK buffer, which the buttons read.
void FillMessageLinkFrom(const TaskMessage& message) {
  ML.Title = message.title;
  ML.Message = message.text;
  ML.AlarmFile = message.alarm_file;
}

// Counts a message thread for as long as it lives.
class CountedMessageThread {
 public:
  CountedMessageThread() { ++THREADCOUNT; }
  ~CountedMessageThread() { --THREADCOUNT; }
  CountedMessageThread(const CountedMessageThread&) = delete;
  CountedMessageThread& operator=(const CountedMessageThread&) = delete;
};

}  // namespace

long StartTaskMessageThread(const TaskMessage& message) {
  return START([message] { TaskMessageThread(message); }, kMessageThreadStack);
}

void TaskMessageThread(const TaskMessage& message) {
  const CountedMessageThread counted;
  FillMessageLinkFrom(message);
  if (USEEXTERNALMESSAGE != 0) {
    LogMessage(message);
    if (StartMessageProgram(message.title, message.text, message.alarm_file)) return;
  }
  if (USEWINMESSAGE != 0) {
    LogMessage(message);
    MESSAGE(message.text, message.title);
  } else {
    ShowMessageWindow(message, USEMODALMESSAGE != 0);
  }
}

void ShowMessageWindow(const TaskMessage& message, bool on_top) {
  GLOBALREQUEST = 0;
  GLOBALRESPONSE = 0;
  FillMessageLinkFrom(message);
  std::string title = message.title;
  std::string text = message.text;

  Window window(message.title.empty() ? "Message" : message.title);
  window.Set(Prop::MinWidth, static_cast<long>(kMinimumSize));
  window.Set(Prop::MinHeight, static_cast<long>(kMinimumSize));
  window.Entry(title, "@s60").Set(Prop::ReadOnly, true);
  window.Text(text).Set(Prop::ReadOnly, true);
  auto& snooze = window.Button("&Snooze")
                     .Tip("Have this message reappear in a few minutes")
                     .Icon("snooze.ico");
  auto& todo = window.Button("&To Do").Tip("Add this to your to do list").Icon("TODO.ICO");
  auto& email = window.Button("&Email").Tip("Send this as an email message").Icon("MAIL.ICO");
  auto& close = window.Button("Cl&ose").Tip("Close this message window").Icon("close.ico");

  WindowManager manager(window);
  const WindowProcedureScope scope(on_top ? "ShowModalMessage" : "ShowMessageNormal", manager);
  manager.CancelControl = close.Number();
  LogMessage(message);

  // The first alarm was sounded by the caller; the window only repeats it.
  Moment next_alarm, alarm_end;
  if (REPEATALARMINTERVAL > 0) {
    next_alarm = FromNow(REPEATALARMINTERVAL * kHundredthsPerSecond);
    if (MAXALARMTIME > 0) alarm_end = FromNow(MAXALARMTIME * kHundredthsPerMinute);
  }
  if (on_top) window.Set(Prop::Topmost, true);

  manager.On(EVENT_OpenWindow, [&] {
    if (REPEATALARMINTERVAL > 0) window.Timer(100);
  });
  manager.On(EVENT_Timer, [&] {
    if (next_alarm.date == 0 || !NowPast(next_alarm)) return;
    if (alarm_end.date != 0 && NowPast(alarm_end)) {
      next_alarm = {};
      window.Timer(0);
      return;
    }
    if (!message.alarm_file.empty()) PlayAlarm(message.alarm_file);
    next_alarm = FromNow(REPEATALARMINTERVAL * kHundredthsPerSecond);
  });
  manager.OnAccepted(snooze.Number(), [&] {
    window.Update();
    SnoozeMessage();
    manager.PostClose();
  });
  manager.OnAccepted(todo.Number(), [&] {
    window.Update();
    AddMessageToToDo();
    MESSAGE("Added to To Do List", "Status");
    window.Display();
  });
  manager.OnAccepted(email.Number(), [&] {
    window.Update();
    // The e-mail window would open beneath a message kept above all windows.
    if (on_top) window.Set(Prop::Topmost, false);
    GenerateEmail();
    if (on_top) window.Set(Prop::Topmost, true);
    window.Display();
  });
  manager.OnAccepted(close.Number(), [&] { manager.PostClose(); });
  manager.Run();
}

void ShowModalMessage() {
  ShowMessageWindow({ML.Title.str(), ML.Message.str(), ML.AlarmFile.str()}, true);
}

void ShowMessageNormal() {
  ShowMessageWindow({ML.Title.str(), ML.Message.str(), ML.AlarmFile.str()}, false);
}

}  // namespace vx
