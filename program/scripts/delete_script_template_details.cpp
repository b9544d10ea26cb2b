#include <cstdint>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "program/scripts/template_windows.h"
#include "runtime/storage/file.h"

namespace vx {

bool DeleteScriptTemplateDetails() {
  const std::int32_t id = VXT.WIZ_ID;
  if (id == 0) return true;
  if (ACCESS_SCRIPTTEMPLATEDETAILS->Open() != 0) return false;
  storage::File& file = ACCESS_SCRIPTTEMPLATEDETAILS->file();
  // The positions first, so that the deletes do not disturb the walk.
  std::vector<std::int64_t> positions;
  VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
  VXD.WIZ_ID = id;
  VXD.Sequence = INT32_MIN;
  if (file.SetFromBuffer(VXD_K_WIZ_ID) == 0) {
    while (file.Next() == 0 && VXD.WIZ_ID == id) positions.push_back(file.Position());
  }
  ProcessWindow progress("DeleteScriptTemplateDetails", "Deleting Script");
  progress.Open(positions.size());
  bool deleted = true;
  for (const std::int64_t position : positions) {
    if (file.GetPosition(position) == 0 && ACCESS_SCRIPTTEMPLATEDETAILS->Delete() != 0) {
      deleted = false;  // reported through the error object; the rest stays
      break;
    }
    progress.Advance();
  }
  progress.Close();
  ACCESS_SCRIPTTEMPLATEDETAILS->Close();
  return deleted;
}

}  // namespace vx
