#include "program/shell/main_frame.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/utility/sys_hot_key_class.h"
#include "datadll/utility/sys_shutdown_class.h"
#include "datadll/utility/sys_tray_class.h"
#include "framework/file_manager.h"
#include "framework/popup_class.h"
#include "framework/relation_manager.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "platform/hot_keys.h"
#include "program/scripts/script_queue.h"
#include "program/scripts/type_hot_key_text.h"
#include "program/shell/advance_warnings.h"
#include "program/shell/capture_clipboard.h"
#include "program/shell/check_clock_and_exit_codes.h"
#include "program/shell/config_store.h"
#include "program/shell/due_task.h"
#include "program/shell/due_task_table.h"
#include "program/shell/frame_scripts.h"
#include "program/shell/frame_task_road.h"
#include "program/admin/load_settings.h"
#include "program/shell/help_links.h"
#include "program/shell/main_procedures.h"
#include "program/shell/open_file_checked.h"
#include "program/admin/password_validation.h"
#include "program/windows/program_errors.h"
#include "program/shell/remove_history.h"
#include "program/shell/run_task_program.h"
#include "program/shell/write_log.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

MainServices* gServices = nullptr;

constexpr long kStack = 25000;
constexpr long kBigStack = 50000;
constexpr std::string_view kWeekdays =
    "Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday ";
constexpr std::string_view kWebSite = "https://www.kestrova.example/";
constexpr std::string_view kSupportMail = "mailto:support@kestrova.example";

// One menu item or toolbar button and the procedure behind it.
struct Command {
  int control = 0;
  std::string procedure;    // registered window procedure; empty: handled by the frame
  bool call = false;        // runs on Main's thread instead of a thread of its own
  long stack = kStack;
  std::string prime_type;   // GLO_PRIMETASKTYPE for the task editor
  bool prime = false;
};

class MainFrame final : public WindowManager {
 public:
  explicit MainFrame(Window& window)
      : WindowManager(window), road_frame_(window, tray_), scripts_(window, tray_, road_frame_) {}

  Level Init() override;
  void Ask() override;
  Level Kill() override;
  Level TakeEvent() override;
  Level TakeWindowEvent() override;
  Level TakeAccepted() override;

  void RestoreFrame() { road_frame_.RestoreFrame(); }

 private:
  void BuildMenus();
  void BuildToolbar();
  Control& Item(Control& menu, std::string_view text, std::string_view key, std::string_view procedure,
                bool call = false, long stack = kStack);
  Command& Button(std::string_view text, std::string_view icon, std::string_view procedure);
  void StartUpWork();
  void RestoreClipboard();
  void TimerTick();
  void UpdateFrameTitle();
  void ShowTrayIdleIcon() { tray_.CHANGEICON(kTrayIdleIcon); }
  void ShowTrayBusyIcon();
  void ApplyTrayRule();
  void FillClockZones();
  void TrayRightClick();
  void HotKeyPressed();
  void HotKeyAction();
  void HotKeyTypeText();
  void HotKeyRunTask();
  void LoadHotKeys();
  void Exit();
  void RunCommand(const Command& command);
  void StartWindow(std::string_view procedure, long stack = kStack);
  void Press(int control) { window().Post(EVENT_Accepted, control); }
  void SavePosition();
  MainTickSteps Steps();

  SYSTRAYCLASS tray_;
  SYSHOTKEYCLASS hot_keys_;
  SYSSHUTDOWNCLASS session_;
  PopupClass popup_;
  FrameTaskRoad road_frame_;
  FrameScripts scripts_;
  DueTaskTableFiles road_table_;
  DueTaskState road_state_;
  std::vector<Command> commands_;
  std::string title_text_;
  int phase_ = 0;
  int animation_ = 0;
  int busy_icon_ = 0;
  bool script_busy_ = false;
  bool previous_script_busy_ = false;
  bool real_exit_ = false;
  bool files_opened_ = false;
  int exit_item_ = 0, hot_keys_item_ = 0, new_hot_key_item_ = 0, users_item_ = 0;
  int options_button_ = 0, about_button_ = 0, program_wizard_button_ = 0, message_wizard_button_ = 0;
  int script_wizard_button_ = 0, stop_button_ = 0, script_text_ = 0, script_picture_ = 0;
  int program_wizard_item_ = 0, message_wizard_item_ = 0, schedule_item_ = 0, schedule_button_ = 0;
};


