#include "program/import_export/csv_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/private_file.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/csv.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

struct ExportFile {
  std::string name;  // the target
  std::filesystem::path temp;
  int fd = -1;
  std::string line;
  bool first = true;
};

struct ImportFile {
  std::string name;
  std::unique_ptr<std::ifstream> in;
  std::unique_ptr<CsvReader> reader;
  CsvRecord record;
  std::size_t next_field = 0;
  bool has_record = false;
  std::string field;
  bool deformatted = false;
};

thread_local ExportFile t_export;
thread_local ImportFile t_import;

std::string ErrorText(int error) {
  return "Error #" + std::to_string(error) + " - " + std::strerror(error);
}

unsigned SayFailure(std::string_view operation, std::string_view name, int error,
                    unsigned buttons = BUTTON_OK) {
  return MESSAGE(ErrorText(error), std::string(operation) + CLIP(name), MessageIcon::Exclamation,
                 buttons, buttons == BUTTON_OK ? BUTTON_OK : BUTTON_ABORT);
}

// A header name with a subscript ("Name[2]") as a plain one: "[" and "," become "_", "]" goes.
std::string HeaderName(std::string_view name) {
  std::string out(CLIP(name));
  if (out.find('[') == std::string::npos) return out;
  std::string plain;
  for (const char c : out) {
    if (c == '[' || c == ',') {
      plain += '_';
    } else if (c != ']') {
      plain += c;
    }
  }
  return plain;
}

bool WriteAll(int fd, std::string_view data, int& error) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void DropExportFile() {
  if (t_export.fd >= 0) close(t_export.fd);
  if (!t_export.temp.empty()) {
    std::error_code ec;
    std::filesystem::remove(t_export.temp, ec);
  }
  t_export = ExportFile{};
}

}  // namespace

