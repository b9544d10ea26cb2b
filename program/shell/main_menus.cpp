#include "program/shell/main_menus.h"

#include <algorithm>
#include <map>
#include <string>

#include "framework/popup_class.h"
#include "program/common/main_procedures.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

using enum MainAction;

// Rows as the table below writes them; Named, Priming and OnStack fill the rarer columns.
struct Row : MainCommand {
  constexpr Row Named(std::string_view n) const { return With(&MainCommand::name, n); }
  constexpr Row Priming(std::string_view task_type) const {
    return With(&MainCommand::prime, task_type);
  }
  constexpr Row OnStack(long bytes) const { return With(&MainCommand::stack, bytes); }
  constexpr Row Tipped(std::string_view tip) const { return With(&MainCommand::tip, tip); }

 private:
  template <class T>
  constexpr Row With(T MainCommand::*column, T value) const {
    Row r = *this;
    r.*column = value;
    return r;
  }
};

constexpr Row Item(std::string_view menu, std::string_view text, std::string_view key,
                   MainAction action, std::string_view target = {}) {
  return {{.place = MainPlace::Menu,
           .menu = menu,
           .text = text,
           .key = key,
           .action = action,
           .target = target}};
}

constexpr Row Separator(std::string_view menu) { return Item(menu, "-", "", None); }

// A toolbar button; its tip is its text.
constexpr Row Button(std::string_view text, std::string_view icon, MainAction action,
                     std::string_view target = {}) {
  return {{.place = MainPlace::Toolbar,
           .text = text,
           .icon = icon,
           .tip = text,
           .action = action,
           .target = target}};
}

constexpr Row Tray(std::string_view name, std::string_view text, std::string_view icon = {},
                   MainAction action = None, std::string_view target = {}) {
  return {{.place = MainPlace::Tray,
           .text = text,
           .icon = icon,
           .name = name,
           .action = action,
           .target = target}};
}

