#include "program/import_export/csv_import.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <limits>
#include <optional>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/error_class.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "program/import_export/csv_file.h"
#include "runtime/csv.h"
#include "runtime/dates.h"
#include "runtime/decimal.h"
#include "runtime/pictures.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

constexpr const char* kTextPicture = "@S1000";
constexpr const char* kNumberPicture = "@N30.9";
// How long one batch of lines works before its transaction is committed and the progress window
// and the other threads get their turn: as long as the progress window waits between two looks
// at its events, so that it looks after every batch.
constexpr auto kBatchTime = std::chrono::milliseconds(50);
// The skipped lines the closing message lists one by one.
constexpr std::size_t kSkippedListed = 20;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A value as a reason quotes it: on one line, long ones shortened.
std::string Quoted(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, 40)) out += (c == '\r' || c == '\n') ? ' ' : c;
  return "\"" + out + (text.size() > 40 ? "...\"" : "\"");
}

// A whole number written plainly ("12", "-3", "+4", "7.000"); nothing for any other text.
std::optional<std::int64_t> WholeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (const std::size_t point = text.find('.'); point != std::string_view::npos) {
    const std::string_view fraction = text.substr(point + 1);
    if (fraction.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
    text = text.substr(0, point);
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::pair<std::int64_t, std::int64_t> FieldRange(storage::FieldType type) {
  switch (type) {
    case storage::FieldType::Byte:
      return {0, std::numeric_limits<std::uint8_t>::max()};
    case storage::FieldType::Short:
      return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    case storage::FieldType::ULong:
      return {0, std::numeric_limits<std::uint32_t>::max()};
    default:
      return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  }
}

// Stores a column's text, read under its picture, into a field of the record; answers why it
// cannot ("" when stored).
std::string StoreValue(const CsvTableField& target, const storage::FieldDef& field, char* record,
                       const std::string& text, const std::string& picture) {
  const char type = PictureType(picture);
  const std::string_view value = Trimmed(text);
  const auto named = [&] { return std::string(target.name) + " " + Quoted(text); };
  std::optional<std::int64_t> number;
  if ((type == 'D' || type == 'T') && !value.empty()) {
    number = type == 'D' ? DeformatDate(value, picture) : DeformatTime(value, picture);
    // 0 answers both "no date" and "not a date": the text of no date under the picture (a
    // picture that is not blank when zero shows one) is the former.
    if (*number == 0 && std::string_view(CLIP(LEFT(FORMAT(0, picture)))) != value) {
      // Said with an example of what the column's picture reads, today or now under it.
      const std::string like = CLIP(LEFT(FORMAT(type == 'D' ? TODAY() : CLOCK(), picture)));
      return named() + " is not a " + (type == 'D' ? "date" : "time") + " like \"" + like + "\"";
    }
  }
  if (storage::IsText(field.type)) {
    storage::SetFieldText(field, record, number ? std::to_string(*number) : text);
    return {};
  }
  if (field.type == storage::FieldType::Decimal) {
    const std::string digits = number ? std::to_string(*number) : std::string(value);
    if (!digits.empty() && !Decimal::Parse(digits, field.places))
      return named() + " is not a number";
    storage::SetFieldText(field, record, digits);
    return {};
  }
  if (!number) number = value.empty() ? std::optional<std::int64_t>(0) : WholeNumber(value);
  if (!number) return named() + " is not a whole number";
  const auto [low, high] = FieldRange(field.type);
  if (*number < low || *number > high)
    return named() + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) +
           ")";
  storage::SetFieldInteger(field, record, *number);
  return {};
}

// The calling thread's clock has reached the task's next run, and the task is enabled.
bool TaskIsDue(const SCHEDULE_RECORD& task) {
  if (task.Disabled != 0 || task.Date == 0) return false;
  const std::int32_t today = TODAY();
  return task.Date < today || (task.Date == today && task.Time <= CLOCK());
}

class ImportRun {
 public:
  ImportRun(const CsvTable& table, const std::vector<CsvImportColumn>& columns,
            const CsvAssignment& assignment)
      : table_(table),
        access_(*table.access()),
        def_(access_.def()),
        columns_(columns),
        schedule_(&def_ == &ACCESS_SCHEDULE->def()) {
    // For each column, the targets it fills.
    targets_.resize(columns.size());
    for (std::size_t t = 0; t < assignment.size() && t < table.fields.size(); ++t) {
      const int column = assignment[t];
      const storage::FieldDef* field = CsvFieldDef(def_, table.fields[t].name);
      if (column >= 1 && column <= static_cast<int>(columns.size()) && field)
        targets_[static_cast<std::size_t>(column) - 1].push_back({&table.fields[t], field});
    }
  }

  CsvImportResult Run(bool strip_header) {
    CsvImportResult result;
    if (access_.Open() != 0) {
      result.outcome = CsvImportResult::Outcome::Failed;
      result.failure = "The " + std::string(table_.label) + " table could not be opened.";
      return result;
    }
    std::error_code ec;
    const auto size =
        std::max<std::uintmax_t>(1, std::filesystem::file_size(CsvImportFileName(), ec));
    ProcessWindow progress("Import", "Importing Records");
    progress.Caption("Importing into " + std::string(table_.label) + " from " +
                     CsvImportFileName());
    progress.Cancellable();
    progress.Open(static_cast<std::size_t>(size));
    CsvSetImportOrder();
    if (strip_header) CsvReadLine();
    bool more = CsvReadLine() > 0;
    batch_first_line_ = CsvLineNumber();
    while (more && result.outcome == CsvImportResult::Outcome::Completed) {
      if (storage::LOGOUT(access_.LockRecover) != 0) {
        Fail(result, CsvLineNumber(), ERRORCODE(), ERROR());
        break;
      }
      const auto batch_end = std::chrono::steady_clock::now() + kBatchTime;
      while (more && std::chrono::steady_clock::now() < batch_end) {
        if (!ImportLine(result)) break;
        more = CsvReadLine() > 0;
      }
      if (storage::COMMIT() != 0) {
        // Nothing of this batch is stored: count it out again.
        result.added = committed_;
        result.due = committed_due_;
        Fail(result, batch_first_line_, ERRORCODE(), ERROR());
        break;
      }
      committed_ = result.added;
      committed_due_ = result.due;
      batch_first_line_ = CsvLineNumber();
      if (!progress.AdvanceTo(static_cast<std::size_t>(CsvBytesRead())) &&
          result.outcome == CsvImportResult::Outcome::Completed && more) {
        result.outcome = CsvImportResult::Outcome::Cancelled;
        result.stopped_at = CsvLineNumber();
      }
    }
    progress.Close();
    access_.Close();
    return result;
  }

 private:
  struct Target {
    const CsvTableField* field;
    const storage::FieldDef* def;
  };

  void Fail(CsvImportResult& result, std::int64_t line, int code, const std::string& text) {
    result.outcome = CsvImportResult::Outcome::Failed;
    result.stopped_at = line;
    result.failure = "Error #" + std::to_string(code) + " - " + text;
  }

  // Reads the line into a fresh record, checks it and adds it; false when the run must end.
  bool ImportLine(CsvImportResult& result) {
    const std::int64_t line = CsvLineNumber();
    char* record = static_cast<char*>(def_.buffer());
    access_.PrimeRecord();
    // A new task's table default is the disabled placeholder a form reserves while it is open;
    // an imported task is enabled unless its line says otherwise.
    if (schedule_) SCH.Disabled = 0;
    std::string reason;
    for (std::size_t column = 0; column < columns_.size() && reason.empty(); ++column) {
      if (CsvNextField() == 0) break;
      for (const Target& target : targets_[column]) {
        reason = StoreValue(*target.field, *target.def, record, CsvFieldText(),
                            columns_[column].picture);
        if (!reason.empty()) break;
      }
    }
    if (schedule_ && SCH.AdvanceWarnDate == 0) SCH.AdvanceWarnTime = 0;
    if (reason.empty()) reason = BrokenRule();
    if (!reason.empty()) {
      result.skipped.push_back({line, reason});
      return true;
    }
    if (const int code = access_.TryInsert(); code != 0) {
      std::string text = ERROR();
      if (const std::string driver = FILEERROR(); !driver.empty() && driver != text)
        text += " (" + driver + ")";
      Fail(result, line, code, text);
      return false;
    }
    ++result.added;
    if (schedule_ && TaskIsDue(SCH)) ++result.due;
    return true;
  }

  // The table's field rules, which show their message through the error object: it is kept and
  // becomes the reason, with the field and its value.
  std::string BrokenRule() {
    const KeptErrorMessages kept;
    int failed = 0;
    if (access_.ValidateRecord(&failed) == 0) return {};
    std::string reason;
    if (failed >= 1 && failed <= static_cast<int>(def_.fields.size())) {
      const storage::FieldDef& field = def_.fields[static_cast<std::size_t>(failed) - 1];
      reason = def_.prefix + ":" + field.name + " " +
               Quoted(storage::FieldText(field, static_cast<const char*>(def_.buffer()))) + ": ";
    }
    return reason +
           (kept.Kept().empty() ? "refused by the table's rules" : kept.Kept().back().text);
  }

  const CsvTable& table_;
  FileManager& access_;
  const storage::TableDef& def_;
  const std::vector<CsvImportColumn>& columns_;
  const bool schedule_;
  std::vector<std::vector<Target>> targets_;
  std::int64_t committed_ = 0, committed_due_ = 0, batch_first_line_ = 0;
};

}  // namespace

