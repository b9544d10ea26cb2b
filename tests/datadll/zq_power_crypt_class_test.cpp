// Encrypting registered fields in place: known cipher texts pin each algorithm and its key
// derivation, fields go both ways and are never encrypted twice unless forced, a field's
// neighbours are never written, and a method the cipher lacks fails without touching anything.
#include "datadll/utility/zq_power_crypt_class.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace vx {
namespace {

std::string Hex(std::string_view bytes) {
  std::string out;
  char two[3];
  for (const char c : bytes) {
    std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(c));
    out += two;
  }
  return out;
}

// A record whose text fields lie between guard bytes that no call may write.
struct Record {
  char before[4] = {'g', 'g', 'g', 'g'};
  String<12> Name = "Ann Smith";
  String<12> City = "Leeds";
  String<12> Twin = "Leeds";
  char after[4] = {'g', 'g', 'g', 'g'};
  bool GuardsKept() const {
    return std::string(before, 4) == "gggg" && std::string(after, 4) == "gggg";
  }
};

// PBKDF2-HMAC-SHA-256 of "Varnodex" salted with the default vector's text, then the cipher over
// "Meet at noon": the same figures as Python's hashlib and the openssl command give.
TEST(ZqPowerCryptClass, KnownCipherTextsPinEachAlgorithm) {
  const struct {
    long method;
    const char* cipher_text;
  } cases[] = {
      {1, "544503d675c4c78129310cbc"},  // AES-128-CTR
      {3, "84679ad729205dbede2d8ba0"},  // AES-256-CTR
      {4, "2f534feddb9680c0e7cb03e8"},  // ChaCha20
  };
  for (const auto& c : cases) {
    ZQPOWERCRYPTCLASS crypt;
    ASSERT_EQ(crypt.INIT("Varnodex", c.method, 4), 0);
    std::string text = "Meet at noon";
    crypt.ADDFIELD(text, 0);
    EXPECT_EQ(crypt.ENCRYPTQ(0), 0) << c.method;
    EXPECT_EQ(Hex(text), c.cipher_text) << c.method;
    EXPECT_EQ(crypt.DECRYPTQ(0), 0) << c.method;
    EXPECT_EQ(text, "Meet at noon") << c.method;
    crypt.KILL();
  }
}

TEST(ZqPowerCryptClass, FieldsGoBothWaysOnceEachUnlessForced) {
  Record r;
  ZQPOWERCRYPTCLASS crypt;
  ASSERT_EQ(crypt.INIT("secret key", 3, 4), 0);
  crypt.ADDFIELD(r.Name, 0);
  crypt.ADDFIELD(r.City, 0);
  crypt.ADDFIELD(r.Twin, 0);

  ASSERT_EQ(crypt.ENCRYPTQ(0), 0);
  const std::string once_name(r.Name.view());
  const std::string once_city(r.City.view());
  EXPECT_NE(once_name, std::string(String<12>("Ann Smith").view()));
  // The fixed vector: equal texts give equal cipher texts.
  EXPECT_EQ(std::string(r.Twin.view()), once_city);
  EXPECT_TRUE(r.GuardsKept());

  // Already encrypted: a second call leaves them; a forced one encrypts again.
  ASSERT_EQ(crypt.ENCRYPTQ(0), 0);
  EXPECT_EQ(std::string(r.Name.view()), once_name);
  ASSERT_EQ(crypt.ENCRYPTQ(1), 0);
  EXPECT_NE(std::string(r.Name.view()), once_name);
  // A forced decryption takes one layer off and marks the fields plain, though they still hold
  // the first cipher text; only another forced one takes that off.
  ASSERT_EQ(crypt.DECRYPTQ(1), 0);
  EXPECT_EQ(std::string(r.Name.view()), once_name);
  for (const auto& field : crypt.Q) EXPECT_EQ(field.ENCRYPTED, 0);
  ASSERT_EQ(crypt.DECRYPTQ(1), 0);
  EXPECT_EQ(r.Name, "Ann Smith");
  EXPECT_EQ(r.City, "Leeds");
  // Plain already: nothing changes.
  ASSERT_EQ(crypt.DECRYPTQ(0), 0);
  EXPECT_EQ(r.Name, "Ann Smith");
  EXPECT_TRUE(r.GuardsKept());
  for (const auto& field : crypt.Q) EXPECT_EQ(field.ENCRYPTED, 0);
}

TEST(ZqPowerCryptClass, AFieldRegisteredAsEncryptedIsDecryptedOnly) {
  Record stored;
  ZQPOWERCRYPTCLASS crypt;
  ASSERT_EQ(crypt.INIT("k", 4, 4), 0);
  crypt.ADDFIELD(stored.Name, 0);
  ASSERT_EQ(crypt.ENCRYPTQ(0), 0);
  // A second object reads the stored record back, told which field is cipher text.
  Record read = stored;
  read.City = "Plain";
  ZQPOWERCRYPTCLASS reader;
  ASSERT_EQ(reader.INIT("k", 4, 4), 0);
  reader.ADDFIELD(read.Name, 1);
  reader.ADDFIELD(read.City, 0);
  ASSERT_EQ(reader.DECRYPTQ(0), 0);
  EXPECT_EQ(read.Name, "Ann Smith");
  EXPECT_EQ(read.City, "Plain");
}

TEST(ZqPowerCryptClass, NoMethodOrAnUnknownOneLeavesTheFields) {
  for (const long method : {0L, 99L, -1L}) {
    Record r;
    ZQPOWERCRYPTCLASS crypt;
    ASSERT_EQ(crypt.INIT("key", method, 4), 0);
    crypt.ADDFIELD(r.Name, 0);
    const int expected = method == 0 ? 0 : 3;
    EXPECT_EQ(crypt.ENCRYPTQ(1), expected) << method;
    EXPECT_EQ(crypt.DECRYPTQ(1), expected) << method;
    EXPECT_EQ(r.Name, "Ann Smith") << method;
    EXPECT_EQ(crypt.Q[0].ENCRYPTED, 0) << method;
    if (method != 0) {
      EXPECT_NE(crypt.LASTERROR, 0) << method;
    }
  }
}

// A text registered at one length and changed since is walked within the bytes it has when
// it is encrypted, so a shorter one is never written past its end.
TEST(ZqPowerCryptClass, ATextOfAnotherLengthThanRegisteredStaysWithinItsBytes) {
  std::string text(40, 'x');
  ZQPOWERCRYPTCLASS crypt;
  ASSERT_EQ(crypt.INIT("key", 3, 4), 0);
  crypt.ADDFIELD(text, 0);
  text = "abc";
  text.shrink_to_fit();
  ASSERT_EQ(crypt.ENCRYPTQ(0), 0);
  EXPECT_EQ(text.size(), 3u);
  EXPECT_NE(text, "abc");
  text += "def";  // grown while encrypted: only the first three bytes were cipher text
  ASSERT_EQ(crypt.DECRYPTQ(0), 0);
  EXPECT_EQ(text.substr(0, 3), "abc");
}

}  // namespace
}  // namespace vx