Control& MainFrame::Item(Control& menu, std::string_view text, std::string_view key, std::string_view procedure,
                         bool call, long stack) {
  Control& item = menu.Item(text);
  if (!key.empty()) item.Key(key);
  Command command;
  command.control = item;
  command.procedure = procedure;
  command.call = call;
  command.stack = stack;
  commands_.push_back(command);
  if (!procedure.empty() && !MainProcedure(procedure)) item.Disable();
  return item;
}

Command& MainFrame::Button(std::string_view text, std::string_view icon, std::string_view procedure) {
  Control& button = window().Toolbar().Button(text);
  button.Icon(icon).Tip(text);
  Command command;
  command.control = button;
  command.procedure = procedure;
  commands_.push_back(command);
  if (!procedure.empty() && !MainProcedure(procedure)) button.Disable();
  return commands_.back();
}

void MainFrame::BuildMenus() {
  Control& bar = window().Menubar();
  Control& file = bar.Menu("&File");
  Item(file, "&Options", "F10", "Setup", true);
  Item(file, "&Task Categories", "", "BrowseScheduleCategories");
  Item(file, "&Contact Categories", "", "BrowseContactCategories2Pane");
  Item(file, "C&lipboard Categories", "", "BrowseClipboardCategories");
  Item(file, "&Holidays", "", "BrowseHolidays");
  Item(file, "&Script Templates", "", "BrowseScriptTemplates");
  Item(file, "House&keeping", "", "Housekeeping", true);
  Control& import = file.Menu("&Import");
  Item(import, "&Schedule", "", "ImportSchedule");
  Item(import, "&Contacts", "", "ImportContacts");
  Item(import, "&To Do", "", "ImportToDo");
  Control& exporting = file.Menu("&Export");
  Item(exporting, "&Schedule", "", "ExportSchedule");
  Item(exporting, "&Contacts", "", "ExportContacts");
  Item(exporting, "&To Do", "", "ExportToDo");
  Item(file, "View &Log", "F8", "ViewAscii:Log");
  const int backup = Item(file, "Backup/Restore", "", "");
  Control& support = file.Menu("Support Tools");
  Item(support, "View Current Script", "", "ViewQueue:Script");
  Item(support, "&Report Bug", "F9", "BugReport");
  Item(support, "Explore &Schedule", "Ctrl+Shift+X", "ExploreSchedule");
  // The database maintenance program is not part of this system.
  Item(support, "&File Manager", "", "").Disable();
  file.Separator();
  exit_item_ = Item(file, "E&xit", "", "");

  Control& lists = bar.Menu("&Lists");
  schedule_item_ = Item(lists, "&Scheduled Tasks", "Ctrl+S", "BrowseSchedule");
  hot_keys_item_ = Item(lists, "Hot &Keys", "Ctrl+K", "BrowseHotKeys");
  Item(lists, "&To Do Items", "Ctrl+T", "BrowseToDoList");
  Item(lists, "&Contacts", "Ctrl+O", "BrowseContacts");
  Item(lists, "&E-mail Messages", "Ctrl+E", "BrowseMessages");
  Item(lists, "Clip&board Saver", "", "BrowseClipboard");
  users_item_ = Item(lists, "&Users", "", "BrowseUsers");
  Item(lists, "Task Cate&gories", "", "BrowseScheduleCategories");
  Item(lists, "Co&ntact Categories", "", "BrowseContactCategories2Pane");
  Item(lists, "C&lipboard Categories", "", "BrowseClipboardCategories");

  Control& actions = bar.Menu("&Actions");
  message_wizard_item_ = Item(actions, "New &Message (Wizard)", "Ctrl+Shift+M", "UpdateSchedule");
  commands_.back().prime = true;
  commands_.back().prime_type = "Display Message";
  program_wizard_item_ = Item(actions, "New &Program (Wizard)", "Ctrl+Shift+P", "UpdateSchedule");
  commands_.back().prime = true;
  commands_.back().prime_type = "Run Program";
  Item(actions, "New &Script (Wizard)", "Ctrl+Shift+S", "Wizard:Script");
  Item(actions, "New &Task (Tabbed)", "Ctrl+Shift+T", "UpdateSchedule");
  commands_.back().prime = true;
  Item(actions, "Enter &Birthdays", "Ctrl+Shift+B", "Wizard:NewBirthdays");
  new_hot_key_item_ = Item(actions, "New &Hot Key", "Ctrl+Shift+H", "UpdateHotKeys");

  Control& reports = bar.Menu("&Reports");
  Control& schedule = reports.Menu("&Schedule");
  Item(schedule, "&Brief Schedule", "", "PrintSchedule");
  Item(schedule, "&All in Date Order", "", "Print:SCH:AllDateOrder", false, kBigStack);
  Item(schedule, "All in &Category Order", "", "Print:SCH:AllCategoryOrder", false, kBigStack);
  Item(schedule, "&Specific Category", "", "Print:SCH:OneCategory");
  Item(schedule, "&Checklist Style", "", "PrintScheduleBrief");
  Control& todo = reports.Menu("&To Do List");
  Item(todo, "&Priority", "", "PrintToDoByPriority");
  Item(todo, "&Category", "", "PrintToDoByCategory");
  Item(reports, "&Contacts", "", "PrintContactList");
  Item(reports, "Cate&gories", "", "PrintCAT:KeyCategory");

  Control& help = bar.Menu("&Help");
  const int web = Item(help, "Kestrova Web Site", "", "");
  const int mail = Item(help, "&E-mail for Support", "", "");
  Item(help, "&About", "", "About", true);

  // The frame's own commands.
  On(EVENT_Accepted, exit_item_, [this] { Exit(); });
  On(EVENT_Accepted, backup, [] {
    TaskProgramRequest request;
    request.command = "KVBBACK.EXE VX97.TPS";
    RunTaskProgram(request);
  });
  On(EVENT_Accepted, web, [] { START([] { OpenHelpLink(kWebSite, "Kestrova Web Site"); }); });
  On(EVENT_Accepted, mail, [] { START([] { OpenHelpLink(kSupportMail, "E-mail for Support"); }); });
}

