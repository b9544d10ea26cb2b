// An FTP session as the data library's FTP client class drives it: connect, log in, walk and
// change the remote folders, transfer files whole or a block at a time.
//
// One engine holds one connection at a time (its handle is 1). Every call answers 0 (or a count)
// on success and -1 on failure; LastError() then gives the server's reply code when the server
// refused (530, 550 ...) and kFtpLibraryError plus the library's own code otherwise, and
// ErrorText() the server's reply line as it sent it, or the library's reason. A password is kept
// only in memory, handed to the transfer library as a credential and never put into a path, a
// reply, an error text or a log line.
//
// A remote file opened for a block-wise transfer moves on a thread of the engine's own, so no
// call waits for the network except Close, Connect, Login and the whole-file and folder calls.
// While notifications are on, that thread calls the notify function (from its own thread) with
// kFtpCanRead when data came in, kFtpCanWrite when the block written last was taken and
// kFtpClosed when the transfer ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx::platform {

inline constexpr int kFtpCanRead = 1;
inline constexpr int kFtpCanWrite = 2;
inline constexpr int kFtpConnected = 16;
inline constexpr int kFtpClosed = 32;

inline constexpr int kFtpLibraryError = 10000;

// Transfer types.
inline constexpr std::uint8_t kFtpAscii = 1;
inline constexpr std::uint8_t kFtpBinary = 2;

struct FtpEntry {
  std::string name;
  std::string owner, group;
  bool is_directory = false;
  std::int64_t size = 0;
  // Modification moment as the server gives it (UTC for MLSD); 0 fields when it gave none.
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class FtpEngine {
 public:
  virtual ~FtpEngine() = default;

  // Opens the control connection and reads the server's greeting: the handle, or -1.
  virtual long Connect(const std::string& host, unsigned port, unsigned timeout_seconds) = 0;
  virtual int Login(long handle, const std::string& user, const std::string& password,
                    const std::string& account) = 0;
  virtual void Logout(long handle) = 0;
  virtual void Close(long handle) = 0;
  virtual void SetTimeout(long handle, unsigned seconds) = 0;

  // Folder names are relative to the current remote folder unless they begin with "/".
  virtual int CurrentDirectory(long handle, std::string& path) = 0;
  virtual int ChangeDirectory(long handle, const std::string& path) = 0;
  virtual int MakeDirectory(long handle, const std::string& path) = 0;
  virtual int RemoveDirectory(long handle, const std::string& path) = 0;
  virtual int DeleteFile(long handle, const std::string& name) = 0;
  virtual int Rename(long handle, const std::string& from, const std::string& to) = 0;
  // The entries of a folder ("." and ".." left out).
  virtual int List(long handle, const std::string& path, std::vector<FtpEntry>& entries) = 0;

  virtual int SetTransferType(long handle, std::uint8_t type) = 0;
  virtual int FileSize(long handle, const std::string& name, std::int64_t& size) = 0;

  // A block-wise transfer of one remote file: opened for reading (download) or writing.
  virtual int OpenRemoteFile(long handle, const std::string& name, bool write) = 0;
  // Takes up to `size` bytes that have come in: their number, 0 when none is waiting now, -1
  // when the transfer has ended with nothing left to take.
  virtual long Read(long handle, char* buffer, std::size_t size) = 0;
  // Hands a block over for sending: its length, or -1 when the transfer has ended.
  virtual long Write(long handle, const char* buffer, std::size_t length) = 0;
  // Whether the block written last has not been taken yet.
  virtual bool Busy(long handle) = 0;
  // Ends the transfer (an upload once everything written has been sent and the server has
  // confirmed it): 0 when the server took the whole file, else -1.
  virtual int CloseRemoteFile(long handle) = 0;
  virtual bool Cancel(long handle) = 0;
  // Sets the notify function (an empty one: notifications off).
  virtual int Notifications(long handle, std::function<void(int event)> notify) = 0;

  virtual int GetFile(long handle, const std::string& local, const std::string& remote) = 0;
  virtual int PutFile(long handle, const std::string& local, const std::string& remote) = 0;

  virtual int LastError() const = 0;
  virtual std::string ErrorText(int code) const = 0;
};

// The engine on libcurl.
std::unique_ptr<FtpEngine> MakeCurlFtpEngine();

}  // namespace vx::platform
