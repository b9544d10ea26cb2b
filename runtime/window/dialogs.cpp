#include "runtime/window/dialogs.h"

#include <memory>
#include <mutex>

#include "runtime/threads.h"
#include "runtime/window/front_end.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::mutex g_clipboard_mutex;
std::string g_clipboard;

// Hands a request to the front end and waits for its answer without the runtime lock.
// With no front end, or while closing down, answers `fallback` at once.
long AskFrontEnd(const std::shared_ptr<Request>& request, long fallback, std::string* text) {
  request->thread = THREAD();
  if (Window* w = CurrentWindow()) request->window = w->Id();
  FrontEnd* front_end = CurrentFrontEnd();
  if (!front_end || ClosingDown()) {
    if (text) *text = request->text;
    return fallback;
  }
  RuntimeUnlocked unlocked;
  front_end->Ask(request);
  return request->Wait(text);
}

}  // namespace

int MESSAGE(std::string_view text, std::string_view caption, std::string_view icon, int buttons,
            int default_button) {
  if (buttons == 0) buttons = BUTTON_OK;
  if (default_button == 0 || (buttons & default_button) == 0) {
    // The first button of the set is the default when none (or one not in the set) is given.
    for (int b = BUTTON_OK; b <= BUTTON_HELP; b <<= 1) {
      if (buttons & b) {
        default_button = b;
        break;
      }
    }
  }
  auto request = std::make_shared<Request>();
  request->kind = Request::Kind::Message;
  request->text = std::string(text);
  request->caption = std::string(caption);
  request->icon = std::string(icon);
  request->buttons = buttons;
  request->default_button = default_button;
  const long answer = AskFrontEnd(request, default_button, nullptr);
  // An answer that is not one of the buttons offered counts as the default.
  return (answer & buttons) && (answer & (answer - 1)) == 0 ? static_cast<int>(answer) : default_button;
}

int POPUP(std::string_view menu) {
  auto request = std::make_shared<Request>();
  request->kind = Request::Kind::Popup;
  request->text = std::string(menu);
  return static_cast<int>(AskFrontEnd(request, 0, nullptr));
}

bool FILEDIALOG(std::string_view title, std::string& file, std::string_view filter, int flags) {
  auto request = std::make_shared<Request>();
  request->kind = (flags & FILE_Directory) ? Request::Kind::FolderDialog : Request::Kind::FileDialog;
  request->caption = std::string(title);
  request->text = file;
  request->filter = std::string(filter);
  request->flags = flags;
  std::string chosen;
  if (AskFrontEnd(request, 0, &chosen) == 0) return false;
  file = chosen;
  return true;
}

std::string CLIPBOARD() {
  std::lock_guard l(g_clipboard_mutex);
  return g_clipboard;
}

void SETCLIPBOARD(std::string_view text) {
  ClipboardChanged(text);
  ModelMessage m;
  m.kind = ModelMessage::Kind::ClipboardWritten;
  m.thread = THREAD();
  m.value = std::string(text);
  Announce(m);
}

void ClipboardChanged(std::string_view text) {
  std::lock_guard l(g_clipboard_mutex);
  g_clipboard = std::string(text);
}

}  // namespace vx
