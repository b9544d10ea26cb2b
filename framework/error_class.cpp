#include "framework/error_class.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/fixed_string.h"

namespace vx {
namespace {

// The framework's own messages; the program and the data library add theirs.
const ErrorMessage kStandardMessages[] = {
    {kMsgRangeError,
     ErrorLevel::Notify,
     "Range Error",
     "The value of %Field must be between %Message.",
     MessageIcon::Exclamation,
     BUTTON_OK,
     BUTTON_OK,
     {}},
    {kMsgNotAvailable,
     ErrorLevel::Notify,
     "Not Available",
     "%Message is not available in this version.",
     MessageIcon::Information,
     BUTTON_OK,
     BUTTON_OK,
     {}},
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

// The halt comes on a thread of the program while others run (a front end's GUI thread draws,
// message threads wait): exit() would destroy static objects under them. The process ends at
// once instead; what is written to standard streams is flushed first, and every data file is
// as safe as after a kill, since each write is committed when it returns.
void DefaultHalt(int code, std::string_view text) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(nullptr);
  std::_Exit(code != 0 ? code : EXIT_FAILURE);
}

}  // namespace

ErrorClass::ErrorClass() { Init(); }

void ErrorClass::Init() {
  std::lock_guard lock(mutex_);
  messages_.clear();
  for (const ErrorMessage& m : kStandardMessages) messages_[m.id] = m;
  details_.clear();
}

void ErrorClass::Kill() {
  std::lock_guard lock(mutex_);
  details_.clear();
}

void ErrorClass::SetReporter(MessageReporter* reporter) {
  std::lock_guard lock(mutex_);
  reporter_ = reporter;
}

void ErrorClass::SetHaltHandler(HaltHandler handler) {
  std::lock_guard lock(mutex_);
  halt_ = std::move(handler);
}

void ErrorClass::AddMessage(ErrorMessage message) {
  std::lock_guard lock(mutex_);
  messages_[message.id] = std::move(message);
}

void ErrorClass::AddMessages(std::span<const ErrorMessage> messages) {
  std::lock_guard lock(mutex_);
  for (const ErrorMessage& m : messages) messages_[m.id] = m;
}

void ErrorClass::RemoveMessage(int id) {
  std::lock_guard lock(mutex_);
  messages_.erase(id);
}

std::optional<ErrorMessage> ErrorClass::FindMessage(int id) const {
  std::lock_guard lock(mutex_);
  const auto it = messages_.find(id);
  if (it == messages_.end()) return std::nullopt;
  return it->second;
}

ErrorClass::Details& ErrorClass::Mine() { return details_[std::this_thread::get_id()]; }

ErrorClass::Details ErrorClass::MineCopy() const {
  std::lock_guard lock(mutex_);
  const auto it = details_.find(std::this_thread::get_id());
  return it == details_.end() ? Details{} : it->second;
}

void ErrorClass::SetProcedureName(std::string_view name) {
  std::lock_guard lock(mutex_);
  if (ClipView(name).empty()) {
    details_.erase(std::this_thread::get_id());
  } else {
    Mine().procedure = std::string(ClipView(name));
  }
}

std::string ErrorClass::GetProcedureName() const { return MineCopy().procedure; }

void ErrorClass::SetFile(std::string_view name) { SetDetail(&Details::file, name); }

void ErrorClass::SetField(std::string_view name) { SetDetail(&Details::field, name); }

void ErrorClass::SetKey(std::string_view name) { SetDetail(&Details::key, name); }

void ErrorClass::SetMessageText(std::string_view text) { SetDetail(&Details::message, text); }

void ErrorClass::SetDetail(std::string Details::*member, std::string_view text) {
  std::lock_guard lock(mutex_);
  Mine().*member = std::string(ClipView(text));
}

void ErrorClass::SetErrors(long code, std::string_view text) {
  std::lock_guard lock(mutex_);
  Details& d = Mine();
  d.error_code = code;
  d.error_text = std::string(ClipView(text));
}

long ErrorClass::GetErrorCode() const { return MineCopy().error_code; }

std::string ErrorClass::SubsString(std::string_view text, int id) const {
  const Details d = MineCopy();
  const std::string code = std::to_string(d.error_code);
  // Longer names first, so "%ErrorCode" is not read as "%Error" followed by "Code".
  const std::pair<std::string_view, std::string> names[] = {
      {"%Procedure", d.procedure},
      {"%ErrorCode", code},
      {"%ErrorText", d.error_text},
      {"%Message", d.message},
      {"%Number", std::to_string(id)},
      {"%Error", d.error_text + " (" + code + ")"},
      {"%Field", d.field},
      {"%File", d.file},
      {"%Key", d.key},
  };
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    bool replaced = false;
    if (text[i] == '%') {
      for (const auto& [name, value] : names) {
        if (StartsWithNoCase(text.substr(i), name)) {
          out += value;
          i += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

ErrorMessage ErrorClass::MessageOrUnknown(int id) const {
  if (auto m = FindMessage(id)) return *m;
  return {id,
          ErrorLevel::Program,
          "Program Error",
          "Message %Number is not defined (procedure %Procedure).",
          MessageIcon::Hand,
          BUTTON_OK,
          BUTTON_OK,
          {}};
}

MessageBoxRequest ErrorClass::Prepare(const ErrorMessage& m) const {
  return {SubsString(m.caption, m.id), SubsString(m.text, m.id), m.icon, m.buttons,
          m.default_button};
}

namespace {
thread_local KeptErrorMessages* t_kept = nullptr;
}  // namespace

KeptErrorMessages::KeptErrorMessages() : outer_(t_kept) { t_kept = this; }
KeptErrorMessages::~KeptErrorMessages() { t_kept = outer_; }

unsigned ErrorClass::Show(MessageBoxRequest box) {
  if (t_kept) {
    t_kept->kept_.push_back(box);
    return ValidAnswer(box, box.default_button);
  }
  MessageReporter* reporter;
  {
    std::lock_guard lock(mutex_);
    reporter = reporter_;
  }
  static ConsoleMessageReporter console;
  if (!reporter) reporter = &console;
  return ValidAnswer(box, reporter->Show(box));
}

unsigned ErrorClass::Message(int id) { return Show(Prepare(MessageOrUnknown(id))); }

ErrorLevel ErrorClass::Throw(int id) {
  const ErrorMessage m = MessageOrUnknown(id);
  if (m.level == ErrorLevel::Benign || m.level == ErrorLevel::Cancel) return m.level;
  const MessageBoxRequest box = Prepare(m);
  const unsigned answer = Show(box);
  switch (m.level) {
    case ErrorLevel::User:
      return answer & (BUTTON_OK | BUTTON_YES | BUTTON_RETRY | BUTTON_IGNORE) ? ErrorLevel::Benign
                                                                              : ErrorLevel::Cancel;
    case ErrorLevel::Fatal:
      Halt(0, m.halt_text.empty() ? box.text : SubsString(m.halt_text, m.id));
      return ErrorLevel::Fatal;
    default:
      return m.level;
  }
}

ErrorLevel ErrorClass::ThrowFile(int id, std::string_view file) {
  SetFile(file);
  return Throw(id);
}

ErrorLevel ErrorClass::ThrowMessage(int id, std::string_view message) {
  SetMessageText(message);
  return Throw(id);
}

void ErrorClass::Halt(int code, std::string_view text) {
  HaltHandler handler;
  {
    std::lock_guard lock(mutex_);
    handler = halt_;
  }
  if (handler) {
    handler(code, text);
  } else {
    DefaultHalt(code, text);
  }
}

}  // namespace vx
