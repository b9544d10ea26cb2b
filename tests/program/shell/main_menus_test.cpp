// Main's command table: every procedure it names is registered or knowingly not written yet,
// and the rows that press other rows or name tray items hang together.
#include "program/shell/main_menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "program/common/main_procedures.h"
#include "program/shell/register_program_windows.h"

namespace vx {
namespace {

bool Contains(const auto& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(MainMenus, EveryProcedureMainNamesIsRegisteredOrListedAsNotWrittenYet) {
  const std::vector<std::string_view> named = MainCommandProcedures();
  std::vector<std::string_view> registered_before;
  for (std::string_view name : named) {
    if (MainProcedure(name)) registered_before.push_back(name);
  }
  RegisterProgramWindows();
  const auto not_written = WindowsNotYetWritten();

  for (std::string_view name : named) {
    const bool registered = static_cast<bool>(MainProcedure(name));
    const bool listed = Contains(not_written, name);
    EXPECT_TRUE(registered || listed)
        << name << " is neither registered nor listed as not written yet";
    EXPECT_FALSE(registered && listed)
        << name << " is registered: take it off the list of windows not written yet";
  }
  // A name on the list that Main does not use is a misspelling of one it does.
  for (std::string_view name : not_written) {
    EXPECT_TRUE(Contains(named, name))
        << name << " is listed as not written yet but Main never names it";
  }

  for (std::string_view name : named) {
    if (!Contains(registered_before, name)) RegisterMainProcedure(name, {});
  }
}

TEST(MainMenus, PressedRowsExistBeforeTheRowsThatPressThemAndTrayNamesAreUnique) {
  std::set<std::string_view> bar_names;  // menu items and toolbar buttons
  std::set<std::string_view> tray_names;
  std::vector<std::string> faults;
  const auto fault = [&](const MainCommand& row, const std::string& what) {
    faults.push_back(std::string(row.menu) + " " + std::string(row.text) + ": " + what);
  };
  for (const MainCommand& row : MainCommands()) {
    const bool presses = row.action == MainAction::Press || row.action == MainAction::RestorePress;
    // A pressed row must be built first, so that the presser is greyed with it.
    if (presses && !bar_names.contains(row.target))
      fault(row, "presses " + std::string(row.target) + ", no earlier row");
    const bool starts = row.action == MainAction::Start || row.action == MainAction::Call ||
                        row.action == MainAction::StartTask;
    if (starts && row.target.empty()) fault(row, "starts no procedure");
    if (row.text.empty()) fault(row, "has no text");
    switch (row.place) {
      case MainPlace::Tray:
        if (row.name.empty() || !tray_names.insert(row.name).second)
          fault(row, "tray item without a name of its own");
        break;
      case MainPlace::Menu:
        if (row.menu.empty()) fault(row, "menu item outside a menu");
        [[fallthrough]];
      case MainPlace::Toolbar:
        if (!row.name.empty() && !bar_names.insert(row.name).second) fault(row, "name used twice");
        break;
    }
  }
  EXPECT_TRUE(tray_names.contains("Exit") && tray_names.contains("Restore"));
  for (const std::string& f : faults) ADD_FAILURE() << f;
}

}  // namespace
}  // namespace vx
