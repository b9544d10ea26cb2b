// The desktop's windows on a private X server: listed with and without a window manager's
// client list, their children, activation, closing and the owning process.
#include "platform/desktop_windows.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "private_display_test.h"

namespace vx::platform {
namespace {

class X11DesktopWindowsTest : public test::PrivateDisplayTest {
 protected:
  void SetUp() override {
    PrivateDisplayTest::SetUp();
    desktop_ = MakeX11DesktopWindows(server_.name());
  }

  Window MakeWindow(Window parent, const char* title, const char* class_name, bool mapped = true) {
    const Window w = XCreateSimpleWindow(display_, parent, 0, 0, 60, 40, 0, 0, 0);
    if (title != nullptr) XStoreName(display_, w, title);
    if (class_name != nullptr) {
      XClassHint hint{const_cast<char*>("instance"), const_cast<char*>(class_name)};
      XSetClassHint(display_, w, &hint);
    }
    if (mapped) XMapWindow(display_, w);
    XSync(display_, False);
    return w;
  }
  Window Root() const { return DefaultRootWindow(display_); }
  // A list of windows (or, with type XA_ATOM, of atoms) on the root, as a window manager keeps.
  void SetRootWindows(const char* property, const std::vector<unsigned long>& items,
                      Atom type = XA_WINDOW) {
    XChangeProperty(display_, Root(), XInternAtom(display_, property, False), type, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(items.data()),
                    static_cast<int>(items.size()));
    XSync(display_, False);
  }
  static std::vector<std::string> Titles(const std::vector<DesktopWindow>& windows) {
    std::vector<std::string> titles;
    for (const DesktopWindow& w : windows) titles.push_back(w.title);
    return titles;
  }

  std::unique_ptr<DesktopWindows> desktop_;
};

TEST_F(X11DesktopWindowsTest, WithoutAWindowManagerTheRootsChildrenAreTheTopWindows) {
  const Window shown = MakeWindow(Root(), "Ledger", "Ledger");
  XChangeProperty(display_, shown, XInternAtom(display_, "_NET_WM_NAME", False),
                  XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>("Ledger – 2026"), 15);
  const Window hidden = MakeWindow(Root(), "Hidden tool", "Tool", false);
  MakeWindow(Root(), nullptr, nullptr);
  const std::vector<DesktopWindow> top = desktop_->TopWindows();
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[0].handle, shown);
  EXPECT_EQ(top[0].title, "Ledger – 2026");
  EXPECT_EQ(top[0].class_name, "Ledger");
  EXPECT_TRUE(top[0].visible);
  EXPECT_EQ(top[1].handle, hidden);
  EXPECT_FALSE(top[1].visible);
  EXPECT_EQ(top[2].title, "");
}

TEST_F(X11DesktopWindowsTest, TheClientListOfAWindowManagerGivesTheWindowsAndTheirOrder) {
  // A reparenting window manager's frame holds the client; the client list names the client.
  const Window frame = MakeWindow(Root(), nullptr, nullptr);
  const Window framed = MakeWindow(frame, "Framed", "Editor");
  const Window iconic = MakeWindow(Root(), "Minimised", "Editor", false);
  const long iconic_state[] = {3, 0};
  const Atom wm_state = XInternAtom(display_, "WM_STATE", False);
  XChangeProperty(display_, iconic, wm_state, wm_state, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(iconic_state), 2);
  MakeWindow(Root(), "Not a client", "Panel");
  SetRootWindows("_NET_CLIENT_LIST", {iconic, framed});
  const std::vector<DesktopWindow> top = desktop_->TopWindows();
  EXPECT_EQ(Titles(top), (std::vector<std::string>{"Minimised", "Framed"}));
  ASSERT_EQ(top.size(), 2u);
  EXPECT_TRUE(top[0].visible);  // minimised counts as shown

  // Without the client list, the frame stands for the client inside it (found by WM_STATE).
  XDeleteProperty(display_, Root(), XInternAtom(display_, "_NET_CLIENT_LIST", False));
  XChangeProperty(display_, framed, wm_state, wm_state, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(iconic_state), 2);
  XSync(display_, False);
  EXPECT_EQ(Titles(desktop_->TopWindows()),
            (std::vector<std::string>{"Framed", "Minimised", "Not a client"}));
}

TEST_F(X11DesktopWindowsTest, ChildrenAreListedAtEveryLevelParentsFirst) {
  const Window top = MakeWindow(Root(), "Form", "Form");
  const Window panel = MakeWindow(top, "Panel", "Pane");
  MakeWindow(panel, "Name:", "Label");
  MakeWindow(top, "OK", "Button", false);
  const std::vector<DesktopWindow> children = desktop_->ChildWindows(top);
  EXPECT_EQ(Titles(children), (std::vector<std::string>{"Panel", "Name:", "OK"}));
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[1].class_name, "Label");
  EXPECT_TRUE(children[1].visible);
  EXPECT_FALSE(children[2].visible);
}

