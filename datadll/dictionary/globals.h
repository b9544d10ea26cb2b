// Globals the data library shares with the program: settings, file names, report criteria,
// request codes. All are shared by every thread except the three request codes, which are per
// thread so that a form and its caller on one thread never see another thread's request.
#pragma once

#include <string>

namespace vx {

// Stored names of the tables whose file name a caller may change before opening them.
extern std::string GLO_SCHEDULEWORKFILENAME;
extern std::string GLO_SYNCSCHEDULEFILENAME;
extern std::string GLO_SYNCSCRIPTINGFILENAME;
extern std::string GLO_SYNCTODOFILENAME;
extern std::string GLO_EXPORTNAME;

}  // namespace vx
