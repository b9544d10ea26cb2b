#include "platform/buffer_cipher.h"

#include <climits>

#include "platform/crypto_library.h"

namespace vx::platform {
namespace {

const EVP_CIPHER* CipherOf(const CryptoLibrary& crypto, long algorithm) {
  switch (algorithm) {
    case kCipherAes128Ctr:
      return crypto.aes_128_ctr();
    case kCipherAes192Ctr:
      return crypto.aes_192_ctr();
    case kCipherAes256Ctr:
      return crypto.aes_256_ctr();
    case kCipherChaCha20:
      return crypto.chacha20();
    default:
      return nullptr;
  }
}

// Clears secrets before their memory is given back. Nothing is held before the library is.
void Wipe(const CryptoLibrary* crypto, std::vector<unsigned char>& bytes) {
  if (crypto && !bytes.empty()) crypto->cleanse(bytes.data(), bytes.size());
  bytes.clear();
}

void Wipe(const CryptoLibrary* crypto, std::string& text) {
  if (crypto && !text.empty()) crypto->cleanse(text.data(), text.size());
  text.clear();
}

}  // namespace

struct CipherContext::Library {
  explicit Library(const CryptoLibrary& loaded)
      : crypto(loaded), context(loaded.cipher_ctx_new()) {}
  ~Library() { crypto.cipher_ctx_free(context); }
  const CryptoLibrary& crypto;
  EVP_CIPHER_CTX* context;
  const EVP_CIPHER* cipher = nullptr;
};

std::string CipherErrorText(int code) {
  switch (code) {
    case 0:
      return "No error";
    case kCipherUnknownAlgorithm:
      return "No such encryption method";
    case kCipherNotReady:
      return "No encryption method, key or vector set";
    case kCipherFailed:
      return "The encryption library refused";
    case kCipherNoLibrary: {
      std::string error;
      LoadCryptoLibrary(&error);
      return error.empty() ? std::string("libcrypto cannot be loaded") : error;
    }
    default:
      return "Encryption error " + std::to_string(code);
  }
}

int CipherAlgorithmKnown(long algorithm) {
  return algorithm >= kCipherAes128Ctr && algorithm <= kCipherChaCha20 ? 0
                                                                       : kCipherUnknownAlgorithm;
}

CipherContext::CipherContext() = default;

CipherContext::~CipherContext() { Release(); }

int CipherContext::Init(long algorithm) {
  if (CipherAlgorithmKnown(algorithm) != 0) return kCipherUnknownAlgorithm;
  const CryptoLibrary* crypto = LoadCryptoLibrary();
  if (!crypto) return kCipherNoLibrary;
  const EVP_CIPHER* cipher = CipherOf(*crypto, algorithm);
  if (cipher == nullptr) return kCipherFailed;
  Release();
  library_ = std::make_unique<Library>(*crypto);
  if (library_->context == nullptr) {
    library_.reset();
    return kCipherFailed;
  }
  library_->cipher = cipher;
  return 0;
}

int CipherContext::SetKey(std::string_view key_text) {
  if (!library_) return kCipherNotReady;
  Wipe(&library_->crypto, key_text_);
  Wipe(&library_->crypto, key_);
  key_text_.assign(key_text);
  key_set_ = true;
  return 0;
}

int CipherContext::SetIv(std::string_view iv_text) {
  if (!library_) return kCipherNotReady;
  const CryptoLibrary& crypto = library_->crypto;
  Wipe(&crypto, key_);  // the key is made again with the new vector as its salt
  salt_.assign(iv_text.begin(), iv_text.end());
  iv_.assign(SHA256_DIGEST_LENGTH, 0);
  crypto.sha256(salt_.data(), salt_.size(), iv_.data());
  iv_.resize(static_cast<std::size_t>(crypto.cipher_iv_length(library_->cipher)));
  return 0;
}

int CipherContext::DeriveKey() {
  if (!key_.empty()) return 0;
  const CryptoLibrary& crypto = library_->crypto;
  key_.assign(static_cast<std::size_t>(crypto.cipher_key_length(library_->cipher)), 0);
  if (key_text_.size() > INT_MAX || salt_.size() > INT_MAX) return kCipherFailed;
  const int made =
      crypto.pbkdf2_hmac(key_text_.data(), static_cast<int>(key_text_.size()), salt_.data(),
                         static_cast<int>(salt_.size()), kCipherKeyRounds, crypto.sha256_digest(),
                         static_cast<int>(key_.size()), key_.data());
  if (made != 1) {
    Wipe(&crypto, key_);
    return kCipherFailed;
  }
  return 0;
}

int CipherContext::Crypt(char* data, std::size_t length, bool encrypt) {
  if (!library_ || !key_set_ || iv_.empty()) return kCipherNotReady;
  if (const int made = DeriveKey(); made != 0) return made;
  if (length == 0) return 0;
  if (length > INT_MAX) return kCipherFailed;
  const CryptoLibrary& crypto = library_->crypto;
  EVP_CIPHER_CTX* context = library_->context;
  // Each buffer starts the key stream afresh, so any field decrypts on its own.
  if (crypto.cipher_init(context, library_->cipher, nullptr, key_.data(), iv_.data(),
                         encrypt ? 1 : 0) != 1) {
    return kCipherFailed;
  }
  // A stream cipher gives exactly as many bytes as it takes, so the output is the field itself;
  // anything else is refused before it could be written.
  if (crypto.cipher_ctx_block_size(context) != 1) return kCipherFailed;
  auto* bytes = reinterpret_cast<unsigned char*>(data);
  int written = 0;
  if (crypto.cipher_update(context, bytes, &written, bytes, static_cast<int>(length)) != 1 ||
      written != static_cast<int>(length)) {
    return kCipherFailed;
  }
  int rest = 0;
  unsigned char tail[EVP_MAX_BLOCK_LENGTH];
  if (crypto.cipher_final(context, tail, &rest) != 1 || rest != 0) return kCipherFailed;
  return 0;
}

int CipherContext::Encrypt(char* data, std::size_t length) { return Crypt(data, length, true); }

int CipherContext::Decrypt(char* data, std::size_t length) { return Crypt(data, length, false); }

int CipherContext::Release() {
  // Secrets are only ever held while a context of the library is.
  const CryptoLibrary* crypto = library_ ? &library_->crypto : nullptr;
  Wipe(crypto, key_text_);
  Wipe(crypto, key_);
  Wipe(crypto, salt_);
  iv_.clear();
  key_set_ = false;
  library_.reset();
  return 0;
}

}  // namespace vx::platform
