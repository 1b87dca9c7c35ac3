#include "archive/ZipSource.h"

#include <cstring>

std::unique_ptr<ZipSource> ZipSource::OpenFile(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<ZipSource> source(new ZipSource);
  source->m_file.Reset(file);
  return source;
}

std::unique_ptr<ZipSource> ZipSource::FromMemory(const void* memory, uint32_t length) {
  std::unique_ptr<ZipSource> source(new ZipSource);
  source->m_memory = static_cast<const uint8_t*>(memory);
  source->m_memoryLength = memory ? length : 0;
  return source;
}

bool ZipSource::Seek(int64_t offset, Origin origin) {
  if (IsFile()) {
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    if (!::SetFilePointerEx(m_file.Get(), distance, &result, kMethods[static_cast<int>(origin)])) return false;
    return result.QuadPart >= 0 && result.QuadPart <= UINT32_MAX;
  }
  int64_t base = origin == Origin::Begin ? 0
                 : origin == Origin::Current ? static_cast<int64_t>(m_memoryPosition)
                                             : static_cast<int64_t>(m_memoryLength);
  int64_t target = base + offset;
  if (target < 0 || target > static_cast<int64_t>(UINT32_MAX)) return false;
  m_memoryPosition = static_cast<uint64_t>(target);
  return true;
}

int64_t ZipSource::Read(void* buffer, uint32_t length) {
  if (IsFile()) {
    DWORD done = 0;
    if (!::ReadFile(m_file.Get(), buffer, length, &done, nullptr)) return -1;
    return done;
  }
  // The position may have been sought past the end: nothing is left then, never a wrapped count.
  uint64_t available = m_memoryPosition < m_memoryLength ? m_memoryLength - m_memoryPosition : 0;
  uint32_t count = static_cast<uint32_t>(available < length ? available : length);
  if (count) std::memcpy(buffer, m_memory + m_memoryPosition, count);
  m_memoryPosition += count;
  return count;
}

bool ZipSource::ReadAt(uint64_t offset, void* buffer, uint32_t length) {
  if (offset > UINT32_MAX) return false;
  if (!Seek(static_cast<int64_t>(offset), Origin::Begin)) return false;
  return Read(buffer, length) == static_cast<int64_t>(length);
}

int64_t ZipSource::Size() {
  if (!IsFile()) return m_memoryLength;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(m_file.Get(), &size)) return -1;
  return size.QuadPart;
}
