#include "program/shell/due_task_table.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/message_link.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"

namespace vx {

int DueTaskTableFiles::StartDateEnabledWalk() { return ACCESS_SCHEDULE->Set(SCH_KEYDATEENABLED); }

int DueTaskTableFiles::Next() { return ACCESS_SCHEDULE->Next(); }

int DueTaskTableFiles::TryUpdate() { return ACCESS_SCHEDULE->TryUpdate(); }

int DueTaskTableFiles::Update() { return ACCESS_SCHEDULE->Update(); }

int DueTaskTableFiles::DeleteTask() { return RELATE_SCHEDULE->Delete(false); }

int DueTaskTableFiles::AddMessageLink(std::string_view title, std::string_view message,
                                      std::string_view alarm_file, std::int32_t& id) {
  if (const int opened = ACCESS_MSGLINK->Open(); opened != 0) return opened;
  const int added = vx::AddMessageLink(title, message, alarm_file, id);
  ACCESS_MSGLINK->Close();
  return added;
}

}  // namespace vx
