#include "archive/ZipItemStream.h"

#include <algorithm>
#include <cstring>

#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\archive\\ZipItemStream.cpp"

namespace {

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint32_t kEncryptionHeaderSize = 12;

}  // namespace

ZipItemStream::ZipItemStream(ZipArchive& archive, const std::string& password)
    : m_archive(archive), m_cipher(password) {}

ZipItemStream::~ZipItemStream() {
  if (m_zlibStarted) inflateEnd(&m_zlib);
}

std::unique_ptr<ZipItemStream> ZipItemStream::Open(ZipArchive& archive, const std::string& password,
                                                   ZipResult& error) {
  ZipLocalLayout layout;
  if (!archive.CheckLocalHeader(layout)) {
    error = ZipCorrupt;
    return nullptr;
  }
  const ZipCentralEntry& e = archive.Cursor();
  std::unique_ptr<ZipItemStream> stream(new ZipItemStream(archive, password));
  stream->m_input.reset(new uint8_t[kChunkSize]);
  stream->m_itemIndex = archive.CursorIndex();
  stream->m_method = e.method;
  if (e.method == 8) {
    if (inflateInit2(&stream->m_zlib, -MAX_WBITS) != Z_OK) {
      WRITE_LOG(L"zip: inflate could not start for item %d", stream->m_itemIndex);
      error = ZipInflateFailed;
      return nullptr;
    }
    stream->m_zlibStarted = true;
  }
  stream->m_expectedCrc = e.crc32;
  stream->m_compressedLeft = e.compressedSize;
  stream->m_uncompressedLeft = e.uncompressedSize;
  stream->m_encrypted = (e.flags & kFlagEncrypted) != 0;
  stream->m_headerLeft = stream->m_encrypted ? kEncryptionHeaderSize : 0;
  stream->m_checkByte = static_cast<uint8_t>((e.flags & kFlagDataDescriptor) ? (e.dosDateTime >> 8) : (e.crc32 >> 24));
  stream->m_nextCompressed = layout.dataOffset;
  error = ZipOk;
  return stream;
}

ZipItemStream::Outcome ZipItemStream::Fail(uint32_t delivered, ZipResult error, const wchar_t* why) {
  WRITE_LOG(L"zip: item %d: %s", m_itemIndex, why);
  return {delivered, error == ZipBadPassword ? Status::BadPassword : Status::Failed, error};
}

// A failure in what the data decodes to, not in reading it. The header's check is one byte, so one
// wrong password in 256 passes it and the key then turns the data into noise; for an encrypted
// item, data that does not inflate or match its CRC-32 is far more likely a wrong password than a
// damaged archive.
ZipItemStream::Outcome ZipItemStream::FailDecoding(uint32_t delivered, ZipResult error, const wchar_t* why) {
  if (!m_encrypted) return Fail(delivered, error, why);
  WRITE_LOG(L"zip: item %d: %s after decryption, taken as a wrong password", m_itemIndex, why);
  return {delivered, Status::BadPassword, ZipBadPassword};
}

// Reads the next chunk of compressed bytes, decrypts it and strips what is left of the encryption
// header. False when the outcome is a failure.
bool ZipItemStream::Refill(Outcome& outcome) {
  uint32_t count = std::min(kChunkSize, m_compressedLeft);
  if (!m_archive.ReadAt(m_nextCompressed, m_input.get(), count)) {
    outcome = Fail(outcome.delivered, ZipInflateFailed, L"compressed data unreadable");
    return false;
  }
  m_nextCompressed += count;
  m_compressedLeft -= count;
  m_inputPosition = 0;
  m_inputAvailable = count;
  if (m_encrypted) m_cipher.Decrypt(m_input.get(), count);
  if (m_headerLeft) {
    uint32_t strip = std::min(m_headerLeft, m_inputAvailable);
    m_headerLeft -= strip;
    m_inputPosition = strip;
    m_inputAvailable -= strip;
    if (m_headerLeft == 0 && m_input[strip - 1] != m_checkByte) {
      outcome = Fail(outcome.delivered, ZipBadPassword, L"wrong password");
      return false;
    }
  }
  return true;
}

bool ZipItemStream::ReadStored(uint8_t* out, uint32_t room, uint32_t& produced, Outcome& outcome) {
  // Declared bytes remain but the stored data is used up: fail now rather than wait for more.
  if (m_inputAvailable == 0) {
    outcome = Fail(outcome.delivered, ZipInflateFailed, L"stored data ends early");
    return false;
  }
  produced = std::min(room, m_inputAvailable);
  std::memcpy(out, m_input.get() + m_inputPosition, produced);
  m_inputPosition += produced;
  m_inputAvailable -= produced;
  return true;
}

bool ZipItemStream::ReadDeflated(uint8_t* out, uint32_t room, uint32_t& produced, bool& streamEnded,
                                 Outcome& outcome) {
  m_zlib.next_in = m_input.get() + m_inputPosition;
  m_zlib.avail_in = m_inputAvailable;
  m_zlib.next_out = out;
  m_zlib.avail_out = room;
  int status = inflate(&m_zlib, Z_SYNC_FLUSH);
  uint32_t consumed = m_inputAvailable - m_zlib.avail_in;
  produced = room - m_zlib.avail_out;
  m_inputPosition += consumed;
  m_inputAvailable -= consumed;
  streamEnded = status == Z_STREAM_END;
  bool stuck = consumed == 0 && produced == 0;
  if (status == Z_OK || streamEnded || (status == Z_BUF_ERROR && !stuck)) return true;
  outcome = FailDecoding(outcome.delivered, ZipInflateFailed,
                         status == Z_BUF_ERROR ? L"compressed data ends early" : L"inflate failed");
  return false;
}

ZipItemStream::Outcome ZipItemStream::Read(uint8_t* buffer, uint32_t length) {
  Outcome outcome{0, Status::Delivering, ZipOk};
  uint32_t want = std::min(length, m_uncompressedLeft);
  bool streamEnded = false;
  while (outcome.delivered < want && !streamEnded) {
    if (m_inputAvailable == 0 && m_compressedLeft > 0) {
      if (!Refill(outcome)) return outcome;
      if (m_inputAvailable == 0 && m_compressedLeft > 0) continue;  // a chunk held only header bytes
    }
    uint32_t room = want - outcome.delivered, produced = 0;
    uint8_t* out = buffer + outcome.delivered;
    bool ok = m_method == 0 ? ReadStored(out, room, produced, outcome)
                            : ReadDeflated(out, room, produced, streamEnded, outcome);
    if (!ok) return outcome;
    m_crc = static_cast<uint32_t>(crc32(m_crc, out, produced));
    m_uncompressedLeft -= produced;
    outcome.delivered += produced;
  }
  if (m_uncompressedLeft > 0 && !streamEnded) return outcome;
  if (m_uncompressedLeft > 0) return FailDecoding(outcome.delivered, ZipInflateFailed, L"data shorter than declared");
  if (m_crc != m_expectedCrc) return FailDecoding(outcome.delivered, ZipCorrupt, L"CRC-32 mismatch");
  outcome.status = Status::End;
  return outcome;
}
