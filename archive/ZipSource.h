// Where an archive's bytes come from: a file opened for shared reading, or a memory block read in
// place (not copied, not owned; the caller keeps it alive until the archive is closed).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/ScopedHandle.h"

class ZipSource {
 public:
  enum class Origin { Begin, Current, End };

  // Null when the file cannot be opened.
  static std::unique_ptr<ZipSource> OpenFile(const std::wstring& path);
  static std::unique_ptr<ZipSource> FromMemory(const void* memory, uint32_t length);

  ZipSource(const ZipSource&) = delete;
  ZipSource& operator=(const ZipSource&) = delete;

  // Moves the read position. A memory position may lie past the end (later reads deliver nothing);
  // a position before the start, or beyond 32 bits, fails.
  bool Seek(int64_t offset, Origin origin);
  // Copies up to length bytes from the position onward and advances it; returns the count copied,
  // fewer than asked when the source ends first, -1 when the read itself failed.
  int64_t Read(void* buffer, uint32_t length);
  // Seeks to offset from the start and reads exactly length bytes.
  bool ReadAt(uint64_t offset, void* buffer, uint32_t length);
  // Total length in bytes, -1 when unknown.
  int64_t Size();

  bool IsFile() const { return m_file.IsValid(); }

 private:
  ZipSource() = default;

  CScopedFile m_file;
  const uint8_t* m_memory = nullptr;
  uint32_t m_memoryLength = 0;
  uint64_t m_memoryPosition = 0;
};
