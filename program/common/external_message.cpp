#include "program/common/external_message.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_link.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/common/command_line.h"
#include "program/common/open_file_checked.h"
#include "program/common/task_road_services.h"
#include "runtime/storage/file.h"

namespace vx {

int AddMessageLinkRecord(std::string_view title, std::string_view message,
                         std::string_view alarm_file, std::int32_t& id) {
  storage::File& link = ACCESS_MSGLINK->file();
  const bool was_open = link.IsOpen();
  if (const int opened = OpenFileChecked(link, true, false, storage::kReadWriteDenyNone, false);
      opened != 0) {
    return opened;
  }
  const int added = AddMessageLink(title, message, alarm_file, id);
  if (!was_open) link.Close();
  return added;
}

bool StartMessageProgram(std::string_view title, std::string_view message,
                         std::string_view alarm_file) {
  TaskRoadServices& services = CurrentTaskRoadServices();
  std::int32_t id = 0;
  if (!services.add_message_link || services.add_message_link(title, message, alarm_file, id) != 0)
    return false;
  platform::ProcessRequest start;
  start.argv = CommandArgv({"VXMsg.EXE", "ID=" + std::to_string(id)}, services.helper_folder);
  const platform::StartResult started = services.processes->Start(start);
  if (!started) return false;
  services.processes->Release(started.handle);
  return true;
}

void FillMessageLink() {
  ML.Title = GLO_DESCRIPTION.clipped();
  ML.Message = GLO_MESSAGE.clipped();
  ML.AlarmFile = GLO_ALARMFILE.clipped();
}

}  // namespace vx