void MainFrame::BuildToolbar() {
  options_button_ = Button("Options", "wrench16.ico", "Setup").control;
  commands_.back().call = true;
  schedule_button_ = Button("View Schedule", "~sched.ico", "").control;
  Button("To Do List", "~todo.ico", "BrowseToDoList");
  Button("Contacts", "~contacts.ico", "BrowseContacts");
  Button("Email Messages", "~email.ico", "BrowseMessages");
  Button("Clipboard Saver", "~clip.ico", "BrowseClipboard");
  program_wizard_button_ = Button("Program Wizard", "prgwiz16.ico", "").control;
  message_wizard_button_ = Button("Message Wizard", "msgwiz16.ico", "").control;
  script_wizard_button_ = Button("Script Wizard", "scrwiz16.ico", "Wizard:Script").control;
  commands_.back().stack = kBigStack;
  about_button_ = Button("About", "fourstar.ico", "About").control;
  commands_.back().call = true;
  stop_button_ = Button("Stop Scripts", "stopscr.ico", "").control;
  script_picture_ = window().Toolbar().Image("~blank.ico");
  script_text_ = window().Toolbar().String("");
  window()[stop_button_].Disable();  // until a script runs
  scripts_.SetControls(stop_button_, script_text_, script_picture_);

  // These three press their menu items, so that both stay one command.
  const auto mirror = [this](int button, int item) {
    if (window()[item].Is(Prop::Disable)) window()[button].Disable();
    On(EVENT_Accepted, button, [this, item] { Press(item); });
  };
  mirror(program_wizard_button_, program_wizard_item_);
  mirror(message_wizard_button_, message_wizard_item_);
  mirror(schedule_button_, schedule_item_);
  On(EVENT_Accepted, stop_button_, [] {
    if (ScriptQueue.Records() > 0) ScriptQueue.Free();
  });
}

