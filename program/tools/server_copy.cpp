#include "program/tools/server_copy.h"

#include "datadll/dictionary/dictionary_tables.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/file.h"
#include "runtime/storage/server_store.h"

namespace vx {

namespace {

// The two ends of one table's copy behind one face: the folder's file or the server's table.
struct End {
  storage::File* file = nullptr;
  storage::TableBackend* server = nullptr;
  int Open() { return file ? file->Open() : server->Open(storage::kReadWriteDenyNone); }
  int Build() { return file ? file->Build() : server->Build(); }
  int Create() { return file ? file->Create() : server->Create(); }
  int Close() { return file ? file->Close() : server->Close(); }
  int Set() { return file ? file->Set() : server->Set(-1); }
  int Next() { return file ? file->Next() : server->Next(); }
  int Add() { return file ? file->Add() : server->Add(); }
  int Stream() { return file ? file->Stream() : server->Stream(); }
  int Flush() { return file ? file->Flush() : server->Flush(); }
  std::int64_t Records() { return file ? file->Records() : server->Records(); }
};

std::string Why(const std::string& what) {
  std::string text = what + ": " + ERROR();
  if (!FILEERROR().empty()) text += " (" + FILEERROR() + ")";
  return text;
}

}  // namespace

CopyReport CopyTables(const storage::ServerSettings& server, CopyDirection direction) {
  CopyReport report;
  const std::shared_ptr<storage::TableStore> store = storage::MakeServerStore(server);
  for (const storage::TableDef* def : DictionaryTables()) {
    if (def->driver != storage::Driver::TopSpeed) continue;
    storage::File file(*def);
    End folder{&file, nullptr};
    End remote{nullptr, &store->TableFor(file)};
    End& source = direction == CopyDirection::ToServer ? folder : remote;
    End& target = direction == CopyDirection::ToServer ? remote : folder;
    int opened = source.Open();
    if (opened == storage::kFileNotFound) continue;  // nothing of it to copy
    // Keys made by an earlier version of the table (or damaged) are made again from its records,
    // as the program does when it opens the table.
    if (opened == storage::kBadKey && source.Build() == 0) opened = source.Open();
    if (opened != 0) {
      report.problems.push_back(Why(def->label + " cannot be read"));
      continue;
    }
    if (target.Create() != 0 || target.Open() != 0) {
      report.problems.push_back(Why(def->label + " cannot be made"));
      source.Close();
      continue;
    }
    // One transaction per table on the target, through its stream.
    target.Stream();
    int code = source.Set();
    std::int64_t copied = 0;
    while (code == 0 && (code = source.Next()) == 0) {
      if ((code = target.Add()) == 0) ++copied;
    }
    const bool read_all = code == storage::kNoRecord;
    if (!read_all) report.problems.push_back(Why(def->label + " was not copied whole"));
    if (target.Flush() != 0 && read_all)
      report.problems.push_back(Why(def->label + " was not stored"));
    const std::int64_t there = source.Records();
    const std::int64_t here = target.Records();
    if (read_all && (there != here || copied != there)) {
      report.problems.push_back(def->label + ": " + std::to_string(there) + " records read, " +
                                std::to_string(here) + " stored");
    }
    report.tables.push_back({def->StoredName(), def->label, here});
    source.Close();
    target.Close();
  }
  return report;
}

}  // namespace vx
