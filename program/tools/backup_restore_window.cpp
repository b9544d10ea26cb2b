#include "program/tools/backup_restore_window.h"

#include <filesystem>

#include "framework/window_manager.h"
#include "program/tools/data_backup.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace fs = std::filesystem;

namespace vx {
namespace {

constexpr std::string_view kCaption = "Backup/Restore";

// The earlier backups as the list shows them.
class BackupList final : public ListSource {
 public:
  std::vector<EarlierBackup> rows;
  std::size_t Records() const override { return rows.size(); }
  std::vector<std::string> Fields(std::size_t row) const override {
    const EarlierBackup& b = rows[row];
    std::string files;
    for (const std::string& f : b.files) files += (files.empty() ? "" : ", ") + f;
    return {b.name, files, ByteSize(b.bytes)};
  }
};

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  return text;
}

std::string Describe(const BackupOutcome& outcome) {
  if (!outcome.error.empty()) return outcome.error;
  std::string text;
  if (!outcome.copied.empty())
    text = Joined(outcome.copied) + " backed up to " + outcome.folder.string() + ".";
  if (!outcome.failed.empty()) {
    text += (text.empty() ? "" : "  ") + std::string("Could not back up ") +
            Joined(outcome.failed) + ".";
  }
  return text;
}

}  // namespace

bool BackupRestore(const std::vector<std::string>& names) {
  const fs::path data = fs::current_path();
  std::string result =
      names.empty() ? "Nothing was named to back up." : "Backing up " + Joined(names) + "...";
  std::string status;
  BackupList backups;
  bool whole = names.empty();

  Window window(kCaption);
  window.String(result, "@s200");
  window.Prompt("&Earlier backups:");
  Control& list =
      window.List("70L(2)|M~Backup~@s20@140L(2)|M~Files~@s60@50R(2)|M~Size~@s12@").From(&backups);
  Control& bar = window.Progress(0, 100);
  bar.Hide();  // shown while files are copied
  window.String(status, "@s120");
  Control& restore = window.Button("&Restore");
  const int close = window.Button("&Close").Default();
  window.SetCancelButton(close);

  const auto show_backups = [&] {
    backups.rows = EarlierBackups(data);
    list.Display();
    if (!backups.rows.empty()) list.Choose(1);
    restore.Enable(!backups.rows.empty());
  };
  const auto progress = [&](std::uintmax_t done, std::uintmax_t total) {
    bar.Value(std::to_string(total == 0 ? 100 : done * 100 / total));
    bar.Unhide();
  };

  WindowManager manager(window);
  const WindowProcedureScope scope("BackupRestore", manager);
  manager.CancelControl = close;
  manager.On(EVENT_OpenWindow, [&] {
    if (!names.empty()) {
      window.Display();
      const BackupOutcome outcome = BackUpDataFiles(data, names, progress);
      whole = outcome.ok();
      result = Describe(outcome);
    }
    bar.Hide();
    window.Display();
    show_backups();
  });
  manager.OnAccepted(restore, [&] {
    const long row = list.Choice();
    if (row < 1 || row > static_cast<long>(backups.rows.size())) return;
    const EarlierBackup chosen = backups.rows[static_cast<std::size_t>(row - 1)];
    if (MESSAGE("Restoring puts " + Joined(chosen.files) + " of the backup " + chosen.name +
                    " in place of the data files in use; those are backed up first.\n\n"
                    "VX must be closed before a backup is restored.  Restore now?",
                std::string(kCaption), MessageIcon::Question, BUTTON_YES | BUTTON_NO,
                BUTTON_NO) != BUTTON_YES) {
      return;
    }
    if (const std::vector<FolderUser> users = FolderUsers(data); !users.empty()) {
      MESSAGE("VX must be closed before a backup is restored: " + users.front().program +
                  " (process " + std::to_string(users.front().pid) +
                  ") has the data folder open.  Close it and try again.",
              std::string(kCaption), MessageIcon::Exclamation);
      return;
    }
    status = "Restoring " + chosen.name + "...";
    window.Display();
    const RestoreOutcome outcome = RestoreBackup(data, chosen, progress);
    status.clear();
    bar.Hide();
    window.Display();
    if (outcome.ok()) {
      const std::string kept =
          outcome.safety.empty()
              ? ""
              : "  The files it replaced were backed up to " + outcome.safety.string() + ".";
      MESSAGE("The backup " + chosen.name + " was restored." + kept, std::string(kCaption),
              MessageIcon::Information);
    } else {
      MESSAGE("The backup " + chosen.name + " was not restored: " + outcome.error,
              std::string(kCaption), MessageIcon::Exclamation);
    }
    show_backups();
  });
  manager.Run();
  return whole;
}

}  // namespace vx
