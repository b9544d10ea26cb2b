#include "program/shell/main_frame.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
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
#include "platform/hot_keys.h"
#include "platform/loader_tables.h"
#include "program/admin/load_settings.h"
#include "program/admin/new_database_settings.h"
#include "program/admin/password_validation.h"
#include "program/common/command_line.h"
#include "program/common/config_store.h"
#include "program/common/help_links.h"
#include "program/common/main_procedures.h"
#include "program/common/open_file_checked.h"
#include "program/common/program_services.h"
#include "program/common/start_program.h"
#include "program/common/task_road_services.h"
#include "program/common/write_log.h"
#include "program/due_tasks/advance_warnings.h"
#include "program/due_tasks/check_clock_and_exit_codes.h"
#include "program/due_tasks/due_task_table.h"
#include "program/due_tasks/remove_history.h"
#include "program/organiser/capture_clipboard.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/type_hot_key_text.h"
#include "program/shell/data_folder_lock.h"
#include "program/shell/frame_files.h"
#include "program/shell/frame_scripts.h"
#include "program/shell/frame_task_road.h"
#include "program/shell/hot_key_actions.h"
#include "program/shell/main_menus.h"
#include "program/shell/named_data_folder.h"
#include "program/shell/start_helper.h"
#include "program/shell/start_up_session.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

MainServices* InstalledMainServices() { return CurrentProgramServices().main; }

constexpr std::string_view kWeekdays =
    "Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday ";
// Widths of the status zones in dialog units (a quarter letter each): the clock's zones keep
// their place as the texts change (a longer date or time widens its zone); the next task's zone
// is wide enough for a whole description with its due moment, and takes any spare width.
constexpr long kNextZoneWidth = 64 * 4;
constexpr long kDateZoneWidth = 18 * 4;
constexpr long kTimeZoneWidth = 6 * 4;
constexpr std::string_view kWebSite = "https://www.kestrova.example/";
constexpr std::string_view kSupportMail = "mailto:support@kestrova.example";
constexpr std::string_view kMaintenanceQuestion =
    "Varnodex closes while the File Manager (Database Maintenance) works on the database, and no "
    "task runs until Varnodex is started again: the \"Start VX\" button of Database Maintenance "
    "starts it.\n\nClose Varnodex and open the File Manager?";

class MainFrame final : public WindowManager {
 public:
  explicit MainFrame(Window& window)
      : WindowManager(window),
        scope_("Main", *this),
        road_frame_(window, tray_),
        scripts_(window, tray_, road_frame_) {
    scope_.KeepPlaceWhenMoved();
    road_frame_.OnStartMaintenance([this] { StartMaintenance(); });
  }

  Level Init() override;
  void Ask() override;
  Level Kill() override;
  Level TakeEvent() override;
  Level TakeWindowEvent() override;
  Level TakeAccepted() override;

  void RestoreFrame() { road_frame_.RestoreFrame(); }

 private:
  void StartUpWork();
  void RestoreClipboard();
  void TimerTick();
  void UpdateFrameTitle();
  void ShowTrayIdleIcon() { tray_.CHANGEICON(kTrayIdleIcon); }
  void ShowTrayBusyIcon();
  void ApplyTrayRule();
  void FillClockZones();
  void TrayRightClick();
  HotKeyFrame HotKeyServices();
  void ReportRefusedHotKeys();
  void Exit();
  void RunCommand(const MainCommand& row);
  void StartWindow(std::string_view procedure, long stack = kMainStack);
  bool AgreeToMaintenance();
  void StartMaintenance();
  void Press(int control) { window().Post(EVENT_Accepted, control); }
  MainTickSteps Steps();

  WindowProcedureScope scope_;
  MainMenus menus_;
  SYSTRAYCLASS tray_;
  SYSHOTKEYCLASS hot_keys_;
  SYSSHUTDOWNCLASS session_;
  PopupClass popup_;
  FrameTaskRoad road_frame_;
  FrameScripts scripts_;
  DueTaskTableFiles road_table_;
  DueTaskState road_state_;
  std::string title_text_;
  int phase_ = 0;
  int animation_ = 0;
  std::int32_t clock_zone_day_ = 0;  // the day the date zone shows
  int busy_icon_ = 0;
  bool script_busy_ = false;
  bool previous_script_busy_ = false;
  bool real_exit_ = false;
  bool files_opened_ = false;
  bool hot_keys_loaded_ = false;
  bool loader_tables_given_back_ = false;
  std::vector<std::string> refused_keys_;  // refused in the last load of the hot keys
  int script_text_ = 0, script_picture_ = 0;
};

