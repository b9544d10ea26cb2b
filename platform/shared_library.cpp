#include "platform/shared_library.h"

#include <dlfcn.h>

#include <atomic>
#include <map>

namespace vx::platform {
namespace {

std::mutex replaced_mutex;
std::map<std::string, std::vector<std::string>>& Replaced() {
  static std::map<std::string, std::vector<std::string>> replaced;
  return replaced;
}
// How many replacements live: a load of a library none replaces reads no map and takes no lock.
std::atomic<int> replacements{0};

}  // namespace

SharedLibrary::SharedLibrary(const std::string& name, const std::vector<std::string>& files)
    : name_(name) {
  std::string why = "no file named";
  for (const std::string& file : files) {
    // RTLD_LOCAL: the library's own symbols stay its own, as a linked one's would not clash.
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) {
      file_ = file;
      return;
    }
    const char* reason = dlerror();
    why = reason ? reason : file + ": cannot be opened";
  }
  error_ = name_ + " cannot be loaded: " + why;
}

void* SharedLibrary::Find(const char* symbol) {
  if (!handle_) return nullptr;
  void* entry = dlsym(handle_, symbol);
  if (!entry && error_.empty())
    error_ = name_ + " (" + file_ + ") is too old or not the library expected: it has no " + symbol;
  return entry;
}

std::vector<std::string> LibraryFiles(const std::string& name,
                                      const std::vector<std::string>& own) {
  if (replacements.load(std::memory_order_acquire) == 0) return own;
  std::lock_guard lock(replaced_mutex);
  const auto it = Replaced().find(name);
  return it != Replaced().end() ? it->second : own;
}

bool LibraryFilesReplaced(const std::string& name) {
  if (replacements.load(std::memory_order_acquire) == 0) return false;
  std::lock_guard lock(replaced_mutex);
  return Replaced().count(name) != 0;
}

ScopedLibraryFiles::ScopedLibraryFiles(std::string name, std::vector<std::string> files)
    : name_(std::move(name)) {
  std::lock_guard lock(replaced_mutex);
  const auto it = Replaced().find(name_);
  if (it != Replaced().end()) {
    previous_ = it->second;
    had_previous_ = true;
  }
  Replaced()[name_] = std::move(files);
  replacements.fetch_add(1, std::memory_order_release);
}

ScopedLibraryFiles::~ScopedLibraryFiles() {
  std::lock_guard lock(replaced_mutex);
  if (had_previous_) {
    Replaced()[name_] = previous_;
  } else {
    Replaced().erase(name_);
  }
  replacements.fetch_sub(1, std::memory_order_release);
}

}  // namespace vx::platform
