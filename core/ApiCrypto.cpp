#include "core/ApiCrypto.h"

#include <cstdint>
#include <vector>

namespace {

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::vector<uint32_t> ToWords(const std::string& bytes) {
  std::vector<uint32_t> words((bytes.size() + 3) / 4, 0);
  for (size_t i = 0; i < bytes.size(); ++i)
    words[i / 4] |= uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * (i % 4));
  return words;
}

constexpr uint32_t kDelta = 0x9E3779B9;

inline uint32_t Mix(uint32_t sum, uint32_t y, uint32_t z, size_t p, uint32_t e, const uint32_t* k) {
  return (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((sum ^ y) + (k[(p & 3) ^ e] ^ z));
}

void DecryptWords(std::vector<uint32_t>& v, const uint32_t* k) {
  size_t n = v.size();
  if (n < 2) return;
  uint32_t rounds = 6 + 52 / static_cast<uint32_t>(n);
  uint32_t sum = rounds * kDelta;
  uint32_t y = v[0];
  while (rounds-- > 0) {
    uint32_t e = (sum >> 2) & 3;
    size_t p;
    for (p = n - 1; p > 0; --p) {
      uint32_t z = v[p - 1];
      y = v[p] -= Mix(sum, y, z, p, e, k);
    }
    uint32_t z = v[n - 1];
    y = v[0] -= Mix(sum, y, z, 0, e, k);
    sum -= kDelta;
  }
}

}  // namespace

std::string Base64Decode(const std::string& text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  uint32_t group = 0;
  int count = 0;
  for (char c : text) {
    int value = Base64Value(c);
    if (value < 0) break;
    group = (group << 6) | static_cast<uint32_t>(value);
    if (++count == 4) {
      out += static_cast<char>(group >> 16);
      out += static_cast<char>(group >> 8);
      out += static_cast<char>(group);
      group = 0;
      count = 0;
    }
  }
  if (count == 2) {
    out += static_cast<char>(group >> 4);
  } else if (count == 3) {
    out += static_cast<char>(group >> 10);
    out += static_cast<char>(group >> 2);
  }
  return out;
}

bool XxteaDecrypt(const std::string& data, const std::string& key, std::string& plain) {
  std::vector<uint32_t> words = ToWords(data);
  if (words.empty()) return false;
  std::string keyBytes = key.substr(0, 16);
  keyBytes.resize(16, '\0');
  std::vector<uint32_t> k = ToWords(keyBytes);
  DecryptWords(words, k.data());
  uint64_t capacity = 4ull * words.size();
  uint64_t n = words.back();
  if (n + 7 < capacity || n + 4 > capacity) return false;
  plain.clear();
  plain.reserve(static_cast<size_t>(n));
  for (size_t i = 0; i < n; ++i) plain += static_cast<char>(words[i / 4] >> (8 * (i % 4)));
  return true;
}