char PictureType(std::string_view picture) {
  if (picture.size() < 2 || picture[0] != '@') return '\0';
  const char c = picture[1];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string PictureKind(std::string_view picture) {
  switch (PictureType(picture)) {
    case 'S':
      return "Alpha-numeric";
    case 'N':
      return "Numeric";
    default:
      return std::string(picture);
  }
}

bool CsvCreateExportFile(std::string name) {
  DropExportFile();
  if (name.empty() &&
      (!FILEDIALOG("Export File", name, "Export Files|*.CSV|All Files|*.*", FILE_Save) ||
       name.empty())) {
    return false;
  }
  const std::filesystem::path target = std::filesystem::absolute(name);
  std::filesystem::path made;
  const int fd = platform::CreatePrivateFileNamed(
      [&](int attempt) {
        return target.parent_path() /
               ("." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                std::to_string(attempt) + ".part");
      },
      made);
  if (fd < 0) {
    SayFailure("Cannot CREATE ", name, errno);
    return false;
  }
  t_export.name = target.string();
  t_export.temp = made;
  t_export.fd = fd;
  return true;
}

const std::string& CsvExportFileName() { return t_export.name; }

void CsvBeginLine() {
  t_export.line.clear();
  t_export.first = true;
}

void CsvAddField(std::string_view value, bool header, std::string_view picture) {
  std::string text;
  const char type = PictureType(picture.substr(0, 30));
  if (header) {
    text = HeaderName(value);
  } else if (type == 'S' || type == 'N') {
    text = CLIP(value);
  } else {
    text = CLIP(LEFT(FORMAT(value, picture.substr(0, 30))));
  }
  // Only a number under a numeric picture goes unquoted: the import takes an unquoted field of
  // its first data line for a numeric column, so a text that happens to read as a number (a
  // description "2027") must stay quoted to be offered as text again.
  const bool quote = header || type != 'N' || !CsvPlainNumber(text);
  CsvAppendField(t_export.line, text, quote, t_export.first);
  t_export.first = false;
}

void CsvAddNumberField(std::int64_t value, std::string_view picture) {
  const char type = PictureType(picture);
  if (type == 'S' || type == 'N') {
    CsvAddField(std::to_string(value), false, type == 'S' ? "@s" : "@n");
  } else if ((type == 'D' || type == 'T') && value == 0) {
    // No date or time is written empty whatever the picture: under a picture that is not blank
    // when zero it would read back as 28 December 1800 or as midnight.
    CsvAddField("", false, "@s");
  } else {
    CsvAddField(CLIP(LEFT(FORMAT(static_cast<long>(value), picture.substr(0, 30)))), false, "@s");
  }
}

bool CsvWriteLine() {
  if (t_export.fd < 0) return false;
  t_export.line += kCsvLineEnd;
  for (;;) {
    int error = 0;
    if (WriteAll(t_export.fd, t_export.line, error)) return true;
    // A line cut short is written again whole: go back to where it started.
    const unsigned answer =
        SayFailure("Cannot ADD to ", t_export.name, error, BUTTON_ABORT | BUTTON_RETRY);
    if (answer != BUTTON_RETRY) return false;
  }
}

bool CsvCloseExportFile(bool complete) {
  if (t_export.fd < 0) return false;
  int error = 0;
  bool ok = complete;
  if (ok && fsync(t_export.fd) != 0) {
    error = errno;
    ok = false;
  }
  if (close(t_export.fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  t_export.fd = -1;
  if (ok && std::rename(t_export.temp.c_str(), t_export.name.c_str()) != 0) {
    error = errno;
    ok = false;
  }
  if (ok) t_export.temp.clear();
  if (complete && !ok) SayFailure("Cannot CLOSE ", t_export.name, error);
  DropExportFile();
  return ok;
}

std::int64_t CsvOpenImportFile(std::string name) {
  CsvCloseImportFile();
  const bool ask = name.empty();
  for (;;) {
    if (ask &&
        (!FILEDIALOG("Import File", name, "Import Files|*.CSV|All Files|*.*") || name.empty())) {
      return 0;
    }
    std::error_code ec;
    const bool is_file = std::filesystem::is_regular_file(name, ec);
    auto in = std::make_unique<std::ifstream>(name, std::ios::binary);
    if (!is_file || !*in) {
      SayFailure("Cannot OPEN ", name,
                 is_file ? (errno ? errno : EIO) : (ec ? ec.value() : EISDIR));
      if (!ask) return 0;
      continue;
    }
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(name, ec));
    if (size <= 0) {
      if (!ask) return 0;
      MESSAGE("That file is empty!  Please pick another file.", "Attention!",
              MessageIcon::Exclamation);
      continue;
    }
    t_import.name = name;
    t_import.in = std::move(in);
    CsvSetImportOrder();
    return size;
  }
}

const std::string& CsvImportFileName() { return t_import.name; }

void CsvSetImportOrder(bool) {
  if (!t_import.in) return;
  t_import.in->clear();
  t_import.in->seekg(0);
  t_import.reader = std::make_unique<CsvReader>(*t_import.in);
  t_import.has_record = false;
  t_import.next_field = 0;
}

std::int64_t CsvReadLine() {
  t_import.next_field = 0;
  t_import.field.clear();
  if (!t_import.reader) return 0;
  const std::int64_t before = t_import.reader->BytesRead();
  t_import.has_record = t_import.reader->Next(t_import.record);
  return t_import.has_record ? t_import.reader->BytesRead() - before : 0;
}

std::int64_t CsvLineNumber() { return t_import.has_record ? t_import.record.line : 0; }
std::int64_t CsvBytesRead() { return t_import.reader ? t_import.reader->BytesRead() : 0; }

int CsvNextField() {
  t_import.deformatted = false;
  if (!t_import.has_record || t_import.next_field >= t_import.record.fields.size()) {
    t_import.field.clear();
    return 0;
  }
  const CsvField& field = t_import.record.fields[t_import.next_field++];
  t_import.field = field.text;
  return field.quoted ? 1 : 2;
}

const std::string& CsvFieldText() { return t_import.field; }

void CsvDeformatField(std::string_view picture) {
  if (t_import.deformatted) return;
  t_import.deformatted = true;
  const char type = PictureType(picture);
  if (type == 'S' || type == 'N' || type == '\0') return;
  t_import.field = DEFORMAT(t_import.field, picture);
}

void CsvCloseImportFile() { t_import = ImportFile{}; }

std::string EnterPicture(std::string_view picture) {
  String<30> text{std::string(picture)};
  Window window("Enter Picture...");
  window.Prompt("&Picture:");
  const int entry = window.Entry(text, "@s30");
  const int ok = window.Button("&OK");
  const int cancel = window.Button("Cancel");
  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("EnterPicture", manager);
  manager.OnOk([&] {
    if (CLIP(text.view()).substr(0, 1) == "@") return true;
    MESSAGE("Pictures must begin with \"@\"", "Invalid Picture!", MessageIcon::Exclamation);
    window.Select(entry);
    return false;
  });
  if (manager.Run() != RequestCompleted) return {};
  return std::string(CLIP(text.view()));
}

}  // namespace vx
