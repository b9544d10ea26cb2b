#include "datadll/utility/cs_ftp_class.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/dates.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr long kDay = 8640000;
constexpr int kNoErrorCode = 25732;  // the engine's "no error" besides 0
constexpr std::size_t kBlock = 1024;

std::string Clip(std::string_view text) { return std::string(ClipView(text)); }

std::string SystemText() { return std::strerror(errno); }

// The name without its folders: everything up to the last "/" or "\" removed.
std::string BareName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CSFTPCLASS::CSFTPCLASS(std::unique_ptr<platform::FtpEngine> engine) : engine_(std::move(engine)) {}

// The window may be gone by now: the session ends without a word to it.
CSFTPCLASS::~CSFTPCLASS() {
  if (engine_) engine_->Close(HANDLE);
  if (local_ >= 0) ::close(local_);
  WipePassword();
}

void CSFTPCLASS::INIT(long autorefresh, long status, long progress) {
  if (Window* current = CurrentWindow()) INIT(*current, autorefresh, status, progress);
}

void CSFTPCLASS::INIT(Window& window, long autorefresh, long status, long progress) {
  window_ = &window;
  thread_ = window.Thread() != 0 ? window.Thread() : THREAD();
  if (Q == nullptr) {
    own_queue_ = std::make_unique<FTPDIRQ>();
    Q = own_queue_.get();
  }
  AUTOREFRESH = autorefresh != 0 ? 1 : 0;
  STATUSFEQ = status;
  PROGRESSFEQ = progress;
  PORT = 21;
  TIMEOUT = 30;
  STATUS = 0;
  STATUSMSG = "";
  LASTERROR = 0;
  HANDLE = 0;
  BYTES = 0;
  BYTESCOPIED = 0;
  if (!engine_) engine_ = platform::MakeCurlFtpEngine();
  CANCONNECT = engine_ ? 1 : 0;
  if (CANCONNECT != 0) {
    SETMESSAGE("Initialized");
  } else {
    SETERROR("Initialization failed");
  }
}

void CSFTPCLASS::KILL() {
  if (window_ == nullptr) return;
  LOGOFF();
  if (engine_) engine_->Close(HANDLE);
  if (local_ >= 0) ::close(local_);
  local_ = -1;
  if (own_queue_) {
    own_queue_->Free();
    own_queue_.reset();
    Q = nullptr;
  }
  WipePassword();
  window_ = nullptr;
}

void CSFTPCLASS::SETTIMEOUT(long seconds) {
  TIMEOUT = static_cast<std::uint32_t>(std::max(0L, seconds));
  if (engine_) engine_->SetTimeout(HANDLE, TIMEOUT);
}

long CSFTPCLASS::CONNECT(std::string_view host, long, long) {
  if (CANCONNECT == 0 || !engine_) return -1;
  HANDLE = 0;
  STATUS = 0;
  LOCALFILECLOSED = 1;
  REMOTEFILECLOSED = 1;
  SETMESSAGE("Connecting to " + std::string(host));
  HOST = Clip(host);
  long handle = -1;
  {
    const RuntimeUnlocked unlocked;
    handle = engine_->Connect(HOST.str(), PORT, TIMEOUT);
  }
  if (handle == -1) {
    SETERROR("Connection to host failed");
    CONNECTED = 0;
    HANDLE = 0;
    return -1;
  }
  HANDLE = handle;
  CONNECTED = 1;
  LOGGEDIN = 0;
  Post(EVENT_FtpConnected);
  return handle;
}

