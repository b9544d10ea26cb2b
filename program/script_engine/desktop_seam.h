// A desktop service of the scripts (keyboard, windows, focused window) that tests replace:
// the object installed in the program services, else the desktop's own, made on first use.
#pragma once

#include <memory>
#include <mutex>

namespace vx {

template <class Service>
class DesktopSeam {
 public:
  using Factory = std::unique_ptr<Service> (*)();
  explicit DesktopSeam(Factory make) : make_(make) {}

  // The installed object, or (nullptr) the desktop's own.
  Service& Get(Service* installed) {
    if (installed != nullptr) return *installed;
    std::call_once(made_, [this] { own_ = make_(); });
    return *own_;
  }

 private:
  Factory make_;
  std::once_flag made_;
  std::unique_ptr<Service> own_;
};

}  // namespace vx
