// Completes what the user types in an entry from the rows of a table (through its file manager
// and a key ordered on the compared field) or of a list source (its first field): after each
// keystroke the first row that begins with the text before the caret (any case), or that the
// text matches as a wildcard pattern, is shown in the entry with the completed tail selected,
// so the next key types over it. With MUSTVALIDATE a value that matches no row is refused when
// the entry is accepted: the variable is cleared and the entry selected again.
//
// The entry is made immediate when the window opens, so every keystroke reaches TAKEEVENT,
// which the window procedure calls for every event. Arrow keys, keys with Ctrl or Alt and keys
// that type nothing do not search; Backspace shortens the text and does not complete it again.
#pragma once

#include <cstdint>
#include <string>

#include "framework/file_manager.h"
#include "runtime/storage/table_def.h"
#include "runtime/window/binding.h"
#include "runtime/window/control.h"

namespace vx {

class Window;

class ENTRYCOMPLETIONCLASS {
 public:
  virtual ~ENTRYCOMPLETIONCLASS() = default;

  // From a table: `from` is the table field compared and copied, `key` orders on it.
  void INIT(Window& window, Binding use, long entry, Binding from, std::uint8_t must_validate,
            FileManager& file, const storage::KeyDef& key);
  // From a list source: the first field of each row.
  void INIT(Window& window, Binding use, long entry, const ListSource& rows,
            std::uint8_t must_validate);
  void KILL() {}

  virtual void TAKEEVENT();
  virtual void TAKEACCEPTED();
  virtual void TAKENEWSELECTION();
  virtual void TAKENEWSELECTION(long control);
  // Whether the last key types a character with neither Ctrl nor Alt, and is no arrow key.
  virtual bool KEYVALID();
  // Table: 1 when a row matches, else 0. Rows: the first matching row (from 1), else 0.
  long GETQUEUEMATCH(const std::string& prefix);

  std::uint8_t MODE = 0;  // 1 table, 0 rows
  Binding USEFIELD;
  Binding FROMFIELD;
  long ENTRYFIELD = 0;
  const ListSource* Q = nullptr;
  std::uint8_t ECON = 0;
  std::uint8_t MUSTVALIDATE = 0;
  FileManager* FILEMGR = nullptr;
  const storage::KeyDef* FILEKEY = nullptr;

 private:
  // The value of the row GETQUEUEMATCH found last.
  std::string matched_;
  Window* window_ = nullptr;
};

}  // namespace vx