long CSFTPCLASS::LOGIN(std::string_view user, std::string_view password) {
  if (CONNECTED == 0) {
    SETERROR("Not connected");
    return -1;
  }
  SETMESSAGE("Logging on to server");
  USERNAME = Clip(user);
  PASSWORD = Clip(password);
  ACCOUNT = "";
  int result = -1;
  {
    const RuntimeUnlocked unlocked;
    result = engine_->Login(HANDLE, USERNAME.str(), PASSWORD.str(), ACCOUNT.str());
  }
  if (result == -1) {
    WipePassword();
    SETERROR("Unable to log on");
    LOGGEDIN = 0;
    return -1;
  }
  std::string path;
  if (engine_->CurrentDirectory(HANDLE, path) == -1) {
    SETMESSAGE("Connecting - " + HOST.str() + " - Could not retrieve directory");
  } else {
    REMOTEPATH = path;
    if (AUTOREFRESH != 0) {
      SETMESSAGE("Logging in - " + HOST.str() + " - Retrieving directory: " + path);
      DIRECTORY();
    }
  }
  Post(EVENT_FtpLoggedIn);
  LOGGEDIN = 1;
  SETMESSAGE("Login complete");
  return 0;
}

void CSFTPCLASS::LOGOFF() {
  if (CONNECTED == 0) {
    SETMESSAGE("Offline");
    return;
  }
  ASYNCOFF();
  {
    const RuntimeUnlocked unlocked;
    engine_->Logout(HANDLE);
    engine_->Close(HANDLE);
  }
  CONNECTED = 0;
  LOGGEDIN = 0;
  WipePassword();
  SETMESSAGE("Disconnected");
  Post(EVENT_FtpDisconnected);
}

void CSFTPCLASS::DISCONNECT() {
  if (CONNECTED == 0) {
    SETMESSAGE("Offline");
    return;
  }
  ASYNCOFF();
  {
    const RuntimeUnlocked unlocked;
    if (LOGGEDIN != 0) engine_->Logout(HANDLE);
    engine_->Close(HANDLE);
  }
  CONNECTED = 0;
  LOGGEDIN = 0;
  WipePassword();
  SETMESSAGE("Disconnected");
  Post(EVENT_FtpDisconnected);
}

void CSFTPCLASS::SETPATH(std::string_view path) {
  SETMESSAGE("Setting directory");
  int result = -1;
  {
    const RuntimeUnlocked unlocked;
    result = engine_ ? engine_->ChangeDirectory(HANDLE, Clip(path)) : -1;
  }
  std::string now;
  if (engine_ && engine_->CurrentDirectory(HANDLE, now) == 0) REMOTEPATH = now;
  if (result == -1) {
    // The error stays the status the caller reads; the folder is still the one before.
    SETERROR("Unable to change remote directory");
    return;
  }
  SETMESSAGE("Directory - " + REMOTEPATH.str());
  if (AUTOREFRESH != 0) DIRECTORY();
}

void CSFTPCLASS::TRYSETPATH(std::string_view path) {
  if (!engine_) return;
  {
    const RuntimeUnlocked unlocked;
    engine_->ChangeDirectory(HANDLE, Clip(path));
  }
  std::string now;
  if (engine_->CurrentDirectory(HANDLE, now) == 0) REMOTEPATH = now;
}

long CSFTPCLASS::MKDIR(std::string_view name) {
  return Command("Error creating directory", [&](platform::FtpEngine& engine) {
    return engine.MakeDirectory(HANDLE, Clip(name));
  });
}

long CSFTPCLASS::RMDIR(std::string_view name) {
  return Command("Error removing directory", [&](platform::FtpEngine& engine) {
    return engine.RemoveDirectory(HANDLE, Clip(name));
  });
}

long CSFTPCLASS::REMOVE(std::string_view name) {
  return Command("Error removing file", [&](platform::FtpEngine& engine) {
    return engine.DeleteFile(HANDLE, Clip(name));
  });
}

long CSFTPCLASS::RENAME(std::string_view from, std::string_view to) {
  return Command("Error renaming file", [&](platform::FtpEngine& engine) {
    return engine.Rename(HANDLE, Clip(from), Clip(to));
  });
}

long CSFTPCLASS::Command(std::string_view error,
                         const std::function<int(platform::FtpEngine&)>& call) {
  int result = -1;
  if (engine_) {
    const RuntimeUnlocked unlocked;
    result = call(*engine_);
  }
  if (result == -1) SETERROR(error);
  return result == -1 ? -1 : 0;
}