Level MainFrame::Init() {
  GLO_STARTUPTIME = CLOCK();
  GLO_STARTUPDATE = TODAY();
  GLO_LASTCHECKDATE = TODAY();
  ProgramErrors().SetProcedureName("Main");
  WindowManager::Init();
  SetCurrentRequest(0);
  SetCurrentResponse(0);

  RELATE_CATEGORIES->Open();
  RELATE_CLIPBOARD->Open();
  RELATE_CONFIGURATION->Open();
  RELATE_HOLIDAYS->Open();
  for (FileManager* file : {ACCESS_SCHEDULE, ACCESS_MESSAGES, ACCESS_SCRIPTING, ACCESS_SYSHOTKEYS, ACCESS_VXUSD}) {
    file->UseFile();
  }
  files_opened_ = true;

  BuildMenus();
  BuildToolbar();
  window().Set(Prop::Frame, true);
  window().Title(std::string(PRODUCTNAME.clipped()));
  Open();
  GLO_MAINTHREAD = static_cast<std::int32_t>(THREAD());
  // The end of the session is watched as soon as the frame exists: from then on SIGTERM closes
  // the program cleanly instead of killing it while the tray and hot keys are being set up.
  session_.INIT(1, 1);

  tray_.INIT(99, window().Title(), kTrayIdleIcon, 0, 0);
  tray_.AlwaysRefresh = 1;
  ApplyTrayRule();

  if (gServices && gServices->hot_keys) {
    hot_keys_.INIT(CurrentWindowLink(), gServices->hot_keys());
  } else {
    hot_keys_.INIT();
  }
  hot_keys_.ADDKEY("WinW");
  window().Post(EVENT_ReloadHotKeys);
  hot_keys_.ACTIVATE();

  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, "Main", window());

  popup_.Init(window());
  popup_.AddItem("&Restore", "Restore");
  popup_.AddItem("-", "Separator0");
  popup_.AddItem("&Program Wizard", "AddProgram");
  popup_.AddItem("&Message Wizard", "AddMessage");
  popup_.AddItem("&Scripting Wizard", "AddScript");
  popup_.AddItem("-", "Separator1");
  popup_.AddItem("Stop Active Scripts", "StopScript");
  popup_.SetItemEnable("StopScript", false);
  popup_.AddItem("-", "Separator2");
  popup_.AddItem("&Hot Keys", "HotKeys");
  popup_.AddItem("&Options", "Options");
  popup_.AddItem("&About", "About");
  popup_.AddItem("-", "Separator3");
  popup_.AddItem("E&xit Varnodex", "Exit");
  constexpr std::pair<const char*, const char*> kPopupIcons[] = {
      {"Restore", "restore.ico"},  {"AddProgram", "prgwiz16.ico"}, {"AddMessage", "msgwiz16.ico"},
      {"AddScript", "scrwiz16.ico"}, {"StopScript", "stopscr.ico"}, {"HotKeys", "keydown.ico"},
      {"Options", "wrench16.ico"}, {"About", "fourstar.ico"},     {"Exit", "exit.ico"}};
  for (auto [name, icon] : kPopupIcons) popup_.SetIcon(name, icon);

  StartUpWork();
  RestoreClipboard();
  Reset(true);
  return Level_Benign;
}

