// A desktop service of the scripts (keyboard, windows, focused window) that tests replace:
// the installed object, else the desktop's own, made on first use.
#pragma once

#include <memory>
#include <mutex>

namespace vx {

template <class Service>
class DesktopSeam {
 public:
  using Factory = std::unique_ptr<Service> (*)();
  explicit DesktopSeam(Factory make) : make_(make) {}

  // nullptr restores the desktop's own; the caller keeps an installed object alive.
  void Install(Service* service) { installed_ = service; }
  Service& Get() {
    if (installed_ != nullptr) return *installed_;
    std::call_once(made_, [this] { own_ = make_(); });
    return *own_;
  }

 private:
  Factory make_;
  Service* installed_ = nullptr;
  std::once_flag made_;
  std::unique_ptr<Service> own_;
};

}  // namespace vx
