// The FTP engine on libcurl (curl_library.h). Each command is one transfer of the library on one
// easy handle, so the control connection it logged in on is reused from command to command; a
// block-wise transfer runs that handle on a worker thread, handing blocks over through a buffer
// guarded by a mutex, while every other command waits for it to end (they answer "busy").
#include <curl/curl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/curl_library.h"
#include "platform/ftp_engine.h"

namespace vx::platform {
namespace {

constexpr std::size_t kMostBuffered = 1 << 20;  // a download waits for the reader beyond this

// "/a/b/.." as "/a": the absolute form of a remote path, "." and ".." taken out.
std::string Normalise(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (from <= path.size()) {
    const std::size_t slash = path.find('/', from);
    const std::string part =
        path.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    if (slash == std::string::npos) break;
    from = slash + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

// A reply line's code: its first three digits, 0 when it has none.
int ReplyCode(std::string_view line) {
  if (line.size() < 3) return 0;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    if (line[static_cast<std::size_t>(i)] < '0' || line[static_cast<std::size_t>(i)] > '9')
      return 0;
    code = code * 10 + (line[static_cast<std::size_t>(i)] - '0');
  }
  return code;
}

// One MLSD line: "type=file;size=12;modify=20261211083000; name".
bool ParseMlsd(std::string line, FtpEntry& entry) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  const std::size_t space = line.find(' ');
  if (space == std::string::npos) return false;
  entry = FtpEntry{};
  entry.name = line.substr(space + 1);
  std::string type;
  std::size_t from = 0;
  const std::string facts = line.substr(0, space);
  while (from < facts.size()) {
    std::size_t end = facts.find(';', from);
    if (end == std::string::npos) end = facts.size();
    const std::string fact = facts.substr(from, end - from);
    const std::size_t equals = fact.find('=');
    if (equals != std::string::npos) {
      std::string name = fact.substr(0, equals);
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      const std::string value = fact.substr(equals + 1);
      if (name == "type") {
        type = value;
        for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      } else if (name == "size") {
        entry.size = std::strtoll(value.c_str(), nullptr, 10);
      } else if (name == "modify" && value.size() >= 14) {
        std::sscanf(value.c_str(), "%4d%2d%2d%2d%2d%2d", &entry.year, &entry.month, &entry.day,
                    &entry.hour, &entry.minute, &entry.second);
      } else if (name == "unix.owner" || name == "unix.uid") {
        entry.owner = value;
      } else if (name == "unix.group" || name == "unix.gid") {
        entry.group = value;
      }
    }
    from = end + 1;
  }
  if (type == "cdir" || type == "pdir") return false;
  entry.is_directory = type == "dir";
  return !entry.name.empty() && entry.name != "." && entry.name != "..";
}

class CurlFtpEngine final : public FtpEngine {
 public:
  // libcurl is opened by the first engine made; without it every session fails at Connect,
  // with the reason naming the library.
  CurlFtpEngine() : api_(LoadCurlLibrary(&library_error_)) {
    if (api_) api_->global_init(CURL_GLOBAL_DEFAULT);
  }
  ~CurlFtpEngine() override {
    EndWorker(true);
    Drop();
    if (api_) api_->global_cleanup();
  }

  long Connect(const std::string& host, unsigned port, unsigned timeout_seconds) override {
    if (!api_) return Fail(kFtpLibraryError, library_error_);
    if (Running()) return RefuseBusy();
    Drop();
    host_ = host;
    port_ = port;
    timeout_ = timeout_seconds;
    std::string greeting;
    if (!Greeting(greeting)) return -1;
    connected_ = true;
    return 1;
  }

  int Login(long handle, const std::string& user, const std::string& password,
            const std::string& account) override {
    if (!Usable(handle)) return -1;
    user_ = user;
    password_ = password;
    account_ = account;
    const int result =
        Perform(BaseUrl() + "/", [&](CURL* curl) { api_->easy_setopt(curl, CURLOPT_NOBODY, 1L); });
    if (result != 0) {
      Forget();
      return -1;
    }
    const char* entry = nullptr;
    api_->easy_getinfo(curl_, CURLINFO_FTP_ENTRY_PATH, &entry);
    cwd_ = Normalise(entry != nullptr ? entry : "/");
    logged_in_ = true;
    return 0;
  }

