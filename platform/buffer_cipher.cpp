#include "platform/buffer_cipher.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <climits>

namespace vx::platform {
namespace {

const EVP_CIPHER* CipherOf(long algorithm) {
  switch (algorithm) {
    case kCipherAes128Ctr:
      return EVP_aes_128_ctr();
    case kCipherAes192Ctr:
      return EVP_aes_192_ctr();
    case kCipherAes256Ctr:
      return EVP_aes_256_ctr();
    case kCipherChaCha20:
      return EVP_chacha20();
    default:
      return nullptr;
  }
}

void Wipe(std::vector<unsigned char>& bytes) {
  if (!bytes.empty()) OPENSSL_cleanse(bytes.data(), bytes.size());
  bytes.clear();
}

void Wipe(std::string& text) {
  if (!text.empty()) OPENSSL_cleanse(text.data(), text.size());
  text.clear();
}

}  // namespace

struct CipherContext::Library {
  ~Library() { EVP_CIPHER_CTX_free(context); }
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  const EVP_CIPHER* cipher = nullptr;
};

int CipherAlgorithmKnown(long algorithm) {
  return CipherOf(algorithm) != nullptr ? 0 : kCipherUnknownAlgorithm;
}

CipherContext::CipherContext() = default;

CipherContext::~CipherContext() { Release(); }

int CipherContext::Init(long algorithm) {
  const EVP_CIPHER* cipher = CipherOf(algorithm);
  if (cipher == nullptr) return kCipherUnknownAlgorithm;
  Release();
  library_ = std::make_unique<Library>();
  if (library_->context == nullptr) {
    library_.reset();
    return kCipherFailed;
  }
  library_->cipher = cipher;
  return 0;
}

int CipherContext::SetKey(std::string_view key_text) {
  if (!library_) return kCipherNotReady;
  Wipe(key_text_);
  Wipe(key_);
  key_text_.assign(key_text);
  key_set_ = true;
  return 0;
}

int CipherContext::SetIv(std::string_view iv_text) {
  if (!library_) return kCipherNotReady;
  Wipe(key_);  // the key is made again with the new vector as its salt
  salt_.assign(iv_text.begin(), iv_text.end());
  iv_.assign(SHA256_DIGEST_LENGTH, 0);
  SHA256(salt_.data(), salt_.size(), iv_.data());
  iv_.resize(static_cast<std::size_t>(EVP_CIPHER_get_iv_length(library_->cipher)));
  return 0;
}

int CipherContext::DeriveKey() {
  if (!key_.empty()) return 0;
  key_.assign(static_cast<std::size_t>(EVP_CIPHER_get_key_length(library_->cipher)), 0);
  if (key_text_.size() > INT_MAX || salt_.size() > INT_MAX) return kCipherFailed;
  const int made = PKCS5_PBKDF2_HMAC(key_text_.data(), static_cast<int>(key_text_.size()),
                                     salt_.data(), static_cast<int>(salt_.size()), kCipherKeyRounds,
                                     EVP_sha256(), static_cast<int>(key_.size()), key_.data());
  if (made != 1) {
    Wipe(key_);
    return kCipherFailed;
  }
  return 0;
}

int CipherContext::Crypt(char* data, std::size_t length, bool encrypt) {
  if (!library_ || !key_set_ || iv_.empty()) return kCipherNotReady;
  if (const int made = DeriveKey(); made != 0) return made;
  if (length == 0) return 0;
  if (length > INT_MAX) return kCipherFailed;
  EVP_CIPHER_CTX* context = library_->context;
  // Each buffer starts the key stream afresh, so any field decrypts on its own.
  if (EVP_CipherInit_ex(context, library_->cipher, nullptr, key_.data(), iv_.data(),
                        encrypt ? 1 : 0) != 1) {
    return kCipherFailed;
  }
  // A stream cipher gives exactly as many bytes as it takes, so the output is the field itself;
  // anything else is refused before it could be written.
  if (EVP_CIPHER_CTX_get_block_size(context) != 1) return kCipherFailed;
  auto* bytes = reinterpret_cast<unsigned char*>(data);
  int written = 0;
  if (EVP_CipherUpdate(context, bytes, &written, bytes, static_cast<int>(length)) != 1 ||
      written != static_cast<int>(length)) {
    return kCipherFailed;
  }
  int rest = 0;
  unsigned char tail[EVP_MAX_BLOCK_LENGTH];
  if (EVP_CipherFinal_ex(context, tail, &rest) != 1 || rest != 0) return kCipherFailed;
  return 0;
}

int CipherContext::Encrypt(char* data, std::size_t length) { return Crypt(data, length, true); }

int CipherContext::Decrypt(char* data, std::size_t length) { return Crypt(data, length, false); }

int CipherContext::Release() {
  Wipe(key_text_);
  Wipe(key_);
  Wipe(salt_);
  iv_.clear();
  key_set_ = false;
  library_.reset();
  return 0;
}

}  // namespace vx::platform
