// Builds small ZIP archives byte by byte, for the cases Info-ZIP will not write: hostile names,
// lying headers, short data, odd extra fields.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipCipher.h"

namespace zip_test {

struct Entry {
  std::string name;
  std::string data;
  uint16_t method = 8;
  uint16_t versionMadeBy = 0x0314;     // Unix host
  uint32_t external = 0x81A40000;      // regular file, mode 0644
  uint32_t dosDateTime = 0x4ECF5A8F;   // 2019-06-15 11:20:30
  std::string localExtra;
  std::string password;                // encrypts the item when not empty
  // Applied after the real values are computed, to make headers lie.
  bool overrideCrc = false;
  uint32_t crc = 0;
  bool overrideSizes = false;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  int truncateData = 0;                // bytes cut from the end of the stored item data
};

inline void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline std::string RawDeflate(const std::string& data) {
  z_stream z = {};
  deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, data.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline uint32_t Crc(const std::string& data) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// A "UT" extra block with the given flags and times (as many as given, whatever the flags say).
inline std::string UtBlock(uint8_t flags, const std::vector<uint32_t>& times, int declaredLength = -1) {
  std::string block;
  Put16(block, 0x5455);
  Put16(block, declaredLength >= 0 ? declaredLength : static_cast<uint32_t>(1 + 4 * times.size()));
  block += static_cast<char>(flags);
  for (uint32_t t : times) Put32(block, t);
  return block;
}

struct Layout {
  std::string prefix;   // bytes in front of the archive (offsets stay relative to the archive)
  std::string comment;
};

inline std::string Build(const std::vector<Entry>& entries, const Layout& layout = {}) {
  std::string body, central;
  for (const Entry& e : entries) {
    uint32_t crc = Crc(e.data);
    std::string payload = e.method == 8 ? RawDeflate(e.data) : e.data;
    uint16_t flags = 0;
    if (!e.password.empty()) {
      flags |= 1;
      std::string header(12, '\0');
      for (int i = 0; i < 11; ++i) header[i] = static_cast<char>(i * 37 + 5);
      header[11] = static_cast<char>(crc >> 24);
      payload = header + payload;
      ZipCipher cipher(e.password);
      cipher.Encrypt(reinterpret_cast<uint8_t*>(&payload[0]), payload.size());
    }
    uint32_t compressed = static_cast<uint32_t>(payload.size());
    uint32_t uncompressed = static_cast<uint32_t>(e.data.size());
    if (e.overrideCrc) crc = e.crc;
    if (e.overrideSizes) {
      compressed = e.compressedSize;
      uncompressed = e.uncompressedSize;
    }
    if (e.truncateData) payload.resize(payload.size() - e.truncateData);
    uint32_t localOffset = static_cast<uint32_t>(body.size());
    Put32(body, 0x04034B50);
    Put16(body, 20);
    Put16(body, flags);
    Put16(body, e.method);
    Put32(body, e.dosDateTime);
    Put32(body, crc);
    Put32(body, compressed);
    Put32(body, uncompressed);
    Put16(body, static_cast<uint32_t>(e.name.size()));
    Put16(body, static_cast<uint32_t>(e.localExtra.size()));
    body += e.name + e.localExtra + payload;

    Put32(central, 0x02014B50);
    Put16(central, e.versionMadeBy);
    Put16(central, 20);
    Put16(central, flags);
    Put16(central, e.method);
    Put32(central, e.dosDateTime);
    Put32(central, crc);
    Put32(central, compressed);
    Put32(central, uncompressed);
    Put16(central, static_cast<uint32_t>(e.name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.external);
    Put32(central, localOffset);
    central += e.name;
  }
  std::string out = layout.prefix + body + central;
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, static_cast<uint32_t>(body.size()));
  Put16(out, static_cast<uint32_t>(layout.comment.size()));
  return out + layout.comment;
}

inline Entry File(const std::string& name, const std::string& data, uint16_t method = 8) {
  Entry e;
  e.name = name;
  e.data = data;
  e.method = method;
  return e;
}

// Deterministic bytes that deflate only a little.
inline std::string NoisyBytes(size_t count, uint32_t seed) {
  std::string out(count, '\0');
  for (size_t i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<char>((seed >> 16) & (i % 3 ? 0xFF : 0x0F));
  }
  return out;
}

}  // namespace zip_test
