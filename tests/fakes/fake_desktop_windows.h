// A desktop made of listed windows: tests set its windows and read what was asked of it.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop_windows.h"

namespace vx::test {

class FakeDesktopWindows final : public platform::DesktopWindows {
 public:
  std::vector<platform::DesktopWindow> TopWindows() override {
    ++listings;
    return top;
  }
  std::vector<platform::DesktopWindow> ChildWindows(unsigned long parent) override {
    child_listings.push_back(parent);
    const auto found = children.find(parent);
    return found == children.end() ? std::vector<platform::DesktopWindow>{} : found->second;
  }
  unsigned long ActiveWindow() override { return active; }
  bool Activate(unsigned long window) override {
    activated.push_back(window);
    active = window;
    return true;
  }
  bool Close(unsigned long window) override {
    closed.push_back(window);
    return true;
  }
  long ProcessOf(unsigned long window) override {
    const auto found = pids.find(window);
    return found == pids.end() ? 0 : found->second;
  }

  // A top-level window, shown unless told otherwise.
  void Add(unsigned long handle, std::string title, std::string class_name = "Frame",
           bool visible = true) {
    top.push_back({handle, std::move(title), std::move(class_name), visible});
  }

  std::vector<platform::DesktopWindow> top;
  std::map<unsigned long, std::vector<platform::DesktopWindow>> children;
  std::map<unsigned long, long> pids;  // the process of a window; 0 when not listed
  unsigned long active = 0;
  int listings = 0;
  std::vector<unsigned long> child_listings, activated, closed;
};

}  // namespace vx::test