Level MainFrame::Init() {
  GLO_STARTUPTIME = CLOCK();
  GLO_STARTUPDATE = TODAY();
  GLO_LASTCHECKDATE = TODAY();
  WindowManager::Init();
  SetCurrentRequest(0);
  SetCurrentResponse(0);

  OpenFrameFiles();
  files_opened_ = true;

  menus_.BuildBars(window());
  // The status bar's sections: the next task (or the running script's step) takes the width
  // that today's date and the time leave; the first zone holds nothing here.
  window().Status(1).Hide();
  window().Status(2).Set(Prop::MinWidth, kNextZoneWidth);
  window().Status(3).Set(Prop::Width, kDateZoneWidth);
  window().Status(4).Set(Prop::Width, kTimeZoneWidth);
  // The toolbar's script status, beside the buttons.
  script_picture_ = window().Toolbar().Image("~blank.ico");
  script_text_ = window().Toolbar().String("");
  const int stop_button = menus_.ControlOf("StopButton");
  window()[stop_button].Disable();  // until a script runs
  scripts_.SetControls(stop_button, script_text_, script_picture_);
  window().Set(Prop::Frame, true);
  window().Title(std::string(PRODUCTNAME.clipped()));
  Open();
  GLO_MAINTHREAD = static_cast<std::int32_t>(THREAD());
  // The end of the session is watched as soon as the frame exists: from then on SIGTERM closes
  // the program cleanly instead of killing it while the tray and hot keys are being set up.
  session_.INIT(1, 1);
  // An end of the session since the program started, before this watch stood, ends it now.
  if (StopWatchingStartUpSession()) window().Post(EVENT_EndSession);

  tray_.INIT(99, window().Title(), kTrayIdleIcon, 0, 0);
  tray_.AlwaysRefresh = 1;
  ApplyTrayRule();

  if (const MainServices* installed = InstalledMainServices(); installed && installed->hot_keys) {
    hot_keys_.INIT(CurrentWindowLink(), installed->hot_keys());
  } else {
    hot_keys_.INIT();
  }
  hot_keys_.ADDKEY("WinW");
  window().Post(EVENT_ReloadHotKeys);
  hot_keys_.ACTIVATE();

  popup_.Init(window());
  menus_.BuildTray(popup_);

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
  // Every start stores "VXV": a database without it is new, made by this start or by a tool.
  const bool new_database = !ConfigValueStored("VXV");
  SetConfigValue("VXV", "vx");
  ININAME = kProgramIniName;
  SetConfigValue("Version", VERSIONNUMBER.clipped());
  if (new_database) StoreNewDatabaseSettings();
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
  // The hot-key items follow their windows' registration, and the user list stays greyed,
  // as the command table built them.
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
  if (const MainServices* installed = InstalledMainServices();
      installed && installed->manual_timer) {
    window().Timer(0L);
  }
  FillClockZones();
  WindowManager::Ask();
}

void MainFrame::FillClockZones() {
  // The date zone changes once a day; finding a zone walks the frame's controls, so the tick
  // sets it only when the day has changed.
  const std::int32_t today = TODAY();
  if (today != clock_zone_day_) {
    clock_zone_day_ = today;
    window().Status(
        3, std::string(ClipView(kWeekdays.substr(static_cast<std::size_t>(today % 7) * 9, 9))) +
               ", " + FORMAT(today, "@D3"));
  }
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
  if (const MainServices* installed = InstalledMainServices()) steps = installed->steps;
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
  if (SystemUnlocked != 0 && title_text_.find("(Unlocked)") == std::string::npos)
    title_text_ += " (Unlocked)";
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
      LoadHotKeys(hot_keys_);
      hot_keys_.ACTIVATE();
      ReportRefusedHotKeys();
      break;
    case EVENT_BringFrameForward:  // another start on this data folder
      RestoreFrame();
      window().ToFront();
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
      TakeHotKeyPress(hot_keys_, HotKeyServices());
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
      // Once the tick runs, so that nothing waits for the box.
      ShowNewDataFolderNotice();
      // Start-up is over once the tick runs: every library is loaded and bound, and what the
      // loader read to do it is read no more.
      if (!loader_tables_given_back_) {
        loader_tables_given_back_ = true;
        platform::GiveBackLoaderTables();
      }
      break;
    default:
      break;
  }
  const Level rv = WindowManager::TakeWindowEvent();
  if (EVENT() == EVENT_Timer) FillClockZones();
  return rv;
}

void MainFrame::TrayRightClick() {
  menus_.EnableTray(popup_, window().GetNumber(Prop::Hide) != 0, ScriptQueue.Records() > 0);
  if (const MainCommand* row = MainMenus::TrayRow(popup_.Ask())) RunCommand(*row);
}

