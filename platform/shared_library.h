// Libraries the program opens the first time a feature needs them rather than when it starts.
//
// Mail and FTP (libcurl), field encryption (libcrypto), the printer list (the print system's
// client library) and a database server (libpq) are each used by few runs, yet linked at start
// every one of them, with the TLS, Kerberos, LDAP and zeroconf libraries they bring, would be
// mapped, relocated and partly resident in every run. Each is instead reached through a table of
// the entries its callers use (curl_library.h, crypto_library.h, cups_library.h and
// runtime/storage/pq_library.h), filled once from the library opened at first use and kept for
// the life of the process, since handles of it may outlive any caller. Only the headers of those
// libraries are compiled against.
//
// A library that cannot be opened, or that lacks an entry, gives no table; the caller is told
// why in a text that names the library ("libcurl cannot be loaded: libcurl.so.4: cannot open
// shared object file ...").
#pragma once

#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vx::platform {

// One library opened from the first of its files that loads, and entries looked up in it. The
// library is never closed.
class SharedLibrary {
 public:
  // `name` is what messages call the library; `files` are tried in turn.
  SharedLibrary(const std::string& name, const std::vector<std::string>& files);

  // Sets `entry` to the library's function `symbol`, or null; a missing entry (the first one)
  // is told by error().
  template <class Fn>
  void Entry(const char* symbol, Fn& entry) {
    entry = reinterpret_cast<Fn>(Find(symbol));
  }

  // Empty while the library opened and every entry asked for was found; otherwise what went
  // wrong first, naming the library.
  const std::string& error() const { return error_; }

 private:
  void* Find(const char* symbol);

  std::string name_;
  std::string file_;
  void* handle_ = nullptr;
  std::string error_;
};

// The files tried for the library called `name`: `own` unless a ScopedLibraryFiles for it lives.
std::vector<std::string> LibraryFiles(const std::string& name, const std::vector<std::string>& own);
// Whether a ScopedLibraryFiles for `name` lives; its loads are then made afresh at each call.
bool LibraryFilesReplaced(const std::string& name);

// While it lives, the library called `name` is looked for under `files` instead of its own
// names, and each load opens it anew instead of answering the table kept from an earlier one: a
// test shows what a caller does on a machine where the library is missing or too old.
class ScopedLibraryFiles {
 public:
  ScopedLibraryFiles(std::string name, std::vector<std::string> files);
  ~ScopedLibraryFiles();
  ScopedLibraryFiles(const ScopedLibraryFiles&) = delete;
  ScopedLibraryFiles& operator=(const ScopedLibraryFiles&) = delete;

 private:
  std::string name_;
  std::vector<std::string> previous_;
  bool had_previous_ = false;
};

// A table of a library's entries, filled the first time it is asked for. `Fill` looks the
// entries up (and runs any start-up call of the library once they are all found).
template <class Table>
class LazyLibrary {
 public:
  using Fill = void (*)(SharedLibrary& library, Table& table);

  LazyLibrary(std::string name, std::initializer_list<std::string> files, Fill fill)
      : name_(std::move(name)), files_(files), fill_(fill) {}

  // The table, or null with `error` (when given) saying why, naming the library.
  const Table* Get(std::string* error = nullptr) {
    if (LibraryFilesReplaced(name_)) {
      // Tables of a replaced library are kept too: a caller may hold one past the test's scope.
      std::lock_guard lock(replaced_mutex_);
      replaced_.push_back(std::make_unique<Load>(Open()));
      return Answer(*replaced_.back(), error);
    }
    std::call_once(once_, [this] { kept_ = std::make_unique<Load>(Open()); });
    return Answer(*kept_, error);
  }

 private:
  struct Load {
    Table table{};
    std::string error;
  };

  Load Open() const {
    Load load;
    SharedLibrary library(name_, LibraryFiles(name_, files_));
    fill_(library, load.table);
    load.error = library.error();
    return load;
  }

  static const Table* Answer(const Load& load, std::string* error) {
    if (error) *error = load.error;
    return load.error.empty() ? &load.table : nullptr;
  }

  std::string name_;
  std::vector<std::string> files_;
  Fill fill_;
  std::once_flag once_;
  std::unique_ptr<Load> kept_;
  std::mutex replaced_mutex_;
  std::vector<std::unique_ptr<Load>> replaced_;
};

}  // namespace vx::platform