constexpr MainCommand kCommands[] = {
    Item("&File", "&Options", "F10", Call, "Setup"),
    Item("&File", "&Task Categories", "", Start, "BrowseScheduleCategories"),
    Item("&File", "&Contact Categories", "", Start, "BrowseContactCategories2Pane"),
    Item("&File", "C&lipboard Categories", "", Start, "BrowseClipboardCategories"),
    Item("&File", "&Holidays", "", Start, "BrowseHolidays"),
    Item("&File", "&Script Templates", "", Start, "BrowseScriptTemplates"),
    Item("&File", "House&keeping", "", Call, "Housekeeping"),
    Item("&File|&Import", "&Schedule", "", Start, "ImportSchedule"),
    Item("&File|&Import", "&Contacts", "", Start, "ImportContacts"),
    Item("&File|&Import", "&To Do", "", Start, "ImportToDo"),
    Item("&File|&Export", "&Schedule", "", Start, "ExportSchedule"),
    Item("&File|&Export", "&Contacts", "", Start, "ExportContacts"),
    Item("&File|&Export", "&To Do", "", Start, "ExportToDo"),
    Item("&File", "View &Log", "F8", Start, "ViewAscii:Log"),
    Item("&File", "Backup/Restore", "", Backup),
    Item("&File|Support Tools", "View Current Script", "", Start, "ViewQueue:Script"),
    Item("&File|Support Tools", "&Report Bug", "F9", Start, "BugReport"),
    Item("&File|Support Tools", "Explore &Schedule", "Ctrl+Shift+X", Start, "ExploreSchedule"),
    Item("&File|Support Tools", "&File Manager", "", Maintenance),
    Separator("&File"),
    Item("&File", "E&xit", "", Exit).Named("Exit"),

    Item("&Lists", "&Scheduled Tasks", "Ctrl+S", Start, "BrowseSchedule").Named("Schedule"),
    Item("&Lists", "Hot &Keys", "Ctrl+K", Start, "BrowseHotKeys").Named("HotKeys"),
    Item("&Lists", "&To Do Items", "Ctrl+T", Start, "BrowseToDoList"),
    Item("&Lists", "&Contacts", "Ctrl+O", Start, "BrowseContacts"),
    Item("&Lists", "&E-mail Messages", "Ctrl+E", Start, "BrowseMessages"),
    Item("&Lists", "Clip&board Saver", "", Start, "BrowseClipboard"),
    // The frame greys the user list at start-up, whatever is registered.
    Item("&Lists", "&Users", "", Greyed, "BrowseUsers"),
    Item("&Lists", "Task Cate&gories", "", Start, "BrowseScheduleCategories"),
    Item("&Lists", "Co&ntact Categories", "", Start, "BrowseContactCategories2Pane"),
    Item("&Lists", "C&lipboard Categories", "", Start, "BrowseClipboardCategories"),

    Item("&Actions", "New &Message (Wizard)", "Ctrl+Shift+M", StartTask, "UpdateSchedule")
        .Priming("Display Message")
        .Named("NewMessage"),
    Item("&Actions", "New &Program (Wizard)", "Ctrl+Shift+P", StartTask, "UpdateSchedule")
        .Priming("Run Program")
        .Named("NewProgram"),
    Item("&Actions", "New &Script (Wizard)", "Ctrl+Shift+S", Start, "Wizard:Script"),
    Item("&Actions", "New &Task (Tabbed)", "Ctrl+Shift+T", StartTask, "UpdateSchedule"),
    Item("&Actions", "Enter &Birthdays", "Ctrl+Shift+B", Start, "Wizard:NewBirthdays"),
    Item("&Actions", "New &Hot Key", "Ctrl+Shift+H", Start, "UpdateHotKeys"),

    // The brief report is "Schedule in Brief" and the checklist "Schedule", as the reports
    // themselves are titled.
    Item("&Reports|&Schedule", "&Brief Schedule", "", Start, "PrintScheduleBrief"),
    Item("&Reports|&Schedule", "&All in Date Order", "", Start, "Print:SCH:AllDateOrder")
        .OnStack(kMainBigStack)
        .Tipped("Print ordered by Date"),
    Item("&Reports|&Schedule", "All in &Category Order", "", Start, "Print:SCH:AllCategoryOrder")
        .OnStack(kMainBigStack)
        .Tipped("Print ordered by Category"),
    Item("&Reports|&Schedule", "&Specific Category", "", Start, "Print:SCH:OneCategory")
        .Tipped("Print schedule for one category only"),
    Item("&Reports|&Schedule", "&Checklist Style", "", Start, "PrintSchedule")
        .Tipped("Brief Schedule in Daily Checklist Format"),
    Item("&Reports|&To Do List", "&Priority", "", Start, "PrintToDoByPriority"),
    Item("&Reports|&To Do List", "&Category", "", Start, "PrintToDoByCategory"),
    Item("&Reports", "&Contacts", "", Start, "PrintContactList"),
    Item("&Reports", "Cate&gories", "", Start, "PrintCAT:KeyCategory"),

    Item("&Help", "Kestrova Web Site", "", WebSite),
    Item("&Help", "&E-mail for Support", "", SupportMail),
    Item("&Help", "&About", "", Call, "About"),

    // The wizard buttons and "View Schedule" press their menu items, so both stay one command.
    Button("Options", "wrench16.ico", Call, "Setup").Named("OptionsButton"),
    Button("View Schedule", "~sched.ico", Press, "Schedule"),
    Button("To Do List", "~todo.ico", Start, "BrowseToDoList"),
    Button("Contacts", "~contacts.ico", Start, "BrowseContacts"),
    Button("Email Messages", "~email.ico", Start, "BrowseMessages"),
    Button("Clipboard Saver", "~clip.ico", Start, "BrowseClipboard"),
    Button("Program Wizard", "prgwiz16.ico", Press, "NewProgram").Named("ProgramWizard"),
    Button("Message Wizard", "msgwiz16.ico", Press, "NewMessage").Named("MessageWizard"),
    Button("Script Wizard", "scrwiz16.ico", Start, "Wizard:Script")
        .OnStack(kMainBigStack)
        .Named("ScriptWizard"),
    Button("About", "fourstar.ico", Call, "About").Named("AboutButton"),
    Button("Stop Scripts", "stopscr.ico", StopScripts).Named("StopButton"),

    Tray("Restore", "&Restore", "restore.ico", Restore),
    Tray("Separator0", "-"),
    Tray("AddProgram", "&Program Wizard", "prgwiz16.ico", RestorePress, "ProgramWizard"),
    Tray("AddMessage", "&Message Wizard", "msgwiz16.ico", RestorePress, "MessageWizard"),
    Tray("AddScript", "&Scripting Wizard", "scrwiz16.ico", RestorePress, "ScriptWizard"),
    Tray("Separator1", "-"),
    Tray("StopScript", "Stop Active Scripts", "stopscr.ico", StopScripts),
    Tray("Separator2", "-"),
    Tray("HotKeys", "&Hot Keys", "keydown.ico", RestorePress, "HotKeys"),
    Tray("Options", "&Options", "wrench16.ico", Press, "OptionsButton"),
    Tray("About", "&About", "fourstar.ico", Press, "AboutButton"),
    Tray("Separator3", "-"),
    Tray("Exit", "E&xit Varnodex", "exit.ico", Press, "Exit"),
};

