// X11 doings for the front-end tests, kept apart from Qt's headers: mouse clicks through XTest,
// a tray host, and a clipboard owned by another X client.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace vx::test {

// Moves the pointer to the screen point and clicks the button (1 left, 3 right).
bool FakeClick(int x, int y, unsigned button);

// Runs a tray host (trayer) for its lifetime, taking turns with other test processes.
class TrayHost {
 public:
  TrayHost();
  ~TrayHost();
  bool Started() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Another X client takes the clipboard with `text` and hands it to whoever asks, until the time
// is up or another client takes the clipboard.
class ClipboardOwner {
 public:
  explicit ClipboardOwner(std::string text, std::chrono::seconds serve_for = std::chrono::seconds(20));
  ~ClipboardOwner();
  bool Owning() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vx::test