  void Logout(long /*handle*/) override {
    EndWorker(true);
    Drop();
  }
  void Close(long /*handle*/) override {
    EndWorker(true);
    Drop();
    connected_ = false;
  }
  void SetTimeout(long /*handle*/, unsigned seconds) override { timeout_ = seconds; }

  int CurrentDirectory(long handle, std::string& path) override {
    if (!Usable(handle, true)) return -1;
    path = cwd_;
    return 0;
  }
  int ChangeDirectory(long handle, const std::string& path) override {
    if (!Usable(handle, true)) return -1;
    const std::string target = Resolve(path);
    const int result = Perform(DirUrl(target),
                               [this](CURL* curl) { api_->easy_setopt(curl, CURLOPT_NOBODY, 1L); });
    if (result == 0) cwd_ = target;
    return result;
  }
  int MakeDirectory(long handle, const std::string& path) override {
    return Quote(handle, {"MKD " + Resolve(path)});
  }
  int RemoveDirectory(long handle, const std::string& path) override {
    return Quote(handle, {"RMD " + Resolve(path)});
  }
  int DeleteFile(long handle, const std::string& name) override {
    return Quote(handle, {"DELE " + Resolve(name)});
  }
  int Rename(long handle, const std::string& from, const std::string& to) override {
    return Quote(handle, {"RNFR " + Resolve(from), "RNTO " + Resolve(to)});
  }

  int List(long handle, const std::string& path, std::vector<FtpEntry>& entries) override {
    entries.clear();
    if (!Usable(handle, true)) return -1;
    std::string listing;
    const int result = Perform(DirUrl(Resolve(path)), [&](CURL* curl) {
      api_->easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "MLSD");
      api_->easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendText);
      api_->easy_setopt(curl, CURLOPT_WRITEDATA, &listing);
    });
    if (result != 0) return -1;
    std::size_t from = 0;
    while (from < listing.size()) {
      std::size_t end = listing.find('\n', from);
      if (end == std::string::npos) end = listing.size();
      FtpEntry entry;
      if (ParseMlsd(listing.substr(from, end - from), entry)) entries.push_back(entry);
      from = end + 1;
    }
    return 0;
  }

  int SetTransferType(long handle, std::uint8_t type) override {
    if (!Usable(handle, true)) return -1;
    ascii_ = type == kFtpAscii;
    return 0;
  }

  int FileSize(long handle, const std::string& name, std::int64_t& size) override {
    // SIZE is asked in binary, where every server answers it with the bytes a transfer moves.
    if (Quote(handle, {"TYPE I", "SIZE " + Resolve(name)}) != 0) return -1;
    std::lock_guard lock(reply_mutex_);
    for (const std::string& reply : replies_) {
      if (ReplyCode(reply) == 213) {
        size = std::strtoll(reply.c_str() + 3, nullptr, 10);
        return 0;
      }
    }
    return Fail(kFtpLibraryError, "the server gave no size for " + name);
  }

  int OpenRemoteFile(long handle, const std::string& name, bool write) override {
    if (!Usable(handle, true)) return -1;
    const std::string url = FileUrl(Resolve(name));
    {
      std::lock_guard lock(mutex_);
      data_.clear();
      write_ = write;
      finished_ = false;
      end_of_input_ = false;
      cancel_ = false;
      read_notified_ = false;
      result_ = CURLE_OK;
    }
    {
      std::lock_guard lock(mutex_);
      running_ = true;
    }
    worker_ = std::thread([this, url] { Transfer(url); });
    return 0;
  }

