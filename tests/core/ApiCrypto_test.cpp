#include "core/ApiCrypto.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/HttpClient.h"
#include "core/NetManager.h"
#include "tests/core/support/ApiStandin.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string hex;
  char two[3];
  for (unsigned char b : bytes) {
    snprintf(two, sizeof two, "%02x", b);
    hex += two;
  }
  return hex;
}

// The stand-in's own XXTEA encryption of the bytes (with the signing key), base64-encoded.
std::string StandinEncrypt(const std::string& plain, const std::string& lengthWord = std::string()) {
  CHttpClient client;
  EXPECT_TRUE(client.InitLibCurl(nullptr));
  std::string text;
  std::string url = api_standin::BaseUrl() + "/_xxtea?hex=" + Hex(plain);
  if (!lengthWord.empty()) url += "&len=" + lengthWord;
  EXPECT_EQ(200, client.HttpRequest(url, 1, text, nullptr, L""));
  return text;
}

}  // namespace

TEST(Base64Decode, StopsAtPaddingOrForeignCharactersAndKeepsPartialGroups) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"", ""},
      {"TWFu", "Man"},
      {"TWE=", "Ma"},
      {"TWE", "Ma"},
      {"TQ==", "M"},
      {"TQ", "M"},
      {"T", ""},
      {"TWFuTWFu", "ManMan"},
      {"TWFu=TWFu", "Man"},
      {"TWFu\nTWFu", "Man"},
      {"!!!!", ""},
      {"+/+/", "\xFB\xFF\xBF"},
      {"AAAA", std::string(3, '\0')},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, Base64Decode(c.in)) << c.in;
}

TEST(XxteaDecrypt, ReadsTheStandinsEncryptionOfEveryLengthAroundWordBorders) {
  for (size_t length = 1; length <= 13; ++length) {
    std::string plain;
    for (size_t i = 0; i < length; ++i) plain += static_cast<char>('A' + i * 3);
    std::string decrypted;
    ASSERT_TRUE(XxteaDecrypt(Base64Decode(StandinEncrypt(plain)), NetManager::kSigningKey, decrypted)) << length;
    EXPECT_EQ(plain, decrypted);
  }
  std::string chinese = "0123456789{\"m\":\"\xE5\xB2\x9A\xE9\xB9\x8A\"}";
  std::string decrypted;
  ASSERT_TRUE(XxteaDecrypt(Base64Decode(StandinEncrypt(chinese)), NetManager::kSigningKey, decrypted));
  EXPECT_EQ(chinese, decrypted);
}

TEST(XxteaDecrypt, RefusesALengthWordOutsideTheLastWord) {
  // 8 plaintext bytes make 3 words: lengths 5 to 8 are possible, 4 and 9 are not.
  std::string plain = "abcdefgh";
  std::string decrypted;
  EXPECT_TRUE(XxteaDecrypt(Base64Decode(StandinEncrypt(plain, "5")), NetManager::kSigningKey, decrypted));
  EXPECT_EQ("abcde", decrypted);
  EXPECT_FALSE(XxteaDecrypt(Base64Decode(StandinEncrypt(plain, "4")), NetManager::kSigningKey, decrypted));
  EXPECT_FALSE(XxteaDecrypt(Base64Decode(StandinEncrypt(plain, "9")), NetManager::kSigningKey, decrypted));
  EXPECT_FALSE(XxteaDecrypt(Base64Decode(StandinEncrypt(plain)), "another key.....", decrypted));
  EXPECT_FALSE(XxteaDecrypt("", NetManager::kSigningKey, decrypted));
}

TEST(DecryptReply, DropsTheTenCharacterPrefixAndStopsAtAZeroByte) {
  bool tooShort = true;
  EXPECT_EQ("{\"a\":1}", NetManager::DecryptReply(StandinEncrypt("0123456789{\"a\":1}"), &tooShort));
  EXPECT_FALSE(tooShort);
  EXPECT_EQ("ab", NetManager::DecryptReply(StandinEncrypt(std::string("0123456789ab\0cd", 15)), &tooShort));
  EXPECT_EQ("", NetManager::DecryptReply(StandinEncrypt("0123456789"), &tooShort));
  EXPECT_FALSE(tooShort);
  EXPECT_EQ("", NetManager::DecryptReply(StandinEncrypt("012345678"), &tooShort));
  EXPECT_TRUE(tooShort);
  // Empty, non-base64 and undecryptable data give an empty payload without being "too short".
  for (const char* data : {"", "!!!!", "QUJD"}) {
    EXPECT_EQ("", NetManager::DecryptReply(data, &tooShort)) << data;
    EXPECT_FALSE(tooShort) << data;
  }
}
