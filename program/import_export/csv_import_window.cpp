// "Assign fields for Import...": the import file's columns beside the table's fields, the
// assignment of one to the other, and the import run with its closing message.
#include <algorithm>

#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/due_tasks/due_task.h"
#include "program/import_export/csv_file.h"
#include "program/import_export/csv_import.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/text_rows.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr const char* kColumnFormat =
    "45L(1)|M~Import Field~@s50@60L(1)|M~Picture~@s30@140L(1)~Value~@s255@";
constexpr const char* kTargetFormat =
    "80L(1)|M~Target Field~@s50@12C|~=~@s1@60L(1)~Import Field~@s50@";

// A value as one line of a list: line breaks inside it show as blanks.
std::string OnOneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

class ImportChooser final : public WindowManager {
 public:
  ImportChooser(Window& window, const CsvTable& table, const char* procedure,
                std::vector<CsvImportColumn> columns)
      : WindowManager(window),
        table_(table),
        scope_(procedure, *this),
        columns_(std::move(columns)) {
    assignment_.assign(table.fields.size(), 0);
    Build();
  }

  Level Init() override {
    const Level level = WindowManager::Init();
    if (level != Level_Benign) return level;
    Auto();
    return Level_Benign;
  }

  Level TakeAccepted() override {
    const int control = FIELD();
    if (control == next_) {
      Next();
    } else if (control == picture_) {
      Picture();
    } else if (control == assign_ || control == targets_list_) {
      Assign();
    } else if (control == auto_) {
      Auto();
    } else if (control == unassign_) {
      if (const long t = window()[targets_list_].Choice(); t >= 1 && t <= Targets()) {
        assignment_[static_cast<std::size_t>(t) - 1] = 0;
        ShowTargets(t);
      }
    } else if (control == ok_) {
      if (std::all_of(assignment_.begin(), assignment_.end(), [](int c) { return c == 0; })) {
        MESSAGE("You must select one or more fields to import.", "No Fields Selected for Import!",
                MessageIcon::Exclamation);
        window().Select(columns_list_);
        return Level_Benign;
      }
      window().Update();
      Import();
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
    // Choosing a column shows the field it fills; choosing a filled field shows its column.
    const int control = FIELD();
    if (control == columns_list_) {
      const long c = window()[columns_list_].Choice();
      const auto at = std::find(assignment_.begin(), assignment_.end(), static_cast<int>(c));
      if (at != assignment_.end()) window()[targets_list_].Choose(at - assignment_.begin() + 1);
    } else if (control == targets_list_) {
      const long t = window()[targets_list_].Choice();
      if (t >= 1 && t <= Targets() && assignment_[static_cast<std::size_t>(t) - 1] != 0)
        window()[columns_list_].Choose(assignment_[static_cast<std::size_t>(t) - 1]);
    }
    return WindowManager::TakeNewSelection();
  }

 private:
  long Targets() const { return static_cast<long>(assignment_.size()); }

  // The file's columns and the table's fields side by side, each list with the buttons that
  // work on it below; the header choice and OK below both.
  void Build() {
    Window& w = window();
    Control& panes = w.Beside();
    // Panels lay out in form rows, where only the lists take spare height.
    Control& left = panes.Panel();
    left.String("Columns of the file:");
    columns_list_ = left.List(kColumnFormat).From(&column_rows_);
    Control& record = left.Row();
    next_ = record.Button("&Next");
    record.Prompt("Rec#");
    record_control_ = record.String(record_text_, "@s12");
    picture_ = record.Button("&Picture");
    Control& right = panes.Panel();
    right.String("Fields of the table:");
    targets_list_ = right.List(kTargetFormat).From(&target_rows_);
    Control& assigning = right.Row();
    assign_ = assigning.Button("&Assign");
    auto_ = assigning.Button("A&uto");
    unassign_ = assigning.Button("&Unassign");
    w.Check("Strip &header record (field names)", strip_header_);
    ok_ = w.Button("&OK");
    cancel_ = w.Button("&Cancel");
    w.SetCancelButton(cancel_);
    ShowColumns(1);
    ShowTargets(1);
  }

  void ShowColumns(long row) {
    column_rows_.rows.clear();
    for (const CsvImportColumn& c : columns_)
      column_rows_.rows.push_back({c.name, PictureKind(c.picture), OnOneLine(c.value)});
    window()[columns_list_].Display();
    if (row >= 1) window()[columns_list_].Choose(row);
    record_text_ = std::to_string(record_);
    window()[record_control_].Display();
  }

  void ShowTargets(long row) {
    target_rows_.rows.clear();
    for (std::size_t t = 0; t < table_.fields.size(); ++t) {
      const int c = assignment_[t];
      target_rows_.rows.push_back(
          {table_.fields[t].name, c ? "=" : "",
           c ? columns_[static_cast<std::size_t>(c) - 1].name : std::string()});
    }
    window()[targets_list_].Display();
    if (row >= 1) window()[targets_list_].Choose(row);
  }

  // The next line's values; a column past the line's end keeps the value it showed.
  void Next() {
    window()[auto_].Disable();
    if (CsvReadLine() == 0) {
      window()[next_].Disable();
      return;
    }
    ++record_;
    for (CsvImportColumn& column : columns_) {
      if (CsvNextField() == 0) break;
      column.value = CsvFieldText();
    }
    ShowColumns(window()[columns_list_].Choice());
  }

  void Picture() {
    const long c = window()[columns_list_].Choice();
    if (c < 1 || c > static_cast<long>(columns_.size())) return;
    CsvImportColumn& column = columns_[static_cast<std::size_t>(c) - 1];
    if (std::string edited = EnterPicture(column.picture); !edited.empty()) column.picture = edited;
    ShowColumns(c);
  }

  void Assign() {
    const long t = window()[targets_list_].Choice();
    const long c = window()[columns_list_].Choice();
    if (t < 1 || t > Targets() || c < 1 || c > static_cast<long>(columns_.size())) return;
    assignment_[static_cast<std::size_t>(t) - 1] = static_cast<int>(c);
    ShowTargets(t);
  }

  // Matches the line on show as a header line of field names; a file whose line matched
  // nothing has no header line to strip.
  void Auto() {
    if (AutoAssign(table_, columns_, assignment_) > 0) strip_header_ = 1;
    ShowColumns(window()[columns_list_].Choice());
    ShowTargets(window()[targets_list_].Choice());
    window().Display();
  }

  void Import() {
    const CsvImportResult result = RunCsvImport(table_, columns_, assignment_, strip_header_ != 0);
    if (&table_ == &ScheduleCsvTable() && result.added > 0) RefreshTaskLists();
    const char* caption =
        result.outcome == CsvImportResult::Outcome::Failed
            ? "Import Failed"
            : (result.outcome == CsvImportResult::Outcome::Cancelled ? "Import Cancelled"
                                                                     : "Import Completed");
    MESSAGE(ImportClosingText(table_, result), caption,
            result.outcome == CsvImportResult::Outcome::Completed && result.skipped.empty()
                ? MessageIcon::Information
                : MessageIcon::Exclamation);
  }

  const CsvTable& table_;
  WindowProcedureScope scope_;
  std::vector<CsvImportColumn> columns_;
  CsvAssignment assignment_;
  TextRows column_rows_, target_rows_;
  std::string record_text_;
  long record_ = 1;
  std::uint8_t strip_header_ = 0;
  int columns_list_ = 0, targets_list_ = 0, next_ = 0, record_control_ = 0, picture_ = 0;
  int assign_ = 0, auto_ = 0, unassign_ = 0, ok_ = 0, cancel_ = 0;
};

void RunImport(const CsvTable& table, const char* procedure) {
  SetCurrentResponse(RequestCancelled);
  if (CsvOpenImportFile() == 0) return;
  std::vector<CsvImportColumn> columns = ReadImportColumns();
  if (columns.empty()) {
    CsvCloseImportFile();
    return;
  }
  CsvReadLine();  // the line on show: "&Next" reads on from it
  Window window("Assign fields for Import...");
  ImportChooser chooser(window, table, procedure, std::move(columns));
  chooser.Run();
  CsvCloseImportFile();
  SetCurrentResponse(chooser.Response == RequestCompleted ? RequestCompleted : RequestCancelled);
}

}  // namespace

void ImportSchedule() { RunImport(ScheduleCsvTable(), "ImportSchedule"); }
void ImportContacts() { RunImport(ContactCsvTable(), "ImportContacts"); }
void ImportToDo() { RunImport(ToDoCsvTable(), "ImportToDo"); }

}  // namespace vx