// A key the desktop refused is named, so that a hot key just saved is not silently dead: at
// start-up in the event log, afterwards (a hot-key window saved it) in a message. Keys refused
// in the load before are not named again.
void MainFrame::ReportRefusedHotKeys() {
  const std::vector<std::string> refused = RefusedHotKeys(hot_keys_);
  std::vector<std::string> news;
  for (const std::string& name : refused) {
    if (std::find(refused_keys_.begin(), refused_keys_.end(), name) == refused_keys_.end())
      news.push_back(name);
  }
  refused_keys_ = refused;
  const bool at_start = !hot_keys_loaded_;
  hot_keys_loaded_ = true;
  if (news.empty()) return;
  if (at_start) {
    for (const std::string& name : news) WriteLog(RefusedHotKeysMessage({name}), "Hot Keys");
  } else {
    MESSAGE(RefusedHotKeysMessage(news), "Hot Keys", MessageIcon::Exclamation);
  }
}

HotKeyFrame MainFrame::HotKeyServices() {
  HotKeyFrame frame;
  frame.restore_frame = [this] { RestoreFrame(); };
  frame.reload_keys = [this] { window().Post(EVENT_ReloadHotKeys); };
  if (const MainServices* installed = InstalledMainServices(); installed && installed->type_text) {
    frame.type_text = installed->type_text;
  } else {
    frame.type_text = TypeHotKeyText;
  }
  return frame;
}

void MainFrame::Exit() {
  if (MINIMIZEONCLOSEREQUEST != 0) {
    real_exit_ = false;
    if (MESSAGE("No tasks will execute while Varnodex is not active.  Are you sure you want to "
                "close Varnodex?",
                "Warning", MessageIcon::Information, BUTTON_YES | BUTTON_NO,
                BUTTON_NO) != BUTTON_YES) {
      return;
    }
    real_exit_ = true;
  }
  PostClose();
}

// Asked before the maintenance program is started from the menu: the program closes for it,
// and the scheduler stands still until it is started again.
bool MainFrame::AgreeToMaintenance() {
  return MESSAGE(std::string(kMaintenanceQuestion), "File Manager", MessageIcon::Question,
                 BUTTON_OK | BUTTON_CANCEL, BUTTON_CANCEL) == BUTTON_OK;
}

// The maintenance program works on the data files alone: this program makes way at once,
// without the question whether to close.
void MainFrame::StartMaintenance() {
  const bool started = StartHelperProgram({"VX_DBASE.EXE", ""});
  Reset(true);
  if (started) {
    real_exit_ = true;
    PostClose();
  }
}

void MainFrame::StartWindow(std::string_view procedure, long stack) {
  if (auto run = MainProcedure(procedure)) START(run, stack);
}

void MainFrame::RunCommand(const MainCommand& row) {
  switch (row.action) {
    case MainAction::StartTask:
      if (!MainProcedure(row.target)) return;
      GLO_PRIMETASKTYPE = row.prime;
      StartWindow(row.target, row.stack);
      break;
    case MainAction::Start:
      StartWindow(row.target, row.stack);
      break;
    case MainAction::Call:
      if (auto procedure = MainProcedure(row.target)) procedure();
      break;
    case MainAction::RestorePress:
      RestoreFrame();
      Press(menus_.ControlOf(row.target));
      break;
    case MainAction::Press:
      Press(menus_.ControlOf(row.target));
      break;
    case MainAction::Exit:
      Exit();
      break;
    case MainAction::Backup:
      StartHelperProgram({"KVBBACK.EXE", "VX97.TPS"});
      Reset(true);
      break;
    case MainAction::Maintenance:
      if (AgreeToMaintenance()) StartMaintenance();
      break;
    // On a thread of their own, so that the frame's tick never waits for the desktop's opener.
    case MainAction::WebSite:
      START([] { OpenHelpLink(kWebSite, "Kestrova Web Site"); });
      break;
    case MainAction::SupportMail:
      START([] { OpenHelpLink(kSupportMail, "E-mail for Support"); });
      break;
    case MainAction::StopScripts:
      if (ScriptQueue.Records() > 0) ScriptQueue.Free();
      break;
    case MainAction::Restore:
      RestoreFrame();
      RefreshTaskBrowses(road_frame_);
      break;
    case MainAction::None:
    case MainAction::Greyed:
      break;
  }
}

Level MainFrame::TakeAccepted() {
  if (const MainCommand* row = menus_.RowOf(ACCEPTED())) RunCommand(*row);
  return WindowManager::TakeAccepted();
}

Level MainFrame::Kill() {
  const Level rv = WindowManager::Kill();
  if (files_opened_) {
    WriteLog("", "Exit Varnodex");
    CloseFrameFiles();
  }
  session_.KILL();
  hot_keys_.KILL();
  tray_.KILL();
  popup_.Kill();
  return rv;
}

}  // namespace

void Main() {
  Window window("Varnodex");
  MainFrame frame(window);
  frame.Run();
}

}  // namespace vx
