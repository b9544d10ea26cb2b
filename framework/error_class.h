// ErrorClass: the framework's error object. It knows the running procedure, holds the table
// of numbered messages and shows them through a MessageReporter.
//
// A message text may name the details of the failure, filled in when it is shown:
//   %Procedure  the current procedure's name      %File     the file's name
//   %Field      the field's name                  %Key      the key's name
//   %Message    the free text of ThrowMessage     %Number   the message's number
//   %ErrorCode  the error code                    %ErrorText the error text
//   %Error      the error text, " (", the code, ")"
// Names match without regard to case; substituted values are clipped and never expanded again.
//
// The procedure name and these details belong to the calling thread: each runtime thread runs
// its own windows, and two threads reporting at once must not mix their file names or
// procedures. Clearing the procedure name (a window's Kill) forgets the thread's details too.
// The message table, reporter and halt handler are shared; every member may be called from
// any thread. The reporter is called without any lock held, since a dialog waits on the user.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "runtime/message_box.h"

namespace vx {

// How serious a message is, and so what Throw does after showing it.
enum class ErrorLevel {
  Benign,   // not shown; the caller goes on
  Notify,   // shown; the caller goes on
  User,     // a question: OK/Yes/Retry/Ignore answer Benign, anything else Cancel
  Program,  // a fault of the program itself: shown, the caller decides
  Fatal,    // shown, then the program halts
  Cancel,   // not shown; the caller abandons what it was doing
};

struct ErrorMessage {
  int id = 0;
  ErrorLevel level = ErrorLevel::Notify;
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::Exclamation;
  unsigned buttons = BUTTON_OK;
  unsigned default_button = BUTTON_OK;
  std::string halt_text;  // Fatal: what the program ends with (the message text when empty)
};

// The framework's range message, given the field and "low and high" as the text.
inline constexpr int kMsgRangeError = 16;
// The framework's message for a command this version does not offer, given its name as the text.
inline constexpr int kMsgNotAvailable = 24;

class ErrorClass {
 public:
  // Ends the program; the default writes the text to standard error and ends the process at
  // once with the code (1 for 0), destroying no static object that another thread may use.
  using HaltHandler = std::function<void(int code, std::string_view text)>;

  ErrorClass();

  // Init loads the framework's standard messages (dropping any others) and forgets every
  // thread's details; Kill forgets them too.
  void Init();
  void Kill();

  // The reporter is not owned; nullptr reports on standard error.
  void SetReporter(MessageReporter* reporter);
  // An empty handler restores the default (exit).
  void SetHaltHandler(HaltHandler handler);

  // Adds a message or replaces the one with its number.
  void AddMessage(ErrorMessage message);
  void AddMessages(std::span<const ErrorMessage> messages);
  void RemoveMessage(int id);
  std::optional<ErrorMessage> FindMessage(int id) const;

  // The calling thread's procedure; an empty name clears it and the thread's details.
  void SetProcedureName(std::string_view name);
  std::string GetProcedureName() const;

  // The calling thread's details for the next message.
  void SetFile(std::string_view name);
  void SetField(std::string_view name);
  void SetKey(std::string_view name);
  void SetMessageText(std::string_view text);
  void SetErrors(long code, std::string_view text);
  long GetErrorCode() const;

  // The template with the calling thread's details filled in (see the list above).
  std::string SubsString(std::string_view text, int id = 0) const;

  // Shows message id as its level asks and returns what the caller should do.
  ErrorLevel Throw(int id);
  ErrorLevel ThrowFile(int id, std::string_view file);
  ErrorLevel ThrowMessage(int id, std::string_view message);

  // Shows message id whatever its level and returns the button pressed; never halts.
  unsigned Message(int id);
  // Shows a one-off message and returns the button pressed.
  unsigned Show(MessageBoxRequest box);

  // Ends the program through the halt handler; returns only when a handler returns (tests).
  void Halt(int code, std::string_view text);

 private:
  struct Details {
    std::string procedure, file, field, key, message, error_text;
    long error_code = 0;
  };

  Details& Mine();  // the calling thread's details; mutex_ held
  Details MineCopy() const;
  void SetDetail(std::string Details::*member, std::string_view text);
  MessageBoxRequest Prepare(const ErrorMessage& m) const;
  ErrorMessage MessageOrUnknown(int id) const;

  mutable std::mutex mutex_;
  std::map<int, ErrorMessage> messages_;
  std::map<std::thread::id, Details> details_;
  MessageReporter* reporter_ = nullptr;
  HaltHandler halt_;
};

// While it lives, every message an error object shows on the calling thread is kept instead of
// shown and answered with its default button: for a pass that puts many records through a
// table's checks and lists what failed at the end (an import), where a box per record would
// stop it. Scopes nest; other threads still show their messages.
class KeptErrorMessages {
 public:
  KeptErrorMessages();
  ~KeptErrorMessages();
  KeptErrorMessages(const KeptErrorMessages&) = delete;
  KeptErrorMessages& operator=(const KeptErrorMessages&) = delete;

  const std::vector<MessageBoxRequest>& Kept() const { return kept_; }
  void Clear() { kept_.clear(); }

 private:
  friend class ErrorClass;
  std::vector<MessageBoxRequest> kept_;
  KeptErrorMessages* outer_;
};

}  // namespace vx
