#include "datadll/dictionary/globals.h"

namespace vx {

std::string GLO_SCHEDULEWORKFILENAME = "vxWrkFil";
std::string GLO_SYNCSCHEDULEFILENAME = "SyncSch.TPS";
std::string GLO_SYNCSCRIPTINGFILENAME = "SyncScr.TPS";
std::string GLO_SYNCTODOFILENAME = "SyncTodo.TPS";
std::string GLO_EXPORTNAME = "Export.txt";

}  // namespace vx
