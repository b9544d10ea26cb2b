#include "datadll/utility/zq_power_crypt_class.h"

#include <algorithm>

#include "platform/buffer_cipher.h"

namespace vx {
namespace {

constexpr std::uint8_t kFailed = 3;

}  // namespace

std::uint8_t ZQPOWERCRYPTCLASS::INIT(std::string_view key, long method, long mode) {
  Q.clear();
  IV = kDefaultCryptIv;
  IVSIZE = static_cast<long>(kDefaultCryptIv.size());
  ENCRYPTIONKEY = key;
  METHOD = method;
  MODE = mode;
  LASTERROR = 0;
  INITIALIZED = 1;
  return 0;
}

void ZQPOWERCRYPTCLASS::KILL() {
  if (INITIALIZED == 0) return;
  Q.clear();
  LASTERROR = 0;
  INITIALIZED = 0;
}

void ZQPOWERCRYPTCLASS::ADDFIELD(std::string& field, std::uint8_t encrypted) {
  Q.push_back({[&field] { return std::span<char>(field.data(), field.size()); }, encrypted});
}

void ZQPOWERCRYPTCLASS::ADDFIELD(std::span<char> bytes, std::uint8_t encrypted) {
  Q.push_back({[bytes] { return bytes; }, encrypted});
}

std::uint8_t ZQPOWERCRYPTCLASS::CRYPTQ(std::uint8_t direction, std::uint8_t force) {
  if (METHOD == 0) return 0;
  // The context lets the library's state go when it leaves this scope, on every path.
  platform::CipherContext context;
  const std::string_view iv =
      IV.view().substr(0, static_cast<std::size_t>(std::clamp<long>(IVSIZE, 0, 64)));
  // Algorithm, context, key and vector in turn; the first that fails ends the call.
  const auto failed = [&](int result) {
    LASTERROR = result;
    return result != 0;
  };
  if (failed(platform::CipherAlgorithmKnown(METHOD)) || failed(context.Init(METHOD)) ||
      failed(context.SetKey(ENCRYPTIONKEY.view())) || failed(context.SetIv(iv))) {
    return kFailed;
  }
  bool refused = false;
  for (auto row = Q.rbegin(); row != Q.rend(); ++row) {
    if (row->ENCRYPTED == direction && force == 0) continue;
    const std::span<char> bytes = row->storage();
    const int result = direction == 1 ? context.Encrypt(bytes.data(), bytes.size())
                                      : context.Decrypt(bytes.data(), bytes.size());
    if (result == 0) {
      row->ENCRYPTED = direction;
    } else {
      LASTERROR = result;
      refused = true;
    }
  }
  const int released = context.Release();
  if (released != 0) LASTERROR = released;
  return refused || released != 0 ? kFailed : 0;
}

}  // namespace vx
