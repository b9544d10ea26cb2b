// Encrypts and decrypts registered text fields in place (typically fields of a record buffer),
// each field remembering whether it is encrypted now, so that a second call neither encrypts a
// field twice nor decrypts a plain one unless forced.
//
// The cipher is platform/buffer_cipher.h's, chosen by METHOD (0 = no encryption; 1 AES-128,
// 2 AES-192, 3 AES-256, each in counter mode; 4 ChaCha20; any other number fails with 3). It is
// a stream cipher keyed from ENCRYPTIONKEY through PBKDF2, so a field keeps its length and only
// its own bytes are written. The initialisation vector is the fixed text INIT sets unless the
// caller changes IV: every field starts the same key stream, so equal texts encrypt to equal
// cipher texts and two cipher texts together show where their plain texts differ. That hides a
// field's text from a reader of one record; it does not hide which records hold the same text.
//
// Results are 0 for success and 3 for failure. MODE is kept for GETMODE only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/fixed_string.h"

namespace vx {

class ZQPOWERCRYPTCLASS {
 public:
  // One registered field: where its storage is now, and whether it holds cipher text.
  struct Field {
    std::function<std::span<char>()> storage;
    std::uint8_t ENCRYPTED = 0;
  };

  std::uint8_t INIT(std::string_view key, long method, long mode);
  void KILL();

  // Registers a field. A fixed-width field is encrypted over its whole width; a std::string over
  // the length it has when a call encrypts it, so a text that has grown or shrunk since is
  // still walked within its own bytes.
  template <std::size_t N>
  void ADDFIELD(String<N>& field, std::uint8_t encrypted) {
    Q.push_back({[&field] { return std::span<char>(field.data(), N); }, encrypted});
  }
  void ADDFIELD(std::string& field, std::uint8_t encrypted);
  void ADDFIELD(std::span<char> bytes, std::uint8_t encrypted);

  void SETKEY(std::string_view key) { ENCRYPTIONKEY = key; }
  std::string GETKEY() const { return std::string(ENCRYPTIONKEY.view()); }
  void SETMETHOD(long method) { METHOD = method; }
  long GETMETHOD() const { return METHOD; }
  void SETMODE(long mode) { MODE = mode; }
  long GETMODE() const { return MODE; }

  std::uint8_t ENCRYPTQ(std::uint8_t force) { return CRYPTQ(1, force); }
  std::uint8_t DECRYPTQ(std::uint8_t force) { return CRYPTQ(0, force); }
  // Encrypts (direction 1) or decrypts (0) every field not already so (every field when forced),
  // from the last registered to the first. A field the cipher refuses keeps its state, and the
  // answer is then 3.
  std::uint8_t CRYPTQ(std::uint8_t direction, std::uint8_t force);

  std::uint8_t INITIALIZED = 0;
  long METHOD = 0;
  long MODE = 0;
  CString<256> ENCRYPTIONKEY;
  String<64> IV;
  long IVSIZE = 0;
  long STATUS = 0;
  long LASTERROR = 0;
  std::vector<Field> Q;
};

// The initialisation vector INIT sets.
inline constexpr std::string_view kDefaultCryptIv =
    "4817260395518274036694120587733901426685039174520863317940265581";

}  // namespace vx
