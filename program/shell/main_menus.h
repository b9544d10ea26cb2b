// Main's menus, toolbar and tray popup as one table: each row an item with its text, key, icon
// and tip, and what choosing it does (a window procedure by name, or one of the frame's own
// actions). MainMenus builds the controls from the table and finds the row behind a control.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace vx {

class PopupClass;
class Window;

enum class MainPlace { Menu, Toolbar, Tray };

enum class MainAction {
  None,          // a separator
  Start,         // starts the procedure `target` on a thread of its own
  Call,          // runs the procedure `target` on Main's thread
  StartTask,     // GLO_PRIMETASKTYPE := `prime`, then starts `target` (the task editor)
  Press,         // presses the row named `target`, and is greyed with it
  RestorePress,  // brings the frame back, then presses the row named `target`
  Greyed,        // always greyed; `target` is the procedure it would start
  Exit,          // the exit question, then the frame closes
  Backup,        // starts the backup program
  Maintenance,   // starts the database maintenance program, then the program ends
  WebSite,       // opens the maker's web site
  SupportMail,   // opens a mail to support
  StopScripts,   // frees the active script queue; greyed on the tray while it is empty
  Restore,       // brings the frame back and refreshes the task lists; greyed while it shows
};

inline constexpr long kMainStack = 25000;
inline constexpr long kMainBigStack = 50000;

struct MainCommand {
  MainPlace place = MainPlace::Menu;
  std::string_view menu;  // Menu: the menu path, "|" between levels ("&File|&Import")
  std::string_view text;  // "-": a separator
  std::string_view key;
  std::string_view icon;
  std::string_view tip;
  std::string_view name;  // how Press rows and the frame find the row; Tray: the popup item's name
  MainAction action = MainAction::None;
  std::string_view target;  // the procedure, or the name of the row pressed
  std::string_view prime;   // StartTask: the task type the editor starts with ("" none)
  long stack = kMainStack;
};

// Every row, menus first (in menu order), then the toolbar, then the tray popup.
std::span<const MainCommand> MainCommands();

// The procedures the rows start or call (Start, Call, StartTask), each once.
std::vector<std::string_view> MainCommandProcedures();

// The controls built from the table for one frame.
class MainMenus {
 public:
  // The menu bar and the toolbar's buttons. A row whose procedure is not registered is greyed,
  // and so is a row that presses a greyed one.
  void BuildBars(Window& frame);
  // The tray popup's items; "Stop Active Scripts" starts greyed.
  void BuildTray(PopupClass& tray) const;
  // Before the tray popup shows: Press rows follow their row, Restore is offered while the
  // frame is hidden and StopScripts while scripts run.
  void EnableTray(PopupClass& tray, bool frame_hidden, bool scripts_running) const;

  // The row of a menu item or toolbar button; nullptr for any other control.
  const MainCommand* RowOf(int control) const;
  // The tray row of a popup item's name; nullptr for none.
  static const MainCommand* TrayRow(std::string_view name);
  // The control of the menu or toolbar row `name`; 0 for none.
  int ControlOf(std::string_view name) const;

 private:
  struct Built {
    const MainCommand* row;
    int control;
  };
  Window* frame_ = nullptr;
  std::vector<Built> built_;
};

}  // namespace vx
