#include "datadll/addons/ssec_security_class.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/private_file.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx::SSEC {
namespace {

constexpr long kHandOverHundredths = 12000;  // two minutes
constexpr std::size_t kTokenBytes = 16;
constexpr const char* kHandOverName = "vx-logon-handover";

std::optional<std::string> RandomToken() {
  unsigned char bytes[kTokenBytes];
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) return std::nullopt;
  std::string token;
  char hex[3];
  for (unsigned char b : bytes) {
    std::snprintf(hex, sizeof hex, "%02x", b);
    token += hex;
  }
  return token;
}

// Compares without stopping at the first difference, so the time taken says nothing of the
// token.
bool SameToken(const std::string& a, const std::string& b) {
  if (a.size() != b.size() || a.empty()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

// The user's runtime folder: $XDG_RUNTIME_DIR when it is a real folder of the user's that no one
// else may enter, else a private folder of the user's in the temporary folder.
std::filesystem::path RuntimeFolder() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg == '/') {
    struct stat st {};
    if (::lstat(xdg, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) == 0)
      return xdg;
  }
  const std::filesystem::path fallback =
      std::filesystem::temp_directory_path() / ("vx-" + std::to_string(::geteuid()));
  platform::EnsurePrivateFolder(fallback);
  return fallback;
}

}  // namespace

std::string SECURITYCLASS::ENCRYPTPASSWORD(std::string_view text) const {
  std::string padded(text.substr(0, 8));
  padded.resize(8, ' ');
  std::string key = PASSWORDENCRYPT.substr(0, 8);
  key.resize(8, ' ');
  for (std::size_t i = 0; i < 8; ++i) padded[i] = static_cast<char>(padded[i] ^ key[i]);
  return padded;
}

bool SECURITYCLASS::OVERRIDELOGONUSERNO(long userNo) {
  *USERNO = userNo;
  if (userNo == kBackdoorUser) {
    *USERNAME = "[Backdoor]";
    return true;
  }
  if (FETCHUSER(userNo) == 0) return true;
  *USERNO = 0;
  USERNAME->clear();
  return false;
}

std::filesystem::path SECURITYCLASS::HandOverFile(const std::filesystem::path& folder) {
  return (folder.empty() ? RuntimeFolder() : folder) / kHandOverName;
}

std::optional<std::string> SECURITYCLASS::PREPAREPREVIOUSLOGON(
    const std::filesystem::path& folder) {
  // Only a real user is handed over: nobody and the back-door user are not.
  if (*USERNO <= 0) return std::nullopt;
  const std::optional<std::string> token = RandomToken();
  if (!token) return std::nullopt;
  const std::filesystem::path file = HandOverFile(folder);
  // An earlier hand-over that was never taken is replaced; the name is then made anew, never
  // opened through whatever may lie there.
  ::unlink(file.c_str());
  const int fd = platform::CreatePrivateFile(file);
  if (fd < 0) return std::nullopt;
  const std::string text = std::to_string(TODAY()) + " " + std::to_string(CLOCK()) + " " +
                           std::to_string(*USERNO) + " " + *token + "\n";
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  if (!written) {
    ::unlink(file.c_str());
    return std::nullopt;
  }
  return token;
}

bool SECURITYCLASS::CHECKPREVIOUSLOGON(std::optional<std::string> token,
                                       const std::filesystem::path& folder) {
  *USERNO = 0;
  USERNAME->clear();
  if (!token) {
    const char* given = std::getenv(kLogonTokenVariable);
    if (!given) return false;
    token = given;
  }
  const std::filesystem::path file = HandOverFile(folder);
  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  // Used once: whatever lies at the name (a link too) is gone before it is even read.
  ::unlink(file.c_str());
  if (fd < 0) return false;
  struct stat st {};
  char buffer[256];
  ssize_t n = -1;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
      (st.st_mode & 077) == 0 && st.st_size < static_cast<off_t>(sizeof buffer))
    n = ::read(fd, buffer, sizeof buffer - 1);
  ::close(fd);
  if (n <= 0) return false;
  std::istringstream in(std::string(buffer, static_cast<std::size_t>(n)));
  long day = 0, time = 0, user = 0;
  std::string stored;
  if (!(in >> day >> time >> user >> stored)) return false;
  const long now = CLOCK();
  const bool fresh = day == TODAY() && time <= now && time > now - kHandOverHundredths;
  if (!fresh || !SameToken(stored, *token) || user <= 0) return false;
  if (FETCHUSER(user) != 0) return false;
  *USERNO = user;
  return true;
}

