// The log-on of an application built on the data library: the current user's number and name in
// the application's own variables, a log-on handed to a program it starts, the end of the
// program after a time without activity, forms opened for viewing only, and a hook for a
// rights window. The user store and the rights check are the derived class's (FETCHUSER and
// CHECKACCESS); the base answers "not found" and "denied".
//
// Handing a log-on over: PREPAREPREVIOUSLOGON writes the day, the time and the user number with
// a random one-time token into a file only its owner can read, made new (never over another
// file or through a link) in the user's runtime folder ($XDG_RUNTIME_DIR, or a private folder
// of the user's in the temporary folder), and answers the token, which the application gives
// the program it starts in its environment (kLogonTokenVariable). CHECKPREVIOUSLOGON in that
// program takes the log-on over only with that token, from a file of the same user with no
// other permissions, written today less than two minutes ago, for a real user (above 0; the
// back-door user -1 is never handed over); the file is removed whatever it held.
//
// The inactivity time-out ends the program through its frame's normal close-down: the frame
// is sent EVENT_CloseDown after the message, so its questions are answered, its tables closed
// and its exit logged as when the session ends.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/window/window.h"

namespace vx::SSEC {

// The environment variable that carries the hand-over's token to the program started.
inline constexpr const char* kLogonTokenVariable = "VX_LOGON_TOKEN";
inline constexpr long kBackdoorUser = -1;

class SECURITYCLASS {
 public:
  virtual ~SECURITYCLASS() = default;

  void INIT() {}
  void KILL() {}

  virtual bool CHECKACCESS(int access, bool = false, std::string_view = {}, bool = false) {
    (void)access;
    return false;
  }
  virtual int FETCHUSER(long userNo) {
    (void)userNo;
    return 1;
  }
  virtual void UPDATERUNTIME(std::string_view, std::string_view, bool = false, bool = false) {}
  virtual void UPDATEPROCEDURE_RUNTIME(bool) {}

  // ENCRYPTPASSWORD is obfuscation, not encryption: each of the first 8 characters of `text`
  // (padded with blanks) combined by exclusive or with the same character of PASSWORDENCRYPT.
  // Anyone with two texts and their results has the key; it hides a password from a glance at
  // a file and nothing more. Applied twice it gives the padded text back.
  std::string ENCRYPTPASSWORD(std::string_view text) const;

  bool OVERRIDELOGONUSERNO(long userNo);

  // The hand-over's file: answers the token for the program started, or nothing when no file
  // could be made (nothing is then handed over). `folder` empty: the user's runtime folder.
  std::optional<std::string> PREPAREPREVIOUSLOGON(const std::filesystem::path& folder = {});
  // Takes a handed-over log-on: true when it was taken. The token comes from the environment
  // unless given.
  bool CHECKPREVIOUSLOGON(std::optional<std::string> token = std::nullopt,
                          const std::filesystem::path& folder = {});
  // Where the hand-over's file lies.
  static std::filesystem::path HandOverFile(const std::filesystem::path& folder = {});

  bool CHECKINGACTIVITY() const;
  void UPDATEACTIVITY();
  void TAKEACTIVITYEVENT() { UPDATEACTIVITY(); }
  void PREPAREACTIVITYFRAME(Window& frame);
  // The frame's events: a timer event checks the time-out, any other counts as activity.
  // Answers true when the time-out closed the program down.
  bool TAKEACTIVITYFRAMEEVENT(Window& frame);

  void PREPAREVIEWWINDOW(bool& viewOnly, int closeControl = 0);
  bool TAKEVIEWWINDOWEVENT(bool viewOnly, int closeControl = 0) const;
  void PREPARERUNTIMEWINDOW();
  void PREPARERUNTIMEBUTTON(int button);
  void TAKERUNTIMEEVENT(std::string_view a, std::string_view b, bool c);
  void POSTRUNTIMEEVENT();

  long INACTIVITYPERIOD = 0;  // hundredths; 0 no time-out
  bool OVERRIDE = false, AUDITBACKDOOR = false, AUDITLOGON = false, AUDITLOGONFAILURES = false;
  bool BACKDOOR = false;
  std::string* BACKDOORUSERNAME = nullptr;
  bool CHANGEPASSWORD = false, GLOBALACCESSDENIEDBEEP = false, INTERACTIVELOGON = false;
  int MAXLOGONTRIES = 0;
  int OVERRIDEDURATION = 0, SECURITYTYPE = 0;
  bool SUPPORTPREVIOUSLOGON = false;
  std::string PASSWORDENCRYPT;
  int RUNTIMEDOOR = 0;
  int RUNTIMEEVENT = 0;
  int RUNTIMEHOTKEY = 0;
  int RUNTIMEINVOCATION = 0;
  // The application's own variables, bound by it (the class's own until then).
  long* USERNO = &own_user_no_;
  std::string* USERNAME = &own_user_name_;
  bool* VIEWRECORD = &own_view_record_;
  long ACTIVITYTIME = 0;

 private:
  long own_user_no_ = 0;
  std::string own_user_name_;
  bool own_view_record_ = false;
};

}  // namespace vx::SSEC
