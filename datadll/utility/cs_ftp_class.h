// An FTP client for a window procedure: connect, log in, list, make and remove remote folders,
// rename and delete remote files, and move files whole (GETFILE, PUTFILE) or block by block
// (DOWNLOAD, UPLOAD). A block-wise transfer returns at once; the engine's notifications come to
// the window's thread as EVENT_FtpNotify, and TakeEvent (the window procedure's part, called for
// every event of the window, or by a window manager the object is added to) moves the next
// blocks, the progress control and the status text on. The window is told by events posted to
// it: connected, logged in, disconnected, transfer complete and error.
//
// Every failure shows its text in STATUSMSG (and the status control) and posts EVENT_FtpError;
// when the server refused, the text ends with the server's reply line and its code, so a
// caller always learns what the server said. The password is handed to the engine as a
// credential only: it never goes into a status text, an error text or a command line, and it is
// wiped from the object when the session ends. Only one object serves a window at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "framework/window_component.h"
#include "platform/ftp_engine.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

class Window;

inline constexpr int EVENT_FtpNotify = 1792;  // the engine's notification (see TakeEvent)
inline constexpr int EVENT_FtpConnected = 1793;
inline constexpr int EVENT_FtpLoggedIn = 1794;
inline constexpr int EVENT_FtpDisconnected = 1795;
inline constexpr int EVENT_FtpTransferComplete = 1797;
inline constexpr int EVENT_FtpError = 1798;

// One entry of a remote folder's listing.
struct FTPDIRQ_RECORD {
  std::uint8_t ISDIRECTORY = 0;
  String<255> FILENAME;
  std::int32_t DATE = 0;  // day number
  std::int32_t TIME = 0;  // hundredths of a second + 1
  std::int32_t SIZE = 0;
  String<255> SORTNAME;  // FILENAME in capitals
  std::int32_t ID = 0;   // running number in the server's order
};
using FTPDIRQ = Queue<FTPDIRQ_RECORD>;

class CSFTPCLASS : public WindowComponent {
 public:
  // Without an engine the object uses the libcurl one.
  explicit CSFTPCLASS(std::unique_ptr<platform::FtpEngine> engine = nullptr);
  ~CSFTPCLASS() override;
  CSFTPCLASS(const CSFTPCLASS&) = delete;
  CSFTPCLASS& operator=(const CSFTPCLASS&) = delete;

  // Serves `window` (the calling thread's current window when none is given); status and
  // progress are its controls for the status text and the progress bar, 0 for none.
  void INIT(Window& window, long autorefresh, long status, long progress);
  void INIT(long autorefresh, long status, long progress);
  void KILL();

  void SETPORT(long port) { PORT = static_cast<std::uint32_t>(port); }
  void SETTIMEOUT(long seconds);

  // The connection's handle, or -1.
  long CONNECT(std::string_view host, long = 0, long = 0);
  // 0 when logged in, else -1.
  long LOGIN(std::string_view user, std::string_view password);
  void LOGOFF();
  void DISCONNECT();

  void SETPATH(std::string_view path);
  void TRYSETPATH(std::string_view path);
  // Each answers 0, or -1 after showing the error.
  long MKDIR(std::string_view name);
  long RMDIR(std::string_view name);
  long REMOVE(std::string_view name);
  long RENAME(std::string_view from, std::string_view to);

  void DIRECTORY();
  // Lists `path` into `queue`: directories first, then files by name; ".." always, "." never;
  // directories left out when no_directories, files that do not match `mask` (wildcards, any
  // case) unless it is empty or "*.*". Answers the rows, 0 when the folder cannot be listed.
  long GETDIRECTORY(FTPDIRQ& queue, std::string_view path, std::string_view mask,
                    std::uint8_t no_directories);

  // Block-wise transfers; an empty name on one side takes the other side's (an upload's remote
  // name the local file's bare name).
  void DOWNLOAD(std::string_view local, std::string_view remote, std::uint8_t type);
  void UPLOAD(std::string_view local, std::string_view remote, std::uint8_t type);
  // Whole-file transfers, done when they return.
  void GETFILE(std::string_view local, std::string_view remote, std::uint8_t type);
  void PUTFILE(std::string_view local, std::string_view remote, std::uint8_t type);
  void CANCELOPERATION();
  long ASYNCON();
  void ASYNCOFF();
  // One pass of a block-wise download or upload.
  void READ();
  void WRITE();

  void SETMESSAGE(std::string_view text);
  void SETERROR(std::string_view text);
  std::string GETERROR();
  void SETPROGRESS(long value, long maximum);

  // The window procedure: on EVENT_FtpNotify the waiting notifications are taken in turn (data
  // to read runs READ during a download, ready to write runs WRITE during an upload, an ended
  // transfer that is not complete is an error).
  Level TakeEvent() override;
  void Kill() override { KILL(); }

  std::uint8_t CONNECTED = 0;
  std::uint8_t CANCONNECT = 0;
  std::uint8_t LOGGEDIN = 0;
  FTPDIRQ* Q = nullptr;
  std::uint8_t AUTOREFRESH = 0;
  CString<1024> HOST;
  CString<1024> USERNAME;
  CString<1024> PASSWORD;
  CString<1024> ACCOUNT;
  CString<1024> REMOTEPATH;
  CString<1024> LOCALFILE;
  CString<1024> REMOTEFILE;
  std::int64_t BYTESCOPIED = 0;
  std::int64_t BYTES = 0;
  long LASTERROR = 0;
  std::uint8_t STATE = 0;  // 0 download, 1 upload
  long STATUS = 0;
  String<1024> STATUSMSG;
  long STATUSFEQ = 0;
  long PROGRESSFEQ = 0;
  long STARTTIME = 0;
  long HANDLE = 0;
  std::uint8_t LOCALFILECLOSED = 1;
  std::uint8_t REMOTEFILECLOSED = 1;
  std::uint32_t PORT = 21;
  std::uint32_t TIMEOUT = 30;

 private:
  // One engine call with the network's wait outside the runtime lock: 0, or -1 after showing
  // `error` with the engine's reason.
  long Command(std::string_view error, const std::function<int(platform::FtpEngine&)>& call);
  // GETFILE's and PUTFILE's transfer, the names settled.
  void WholeFile(bool upload, const std::string& local, const std::string& remote,
                 std::uint8_t type);
  void Post(int event);
  void Show(const std::string& text);
  void CloseEnds();
  // Ends a transfer whose every byte has moved: "Transfer complete" once the server confirmed.
  void Finish();
  void WipePassword();

  std::unique_ptr<platform::FtpEngine> engine_;
  Window* window_ = nullptr;
  long thread_ = 0;
  int local_ = -1;  // the local end of a block-wise transfer
  std::unique_ptr<FTPDIRQ> own_queue_;
  // Notifications the engine's thread left for the window's thread.
  std::shared_ptr<std::mutex> notes_mutex_ = std::make_shared<std::mutex>();
  std::shared_ptr<std::deque<int>> notes_ = std::make_shared<std::deque<int>>();
};

}  // namespace vx