std::vector<CsvImportColumn> ReadImportColumns() {
  std::vector<CsvImportColumn> columns;
  CsvSetImportOrder();
  if (CsvReadLine() > 0) {
    while (CsvNextField() != 0) {
      columns.push_back(
          {"Field_" + std::to_string(columns.size() + 1), kTextPicture, CsvFieldText()});
    }
    if (CsvReadLine() > 0) {
      for (CsvImportColumn& column : columns) {
        // A number written plainly, as the exports write numbers; text a writer left unquoted
        // stays text.
        if (CsvNextField() == 2 && CsvPlainNumber(CsvFieldText())) column.picture = kNumberPicture;
      }
    }
  }
  CsvSetImportOrder();
  return columns;
}

int AutoAssign(const CsvTable& table, std::vector<CsvImportColumn>& columns,
               CsvAssignment& assignment) {
  assignment.resize(table.fields.size(), 0);
  int assigned = 0;
  for (std::size_t t = 0; t < table.fields.size(); ++t) {
    if (assignment[t] != 0) continue;
    const std::string name = UPPER(table.fields[t].name);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (UPPER(Trimmed(columns[c].value)) != name) continue;
      assignment[t] = static_cast<int>(c) + 1;
      ++assigned;
      const char type = PictureType(table.fields[t].picture);
      if ((type == 'D' || type == 'T') && PictureType(columns[c].picture) != 'N')
        columns[c].picture = table.fields[t].picture;
      break;
    }
  }
  return assigned;
}

