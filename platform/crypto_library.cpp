#include "platform/crypto_library.h"

#include "platform/shared_library.h"

namespace vx::platform {
namespace {

void Fill(SharedLibrary& library, CryptoLibrary& crypto) {
  library.Entry("EVP_aes_128_ctr", crypto.aes_128_ctr);
  library.Entry("EVP_aes_192_ctr", crypto.aes_192_ctr);
  library.Entry("EVP_aes_256_ctr", crypto.aes_256_ctr);
  library.Entry("EVP_chacha20", crypto.chacha20);
  library.Entry("EVP_sha256", crypto.sha256_digest);
  library.Entry("SHA256", crypto.sha256);
  library.Entry("OPENSSL_cleanse", crypto.cleanse);
  library.Entry("EVP_CIPHER_CTX_new", crypto.cipher_ctx_new);
  library.Entry("EVP_CIPHER_CTX_free", crypto.cipher_ctx_free);
  library.Entry("EVP_CIPHER_CTX_get_block_size", crypto.cipher_ctx_block_size);
  library.Entry("EVP_CIPHER_get_iv_length", crypto.cipher_iv_length);
  library.Entry("EVP_CIPHER_get_key_length", crypto.cipher_key_length);
  library.Entry("PKCS5_PBKDF2_HMAC", crypto.pbkdf2_hmac);
  library.Entry("EVP_CipherInit_ex", crypto.cipher_init);
  library.Entry("EVP_CipherUpdate", crypto.cipher_update);
  library.Entry("EVP_CipherFinal_ex", crypto.cipher_final);
}

}  // namespace

const CryptoLibrary* LoadCryptoLibrary(std::string* error) {
  // The entries used are those of OpenSSL 3 (EVP_CIPHER_get_iv_length is new in it).
  static LazyLibrary<CryptoLibrary> crypto("libcrypto", {"libcrypto.so.3"}, Fill);
  return crypto.Get(error);
}

}  // namespace vx::platform
