// Where the file and relation managers send the problems they report to the user.
//
// The managers say what went wrong (a FileProblem with the caption and text to show); the
// error object of the application decides how to show it. A question (ConfirmDelete) is
// answered by the return value: nonzero = go ahead.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

enum class FileMessage : std::uint8_t {
  OpenFailed,        // "File Access Error"
  CreateFailed,      // "File Creation Error"
  RetrieveFailed,    // "Record Retrieval Error"
  DuplicateKey,      // "Duplicate Key Error"
  InsertFailed,      // "Record Insert Error"
  UpdateFailed,      // "Update Operation Error"
  DeleteFailed,      // "Delete Operation Error"
  AutoIncFailed,     // "Auto Increment Error"
  RestrictUpdate,    // "Referential Integrity Update Error"
  RestrictDelete,    // "Referential Integrity Delete Error"
  ConfirmDelete,     // "Confirm Delete" (a question)
  StructureDiffers,  // error 47: the application's upgrade notice, then it stops
};

struct FileProblem {
  FileMessage message = FileMessage::OpenFailed;
  std::string file;        // the table's file on disk or its own name (RI: the referencing table's)
  std::string label;       // the table's label
  std::string key;         // the key's description, for DuplicateKey
  int code = 0;            // the runtime error code, 0 when none
  std::string error_text;  // the runtime's text for it (for 90: the driver's)
  std::string caption;
  std::string text;
};

class FileErrorSink {
 public:
  virtual ~FileErrorSink() = default;
  virtual int TakeFileProblem(const FileProblem& problem) = 0;
};

}  // namespace vx
