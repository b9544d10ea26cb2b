#include "runtime/window/dialogs.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "runtime/threads.h"
#include "runtime/window/front_end.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::mutex g_clipboard_mutex;
std::string g_clipboard;
std::string g_clipboard_rtf;

// Questions waiting for a front end, each with the answer it takes when the session ends.
std::mutex g_open_mutex;
std::vector<std::pair<std::shared_ptr<Request>, long>> g_open;

// Hands a request to the front end and waits for its answer without the runtime lock.
// With no front end, while closing down or when the session is ending, answers `fallback` at
// once.
long AskFrontEnd(const std::shared_ptr<Request>& request, long fallback, std::string* text) {
  request->thread = THREAD();
  if (Window* w = CurrentWindow()) request->window = w->Id();
  FrontEnd* front_end = CurrentFrontEnd();
  {
    // Checked and registered under one lock, so a session ending in between cannot miss it.
    std::lock_guard l(g_open_mutex);
    if (!front_end || ClosingDown() || SessionEnding()) {
      if (text) *text = request->text;
      return fallback;
    }
    g_open.emplace_back(request, fallback);
  }
  long answer = 0;
  {
    RuntimeUnlocked unlocked;
    front_end->Ask(request);
    answer = request->Wait(text);
  }
  std::lock_guard l(g_open_mutex);
  std::erase_if(g_open, [&](const auto& open) { return open.first == request; });
  return answer;
}

}  // namespace

void AnswerQuestionsWithDefaults() {
  {
    std::lock_guard l(g_open_mutex);
    MarkSessionEnding();
  }
  AnswerOpenQuestions();
}

void AnswerOpenQuestions() {
  std::vector<std::pair<std::shared_ptr<Request>, long>> open;
  {
    std::lock_guard l(g_open_mutex);
    open = g_open;
  }
  for (auto& [request, fallback] : open) request->Answer(fallback, request->text);
}

namespace {
thread_local HeldMessages* t_held = nullptr;
}  // namespace

HeldMessages::HeldMessages() : outer_(t_held) { t_held = this; }

HeldMessages::~HeldMessages() { ShowHeld(); }

void HeldMessages::ShowHeld() {
  if (!holding_) return;
  holding_ = false;
  t_held = outer_;
  std::vector<MessageBoxRequest> boxes;
  boxes.swap(boxes_);
  WindowMessageReporter reporter;
  for (const MessageBoxRequest& box : boxes) reporter.Show(box);
}

void HeldMessages::Discard() {
  if (!holding_) return;
  holding_ = false;
  t_held = outer_;
  boxes_.clear();
}

unsigned WindowMessageReporter::Show(const MessageBoxRequest& box) {
  if (t_held) {
    t_held->boxes_.push_back(box);
    return ValidAnswer(box, box.default_button);
  }
  auto request = std::make_shared<Request>();
  request->kind = Request::Kind::Message;
  request->text = box.text;
  request->caption = box.caption;
  request->icon = box.icon;
  request->buttons = box.buttons;
  request->button_texts = box.button_texts;
  request->default_button = ValidAnswer(box, box.default_button);
  const long answer = AskFrontEnd(request, request->default_button, nullptr);
  return ValidAnswer(box, static_cast<unsigned>(answer));
}

unsigned MESSAGE(std::string_view text, std::string_view caption, MessageIcon icon,
                 unsigned buttons, unsigned default_button) {
  MessageBoxRequest box;
  box.text = std::string(text);
  box.caption = std::string(caption);
  box.icon = icon;
  box.buttons = buttons ? buttons : BUTTON_OK;
  box.default_button = default_button;
  return WindowMessageReporter().Show(box);
}

void ShowMessageAside(const MessageBoxRequest& box) {
  START([box] { WindowMessageReporter().Show(box); });
}

int POPUP(std::string_view menu) { return POPUP(menu, -1, -1); }

int POPUP(std::string_view menu, long x, long y, int control) {
  auto request = std::make_shared<Request>();
  request->kind = Request::Kind::Popup;
  request->text = std::string(menu);
  request->x = x;
  request->y = y;
  request->control = control;
  return static_cast<int>(AskFrontEnd(request, 0, nullptr));
}

bool FILEDIALOG(std::string_view title, std::string& file, std::string_view filter, int flags) {
  auto request = std::make_shared<Request>();
  request->kind =
      (flags & FILE_Directory) ? Request::Kind::FolderDialog : Request::Kind::FileDialog;
  request->caption = std::string(title);
  request->text = file;
  request->filter = std::string(filter);
  request->flags = flags;
  std::string chosen;
  if (AskFrontEnd(request, 0, &chosen) == 0) return false;
  file = chosen;
  return true;
}

long PRINTREQUEST(std::shared_ptr<const report::PageImageQueue> pages, std::string_view pdf_file,
                  std::string* why) {
  auto request = std::make_shared<Request>();
  request->kind = Request::Kind::Print;
  request->pages = std::move(pages);
  request->text = std::string(pdf_file);
  std::string answer;
  const long outcome = AskFrontEnd(request, 0, &answer);
  if (why) *why = outcome == 0 || outcome == 1 ? std::string() : answer;
  return outcome;
}

std::string CLIPBOARD() {
  std::lock_guard l(g_clipboard_mutex);
  return g_clipboard;
}

void SETCLIPBOARD(std::string_view text) { SETCLIPBOARD(text, {}); }

void SETCLIPBOARD(std::string_view text, std::string_view rtf) {
  ClipboardChanged(text, rtf);
  ModelMessage m;
  m.kind = ModelMessage::Kind::ClipboardWritten;
  m.thread = THREAD();
  m.value = std::string(text);
  m.rich = std::string(rtf);
  Announce(m);
}

std::string CLIPBOARDRTF() {
  std::lock_guard l(g_clipboard_mutex);
  return g_clipboard_rtf;
}

void ClipboardChanged(std::string_view text, std::string_view rtf) {
  std::lock_guard l(g_clipboard_mutex);
  g_clipboard = std::string(text);
  g_clipboard_rtf = std::string(rtf);
}

}  // namespace vx