bool StartsProcedure(MainAction action) {
  return action == Start || action == Call || action == StartTask;
}
bool Presses(MainAction action) { return action == Press || action == RestorePress; }

}  // namespace

std::span<const MainCommand> MainCommands() { return kCommands; }

std::vector<std::string_view> MainCommandProcedures() {
  std::vector<std::string_view> names;
  for (const MainCommand& row : kCommands) {
    if (StartsProcedure(row.action) &&
        std::find(names.begin(), names.end(), row.target) == names.end()) {
      names.push_back(row.target);
    }
  }
  return names;
}

void MainMenus::BuildBars(Window& frame) {
  frame_ = &frame;
  std::map<std::string, Control*, std::less<>> menus;
  // The menu of a path, made (inside its parent) the first time a row names it.
  const auto menu_of = [&](auto& self, std::string_view path) -> Control& {
    if (const auto it = menus.find(path); it != menus.end()) return *it->second;
    const std::size_t bar = path.rfind('|');
    Control& parent =
        bar == std::string_view::npos ? frame.Menubar() : self(self, path.substr(0, bar));
    Control& menu = parent.Menu(bar == std::string_view::npos ? path : path.substr(bar + 1));
    menus.emplace(std::string(path), &menu);
    return menu;
  };
  for (const MainCommand& row : kCommands) {
    if (row.place == MainPlace::Tray) continue;
    if (row.text == "-") {
      menu_of(menu_of, row.menu).Separator();
      continue;
    }
    Control& control = row.place == MainPlace::Menu ? menu_of(menu_of, row.menu).Item(row.text)
                                                    : frame.Toolbar().Button(row.text);
    if (!row.key.empty()) control.Key(row.key);
    if (!row.icon.empty()) control.Icon(row.icon);
    if (!row.tip.empty()) control.Tip(row.tip);
    bool greyed = row.action == Greyed;
    if (StartsProcedure(row.action)) greyed = !MainProcedure(row.target);
    if (Presses(row.action)) {
      const int pressed = ControlOf(row.target);
      greyed = pressed == 0 || frame[pressed].Is(Prop::Disable);
    }
    if (greyed) control.Disable();
    built_.push_back({&row, control});
  }
}

void MainMenus::BuildTray(PopupClass& tray) const {
  for (const MainCommand& row : kCommands) {
    if (row.place != MainPlace::Tray) continue;
    tray.AddItem(row.text, row.name);
    if (!row.icon.empty()) tray.SetIcon(row.name, row.icon);
    if (row.action == StopScripts) tray.SetItemEnable(row.name, false);
  }
}

void MainMenus::EnableTray(PopupClass& tray, bool frame_hidden, bool scripts_running) const {
  for (const MainCommand& row : kCommands) {
    if (row.place != MainPlace::Tray) continue;
    if (row.action == Restore) tray.SetItemEnable(row.name, frame_hidden);
    if (row.action == StopScripts) tray.SetItemEnable(row.name, scripts_running);
    if (Presses(row.action)) {
      const int pressed = ControlOf(row.target);
      tray.SetItemEnable(row.name, pressed != 0 && !(*frame_)[pressed].Is(Prop::Disable));
    }
  }
}

const MainCommand* MainMenus::RowOf(int control) const {
  for (const Built& built : built_) {
    if (built.control == control) return built.row;
  }
  return nullptr;
}

const MainCommand* MainMenus::TrayRow(std::string_view name) {
  for (const MainCommand& row : kCommands) {
    if (row.place == MainPlace::Tray && row.name == name) return &row;
  }
  return nullptr;
}

int MainMenus::ControlOf(std::string_view name) const {
  for (const Built& built : built_) {
    if (!name.empty() && built.row->name == name) return built.control;
  }
  return 0;
}

}  // namespace vx
