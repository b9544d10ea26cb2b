#include "program/common/main_procedures.h"

#include <map>
#include <mutex>
#include <string>

namespace vx {
namespace {

std::mutex gMutex;
std::map<std::string, std::function<void()>, std::less<>>& Procedures() {
  static std::map<std::string, std::function<void()>, std::less<>> procedures;
  return procedures;
}

}  // namespace

void RegisterMainProcedure(std::string_view name, std::function<void()> procedure) {
  std::lock_guard lock(gMutex);
  if (procedure) {
    Procedures()[std::string(name)] = std::move(procedure);
  } else {
    Procedures().erase(std::string(name));
  }
}

std::function<void()> MainProcedure(std::string_view name) {
  std::lock_guard lock(gMutex);
  const auto it = Procedures().find(name);
  return it == Procedures().end() ? std::function<void()>() : it->second;
}

}  // namespace vx