TEST_F(X11DesktopWindowsTest, ActivatingGivesTheFocusAndAWindowThatIsGoneIsRefused) {
  const Window first = MakeWindow(Root(), "First", "App");
  const Window second = MakeWindow(Root(), "Second", "App");
  const Window unmapped = MakeWindow(Root(), "Unmapped", "App", false);
  EXPECT_TRUE(desktop_->Activate(second));
  EXPECT_EQ(desktop_->ActiveWindow(), second);
  EXPECT_TRUE(desktop_->Activate(first));
  EXPECT_EQ(desktop_->ActiveWindow(), first);
  EXPECT_FALSE(desktop_->Activate(unmapped));
  XDestroyWindow(display_, second);
  XSync(display_, False);
  EXPECT_FALSE(desktop_->Activate(second));
  EXPECT_EQ(desktop_->ProcessOf(second), 0);
  EXPECT_TRUE(desktop_->ChildWindows(second).empty());
  EXPECT_FALSE(desktop_->Close(second));
}

TEST_F(X11DesktopWindowsTest, ActivatingAsksTheWindowManagerWhenItKeepsTheActiveWindow) {
  const Window w = MakeWindow(Root(), "Managed", "App");
  SetRootWindows("_NET_SUPPORTED", {XInternAtom(display_, "_NET_ACTIVE_WINDOW", False)}, XA_ATOM);
  XSelectInput(display_, Root(), SubstructureRedirectMask);  // this test plays the window manager
  XSync(display_, False);
  std::thread manager([&] {
    const Atom request = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
         std::chrono::steady_clock::now() < until;) {
      XEvent e;
      if (XPending(display_) > 0 && XCheckTypedEvent(display_, ClientMessage, &e) &&
          e.xclient.message_type == request) {
        SetRootWindows("_NET_ACTIVE_WINDOW", {e.xclient.window});
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  EXPECT_TRUE(desktop_->Activate(w));
  manager.join();
  EXPECT_EQ(desktop_->ActiveWindow(), w);
}

TEST_F(X11DesktopWindowsTest, ClosingSendsTheDeleteRequestOnlyToWindowsThatTakeIt) {
  const Window polite = MakeWindow(Root(), "Polite", "App");
  const Window plain = MakeWindow(Root(), "Plain", "App");
  Atom delete_window = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, polite, &delete_window, 1);
  XSync(display_, False);
  EXPECT_TRUE(desktop_->Close(polite));
  EXPECT_FALSE(desktop_->Close(plain));
  XSync(display_, False);
  XEvent e;
  ASSERT_TRUE(XCheckTypedWindowEvent(display_, polite, ClientMessage, &e));
  EXPECT_EQ(static_cast<Atom>(e.xclient.data.l[0]), delete_window);
  EXPECT_FALSE(XCheckTypedWindowEvent(display_, plain, ClientMessage, &e));
}

TEST_F(X11DesktopWindowsTest, TheOwningProcessIsReadFromTheWindow) {
  const Window w = MakeWindow(Root(), "Owned", "App");
  const unsigned long pid = 4321;
  XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  XSync(display_, False);
  EXPECT_EQ(desktop_->ProcessOf(w), 4321);
  EXPECT_EQ(desktop_->ProcessOf(Root()), 0);
}

TEST(X11DesktopWindows, AnUnreachableDisplayListsNothing) {
  const auto desktop = MakeX11DesktopWindows(":987");
  EXPECT_TRUE(desktop->TopWindows().empty());
}

}  // namespace
}  // namespace vx::platform
