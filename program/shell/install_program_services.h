// Connects the program's shared routines to the parts that reach them through a seam: the
// schedule services, the road's and the script engine's log lines (to the event log), the
// scripts' date format and their e-mail.
#pragma once

#include "program/common/program_services.h"

namespace vx {

// The program's own services; the members it leaves empty are the desktop's own.
ProgramServices ProgramsOwnServices();

// Installs the schedule services and the program's own services; the program holds one from
// start-up, before the first task or script runs, to its end.
class InstalledProgramServices {
 public:
  InstalledProgramServices();

 private:
  ScopedProgramServices services_;
};

}  // namespace vx
