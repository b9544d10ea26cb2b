// OpenSSL's libcrypto, loaded the first time a field is encrypted or decrypted rather than when
// the program starts: most runs encrypt nothing, and the library is among the largest the
// program would map (see shared_library.h).
#pragma once

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <string>

namespace vx::platform {

// The libcrypto entries the buffer cipher calls, typed as the headers declare them.
struct CryptoLibrary {
  decltype(&EVP_aes_128_ctr) aes_128_ctr;
  decltype(&EVP_aes_192_ctr) aes_192_ctr;
  decltype(&EVP_aes_256_ctr) aes_256_ctr;
  decltype(&EVP_chacha20) chacha20;
  decltype(&EVP_sha256) sha256_digest;
  decltype(&SHA256) sha256;
  decltype(&OPENSSL_cleanse) cleanse;
  decltype(&EVP_CIPHER_CTX_new) cipher_ctx_new;
  decltype(&EVP_CIPHER_CTX_free) cipher_ctx_free;
  decltype(&EVP_CIPHER_CTX_get_block_size) cipher_ctx_block_size;
  decltype(&EVP_CIPHER_get_iv_length) cipher_iv_length;
  decltype(&EVP_CIPHER_get_key_length) cipher_key_length;
  decltype(&PKCS5_PBKDF2_HMAC) pbkdf2_hmac;
  decltype(&EVP_CipherInit_ex) cipher_init;
  decltype(&EVP_CipherUpdate) cipher_update;
  decltype(&EVP_CipherFinal_ex) cipher_final;
};

// Loads libcrypto once (later calls answer the same); null when the library or one of its
// entries cannot be found, with `error` (when given) saying which.
const CryptoLibrary* LoadCryptoLibrary(std::string* error = nullptr);

}  // namespace vx::platform
