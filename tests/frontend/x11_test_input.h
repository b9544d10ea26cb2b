// X11 doings for the front-end tests, kept apart from Qt's headers: mouse clicks through XTest,
// a tray host, and a clipboard owned by another X client.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace vx::test {

// Moves the pointer to the screen point and clicks the button (1 left, 3 right).
bool FakeClick(int x, int y, unsigned button);

// Presses the left button at one screen point, moves to the other in small steps and releases.
bool FakeDrag(int from_x, int from_y, int to_x, int to_y);

// The middle of an X window on the screen, wherever it has been reparented (a tray icon sits
// inside its host's window). False when there is no such window.
bool WindowCentre(unsigned long window, int* x, int* y);

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
  explicit ClipboardOwner(std::string text,
                          std::chrono::seconds serve_for = std::chrono::seconds(20));
  ~ClipboardOwner();
  bool Owning() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vx::test
