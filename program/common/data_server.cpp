#include "program/common/data_server.h"

#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "runtime/ini_file.h"
#include "runtime/storage/pq_library.h"
#include "runtime/storage/server_store.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {

namespace {

bool Exists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::string Read(const std::filesystem::path& file, const char* section, const char* key) {
  return CLIP(GETINI(section, key, "", file.string()));
}

DataServerChoice FromConnectionFile(const std::filesystem::path& file) {
  DataServerChoice out;
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid() ||
      (st.st_mode & 077) != 0) {
    out.problem = "The connection file " + file.string() +
                  " may hold a password, so it must be your own file and readable by you alone "
                  "(chmod 600 " +
                  file.string() + ").";
    return out;
  }
  storage::ServerSettings s;
  s.host = Read(file, "Server", "Host");
  s.port = Read(file, "Server", "Port");
  s.dbname = Read(file, "Server", "Database");
  s.user = Read(file, "Server", "User");
  s.password = Read(file, "Server", "Password");
  out.settings = s;
  return out;
}

DataServerChoice FromPathsIni(const std::filesystem::path& paths, const std::string& text) {
  DataServerChoice out;
  std::string missing;
  const storage::PqLibrary* pq = storage::LoadPqLibrary(&missing);
  if (!pq) {
    out.problem = "The SERVER entry of " + paths.string() + " cannot be read: " + missing;
    return out;
  }
  char* error = nullptr;
  PQconninfoOption* options = pq->conninfo_parse(text.c_str(), &error);
  if (!options) {
    out.problem = "The SERVER entry of " + paths.string() +
                  " cannot be read: " + (error ? CLIP(error) : std::string("out of memory"));
    pq->freemem(error);
    return out;
  }
  storage::ServerSettings s;
  bool password = false;
  for (PQconninfoOption* o = options; o->keyword; ++o) {
    if (!o->val) continue;
    const std::string key = o->keyword;
    if (key == "host" || key == "hostaddr") s.host = o->val;
    if (key == "port") s.port = o->val;
    if (key == "dbname") s.dbname = o->val;
    if (key == "user") s.user = o->val;
    if (key == "password") password = true;
  }
  pq->conninfo_free(options);
  if (password) {
    out.problem = "The SERVER entry of " + paths.string() +
                  " holds a password, which others may read there: take it out and put it in "
                  "your ~/.pgpass or in " +
                  kServerFile + " (readable by you alone).";
    return out;
  }
  out.settings = s;
  return out;
}

}  // namespace

DataServerChoice DataServerOf(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kServerFile;
  if (Exists(file)) return FromConnectionFile(file);
  const std::filesystem::path paths = folder / "PATHS.INI";
  if (!Exists(paths)) return {};
  const std::string text = Read(paths, "PATH", "SERVER");
  return text.empty() ? DataServerChoice{} : FromPathsIni(paths, text);
}

bool NamesDataServer(const std::filesystem::path& folder) {
  const DataServerChoice choice = DataServerOf(folder);
  return choice.settings.has_value() || !choice.problem.empty();
}

bool UseDataServer() {
  const DataServerChoice choice = DataServerOf(std::filesystem::current_path());
  if (!choice.problem.empty()) {
    MESSAGE(choice.problem, "Database Server", MessageIcon::Exclamation);
    return false;
  }
  if (choice.settings) storage::InstallTableStore(storage::MakeServerStore(*choice.settings));
  return true;
}

}  // namespace vx