  long Read(long /*handle*/, char* buffer, std::size_t size) override {
    std::lock_guard lock(mutex_);
    if (data_.empty()) {
      read_notified_ = false;
      return finished_ || !running_ ? -1 : 0;
    }
    const std::size_t n = std::min(size, data_.size());
    std::memcpy(buffer, data_.data(), n);
    data_.erase(0, n);
    if (data_.empty()) read_notified_ = false;
    changed_.notify_all();
    return static_cast<long>(n);
  }

  long Write(long /*handle*/, const char* buffer, std::size_t length) override {
    std::lock_guard lock(mutex_);
    if (finished_ || !running_ || !write_) return -1;
    data_.append(buffer, length);
    changed_.notify_all();
    return static_cast<long>(length);
  }

  bool Busy(long /*handle*/) override {
    std::lock_guard lock(mutex_);
    return running_ && write_ && !finished_ && !data_.empty();
  }

  int CloseRemoteFile(long /*handle*/) override { return EndWorker(false); }

  bool Cancel(long /*handle*/) override {
    std::lock_guard lock(mutex_);
    if (!running_) return false;
    cancel_ = true;
    changed_.notify_all();
    return true;
  }

  int Notifications(long /*handle*/, std::function<void(int event)> notify) override {
    int pending = 0;
    {
      std::lock_guard lock(mutex_);
      notify_ = std::move(notify);
      if (notify_ && running_ && !finished_) {
        if (write_ && data_.empty()) pending = kFtpCanWrite;
        if (!write_ && !data_.empty() && !read_notified_) {
          read_notified_ = true;
          pending = kFtpCanRead;
        }
      }
    }
    if (pending != 0) Notify(pending);
    return 0;
  }

  int GetFile(long handle, const std::string& local, const std::string& remote) override {
    if (!Usable(handle, true)) return -1;
    std::FILE* out = std::fopen(local.c_str(), "wb");
    if (out == nullptr) return Fail(kFtpLibraryError, local + ": " + std::strerror(errno));
    int result = Perform(FileUrl(Resolve(remote)),
                         [&](CURL* curl) { api_->easy_setopt(curl, CURLOPT_WRITEDATA, out); });
    if (std::fclose(out) != 0 && result == 0)
      result = Fail(kFtpLibraryError, local + ": " + std::strerror(errno));
    return result;
  }

  int PutFile(long handle, const std::string& local, const std::string& remote) override {
    if (!Usable(handle, true)) return -1;
    std::FILE* in = std::fopen(local.c_str(), "rb");
    if (in == nullptr) return Fail(kFtpLibraryError, local + ": " + std::strerror(errno));
    const int result = Perform(FileUrl(Resolve(remote)), [&](CURL* curl) {
      api_->easy_setopt(curl, CURLOPT_UPLOAD, 1L);
      api_->easy_setopt(curl, CURLOPT_READDATA, in);
    });
    std::fclose(in);
    return result;
  }

  int LastError() const override {
    std::lock_guard lock(error_mutex_);
    return error_;
  }
  std::string ErrorText(int code) const override {
    std::lock_guard lock(error_mutex_);
    if (code == error_ && !error_text_.empty()) return error_text_;
    if (code > kFtpLibraryError && api_)
      return api_->easy_strerror(static_cast<CURLcode>(code - kFtpLibraryError));
    return code == 0 ? "No error" : "FTP error " + std::to_string(code);
  }

 private:
  static std::size_t AppendText(char* data, std::size_t size, std::size_t count, void* text) {
    static_cast<std::string*>(text)->append(data, size * count);
    return size * count;
  }

  // Every reply line of the server comes here; the last one, and the last refusal, are kept.
  static std::size_t TakeReply(char* data, std::size_t size, std::size_t count, void* self) {
    auto* engine = static_cast<CurlFtpEngine*>(self);
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (ReplyCode(line) != 0) {
      std::lock_guard lock(engine->reply_mutex_);
      engine->replies_.push_back(line);
      if (ReplyCode(line) >= 400) engine->refusal_ = line;
    }
    return size * count;
  }

