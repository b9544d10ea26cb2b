#include "program/shell/frame_files.h"

#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"

namespace vx {

void OpenFrameFiles() {
  RELATE_CATEGORIES->Open();
  RELATE_CLIPBOARD->Open();
  RELATE_CONFIGURATION->Open();
  RELATE_HOLIDAYS->Open();
  for (FileManager* file :
       {ACCESS_SCHEDULE, ACCESS_MESSAGES, ACCESS_SCRIPTING, ACCESS_SYSHOTKEYS, ACCESS_VXUSD}) {
    file->UseFile();
  }
}

void CloseFrameFiles() {
  RELATE_CATEGORIES->Close();
  RELATE_CLIPBOARD->Close();
  RELATE_CONFIGURATION->Close();
  RELATE_HOLIDAYS->Close();
}

}  // namespace vx