void MainFrame::StartUpWork() {
  PRODUCTNAME = "Varnodex 2000";
  VERSIONNUMBER = "2.03";
  window().Title(std::string(PRODUCTNAME.clipped()) + " " + std::string(VERSIONNUMBER.clipped()));
  OpenFileChecked(ACCESS_CONFIGURATION->file(), true, false, storage::kReadWriteDenyNone, false);
  SetConfigValue("VXV", "vx");
  ININAME = kProgramIniName;
  SetConfigValue("Version", VERSIONNUMBER.clipped());
  LoadSettings();
  if (DEBUGMODE != 0) WriteLog("Debug", "Debugging Active");

  const std::pair<std::uint8_t, std::string_view> windows[] = {
      {STARTUPCONTACTS, "BrowseContacts"},
      {STARTUPCLIPBOARDSAVER, "BrowseClipboard"},
      {STARTUPTODO, "BrowseToDoList"},
      {STARTUPSCHEDULE, "BrowseSchedule"},
  };
  for (const auto& [flag, procedure] : windows) {
    if (flag != 0 && MainProcedure(procedure)) {
      StartWindow(procedure);
      YIELD();
    }
  }
  if (STARTUPMINIMIZED != 0) window().Set(Prop::Iconize, 1L);
  PARENTHANDLE = FRAMEHANDLE = window().Id();
  WriteLog(window().Title(), "Started");
  if (STARTUPMINIMIZED != 0) window().Post(EVENT_Iconize);

  for (int item : {hot_keys_item_, new_hot_key_item_}) {
    const char* name = item == hot_keys_item_ ? "BrowseHotKeys" : "UpdateHotKeys";
    window()[item].Enable(static_cast<bool>(MainProcedure(name)));
  }
  popup_.SetItemEnable("HotKeys", static_cast<bool>(MainProcedure("BrowseHotKeys")));
  window()[users_item_].Disable();
}

// An empty clipboard gets the newest stored entry back; the entry stays in the buffer, so
// the first tick does not store it again.
void MainFrame::RestoreClipboard() {
  if (!CLIPBOARD().empty()) return;
  CLI = CLIPBOARD_RECORD{};
  if (ACCESS_CLIPBOARD->Set(CLI_KEYCLIPDATE) != 0 || ACCESS_CLIPBOARD->TryPrevious() != 0) {
    CLI = CLIPBOARD_RECORD{};
    return;
  }
  SETCLIPBOARD(CLI.ClipContents.clipped());
}

void MainFrame::Ask() {
  const long timer = window().GetNumber(Prop::Timer);
  if (timer < 1 || timer > 100) window().Timer(100);
  if (gServices && gServices->manual_timer) window().Timer(0L);
  FillClockZones();
  WindowManager::Ask();
}

void MainFrame::FillClockZones() {
  const std::int32_t today = TODAY();
  window().Status(3, std::string(ClipView(kWeekdays.substr(static_cast<std::size_t>(today % 7) * 9, 9))) + ", " +
                         FORMAT(today, "@D3"));
  window().Status(4, FORMAT(CLOCK(), "@T7"));
}

void MainFrame::ApplyTrayRule() {
  if (NOTRAY == 0) {
    tray_.DISALLOWMINIMIZE();
  } else {
    tray_.ALLOWMINIMIZE();
  }
}

MainTickSteps MainFrame::Steps() {
  MainTickSteps steps;
  if (gServices) steps = gServices->steps;
  if (!steps.capture_clipboard) steps.capture_clipboard = CaptureClipboard;
  if (!steps.advance_warnings) steps.advance_warnings = CheckAdvanceWarnings;
  if (!steps.remove_history) steps.remove_history = RemoveHistory;
  if (!steps.check_next_task) {
    steps.check_next_task = [this] { CheckNextTask(road_state_, road_table_, road_frame_); };
  }
  if (!steps.check_clock) steps.check_clock = CheckClockAndExitCodes;
  if (!steps.run_script_step) steps.run_script_step = [this] { scripts_.RunDueScriptStep(); };
  return steps;
}

