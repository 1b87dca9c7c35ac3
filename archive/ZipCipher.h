// Traditional PKWARE encryption: three keys stirred through the CRC-32 table by the password and
// then by every plain byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ZipCipher {
 public:
  explicit ZipCipher(const std::string& password);
  void Decrypt(uint8_t* bytes, size_t count);
  // The inverse, for tests that build encrypted archives by hand.
  void Encrypt(uint8_t* bytes, size_t count);

 private:
  void Update(uint8_t plain);
  uint8_t KeyByte() const;

  uint32_t m_keys[3];
};
