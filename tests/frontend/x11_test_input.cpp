#include "tests/frontend/x11_test_input.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <thread>

#include "platform/x11_display.h"
#include "tests/platform/tray_host_helpers.h"

namespace vx::test {

bool FakeClick(int x, int y, unsigned button) {
  Display* display = platform::OpenX11Display();
  if (!display) return false;
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  XTestFakeButtonEvent(display, button, False, CurrentTime);
  XSync(display, False);
  XCloseDisplay(display);
  return true;
}

bool FakeDrag(int from_x, int from_y, int to_x, int to_y) {
  Display* display = platform::OpenX11Display();
  if (!display) return false;
  XTestFakeMotionEvent(display, -1, from_x, from_y, CurrentTime);
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XSync(display, False);
  constexpr int kSteps = 10;
  for (int i = 1; i <= kSteps; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XTestFakeMotionEvent(display, -1, from_x + (to_x - from_x) * i / kSteps,
                         from_y + (to_y - from_y) * i / kSteps, CurrentTime);
    XSync(display, False);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
  XCloseDisplay(display);
  return true;
}

bool WindowCentre(unsigned long window, int* x, int* y) {
  Display* display = platform::OpenX11Display();
  if (!display) return false;
  XWindowAttributes attributes{};
  ::Window child = 0;
  bool ok = XGetWindowAttributes(display, window, &attributes) != 0 &&
            attributes.map_state == IsViewable &&
            XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width / 2,
                                  attributes.height / 2, x, y, &child) != 0;
  XCloseDisplay(display);
  return ok;
}

struct TrayHost::Impl {
  Trayer trayer;
};

TrayHost::TrayHost() : impl_(std::make_unique<Impl>()) {}
TrayHost::~TrayHost() = default;
bool TrayHost::Started() const { return impl_->trayer.started(); }

struct ClipboardOwner::Impl {
  Display* display = nullptr;
  Window window = 0;
  std::atomic<bool> owning{false};
  std::atomic<bool> stop{false};
  std::thread serve;
};

ClipboardOwner::ClipboardOwner(std::string text, std::chrono::seconds serve_for)
    : impl_(std::make_unique<Impl>()) {
  Impl& s = *impl_;
  s.display = platform::OpenX11Display();
  if (!s.display) return;
  Display* d = s.display;
  s.window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  XSetSelectionOwner(d, clipboard, s.window, CurrentTime);
  XSync(d, False);
  s.owning = XGetSelectionOwner(d, clipboard) == s.window;
  if (!s.owning) return;
  s.serve = std::thread([&s, d, clipboard, text = std::move(text), serve_for] {
    const Atom targets = XInternAtom(d, "TARGETS", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const auto deadline = std::chrono::steady_clock::now() + serve_for;
    while (!s.stop && std::chrono::steady_clock::now() < deadline) {
      if (!XPending(d)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      XEvent event;
      XNextEvent(d, &event);
      if (event.type == SelectionClear) {
        s.owning = false;
        break;
      }
      if (event.type != SelectionRequest) continue;
      const XSelectionRequestEvent& request = event.xselectionrequest;
      XSelectionEvent reply{};
      reply.type = SelectionNotify;
      reply.requestor = request.requestor;
      reply.selection = request.selection;
      reply.target = request.target;
      reply.time = request.time;
      reply.property = request.property ? request.property : request.target;
      if (request.target == targets) {
        Atom offered[] = {targets, utf8, XA_STRING};
        XChangeProperty(d, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(offered), 3);
      } else if (request.target == utf8 || request.target == XA_STRING) {
        XChangeProperty(d, request.requestor, reply.property, request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
      } else {
        reply.property = 0;  // None: that form is not offered
      }
      XSendEvent(d, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
      XFlush(d);
    }
  });
}

ClipboardOwner::~ClipboardOwner() {
  impl_->stop = true;
  if (impl_->serve.joinable()) impl_->serve.join();
  if (impl_->display) XCloseDisplay(impl_->display);
}

bool ClipboardOwner::Owning() const { return impl_->owning; }

}  // namespace vx::test