void MainFrame::TimerTick() {
  const MainTickSteps steps = Steps();
  animation_ = animation_ >= 7 ? 1 : animation_ + 1;
  previous_script_busy_ = script_busy_;
  script_busy_ = false;

  if (MONITORCLIPBOARD != 0 && GLO_USEEXTERNALCLIPBOARDMANAGER == 0) steps.capture_clipboard();

  phase_ = phase_ >= 4 ? 1 : phase_ + 1;
  if (phase_ == 1) ApplyTrayRule();
  title_text_ = std::string(PRODUCTNAME.clipped());
  if (STARTUPACTIVE != 0) {
    UpdateFrameTitle();
    switch (phase_) {
      case 1:
        if (steps.advance_warnings) steps.advance_warnings();
        break;
      case 2:
        if (steps.remove_history && steps.remove_history()) RefreshTaskBrowses(road_frame_);
        break;
      case 3:
        steps.check_next_task();
        break;
      default:
        steps.check_clock();
        break;
    }
  } else {
    title_text_ += " (Inactive)";
    UpdateFrameTitle();
    window()[script_text_].SetText("");
    window()[script_picture_].SetText("~blank.ico");
  }

  // Scripts run while the scheduler is active, or for a one-off run started by hand.
  script_busy_ = scripts_.UpdateScriptControls();
  scripts_.UpdateFrameStatus(animation_);
  if (script_busy_) {
    steps.run_script_step();
    scripts_.UpdateFrameStatus(animation_);
  }

  if (script_busy_) {
    ShowTrayBusyIcon();
  } else {
    ShowTrayIdleIcon();
  }
  if (steps.after_tick) steps.after_tick();
}

void MainFrame::UpdateFrameTitle() {
  if (window().GetNumber(Prop::Hide) != 0) SystemUnlocked = 0;
  if (SystemUnlocked != 0 && title_text_.find("(Unlocked)") == std::string::npos) title_text_ += " (Unlocked)";
  if (window().Title() != ClipView(title_text_)) window().Title(ClipView(title_text_));
}

void MainFrame::ShowTrayBusyIcon() {
  busy_icon_ = busy_icon_ >= 4 ? 1 : busy_icon_ + 1;
  if (busy_icon_ == 1 || busy_icon_ == 3) tray_.CHANGEICON("traybus2_ico");
  if (busy_icon_ == 2) tray_.CHANGEICON("traybusy_ico");
}

Level MainFrame::TakeEvent() {
  if (EVENT() == EVENT_Iconize && FIELD() == 0) SystemUnlocked = 0;
  if (FIELD() == 0 && tray_.TakeMinimiseEvent(EVENT())) return Level_Benign;
  switch (EVENT()) {
    case EVENT_StopScripts:
      ScriptQueue.Free();
      break;
    case EVENT_ReloadHotKeys:
      hot_keys_.UNACTIVATE();
      LoadHotKeys();
      hot_keys_.ACTIVATE();
      break;
    default:
      break;
  }
  return WindowManager::TakeEvent();
}

Level MainFrame::TakeWindowEvent() {
  switch (EVENT()) {
    case EVENT_TrayRightClick:
      TrayRightClick();
      return Level_Benign;
    case EVENT_TrayLeftDoubleClick:
      RefreshTaskBrowses(road_frame_);
      RestoreFrame();
      return Level_Benign;
    case EVENT_TrayRecreate:
      tray_.ADDICON(tray_.GETTIP(), tray_.GETICON());
      return Level_Benign;
    case EVENT_HotKeyPressed:
      HotKeyPressed();
      return Level_Benign;
    case EVENT_EndSession:
      // The session is ending: close in order, without the exit question.
      real_exit_ = true;
      PostClose();
      return Level_Benign;
    case EVENT_CloseWindow:
      if (MINIMIZEONCLOSEREQUEST != 0 && !real_exit_) {
        window().Post(EVENT_Iconize);
        return Level_Notify;
      }
      break;
    case EVENT_Timer:
      TimerTick();
      break;
    default:
      break;
  }
  const Level rv = WindowManager::TakeWindowEvent();
  switch (EVENT()) {
    case EVENT_Timer:
      FillClockZones();
      break;
    case EVENT_Moved:
    case EVENT_Sized:
      SavePosition();
      break;
    default:
      break;
  }
  return rv;
}

