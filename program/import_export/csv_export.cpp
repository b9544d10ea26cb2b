#include "program/import_export/csv_export.h"

#include <algorithm>

#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/import_export/csv_file.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/text_rows.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

void AddRecordFields(const storage::TableDef& def,
                     const std::vector<const storage::FieldDef*>& bound,
                     const std::vector<CsvExportEntry>& fields) {
  std::string text;
  std::int64_t number = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!bound[i]) {
      CsvAddField("", false, fields[i].picture);
    } else if (CsvFieldValue(def, *bound[i], text, number)) {
      CsvAddNumberField(number, fields[i].picture);
    } else {
      CsvAddField(text, false, fields[i].picture);
    }
  }
}

}  // namespace

std::vector<CsvExportEntry> OfferedExportFields(const CsvTable& table) {
  std::vector<CsvExportEntry> out;
  for (const CsvTableField& field : table.fields) out.push_back({field.name, field.picture});
  return out;
}

CsvExportOutcome RunCsvExport(const CsvTable& table, const std::vector<CsvExportEntry>& fields,
                              bool header, const std::string& file) {
  FileManager& access = *table.access();
  const storage::TableDef& def = access.def();
  std::vector<const storage::FieldDef*> bound;
  for (const CsvExportEntry& entry : fields) bound.push_back(CsvFieldDef(def, entry.name));
  if (!CsvCreateExportFile(file)) return CsvExportOutcome::NotCreated;
  const std::string target = CsvExportFileName();
  auto fail = [&](CsvExportOutcome outcome, std::string_view why) {
    CsvCloseExportFile(false);
    MESSAGE(std::string(why) + "\n\n" + target + " was not changed.", "Export",
            MessageIcon::Exclamation);
    return outcome;
  };
  if (header) {
    CsvBeginLine();
    for (const CsvExportEntry& entry : fields) CsvAddField(entry.name, true, "@s50");
    if (!CsvWriteLine()) return fail(CsvExportOutcome::Failed, "The export was abandoned.");
  }
  if (access.Open() != 0) return fail(CsvExportOutcome::Failed, "The table could not be opened.");
  const std::size_t records =
      static_cast<std::size_t>(std::max<std::int64_t>(0, access.file().Records()));
  ProcessWindow progress(table.label == std::string("Todo") ? "ExportToDo" : "Export",
                         "Exporting Records");
  progress.Caption("Exporting " + std::string(table.label) + " to " + target);
  progress.Cancellable();
  progress.Open(records);
  CsvExportOutcome outcome = CsvExportOutcome::Written;
  std::string why;
  int code = access.Set(*table.order());
  while (code == 0 && (code = access.Next()) == 0) {
    CsvBeginLine();
    AddRecordFields(def, bound, fields);
    if (!CsvWriteLine()) {
      outcome = CsvExportOutcome::Failed;
      why = "The export was abandoned.";
      break;
    }
    if (!progress.Advance()) {
      outcome = CsvExportOutcome::Cancelled;
      why = "The export was cancelled.";
      break;
    }
  }
  if (outcome == CsvExportOutcome::Written && code != 33) {
    outcome = CsvExportOutcome::Failed;
    why = "The records could not be read (error " + std::to_string(code) + ").";
  }
  progress.Close();
  access.Close();
  if (outcome != CsvExportOutcome::Written) return fail(outcome, why);
  if (!CsvCloseExportFile(true)) return CsvExportOutcome::Failed;
  return outcome;
}

namespace {

// "Choose Fields for Export...": every offered field in "All Fields", the chosen ones with
// their pictures in "Export Fields" (all of them at first), the header line asked for.
class ExportChooser final : public WindowManager {
 public:
  ExportChooser(Window& window, const CsvTable& table, const char* procedure)
      : WindowManager(window), table_(table), scope_(procedure, *this) {
    all_ = OfferedExportFields(table);
    chosen_ = all_;
    Build();
  }

  Level TakeAccepted() override {
    const int control = FIELD();
    if (control == add_ || control == all_list_) {
      Add();
    } else if (control == remove_) {
      const long row = window()[export_list_].Choice();
      if (row >= 1 && row <= static_cast<long>(chosen_.size())) {
        chosen_.erase(chosen_.begin() + (row - 1));
        Show(std::min<long>(row, static_cast<long>(chosen_.size())));
      }
    } else if (control == up_ || control == down_) {
      Shift(control == up_ ? -1 : 1);
    } else if (control == picture_) {
      Picture();
    } else if (control == ok_) {
      if (chosen_.empty()) {
        MESSAGE("You must select one or more fields to export.", "No Fields Selected for Export!",
                MessageIcon::Exclamation);
        window().Select(all_list_);
        return Level_Benign;
      }
      window().Update();
      RunCsvExport(table_, chosen_, header_ != 0);
      Response = RequestCompleted;
      PostClose();
      return Level_Benign;
    } else if (control == cancel_) {
      Response = RequestCancelled;
      PostClose();
      return Level_Benign;
    }
    return WindowManager::TakeAccepted();
  }
  Level TakeNewSelection() override {
    if (FIELD() == export_list_) ShowKind();
    return WindowManager::TakeNewSelection();
  }