void CSFTPCLASS::DIRECTORY() {
  if (Q != nullptr) GETDIRECTORY(*Q, REMOTEPATH.view(), "*.*", 0);
}

long CSFTPCLASS::GETDIRECTORY(FTPDIRQ& queue, std::string_view path, std::string_view mask,
                              std::uint8_t no_directories) {
  const CursorScope wait(window_, "Wait");
  queue.Free();
  std::vector<platform::FtpEntry> entries;
  int listed = -1;
  {
    const RuntimeUnlocked unlocked;
    listed = engine_ ? engine_->List(HANDLE, Clip(path), entries) : -1;
  }
  if (listed == -1) {
    SETERROR("Unable to list directory");
    return 0;
  }
  SETPROGRESS(0, 100);
  bool parent = false;
  std::int32_t id = 0;
  for (const platform::FtpEntry& entry : entries) {
    FTPDIRQ_RECORD& row = queue.buffer;
    row = FTPDIRQ_RECORD{};
    row.FILENAME = entry.name;
    row.SORTNAME = UPPER(entry.name);
    row.DATE = entry.year != 0 ? DATE(entry.month, entry.day, entry.year) : 0;
    row.TIME = entry.hour * 360000 + entry.minute * 6000 + entry.second * 100 + 1;
    row.SIZE = static_cast<std::int32_t>(std::min<std::int64_t>(entry.size, INT32_MAX));
    row.ISDIRECTORY = entry.is_directory ? 1 : 0;
    row.ID = ++id;
    if (entry.name == "..") parent = true;
    queue.Add();
    SETPROGRESS(queue.Records(), 0);
  }
  if (!parent) {
    queue.buffer = FTPDIRQ_RECORD{};
    queue.buffer.FILENAME = "..";
    queue.buffer.SORTNAME = "..";
    queue.buffer.ISDIRECTORY = 1;
    queue.Add();
  }
  const std::string pattern = UPPER(Clip(mask));
  for (long at = queue.Records(); at >= 1; --at) {
    queue.Get(at);
    const FTPDIRQ_RECORD& row = queue.buffer;
    const std::string name = row.FILENAME.str();
    bool drop = name == ".";
    if (row.ISDIRECTORY != 0 && name != ".." && no_directories != 0) drop = true;
    if (row.ISDIRECTORY == 0 && !pattern.empty() && pattern != "*.*" &&
        fnmatch(pattern.c_str(), row.SORTNAME.str().c_str(), 0) != 0) {
      drop = true;
    }
    if (drop) queue.Delete();
  }
  queue.Sort([](const FTPDIRQ_RECORD& a, const FTPDIRQ_RECORD& b) {
    if (a.ISDIRECTORY != b.ISDIRECTORY) return a.ISDIRECTORY > b.ISDIRECTORY;
    return a.SORTNAME.view() < b.SORTNAME.view();
  });
  SETPROGRESS(0, 100);
  return queue.Records();
}

