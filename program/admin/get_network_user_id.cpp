#include "program/admin/get_network_user_id.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "datadll/dictionary/globals.h"

namespace vx {

std::optional<std::string> NetworkUserName() {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> work(16384);
  if (getpwuid_r(geteuid(), &entry, work.data(), work.size(), &found) != 0 || !found ||
      !found->pw_name || !*found->pw_name) {
    return std::nullopt;
  }
  return std::string(found->pw_name);
}

void GetNetworkUserID() {
  if (const auto name = NetworkUserName()) USERID = *name;
}

}  // namespace vx
