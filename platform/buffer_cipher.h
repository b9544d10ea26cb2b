// The symmetric cipher that encrypts text fields in place, on OpenSSL's EVP interface (loaded
// when a context is first set up: crypto_library.h).
//
// Every algorithm offered is a stream cipher, so a field keeps its length: the cipher text of
// n bytes is n bytes and is written over the field's own storage, never past it. The key comes
// from a key text through PBKDF2 (HMAC-SHA-256, the initialisation-vector text as the salt) and
// the cipher's own initialisation vector is the first 16 bytes of the SHA-256 of that text.
// Each buffer is encrypted from the start of the key stream: equal texts under the same key and
// vector encrypt alike, and two cipher texts together tell how their plain texts differ, so a
// fixed vector protects only against a reader who sees one field.
//
// Every call answers 0 on success and a nonzero code otherwise (kCipherUnknownAlgorithm for a
// number that names no algorithm, kCipherNoLibrary when libcrypto cannot be loaded).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx::platform {

// Algorithm numbers a caller chooses by.
inline constexpr long kCipherAes128Ctr = 1;
inline constexpr long kCipherAes192Ctr = 2;
inline constexpr long kCipherAes256Ctr = 3;
inline constexpr long kCipherChaCha20 = 4;

inline constexpr int kCipherUnknownAlgorithm = 1;
inline constexpr int kCipherNotReady = 2;   // no algorithm, key or vector set yet
inline constexpr int kCipherFailed = 3;     // the library refused
inline constexpr int kCipherNoLibrary = 4;  // libcrypto cannot be loaded

// What a code means; for kCipherNoLibrary, why the library could not be loaded, naming it.
std::string CipherErrorText(int code);

// Rounds of PBKDF2 that make a key from a key text.
inline constexpr int kCipherKeyRounds = 10000;

// 0 when the number names an algorithm (the library is not needed to tell).
int CipherAlgorithmKnown(long algorithm);

// One cipher context: an algorithm, a key and a vector, then any number of buffers. The
// library's context is released by Release or, on any path that skips it, by the destructor.
class CipherContext {
 public:
  CipherContext();
  ~CipherContext();
  CipherContext(const CipherContext&) = delete;
  CipherContext& operator=(const CipherContext&) = delete;

  int Init(long algorithm);
  int SetKey(std::string_view key_text);
  int SetIv(std::string_view iv_text);
  // Encrypts or decrypts `length` bytes at `data` in place.
  int Encrypt(char* data, std::size_t length);
  int Decrypt(char* data, std::size_t length);
  // Lets the library's context go and clears the key; later calls answer kCipherNotReady.
  int Release();

 private:
  int Crypt(char* data, std::size_t length, bool encrypt);

  int DeriveKey();

  struct Library;
  std::unique_ptr<Library> library_;
  std::string key_text_;             // until the key is made from it with the vector's text
  std::vector<unsigned char> salt_;  // the vector's text
  std::vector<unsigned char> key_;
  std::vector<unsigned char> iv_;
  bool key_set_ = false;
};

}  // namespace vx::platform