void CSFTPCLASS::DOWNLOAD(std::string_view local_name, std::string_view remote_name,
                          std::uint8_t type) {
  STARTTIME = CLOCK();
  CloseEnds();
  std::string local = Clip(local_name);
  std::string remote = Clip(remote_name);
  if (local.empty()) local = remote;
  if (remote.empty()) remote = local;
  SETMESSAGE("Download " + local + " from " + HOST.str());
  LOCALFILE = local;
  REMOTEFILE = remote;
  BYTESCOPIED = 0;
  STATE = 0;
  if (!engine_ || engine_->SetTransferType(HANDLE, type) == -1) {
    SETERROR("Unable to set file type");
    return;
  }
  std::int64_t size = 0;
  int sized = -1;
  {
    const RuntimeUnlocked unlocked;
    sized = engine_->FileSize(HANDLE, remote, size);
  }
  if (sized == -1) {
    SETERROR("Unable to retrieve file size");
    return;
  }
  BYTES = size;
  const auto create_local = [&]() {
    const int fd = ::open(local.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) SETERROR("Unable to create local file: " + SystemText());
    return fd;
  };
  if (BYTES == 0) {
    const int fd = create_local();
    if (fd < 0) return;
    ::close(fd);
    SETMESSAGE("Transfer complete");
    Post(EVENT_FtpTransferComplete);
    return;
  }
  if (ASYNCON() == -1) {
    SETERROR("Unable to initialize event driver");
    return;
  }
  SETPROGRESS(0, static_cast<long>(std::min<std::int64_t>(BYTES, LONG_MAX)));
  SETMESSAGE("Downloading " + remote + " from " + HOST.str());
  if (engine_->OpenRemoteFile(HANDLE, remote, false) == -1) {
    SETERROR("Unable to open file on server");
    ASYNCOFF();
    return;
  }
  REMOTEFILECLOSED = 0;
  local_ = create_local();
  if (local_ < 0) {
    ASYNCOFF();
    CloseEnds();
    return;
  }
  LOCALFILECLOSED = 0;
}

void CSFTPCLASS::UPLOAD(std::string_view local_name, std::string_view remote_name,
                        std::uint8_t type) {
  STARTTIME = CLOCK();
  CloseEnds();
  STATE = 1;
  const std::string local = Clip(local_name);
  std::string remote = Clip(remote_name);
  SETMESSAGE("Uploading " + local + " to " + HOST.str());
  if (remote.empty()) remote = BareName(local);
  LOCALFILE = local;
  REMOTEFILE = remote;
  BYTESCOPIED = 0;
  if (!engine_ || engine_->SetTransferType(HANDLE, type) == -1) {
    SETERROR("Unable to set file type");
    return;
  }
  // The local file first, so that a file that cannot be read leaves nothing on the server.
  local_ = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
  if (local_ < 0) {
    SETERROR("Unable to open local file: " + SystemText());
    return;
  }
  struct stat info {};
  if (::fstat(local_, &info) != 0 || ::lseek(local_, 0, SEEK_SET) != 0) {
    SETERROR("Unable to read local file: " + SystemText());
    CloseEnds();
    return;
  }
  LOCALFILECLOSED = 0;
  BYTES = info.st_size;
  SETPROGRESS(0, static_cast<long>(std::min<std::int64_t>(BYTES, LONG_MAX)));
  if (engine_->OpenRemoteFile(HANDLE, remote, true) == -1) {
    SETERROR("Unable to open file (" + (remote.empty() ? Clip(remote_name) + "!" : remote) +
             ") on server");
    CloseEnds();
    return;
  }
  REMOTEFILECLOSED = 0;
  if (ASYNCON() == -1) {
    CloseEnds();
    SETERROR("Unable to initialize event driver");
  }
}

void CSFTPCLASS::GETFILE(std::string_view local_name, std::string_view remote_name,
                         std::uint8_t type) {
  std::string local = Clip(local_name);
  std::string remote = Clip(remote_name);
  if (local.empty()) local = remote;
  if (remote.empty()) remote = local;
  WholeFile(false, local, remote, type);
}

void CSFTPCLASS::PUTFILE(std::string_view local_name, std::string_view remote_name,
                         std::uint8_t type) {
  const std::string local = Clip(local_name);
  std::string remote = Clip(remote_name);
  if (remote.empty()) remote = BareName(local);
  WholeFile(true, local, remote, type);
}