void MainFrame::SavePosition() {
  if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, "Main", window());
}

void MainFrame::TrayRightClick() {
  popup_.SetItemEnable("StopScript", ScriptQueue.Records() > 0);
  popup_.SetItemEnable("Restore", window().GetNumber(Prop::Hide) != 0);
  popup_.SetItemEnable("AddProgram", !window()[program_wizard_button_].Is(Prop::Disable));
  popup_.SetItemEnable("AddMessage", !window()[message_wizard_button_].Is(Prop::Disable));
  popup_.SetItemEnable("AddScript", !window()[script_wizard_button_].Is(Prop::Disable));
  popup_.SetItemEnable("Options", !window()[options_button_].Is(Prop::Disable));
  popup_.SetItemEnable("About", !window()[about_button_].Is(Prop::Disable));
  const std::string chosen = popup_.Ask();
  if (chosen == "Restore") {
    RestoreFrame();
    RefreshTaskBrowses(road_frame_);
  } else if (chosen == "AddProgram") {
    RestoreFrame();
    Press(program_wizard_button_);
  } else if (chosen == "AddMessage") {
    RestoreFrame();
    Press(message_wizard_button_);
  } else if (chosen == "AddScript") {
    RestoreFrame();
    Press(script_wizard_button_);
  } else if (chosen == "StopScript") {
    window().Post(EVENT_StopScripts);
  } else if (chosen == "HotKeys") {
    RestoreFrame();
    Press(hot_keys_item_);
  } else if (chosen == "Options") {
    Press(options_button_);
  } else if (chosen == "About") {
    Press(about_button_);
  } else if (chosen == "Exit") {
    Press(exit_item_);
  }
}

void MainFrame::LoadHotKeys() {
  while (hot_keys_.RegisteredKeys.Records() > 0 && hot_keys_.RegisteredKeys.Get(1) == 0) {
    const std::string text(hot_keys_.RegisteredKeys.buffer.text.clipped());
    const long before = hot_keys_.RegisteredKeys.Records();
    hot_keys_.REMOVEKEY(text);
    if (hot_keys_.RegisteredKeys.Records() == before) break;
  }
  hot_keys_.ADDKEY("WinW");
  if (ACCESS_SYSHOTKEYS->Set() != 0) return;
  while (ACCESS_SYSHOTKEYS->TryNext() == 0) {
    if (HOT.Active != 0) hot_keys_.ADDKEY(HOT.HotKey.clipped());
  }
}

void MainFrame::HotKeyPressed() {
  if (hot_keys_.PressedKeys.Get(1) != 0) return;
  const HotKeyEntry pressed = hot_keys_.PressedKeys.buffer;
  hot_keys_.PressedKeys.Delete();
  std::string name(pressed.text.clipped());
  if (pressed.code <= 0) name = "Unknown: " + name;
  if (pressed.code > 0 && pressed.code == hot_keys_.TRNKEYNAME("WinW")) {
    RestoreFrame();
    return;
  }
  HOT = SYSHOTKEYS_RECORD{};
  HOT.HotKey = name;
  if (ACCESS_SYSHOTKEYS->TryFetch(HOT_K_HOTKEY) != 0) {
    MESSAGE("Error retrieving hot key.", name, MessageIcon::Exclamation);
    window().Post(EVENT_ReloadHotKeys);
    return;
  }
  HotKeyAction();
}

void MainFrame::HotKeyAction() {
  if (HOT.Active == 0) return;
  const std::string action(HOT.Action.clipped());
  if (action == "Text") {
    HotKeyTypeText();
  } else if (action == "Task") {
    HotKeyRunTask();
  } else {
    MESSAGE("Unknown Action:  " + action, "Hot-Key " + HOT.HotKey.str() + " Error", MessageIcon::Exclamation);
  }
}

