#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/scripts/template_windows.h"
#include "program/windows/record_form.h"

namespace vx {

void UpdateScriptTemplates() {
  Window window("Update Script Template");
  window.Prompt("&Description:");
  window.Entry(VXT.Description, "@s60").Required();
  window.Prompt("&File Name:");
  window.Entry(VXT.DOSFilename, "@s255");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  RecordForm form(window, "UpdateScriptTemplates", *RELATE_SCRIPTTEMPLATES, "Script Template");
  form.OkControl = ok;
  form.CancelControl = cancel;
  form.Run();
}

}  // namespace vx
