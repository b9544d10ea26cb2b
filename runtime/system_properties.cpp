#include "runtime/system_properties.h"

#include <map>
#include <mutex>

namespace vx {
namespace {

std::mutex g_mutex;
std::map<int, long>& Properties() {
  static std::map<int, long> properties;
  return properties;
}

}  // namespace

long SystemProperty(int property) {
  const std::lock_guard lock(g_mutex);
  auto it = Properties().find(property);
  return it == Properties().end() ? 0 : it->second;
}

void SetSystemProperty(int property, long value) {
  const std::lock_guard lock(g_mutex);
  Properties()[property] = value;
}

}  // namespace vx
