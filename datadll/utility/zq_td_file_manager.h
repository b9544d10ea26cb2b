// A file manager that moves a record one place up or down a numbered list: the records that
// share every key component but the last (a task's script steps, ordered by their step number)
// form the list, and a move swaps the last component with that of the neighbour.
//
// The two records are written in one transaction. The neighbour first parks on a number near
// the top of its type's range, so the two never hold the same key at once; a failed write or a
// transaction that cannot start rolls everything back, so both records keep their numbers, and
// the move answers the error code. The manager reports a failed write to its error sink as any
// update does, once the transaction has been rolled back.
#pragma once

#include <cstdint>

#include "framework/file_manager.h"
#include "runtime/storage/table_def.h"

namespace vx {

class ZQTDFILEMANAGER : public FileManager {
 public:
  // Moves the record whose key values are in the buffer one place along `key`: towards its
  // previous neighbour when direction is 1, towards its next one otherwise. Answers 0 when it
  // moved; otherwise nonzero and nothing is changed: the record is not stored (35), it is the
  // first or last of its list (33), or a write or the commit failed (that code). After a move
  // the buffer holds the record with its new number; otherwise the buffer is as it was. The
  // walk the thread had on the table is put back either way.
  std::uint8_t SEQUENCE(short direction, const storage::KeyDef& key);
};

}  // namespace vx