  bool Running() {
    std::lock_guard lock(mutex_);
    return running_;
  }
  int RefuseBusy() { return Fail(kFtpLibraryError, "a transfer is under way"); }

  bool Usable(long handle, bool logged_in = false) {
    if (handle != 1 || !connected_) return Fail(kFtpLibraryError, "not connected") == 0;
    if (logged_in && !logged_in_) return Fail(kFtpLibraryError, "not logged in") == 0;
    if (Running()) return RefuseBusy() == 0;
    return true;
  }

  int Fail(int code, const std::string& text) {
    std::lock_guard lock(error_mutex_);
    error_ = code;
    error_text_ = text;
    return -1;
  }
  void Succeed() {
    std::lock_guard lock(error_mutex_);
    error_ = 0;
    error_text_.clear();
  }

  // The password goes out of memory with the session.
  void Forget() {
    std::fill(password_.begin(), password_.end(), '\0');
    password_.clear();
    user_.clear();
    logged_in_ = false;
  }
  void Drop() {
    if (curl_ != nullptr) api_->easy_cleanup(curl_);  // says QUIT on a connection still open
    curl_ = nullptr;
    Forget();
  }

  std::string Resolve(const std::string& name) const {
    return Normalise(!name.empty() && name.front() == '/' ? name : cwd_ + "/" + name);
  }
  std::string BaseUrl() const {
    std::string host = host_;
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    return "ftp://" + host + ":" + std::to_string(port_);
  }
  std::string Escaped(const std::string& part) const {
    char* escaped = api_->easy_escape(nullptr, part.c_str(), static_cast<int>(part.size()));
    std::string out = escaped != nullptr ? escaped : part;
    api_->free(escaped);
    return out;
  }
  // An absolute path as the library reads it: "%2F" first says the path starts at the root.
  std::string PathUrl(const std::string& absolute, bool folder) const {
    std::string url = BaseUrl() + "/%2F";
    std::size_t from = 1;
    bool first = true;
    while (from < absolute.size()) {
      std::size_t slash = absolute.find('/', from);
      if (slash == std::string::npos) slash = absolute.size();
      if (!first) url += "/";
      url += Escaped(absolute.substr(from, slash - from));
      first = false;
      from = slash + 1;
    }
    if (folder) url += "/";
    return url;
  }
  std::string DirUrl(const std::string& absolute) const { return PathUrl(absolute, true); }
  std::string FileUrl(const std::string& absolute) const { return PathUrl(absolute, false); }