void CSFTPCLASS::WholeFile(bool upload, const std::string& local, const std::string& remote,
                           std::uint8_t type) {
  if (!engine_ || engine_->SetTransferType(HANDLE, type) == -1) {
    SETERROR("Unable to set file type");
    return;
  }
  SETMESSAGE((upload ? "Uploading " : "Downloading ") + local + (upload ? " to " : " from ") +
             HOST.str());
  LOCALFILE = local;
  REMOTEFILE = remote;
  int result = -1;
  {
    const RuntimeUnlocked unlocked;
    result =
        upload ? engine_->PutFile(HANDLE, local, remote) : engine_->GetFile(HANDLE, local, remote);
  }
  if (result == -1) {
    SETERROR(upload ? "Upload failed" : "Download failed");
    return;
  }
  SETMESSAGE("Transfer complete");
  Post(EVENT_FtpTransferComplete);
}

void CSFTPCLASS::CANCELOPERATION() {
  if (CONNECTED != 0 && engine_ && engine_->Cancel(HANDLE)) SETMESSAGE("Cancelled");
  ASYNCOFF();
}

long CSFTPCLASS::ASYNCON() {
  if (!engine_) return -1;
  // A transfer still sending its last block is let finish first, for at most 30 seconds.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (engine_->Busy(HANDLE) && std::chrono::steady_clock::now() < give_up) {
    YIELD();
    SleepFor(std::chrono::milliseconds(200));
  }
  const std::shared_ptr<std::mutex> mutex = notes_mutex_;
  const std::shared_ptr<std::deque<int>> notes = notes_;
  const long thread = thread_;
  return engine_->Notifications(HANDLE, [mutex, notes, thread](int event) {
    {
      const std::lock_guard lock(*mutex);
      notes->push_back(event);
    }
    POST(EVENT_FtpNotify, 0, thread);
  });
}

void CSFTPCLASS::ASYNCOFF() {
  if (engine_) engine_->Notifications(HANDLE, {});
  CloseEnds();
  SETPROGRESS(0, 100);
}

void CSFTPCLASS::CloseEnds() {
  if (local_ >= 0) ::close(local_);
  local_ = -1;
  if (REMOTEFILECLOSED == 0 && engine_) {
    const RuntimeUnlocked unlocked;
    engine_->Cancel(HANDLE);
    engine_->CloseRemoteFile(HANDLE);
  }
  LOCALFILECLOSED = 1;
  REMOTEFILECLOSED = 1;
}

void CSFTPCLASS::Finish() {
  if (local_ >= 0 && ::close(local_) != 0) {
    local_ = -1;
    SETERROR("\"" + SystemText() + "\" adding to local file");
    ASYNCOFF();
    return;
  }
  local_ = -1;
  LOCALFILECLOSED = 1;
  int closed = 0;
  {
    const RuntimeUnlocked unlocked;
    closed = engine_->CloseRemoteFile(HANDLE);
  }
  REMOTEFILECLOSED = 1;
  if (closed == -1) {
    SETERROR(STATE == 1 ? "Write error" : "Transfer failed");
  } else {
    SETMESSAGE("Transfer complete");
    Post(EVENT_FtpTransferComplete);
  }
  ASYNCOFF();
}

void CSFTPCLASS::READ() {
  char block[kBlock];
  while (LOCALFILECLOSED == 0 && REMOTEFILECLOSED == 0) {
    const long got = engine_->Read(HANDLE, block, sizeof block);
    if (got <= 0) break;
    for (long written = 0; written < got;) {
      const ssize_t n = ::write(local_, block + written, static_cast<std::size_t>(got - written));
      if (n < 0) {
        SETERROR("\"" + SystemText() + "\" adding to local file");
        ASYNCOFF();
        return;
      }
      written += n;
    }
    BYTESCOPIED += got;
    SETPROGRESS(static_cast<long>(std::min<std::int64_t>(BYTESCOPIED, LONG_MAX)), 0);
    if (BYTESCOPIED >= BYTES) {
      Finish();
      return;
    }
    if (CLOCK() < STARTTIME) STARTTIME -= kDay;  // midnight passed
  }
}

