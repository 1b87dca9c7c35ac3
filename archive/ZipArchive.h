// One open archive: its end record, a cursor over the central directory and the checks of an
// entry's local header. Offsets read from the archive are corrected by the prefix length, so an
// archive with bytes in front of it (a self-extracting stub) reads like any other.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/ZipSource.h"

// The fixed fields of a central file header, and the entry's raw name bytes.
struct ZipCentralEntry {
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dosDateTime = 0;  // time in the low half, date in the high half
  uint32_t crc32 = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t diskNumberStart = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
  std::string name;
};

// What the local header tells beyond the central one: where the item's data and its local extra
// field are (archive offsets, before the prefix correction).
struct ZipLocalLayout {
  uint64_t dataOffset = 0;
  uint64_t extraOffset = 0;
  uint16_t extraLength = 0;
};

class ZipArchive {
 public:
  // Null when no valid end-of-central-directory record is found.
  static std::unique_ptr<ZipArchive> Open(std::unique_ptr<ZipSource> source);

  uint16_t EntryCount() const { return m_entryCount; }

  // The cursor. Each move reads the entry it lands on; false when it cannot get there (an index out
  // of range, or an unreadable central header on the way, past which the cursor never steps).
  bool GoToFirst();
  bool GoToNext();
  bool GoTo(int index);
  int CursorIndex() const { return m_cursorIndex; }
  const ZipCentralEntry& Cursor() const { return m_entry; }

  // Checks the cursor entry's local header against its central header.
  bool CheckLocalHeader(ZipLocalLayout& layout);

  // Reads bytes at an archive offset (the prefix is added here).
  bool ReadAt(uint64_t offset, void* buffer, uint32_t length);

 private:
  explicit ZipArchive(std::unique_ptr<ZipSource> source) : m_source(std::move(source)) {}
  bool FindEndRecord(uint64_t& position);
  bool ReadEndRecord(uint64_t position);
  bool ReadCursorEntry();

  std::unique_ptr<ZipSource> m_source;
  uint16_t m_entryCount = 0;
  uint64_t m_prefix = 0;
  uint32_t m_directoryOffset = 0;
  int m_cursorIndex = 0;
  uint64_t m_cursorPosition = 0;
  bool m_cursorReadable = false;
  ZipCentralEntry m_entry;
};
