// The program's entry point into the Qt front end: the runtime on a thread of its own, the Qt
// event loop on the calling (main) thread, and a headless run when there is no display.
#pragma once

#include <functional>
#include <string>

namespace vx::qt {

// Called for each message box a headless run answers by itself (with its default button), so
// the program can write it to its event log.
using HeadlessNote = std::function<void(const std::string& caption, const std::string& text)>;

// The exit code of a program whose display went away under it (the X server died, a remote
// display disconnected): it closed down as at the end of the session. EX_TEMPFAIL: starting it
// again once the display is back is the cure.
inline constexpr int kExitDisplayLost = 75;

// Runs `main_procedure` as the program's Main (runtime thread 1) and answers its exit code:
// 0 when it returned, 1 when it threw (the reason goes to stderr). Call it on the process's
// main thread. With a display, windows, tray icons, dialogs and the clipboard are Qt's, and
// the event loop ends when the program does; a session manager's request to end the session is
// passed on (platform::SessionQueryEnd / SessionEnd). When the display goes away, the program is
// closed down the same way, headless, and the process ends with kExitDisplayLost. Without a display
// the program runs without windows, saying so on stderr: message boxes take their default button
// (each is told to `headless_note` and written to stderr), popups and dialogs choose nothing.
int RunWithQt(int argc, char** argv, std::function<void()> main_procedure,
              HeadlessNote headless_note = {});

}  // namespace vx::qt