void MainFrame::HotKeyTypeText() {
  const std::string type = UPPER(HOT.TextType.clipped());
  const std::string text = HOT.Text.str();
  // The hot-key editor stores "Copy" for this action: both names put the text on the clipboard.
  if (type == "COPYPASTE" || type == "COPY") {
    SETCLIPBOARD(text);
  } else if (type == "TYPE" || type == "PASTE") {
    const bool paste = type == "PASTE";
    if (paste) SETCLIPBOARD(text);
    const std::string typed = paste ? text : ReplaceAll(text, text.size(), "\r\n", "\r", false);
    if (gServices && gServices->type_text) {
      gServices->type_text(typed, paste);
    } else {
      TypeHotKeyText(typed, paste);
    }
  } else {
    MESSAGE("Unknown Text Automation:  " + HOT.TextType.str(), "Hot-Key " + HOT.HotKey.str() + " Error",
            MessageIcon::Exclamation);
  }
}

void MainFrame::HotKeyRunTask() {
  SleepFor(std::chrono::milliseconds(200));
  SCH = SCHEDULE_RECORD{};
  SCH.ID = HOT.ID;
  if (ACCESS_SCHEDULE->TryFetch(SCH_KEYID) != 0) {
    MESSAGE("Unable to retrieve associated task.", "Hot-Key " + HOT.HotKey.str() + " Error",
            MessageIcon::Exclamation);
    return;
  }
  RunTaskProgram(DueTaskProgram(HOT.ID, "N/A", ""));
}

void MainFrame::Exit() {
  if (MINIMIZEONCLOSEREQUEST != 0) {
    real_exit_ = false;
    if (MESSAGE("No tasks will execute while Varnodex is not active.  Are you sure you want to close Varnodex?",
                "Warning", MessageIcon::Information, BUTTON_YES | BUTTON_NO, BUTTON_NO) != BUTTON_YES) {
      return;
    }
    real_exit_ = true;
  }
  PostClose();
}

void MainFrame::StartWindow(std::string_view procedure, long stack) {
  if (auto run = MainProcedure(procedure)) START(run, stack);
}

void MainFrame::RunCommand(const Command& command) {
  auto procedure = MainProcedure(command.procedure);
  if (!procedure) return;
  if (command.prime) GLO_PRIMETASKTYPE = command.prime_type;
  if (command.call) {
    procedure();
  } else {
    START(procedure, command.stack);
  }
}

Level MainFrame::TakeAccepted() {
  const int control = ACCEPTED();
  for (const Command& command : commands_) {
    if (command.control == control && !command.procedure.empty()) {
      RunCommand(command);
      break;
    }
  }
  return WindowManager::TakeAccepted();
}

Level MainFrame::Kill() {
  const Level rv = WindowManager::Kill();
  if (files_opened_) {
    WriteLog("", "Exit Varnodex");
    RELATE_CATEGORIES->Close();
    RELATE_CLIPBOARD->Close();
    RELATE_CONFIGURATION->Close();
    RELATE_HOLIDAYS->Close();
  }
  session_.KILL();
  hot_keys_.KILL();
  tray_.KILL();
  popup_.Kill();
  SavePosition();
  ProgramErrors().SetProcedureName({});
  return rv;
}

}  // namespace

void SetMainServices(MainServices* services) { gServices = services; }

void Main() {
  Window window("Varnodex");
  MainFrame frame(window);
  frame.Run();
}

std::string ReplaceAll(std::string_view text, std::size_t size, std::string_view find, std::string_view replacement,
                       bool ignore_case) {
  std::string out(text);
  if (find.empty()) return std::string(CutUtf8(out, size));
  const std::string wanted = ignore_case ? UPPER(find) : std::string(find);
  for (std::size_t at = out.size(); at-- > 0;) {
    if (at + find.size() > out.size()) continue;
    const std::string_view here = std::string_view(out).substr(at, find.size());
    if ((ignore_case ? UPPER(here) : std::string(here)) == wanted) {
      out = out.substr(0, at) + std::string(replacement) + out.substr(at + find.size());
    }
  }
  return std::string(CutUtf8(out, size));
}

}  // namespace vx
