// The data stream of one item: reads its compressed bytes in 16 KB chunks, decrypts them, strips
// and checks the encryption header, inflates or copies, and compares the CRC-32 at the item's end.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>

#include "archive/ZipArchive.h"
#include "archive/ZipCipher.h"
#include "archive/ZipTypes.h"

class ZipItemStream {
 public:
  enum class Status {
    Delivering,   // bytes were delivered and more remain
    End,          // the item is complete and its CRC-32 matched
    BadPassword,  // the check byte differs, or an encrypted item's data decodes to noise
    Failed,       // a read, decompression, early end of data or CRC-32 mismatch
  };
  struct Outcome {
    uint32_t delivered;
    Status status;
    ZipResult error;  // the facade's code for a failure, ZipOk otherwise
  };

  static constexpr uint32_t kChunkSize = 16384;

  ~ZipItemStream();
  ZipItemStream(const ZipItemStream&) = delete;
  ZipItemStream& operator=(const ZipItemStream&) = delete;

  // Opens the data of the archive's cursor entry. On failure returns null and sets error
  // (ZipCorrupt for headers that disagree, ZipInflateFailed when zlib cannot start).
  static std::unique_ptr<ZipItemStream> Open(ZipArchive& archive, const std::string& password, ZipResult& error);

  // Delivers up to length bytes of the item.
  Outcome Read(uint8_t* buffer, uint32_t length);

 private:
  explicit ZipItemStream(ZipArchive& archive, const std::string& password);
  bool Refill(Outcome& outcome);
  bool ReadStored(uint8_t* out, uint32_t room, uint32_t& produced, Outcome& outcome);
  bool ReadDeflated(uint8_t* out, uint32_t room, uint32_t& produced, bool& streamEnded, Outcome& outcome);
  Outcome Fail(uint32_t delivered, ZipResult error, const wchar_t* why);
  Outcome FailDecoding(uint32_t delivered, ZipResult error, const wchar_t* why);

  ZipArchive& m_archive;
  ZipCipher m_cipher;
  std::unique_ptr<uint8_t[]> m_input;
  uint32_t m_inputPosition = 0;
  uint32_t m_inputAvailable = 0;
  uint64_t m_nextCompressed = 0;
  uint32_t m_compressedLeft = 0;
  uint32_t m_uncompressedLeft = 0;
  uint32_t m_crc = 0;
  uint32_t m_expectedCrc = 0;
  uint16_t m_method = 0;
  bool m_encrypted = false;
  uint32_t m_headerLeft = 0;
  uint8_t m_checkByte = 0;
  int m_itemIndex = 0;
  bool m_zlibStarted = false;
  z_stream m_zlib = {};
};
