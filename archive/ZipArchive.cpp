#include "archive/ZipArchive.h"

#include <algorithm>
#include <vector>

#include "archive/ZipLittleEndian.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\archive\\ZipArchive.cpp"

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr uint32_t kLocalHeaderSize = 30;
// The longest comment (65535 bytes) and the record itself: a valid archive always has its record here.
constexpr int64_t kSearchWindow = 65535 + kEndRecordSize;
constexpr uint32_t kSearchStep = 1024;
constexpr uint32_t kSearchChunk = kSearchStep + 4;  // consecutive chunks overlap by 4 bytes
constexpr uint16_t kFlagDataDescriptor = 0x0008;

}  // namespace

std::unique_ptr<ZipArchive> ZipArchive::Open(std::unique_ptr<ZipSource> source) {
  std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(source)));
  uint64_t position = 0;
  if (!archive->FindEndRecord(position)) {
    WRITE_LOG(L"zip: no end-of-central-directory record");
    return nullptr;
  }
  if (!archive->ReadEndRecord(position)) return nullptr;
  archive->GoToFirst();
  return archive;
}

// Scans backwards through the last 64 KB for the end record's signature; the hit nearest the end
// of the source wins.
bool ZipArchive::FindEndRecord(uint64_t& position) {
  int64_t size = m_source->Size();
  if (size <= 4) return false;
  int64_t windowStart = size - std::min<int64_t>(size, kSearchWindow);
  std::vector<uint8_t> chunk(kSearchChunk);
  for (int64_t chunkEnd = size; chunkEnd - windowStart > 4; chunkEnd -= kSearchStep) {
    int64_t chunkStart = std::max<int64_t>(windowStart, chunkEnd - kSearchChunk);
    uint32_t length = static_cast<uint32_t>(chunkEnd - chunkStart);
    if (!m_source->ReadAt(static_cast<uint64_t>(chunkStart), chunk.data(), length)) return false;
    for (int i = static_cast<int>(length) - 4; i >= 0; --i) {
      if (ReadLe32(&chunk[i]) == kEndSignature) {
        position = static_cast<uint64_t>(chunkStart + i);
        return true;
      }
    }
    if (chunkStart == windowStart) break;
  }
  return false;
}

bool ZipArchive::ReadEndRecord(uint64_t position) {
  uint8_t record[kEndRecordSize];
  // A record cut short by the end of the source fails here rather than reading stale bytes.
  if (!m_source->ReadAt(position, record, kEndRecordSize)) {
    WRITE_LOG(L"zip: end record cut short");
    return false;
  }
  uint16_t disk = ReadLe16(record + 4), directoryDisk = ReadLe16(record + 6);
  uint16_t entriesHere = ReadLe16(record + 8), entriesTotal = ReadLe16(record + 10);
  uint32_t directorySize = ReadLe32(record + 12);
  m_directoryOffset = ReadLe32(record + 16);
  uint64_t directoryEnd = static_cast<uint64_t>(m_directoryOffset) + directorySize;
  if (disk != 0 || directoryDisk != 0 || entriesHere != entriesTotal || position < directoryEnd) {
    WRITE_LOG(L"zip: end record inconsistent");
    return false;
  }
  m_entryCount = entriesTotal;
  m_prefix = position - directoryEnd;
  return true;
}

bool ZipArchive::ReadAt(uint64_t offset, void* buffer, uint32_t length) {
  return m_source->ReadAt(offset + m_prefix, buffer, length);
}

bool ZipArchive::ReadCursorEntry() {
  m_cursorReadable = false;
  uint8_t h[kCentralHeaderSize];
  if (!ReadAt(m_cursorPosition, h, kCentralHeaderSize) || ReadLe32(h) != kCentralSignature) {
    WRITE_LOG(L"zip: central header %d unreadable", m_cursorIndex);
    return false;
  }
  ZipCentralEntry& e = m_entry;
  e.versionMadeBy = ReadLe16(h + 4);
  e.versionNeeded = ReadLe16(h + 6);
  e.flags = ReadLe16(h + 8);
  e.method = ReadLe16(h + 10);
  e.dosDateTime = ReadLe32(h + 12);
  e.crc32 = ReadLe32(h + 16);
  e.compressedSize = ReadLe32(h + 20);
  e.uncompressedSize = ReadLe32(h + 24);
  e.nameLength = ReadLe16(h + 28);
  e.extraLength = ReadLe16(h + 30);
  e.commentLength = ReadLe16(h + 32);
  e.diskNumberStart = ReadLe16(h + 34);
  e.internalAttributes = ReadLe16(h + 36);
  e.externalAttributes = ReadLe32(h + 38);
  e.localHeaderOffset = ReadLe32(h + 42);
  e.name.assign(e.nameLength, '\0');
  // The name follows the fixed fields directly; the whole of it is kept, however long.
  if (e.nameLength && m_source->Read(&e.name[0], e.nameLength) != e.nameLength) {
    WRITE_LOG(L"zip: name of central header %d cut short", m_cursorIndex);
    return false;
  }
  m_cursorReadable = true;
  return true;
}

bool ZipArchive::GoToFirst() {
  m_cursorIndex = 0;
  m_cursorPosition = m_directoryOffset;
  m_cursorReadable = false;
  return m_entryCount > 0 && ReadCursorEntry();
}

bool ZipArchive::GoToNext() {
  if (!m_cursorReadable || m_cursorIndex + 1 >= m_entryCount) return false;
  m_cursorPosition += kCentralHeaderSize + m_entry.nameLength + m_entry.extraLength + m_entry.commentLength;
  ++m_cursorIndex;
  return ReadCursorEntry();
}

bool ZipArchive::GoTo(int index) {
  if (index < 0 || index >= m_entryCount) return false;
  if (index < m_cursorIndex) {
    if (!GoToFirst()) return false;
  } else if (index == m_cursorIndex) {
    return m_cursorReadable;
  }
  while (m_cursorIndex < index) {
    if (!GoToNext()) return false;
  }
  return m_cursorReadable;
}

bool ZipArchive::CheckLocalHeader(ZipLocalLayout& layout) {
  const ZipCentralEntry& e = m_entry;
  uint8_t h[kLocalHeaderSize];
  if (!m_cursorReadable || !ReadAt(e.localHeaderOffset, h, kLocalHeaderSize) || ReadLe32(h) != kLocalSignature) {
    WRITE_LOG(L"zip: local header of item %d unreadable", m_cursorIndex);
    return false;
  }
  uint16_t method = ReadLe16(h + 8);
  bool sizesTrail = (ReadLe16(h + 6) & kFlagDataDescriptor) != 0;
  bool agrees = method == e.method && (method == 0 || method == 8) && ReadLe16(h + 26) == e.nameLength;
  if (!sizesTrail) {
    agrees = agrees && ReadLe32(h + 14) == e.crc32 && ReadLe32(h + 18) == e.compressedSize &&
             ReadLe32(h + 22) == e.uncompressedSize;
  }
  if (!agrees) {
    WRITE_LOG(L"zip: local header of item %d disagrees with its central header", m_cursorIndex);
    return false;
  }
  layout.extraOffset = static_cast<uint64_t>(e.localHeaderOffset) + kLocalHeaderSize + e.nameLength;
  layout.extraLength = ReadLe16(h + 28);
  layout.dataOffset = layout.extraOffset + layout.extraLength;
  return true;
}
