#include "datadll/dictionary/vx_files.h"

#include <memory>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/file_registration.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/record_clear.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/upgrade_error.h"
#include "framework/error_class.h"
#include "framework/file_error_sink.h"
#include "runtime/ini_file.h"

namespace vx {
namespace {

bool gLoaded = false;
std::unique_ptr<ErrorClass> gOwnErrors;
std::unique_ptr<IniFile> gOwnIni;
ErrorClass* gErrorsInUse = nullptr;
IniFile* gIniInUse = nullptr;

// The file managers report through whichever error object is in use when a problem arises, so
// that once the program has handed over its error object, file errors reach the user through
// it rather than through the library's own.
class ErrorsInUseSink final : public FileErrorSink {
 public:
  int TakeFileProblem(const FileProblem& problem) override {
    ErrorClass* errors = ErrorsInUse();
    if (!errors) return 0;
    if (problem.message == FileMessage::StructureDiffers) {
      StopForUpgrade(*errors, problem.error_text);
      return 0;
    }
    if (problem.message == FileMessage::ConfirmDelete) {
      return errors->Show({problem.caption, problem.text, MessageIcon::Question,
                           BUTTON_YES | BUTTON_NO, BUTTON_YES}) == BUTTON_YES;
    }
    errors->Show({problem.caption, problem.text, MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK});
    return 0;
  }
};

ErrorsInUseSink gFileErrors;

}  // namespace

void VX_Files_Load() {
  if (gLoaded) return;
  ClearTextGlobals();
  for (const storage::TableDef* table : DictionaryTables()) ClearRecord(*table);
  GLOBALREQUEST = 0;
  GLOBALRESPONSE = 0;
  VCRREQUEST = 0;

  gOwnErrors = std::make_unique<ErrorClass>();
  gOwnErrors->Init();
  gOwnIni = std::make_unique<IniFile>("VX_Files.INI");
  gErrorsInUse = gOwnErrors.get();
  gIniInUse = gOwnIni.get();

  InitTableManagers(&gFileErrors);
  RegisterTablesWithFileConversion();
  gLoaded = true;
}

void VX_Files_Unload() {
  if (!gLoaded) return;
  gLoaded = false;
  KillTableManagers();
  gOwnErrors->Kill();
  gErrorsInUse = nullptr;
  gIniInUse = nullptr;
  gOwnErrors.reset();
  gOwnIni.reset();
  FreeGlobalQueues();
}

bool VX_Files_Loaded() { return gLoaded; }

void VX_FILES_INIT(ErrorClass* errors, IniFile* ini) {
  if (errors) gErrorsInUse = errors;
  if (ini) gIniInUse = ini;
}

void VX_FILES_KILL() {}

ErrorClass* ErrorsInUse() { return gErrorsInUse; }
IniFile* IniInUse() { return gIniInUse; }

}  // namespace vx