bool SECURITYCLASS::CHECKINGACTIVITY() const {
  return INACTIVITYPERIOD != 0 && (*USERNO > 0 || ACTIVITYTIME != 0);
}

void SECURITYCLASS::UPDATEACTIVITY() {
  if (CHECKINGACTIVITY()) ACTIVITYTIME = CLOCK();
}

void SECURITYCLASS::PREPAREACTIVITYFRAME(Window& frame) {
  if (INACTIVITYPERIOD != 0) {
    const long timer = frame.GetNumber(Prop::Timer);
    if (timer < 1 || timer > 6000) frame.Timer(6000);
  }
  UPDATEACTIVITY();
}

bool SECURITYCLASS::TAKEACTIVITYFRAMEEVENT(Window& frame) {
  if (!CHECKINGACTIVITY()) return false;
  if (EVENT() != EVENT_Timer) {
    UPDATEACTIVITY();
    return false;
  }
  long elapsed = CLOCK() - ACTIVITYTIME;
  if (elapsed < 0) elapsed += TIME_DAY;  // midnight passed
  if (elapsed <= INACTIVITYPERIOD) return false;
  MESSAGE("You have been inactive for too long!\n\nExiting Program...", "Inactivity Timeout!",
          MessageIcon::Exclamation);
  // The frame closes as when the session ends: other questions take their defaults, and its
  // own close-down closes the tables and logs the exit.
  AnswerOpenQuestions();
  ACTIVITYTIME = 0;
  frame.Post(EVENT_CloseDown);
  return true;
}

void SECURITYCLASS::PREPAREVIEWWINDOW(bool& viewOnly, int closeControl) {
  if (!*VIEWRECORD) return;
  *VIEWRECORD = false;
  viewOnly = true;
  Window* window = CurrentWindow();
  if (!window) return;
  for (const auto& c : window->Controls()) {
    switch (c->Type()) {
      case ControlType::Entry:
      case ControlType::Spin:
      case ControlType::Combo:
      case ControlType::Text:
        c->ReadOnly();
        break;
      case ControlType::Button:
        if (c->Number() != closeControl) c->Disable();
        break;
      default:
        break;
    }
  }
}

bool SECURITYCLASS::TAKEVIEWWINDOWEVENT(bool viewOnly, int closeControl) const {
  if (!viewOnly) return false;
  if (EVENT() == EVENT_AlertKey) return true;
  return EVENT() == EVENT_Accepted && ACCEPTED() != closeControl;
}

void SECURITYCLASS::PREPARERUNTIMEWINDOW() {
  Window* window = CurrentWindow();
  if (RUNTIMEINVOCATION == 1 && window && RUNTIMEHOTKEY != 0) {
    for (const auto& c : window->Controls()) c->Alert(RUNTIMEHOTKEY);
  }
}

void SECURITYCLASS::PREPARERUNTIMEBUTTON(int button) {
  Window* window = CurrentWindow();
  if (!window || !window->Find(button)) return;
  (*window)[button].Hide(!CHECKACCESS(RUNTIMEDOOR, false, {}));
}

void SECURITYCLASS::TAKERUNTIMEEVENT(std::string_view a, std::string_view b, bool c) {
  const bool asked = RUNTIMEINVOCATION == 1
                         ? EVENT() == EVENT_AlertKey && KEYCODE() == RUNTIMEHOTKEY
                         : RUNTIMEEVENT != 0 && EVENT() == RUNTIMEEVENT;
  if (asked) UPDATERUNTIME(a, b, c);
}

void SECURITYCLASS::POSTRUNTIMEEVENT() {
  if (RUNTIMEINVOCATION == 2 && RUNTIMEEVENT != 0) POST(RUNTIMEEVENT);
}

}  // namespace vx::SSEC
