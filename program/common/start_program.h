// Starting a program the way a task does: a task's program, document or link, or a script's
// "Start Program" step, with what the event log needs of it kept. Queuing the task's script
// after the start is the due-task engine's (run_task_program.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace vx {

struct TaskProgramRequest {
  std::int32_t task_id = 0;                       // RunTaskProgram queues its script; 0: none
  platform::ProcessHandle* handle_out = nullptr;  // receives the started program (caller releases)
  std::int32_t show_mode = 0;    // 0 hidden, 1 normal, 2 minimised, 3 maximised, 7, 8
  bool force_normal = true;      // show normally whatever show_mode says
  bool ignore_verb = true;       // open, whatever verb says
  bool default_priority = true;  // normal priority, whatever priority says
  std::int32_t priority = 0;     // 1 idle, 2 normal, 3 high
  std::string command;           // program, document, link or command line; "N/A" starts nothing
  std::string folder;            // start folder of the program; blank keeps the current one
  std::string verb;              // the opener's verb, lower-cased and cut to four letters
  std::vector<std::string> environment;  // "NAME=value" for a started program, besides ours
};

// What the due-task road asks for: the task's command in its folder, shown normally.
TaskProgramRequest DueTaskProgram(std::int32_t task_id, std::string command, std::string folder);

// Starts the command; true when it started (or was "N/A"). The command is read as successive
// splits (the whole command first, then at its first blank or closing quote, then at each blank
// from the end), each started without a shell; documents and links go to the desktop's opener;
// helper names ("VXMsg.EXE" ...) start our helpers. The start folder is the child's own. A
// command that cannot be started shows "Could not start <command>." with the start folder (the
// current one when none is given) and the reason. While exit codes are logged, a started
// program is kept in ExitCodeQueue, under a handle of its own when handle_out receives one too.
// A "VXCHAIN" command starts and asks the program to close.
// The script-loading flag (ADDINGSCRIPTING) is held for the whole call, so that no other thread
// starts a program or loads a script meanwhile; after_start, when given, runs while it is still
// held, once the command has started (or was "N/A"), and not for a "VXCHAIN" command.
bool StartTaskProgram(const TaskProgramRequest& request,
                      const std::function<void()>& after_start = {});

}  // namespace vx
