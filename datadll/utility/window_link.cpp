#include "datadll/utility/window_link.h"

#include <mutex>

namespace vx {
namespace {

std::mutex gSourceMutex;
std::function<WindowLink()> gSource;

}  // namespace

WindowLink CurrentWindowLink() {
  std::function<WindowLink()> source;
  {
    std::lock_guard lock(gSourceMutex);
    source = gSource;
  }
  return source ? source() : WindowLink{};
}

void SetCurrentWindowLinkSource(std::function<WindowLink()> source) {
  std::lock_guard lock(gSourceMutex);
  gSource = std::move(source);
}

}  // namespace vx