void CSFTPCLASS::WRITE() {
  if (LOCALFILECLOSED != 0 || REMOTEFILECLOSED != 0) return;
  char block[kBlock];
  const ssize_t got = ::read(local_, block, sizeof block);
  if (got < 0) {
    SETERROR("Local file read error: " + SystemText());
    ASYNCOFF();
    return;
  }
  if (got > 0) {
    if (engine_->Busy(HANDLE)) SETMESSAGE("Upload Blocked Please Wait");
    const long sent = engine_->Write(HANDLE, block, static_cast<std::size_t>(got));
    if (sent == -1 || sent < got) {
      SETERROR("Write error");
      ASYNCOFF();
      return;
    }
    BYTESCOPIED += got;
  }
  SETPROGRESS(static_cast<long>(std::min<std::int64_t>(BYTESCOPIED, LONG_MAX)), 0);
  if (BYTESCOPIED >= BYTES || got == 0) Finish();
  if (CLOCK() < STARTTIME) STARTTIME -= kDay;
}

Level CSFTPCLASS::TakeEvent() {
  if (EVENT() != EVENT_FtpNotify) return Level_Benign;
  std::deque<int> notes;
  {
    const std::lock_guard lock(*notes_mutex_);
    notes.swap(*notes_);
  }
  for (const int note : notes) {
    switch (note & 0xFF) {
      case platform::kFtpCanRead:
        if (STATE == 0) READ();
        break;
      case platform::kFtpCanWrite:
        if (STATE == 1) WRITE();
        break;
      case platform::kFtpConnected:
        break;
      case platform::kFtpClosed:
        // What came last is taken; a transfer that ends short of its size failed.
        if (STATE == 0) READ();
        if (LOCALFILECLOSED == 0 && REMOTEFILECLOSED == 0) Finish();
        break;
      default:
        SETERROR("Unknown library call");
        break;
    }
  }
  return Level_Benign;
}

void CSFTPCLASS::SETMESSAGE(std::string_view text) {
  STATUSMSG = text;
  Show(std::string(text));
}

void CSFTPCLASS::SETERROR(std::string_view text) {
  const int code = engine_ ? engine_->LastError() : 0;
  LASTERROR = code;
  std::string shown;
  if (code != 0 && code != kNoErrorCode) {
    STATUSMSG = std::string(text) + ": " + engine_->ErrorText(code);
    shown = STATUSMSG.str() + " (" + std::to_string(code) + ")";
  } else {
    STATUSMSG = text;
    shown = STATUSMSG.str();
  }
  Show(shown);
  Post(EVENT_FtpError);
}

std::string CSFTPCLASS::GETERROR() {
  const int code = engine_ ? engine_->LastError() : 0;
  if (code == 0 || code == kNoErrorCode) return "No error";
  return engine_->ErrorText(code);
}

void CSFTPCLASS::SETPROGRESS(long value, long maximum) {
  if (PROGRESSFEQ == 0 || window_ == nullptr) return;
  Control* progress = window_->Find(static_cast<int>(PROGRESSFEQ));
  if (progress == nullptr) return;
  if (maximum != 0) {
    progress->Set(Prop::RangeLow, 0L);
    progress->Set(Prop::RangeHigh, maximum);
  }
  progress->Set(Prop::Value, value);
}

void CSFTPCLASS::Post(int event) {
  if (window_ != nullptr) window_->Post(event);
}

void CSFTPCLASS::Show(const std::string& text) {
  if (STATUSFEQ == 0 || window_ == nullptr) return;
  Control* status = window_->Find(static_cast<int>(STATUSFEQ));
  if (status == nullptr) return;
  const bool shows_value =
      status->Type() == ControlType::Entry || status->Type() == ControlType::Text;
  const Prop prop = shows_value ? Prop::Value : Prop::Text;
  if (status->Get(prop) != text) status->Set(prop, text);
}

void CSFTPCLASS::WipePassword() {
  // Every byte the password took is written over before the field is emptied.
  PASSWORD = std::string(CString<1024>::size() - 1, ' ');
  PASSWORD.clear();
}

}  // namespace vx
