#include "archive/ZipCipher.h"

#include <zlib.h>

namespace {

uint32_t CrcStep(uint32_t crc, uint8_t byte) {
  static const z_crc_t* table = get_crc_table();
  return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

ZipCipher::ZipCipher(const std::string& password) : m_keys{0x12345678, 0x23456789, 0x34567890} {
  for (char c : password) Update(static_cast<uint8_t>(c));
}

void ZipCipher::Update(uint8_t plain) {
  m_keys[0] = CrcStep(m_keys[0], plain);
  m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
  m_keys[2] = CrcStep(m_keys[2], static_cast<uint8_t>(m_keys[1] >> 24));
}

uint8_t ZipCipher::KeyByte() const {
  uint32_t temp = (m_keys[2] & 0xFFFF) | 2;
  return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
}

void ZipCipher::Decrypt(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    bytes[i] ^= KeyByte();
    Update(bytes[i]);
  }
}

void ZipCipher::Encrypt(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    uint8_t plain = bytes[i];
    bytes[i] ^= KeyByte();
    Update(plain);
  }
}
