// vx-msg: shows a task message that the scheduler handed over in a MSGLINK record.
//
//   vx-msg ID=<n>
//
// Run in the data folder (the scheduler starts it there). Reads the MSGLINK record with that id
// and shows it in the program's own message window (title, text, Snooze, To Do, Close) until
// that window is closed; the record is left as it is. The window repeats the alarm and snoozes
// by the scheduler's settings, read from the same store. Without a display it runs headless.
// Exit status: 0 shown, 1 bad command line, 2 no such message (or the table cannot be read).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "frontend/qt/run_with_qt.h"
#include "program/admin/load_settings.h"
#include "program/due_tasks/show_task_message.h"
#include "program/shell/install_program_services.h"
#include "runtime/storage/file.h"

namespace {

// The id of "ID=<digits>" (the key in any case); -1 when no argument gives one.
long MessageId(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.size() < 4 || (arg[0] != 'I' && arg[0] != 'i') || (arg[1] != 'D' && arg[1] != 'd') ||
        arg[2] != '=') {
      continue;
    }
    const std::string digits(arg.substr(3));
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) return -1;
    return std::strtol(digits.c_str(), nullptr, 10);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const long id = MessageId(argc, argv);
  if (id < 0) {
    std::fprintf(stderr, "usage: vx-msg ID=<message number>\n");
    return 1;
  }
  int status = 2;
  const int run = vx::qt::RunWithQt(argc, argv, [id, &status] {
    vx::VX_Files_Load();
    vx::storage::File& file = vx::storage::File::For(vx::MSGLINK_TABLE());
    bool found = false;
    if (file.Open(vx::storage::kReadWriteDenyNone) == 0) {
      vx::ML = vx::MSGLINK_RECORD{};
      vx::ML.ID = static_cast<std::int32_t>(id);
      found = file.Get(vx::ML_K_ID) == 0;
      file.Close();
    }
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool headless = (!x || !*x) && (!wayland || !*wayland);
    if (found) {
      vx::ININAME = vx::kProgramIniName;
      vx::LoadMessageWindowSettings();
      static const vx::InstalledProgramServices
          services;  // Snooze adds its task as the program does
      // Without a display there is no one to close the window: the message counts as shown.
      // The scheduler sounded the first alarm before handing the message over; the window
      // repeats it by the settings.
      if (!headless)
        vx::ShowMessageWindow({vx::ML.Title.str(), vx::ML.Message.str(), vx::ML.AlarmFile.str()},
                              false);
      status = 0;
    } else {
      std::fprintf(stderr, "vx-msg: no message %ld\n", id);
    }
    vx::VX_Files_Unload();
  });
  return status != 0 ? status : run;
}