 private:
  // The offered fields and the chosen ones side by side, each list with the buttons that work
  // on it below (panels lay out in form rows, where only the lists take spare height); the
  // header choice and OK below both.
  void Build() {
    Window& w = window();
    Control& panes = w.Beside();
    Control& left = panes.Panel();
    all_list_ = left.List("120L(1)~All Fields~@s50@").From(&all_rows_);
    add_ = left.Button("&Add ->");
    Control& right = panes.Panel();
    export_list_ = right.List("120L(1)~Export Fields~@s50@").From(&export_rows_);
    Control& moving = right.Row();
    remove_ = moving.Button("&Remove");
    up_ = moving.Button("Shift &Up");
    down_ = moving.Button("Shift &Down");
    picture_ = moving.Button("&Picture");
    right.Prompt("Field's picture:");
    kind_control_ = right.String(kind_, "@s40");
    w.Check("Include &header record with field names", header_);
    ok_ = w.Button("&OK");
    cancel_ = w.Button("&Cancel");
    w.SetCancelButton(cancel_);
    for (const CsvExportEntry& entry : all_) all_rows_.rows.push_back({entry.name});
    Show(1);
  }
  void Show(long row) {
    export_rows_.rows.clear();
    for (const CsvExportEntry& entry : chosen_) export_rows_.rows.push_back({entry.name});
    window()[export_list_].Display();
    if (row >= 1) window()[export_list_].Choose(row);
    ShowKind();
  }
  void ShowKind() {
    const long row = window()[export_list_].Choice();
    kind_ = row >= 1 && row <= static_cast<long>(chosen_.size())
                ? PictureKind(chosen_[static_cast<std::size_t>(row) - 1].picture)
                : std::string();
    window()[kind_control_].Display();
  }
  // The highlighted field of "All Fields" goes to the end of "Export Fields", or is highlighted
  // there when it is there already.
  void Add() {
    const long row = window()[all_list_].Choice();
    if (row < 1 || row > static_cast<long>(all_.size())) return;
    const CsvExportEntry& entry = all_[static_cast<std::size_t>(row) - 1];
    const auto at = std::find_if(chosen_.begin(), chosen_.end(),
                                 [&](const CsvExportEntry& e) { return e.name == entry.name; });
    if (at == chosen_.end()) chosen_.push_back(entry);
    const auto found = std::find_if(chosen_.begin(), chosen_.end(),
                                    [&](const CsvExportEntry& e) { return e.name == entry.name; });
    Show(static_cast<long>(found - chosen_.begin()) + 1);
  }
  void Shift(int by) {
    const long row = window()[export_list_].Choice();
    const long to = row + by;
    if (row < 1 || to < 1 || to > static_cast<long>(chosen_.size())) return;
    std::swap(chosen_[static_cast<std::size_t>(row) - 1],
              chosen_[static_cast<std::size_t>(to) - 1]);
    Show(to);
  }
  void Picture() {
    const long row = window()[export_list_].Choice();
    if (chosen_.empty()) {
      window().Select(all_list_);
      return;
    }
    if (row < 1 || row > static_cast<long>(chosen_.size())) {
      Show(1);
      return;
    }
    CsvExportEntry& entry = chosen_[static_cast<std::size_t>(row) - 1];
    if (std::string edited = EnterPicture(entry.picture); !edited.empty()) entry.picture = edited;
    ShowKind();
  }

  const CsvTable& table_;
  WindowProcedureScope scope_;
  std::vector<CsvExportEntry> all_, chosen_;
  TextRows all_rows_, export_rows_;
  std::string kind_;
  std::uint8_t header_ = 1;
  int all_list_ = 0, export_list_ = 0, add_ = 0, remove_ = 0, up_ = 0, down_ = 0, picture_ = 0;
  int kind_control_ = 0, ok_ = 0, cancel_ = 0;
};

void RunExportChooser(const CsvTable& table, const char* procedure) {
  Window window("Choose Fields for Export...");
  ExportChooser chooser(window, table, procedure);
  SetCurrentResponse(RequestCancelled);
  chooser.Run();
  SetCurrentResponse(chooser.Response == RequestCompleted ? RequestCompleted : RequestCancelled);
}

}  // namespace

void ExportSchedule() { RunExportChooser(ScheduleCsvTable(), "ExportSchedule"); }
void ExportContacts() { RunExportChooser(ContactCsvTable(), "ExportContacts"); }
void ExportToDo() { RunExportChooser(ToDoCsvTable(), "ExportToDo"); }

}  // namespace vx