  // Sets the handle up for one command; the caller adds what the command needs.
  template <class Setup>
  void Prepare(const std::string& url, Setup setup) {
    if (curl_ == nullptr) curl_ = api_->easy_init();
    api_->easy_reset(curl_);
    error_buffer_[0] = '\0';
    {
      std::lock_guard lock(reply_mutex_);
      replies_.clear();
      refusal_.clear();
    }
    api_->easy_setopt(curl_, CURLOPT_URL, url.c_str());
    api_->easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    api_->easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_buffer_);
    api_->easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeout_));
    api_->easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(timeout_));
    api_->easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api_->easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeout_ * 4));
    api_->easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &TakeReply);
    api_->easy_setopt(curl_, CURLOPT_HEADERDATA, this);
    if (!user_.empty()) {
      api_->easy_setopt(curl_, CURLOPT_USERNAME, user_.c_str());
      api_->easy_setopt(curl_, CURLOPT_PASSWORD, password_.c_str());
    }
    if (!account_.empty()) api_->easy_setopt(curl_, CURLOPT_FTP_ACCOUNT, account_.c_str());
    if (ascii_) api_->easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 1L);
    setup(curl_);
  }

  // The outcome of a transfer of the handle: 0, or -1 with the server's refusal kept.
  int Outcome(CURLcode code) {
    if (code == CURLE_OK) {
      Succeed();
      return 0;
    }
    std::string refusal;
    {
      std::lock_guard lock(reply_mutex_);
      refusal = refusal_;
    }
    if (!refusal.empty()) return Fail(ReplyCode(refusal), refusal);
    return Fail(kFtpLibraryError + code,
                error_buffer_[0] != '\0' ? error_buffer_ : api_->easy_strerror(code));
  }

  template <class Setup>
  int Perform(const std::string& url, Setup setup) {
    Prepare(url, setup);
    return Outcome(api_->easy_perform(curl_));
  }

  int Quote(long handle, std::vector<std::string> commands) {
    if (!Usable(handle, true)) return -1;
    curl_slist* list = nullptr;
    for (const std::string& command : commands) list = api_->slist_append(list, command.c_str());
    const int result = Perform(DirUrl(cwd_), [&](CURL* curl) {
      api_->easy_setopt(curl, CURLOPT_NOBODY, 1L);
      api_->easy_setopt(curl, CURLOPT_QUOTE, list);
    });
    api_->slist_free_all(list);
    return result;
  }

  // Connects, reads the greeting (every line of it) and leaves: the server answers.
  bool Greeting(std::string& reply) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(port_);
    if (const int failed = getaddrinfo(host_.c_str(), port.c_str(), &hints, &found); failed != 0)
      return Fail(kFtpLibraryError + CURLE_COULDNT_RESOLVE_HOST,
                  host_ + ": " + gai_strerror(failed)) == 0;
    int s = -1;
    std::string why = "no address";
    const int wait_ms = static_cast<int>(std::max(1u, timeout_) * 1000);
    for (addrinfo* a = found; a != nullptr && s < 0; a = a->ai_next) {
      s = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
      if (s < 0) continue;
      const int connected = connect(s, a->ai_addr, a->ai_addrlen);
      if (connected == 0) break;
      if (errno == EINPROGRESS) {
        pollfd p{s, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        if (poll(&p, 1, wait_ms) == 1 &&
            getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
          break;
        }
        why = error != 0 ? std::strerror(error) : "timed out";
      } else {
        why = std::strerror(errno);
      }
      close(s);
      s = -1;
    }
    freeaddrinfo(found);
    if (s < 0)
      return Fail(kFtpLibraryError + CURLE_COULDNT_CONNECT,
                  "cannot connect to " + host_ + ":" + port + ": " + why) == 0;
    std::string text;
    std::string line;
    bool done = false;
    while (!done) {
      pollfd p{s, POLLIN, 0};
      if (poll(&p, 1, wait_ms) != 1) break;
      char chunk[512];
      const ssize_t n = recv(s, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      text.append(chunk, static_cast<std::size_t>(n));
      // The greeting ends with a line "NNN text" (lines "NNN-text" go before it).
      std::size_t end;
      while ((end = text.find('\n')) != std::string::npos) {
        line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text.erase(0, end + 1);
        if (ReplyCode(line) != 0 && line.size() > 3 && line[3] == ' ') done = true;
      }
    }
    close(s);
    reply = line;
    if (!done)
      return Fail(kFtpLibraryError + CURLE_WEIRD_SERVER_REPLY, "no greeting from " + host_) == 0;
    if (ReplyCode(line) >= 400) return Fail(ReplyCode(line), line) == 0;
    Succeed();
    return true;
  }

  void Notify(int event) {
    std::function<void(int)> notify;
    {
      std::lock_guard lock(mutex_);
      notify = notify_;
    }
    if (notify) notify(event);
  }

  // The worker's side of a download: blocks come in and wait for Read.
  static std::size_t TakeBlock(char* data, std::size_t size, std::size_t count, void* self) {
    auto* engine = static_cast<CurlFtpEngine*>(self);
    const std::size_t n = size * count;
    bool tell = false;
    {
      std::unique_lock lock(engine->mutex_);
      engine->changed_.wait(lock, [&] {
        return engine->cancel_ || engine->end_of_input_ || engine->data_.size() < kMostBuffered;
      });
      if (engine->cancel_ || engine->end_of_input_) return 0;  // the library ends the transfer
      engine->data_.append(data, n);
      if (!engine->read_notified_ && engine->notify_) {
        engine->read_notified_ = true;
        tell = true;
      }
    }
    if (tell) engine->Notify(kFtpCanRead);
    return n;
  }

  // The worker's side of an upload: blocks written go out as the library asks for them.
  static std::size_t GiveBlock(char* data, std::size_t size, std::size_t count, void* self) {
    auto* engine = static_cast<CurlFtpEngine*>(self);
    std::size_t n = 0;
    bool drained = false;
    {
      std::unique_lock lock(engine->mutex_);
      engine->changed_.wait(
          lock, [&] { return engine->cancel_ || engine->end_of_input_ || !engine->data_.empty(); });
      if (engine->cancel_) return CURL_READFUNC_ABORT;
      n = std::min(size * count, engine->data_.size());
      std::memcpy(data, engine->data_.data(), n);
      engine->data_.erase(0, n);
      drained = engine->data_.empty() && n > 0;
    }
    if (drained) engine->Notify(kFtpCanWrite);
    return n;  // 0 once the writer closed with nothing left: the end of the file
  }

  static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* engine = static_cast<CurlFtpEngine*>(self);
    std::lock_guard lock(engine->mutex_);
    return engine->cancel_ ? 1 : 0;
  }

  void Transfer(const std::string& url) {
    Prepare(url, [&](CURL* curl) {
      api_->easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
      api_->easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
      api_->easy_setopt(curl, CURLOPT_XFERINFODATA, this);
      if (write_) {
        api_->easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        api_->easy_setopt(curl, CURLOPT_READFUNCTION, &GiveBlock);
        api_->easy_setopt(curl, CURLOPT_READDATA, this);
      } else {
        api_->easy_setopt(curl, CURLOPT_WRITEFUNCTION, &TakeBlock);
        api_->easy_setopt(curl, CURLOPT_WRITEDATA, this);
      }
    });
    const CURLcode code = api_->easy_perform(curl_);
    Outcome(code);
    {
      std::lock_guard lock(mutex_);
      result_ = code;
      finished_ = true;
    }
    changed_.notify_all();
    Notify(kFtpClosed);
  }

  // Ends the block-wise transfer: cancelled, or (an upload) once all written is sent.
  int EndWorker(bool cancel) {
    {
      std::lock_guard lock(mutex_);
      if (!running_) return 0;
      end_of_input_ = true;
      if (cancel) cancel_ = true;
      notify_ = nullptr;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    std::lock_guard lock(mutex_);
    running_ = false;
    data_.clear();
    // A download the reader ended early was stopped by it: that is no failure of the server.
    const bool stopped_by_reader = !write_ && result_ == CURLE_WRITE_ERROR;
    return result_ == CURLE_OK || stopped_by_reader ? 0 : -1;
  }

  std::string library_error_;  // why libcurl could not be loaded (made before api_)
  const CurlLibrary* api_;
  CURL* curl_ = nullptr;
  char error_buffer_[CURL_ERROR_SIZE] = {};
  std::string host_;
  unsigned port_ = 21;
  unsigned timeout_ = 30;
  std::string user_, password_, account_;
  std::string cwd_ = "/";
  bool ascii_ = false;
  bool connected_ = false;
  bool logged_in_ = false;

  mutable std::mutex error_mutex_;
  int error_ = 0;
  std::string error_text_;

  std::mutex reply_mutex_;
  std::vector<std::string> replies_;  // of the command under way
  std::string refusal_;               // its last reply of 400 or more

  // The block-wise transfer, shared with the worker.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread worker_;
  std::string data_;
  std::function<void(int)> notify_;
  bool running_ = false;
  bool write_ = false;
  bool finished_ = false;
  bool end_of_input_ = false;
  bool cancel_ = false;
  bool read_notified_ = false;
  CURLcode result_ = CURLE_OK;
};

}  // namespace

std::unique_ptr<FtpEngine> MakeCurlFtpEngine() { return std::make_unique<CurlFtpEngine>(); }

}  // namespace vx::platform