CsvImportResult RunCsvImport(const CsvTable& table, const std::vector<CsvImportColumn>& columns,
                             const CsvAssignment& assignment, bool strip_header) {
  return ImportRun(table, columns, assignment).Run(strip_header);
}

std::string ImportClosingText(const CsvTable& table, const CsvImportResult& result) {
  const auto plural = [](std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string text = plural(result.added, "record was", "records were") + " added to " +
                     table.label + " from " + CsvImportFileName() + ".";
  switch (result.outcome) {
    case CsvImportResult::Outcome::Cancelled:
      text += "\n\nThe import was cancelled at line " + std::to_string(result.stopped_at) +
              ": that line and the rest of the file were not imported; the records added "
              "before it stay.";
      break;
    case CsvImportResult::Outcome::Failed:
      text += "\n\nThe import stopped";
      if (result.stopped_at > 0) text += " at line " + std::to_string(result.stopped_at);
      text += ": " + result.failure +
              "\nThat line and the rest of the file were not imported; the records added "
              "before it stay.";
      break;
    case CsvImportResult::Outcome::Completed:
      break;
  }
  if (!result.skipped.empty()) {
    text += "\n\n" +
            plural(static_cast<std::int64_t>(result.skipped.size()), "line was", "lines were") +
            " skipped:";
    for (std::size_t i = 0; i < result.skipped.size() && i < kSkippedListed; ++i)
      text += "\nLine " + std::to_string(result.skipped[i].line) + ": " + result.skipped[i].reason;
    if (result.skipped.size() > kSkippedListed)
      text += "\n... and " + std::to_string(result.skipped.size() - kSkippedListed) + " more.";
  }
  if (result.due > 0) {
    text += "\n\n" + plural(result.due, "imported task is", "imported tasks are") +
            " already due: they run at the next tick, as any overdue task does (their skip "
            "rules apply).";
  }
  return text;
}

}  // namespace vx
