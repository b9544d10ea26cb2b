// Starting the built VX as scripts/run.sh starts it: in the data folder, which it names on the
// command line, without a desktop session bus (the virtual display run.sh starts has none).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "tests/desktop/x_windows.h"

namespace vx::test {

// Starts VX on `data` as run.sh does, its standard error kept in `errors`; answers its process
// id (0 when it could not start).
inline pid_t StartAsTheRunScriptDoes(const std::filesystem::path& data,
                                     const std::filesystem::path& errors) {
  return StartWithoutSessionBus(
      "/bin/sh", {"-c", "cd '" + data.string() + "' && exec '" + BuiltProgram().string() +
                            "' 'Data=" + data.string() + "' 2>'" + errors.string() + "'"});
}

// The tests' X display; nullptr when there is none. A virtual display that its last client has
// just left may be resetting for a moment: the connection is tried again meanwhile.
inline Display* OpenTestDisplay() {
  Display* display = nullptr;
  WaitUntil([&display] { return (display = XOpenDisplay(nullptr)) != nullptr; },
            std::chrono::seconds(3));
  return display;
}

}  // namespace vx::test
