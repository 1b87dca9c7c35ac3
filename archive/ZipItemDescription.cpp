#include "archive/ZipItemDescription.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/ZipLittleEndian.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\archive\\ZipItemDescription.cpp"

namespace {

constexpr uint16_t kExtendedTimestampId = 0x5455;  // "UT"
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
constexpr uint32_t kDirectory = FILE_ATTRIBUTE_DIRECTORY;

FILETIME FromUnixTime(uint32_t seconds) {
  uint64_t value = static_cast<uint64_t>(seconds) * 10000000ULL + kUnixEpochAsFileTime;
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Hosts whose external attributes are MS-DOS attribute bits: FAT, NTFS, VFAT, OS/2 HPFS... as the
// APPNOTE numbers them (0, 7, 11, 14).
bool HostUsesDosAttributes(uint8_t host) { return host == 0 || host == 7 || host == 11 || host == 14; }

std::wstring AnsiToWide(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], length);
  return wide;
}

}  // namespace

std::wstring SanitizeItemName(std::wstring name) {
  static const wchar_t* const kParentPatterns[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
  for (;;) {
    if (name.size() >= 2 && name[1] == L':') {
      name.erase(0, 2);
      continue;
    }
    if (!name.empty() && IsSeparator(name[0])) {
      name.erase(0, 1);
      continue;
    }
    bool cut = false;
    for (const wchar_t* pattern : kParentPatterns) {
      size_t at = name.rfind(pattern);
      if (at != std::wstring::npos) {
        name.erase(0, at + 4);
        cut = true;
        break;
      }
    }
    if (!cut) return name;
  }
}

uint32_t ItemAttributes(uint16_t versionMadeBy, uint32_t x) {
  uint8_t host = static_cast<uint8_t>(versionMadeBy >> 8);
  bool readOnly, hidden = false, system = false, directory, archive = true;
  if (HostUsesDosAttributes(host)) {
    readOnly = x & 0x01;
    hidden = x & 0x02;
    system = x & 0x04;
    directory = x & 0x10;
    archive = x & 0x20;
  } else {
    directory = x & 0x40000000;  // Unix directory mode bit
    readOnly = !(x & 0x00800000);  // Unix owner-write bit
  }
  return (directory ? kDirectory : 0) | (archive ? FILE_ATTRIBUTE_ARCHIVE : 0) |
         (hidden ? FILE_ATTRIBUTE_HIDDEN : 0) | (readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
         (system ? FILE_ATTRIBUTE_SYSTEM : 0);
}

FILETIME DosStampToFileTime(uint32_t dosDateTime) {
  uint16_t date = static_cast<uint16_t>(dosDateTime >> 16), time = static_cast<uint16_t>(dosDateTime);
  SYSTEMTIME calendar = {};
  calendar.wYear = static_cast<WORD>((date >> 9) + 1980);
  calendar.wMonth = (date >> 5) & 15;
  calendar.wDay = date & 31;
  calendar.wHour = (time >> 11) & 31;
  calendar.wMinute = (time >> 5) & 63;
  calendar.wSecond = (time & 31) * 2;
  FILETIME local, utc;
  // SystemTimeToFileTime refuses month or day 0 and other impossible moments; the file then keeps
  // its own time rather than whatever an unchecked conversion left behind.
  if (calendar.wMonth == 0 || calendar.wDay == 0 || !::SystemTimeToFileTime(&calendar, &local) ||
      !::LocalFileTimeToFileTime(&local, &utc))
    return FILETIME{0, 0};
  return utc;
}

void ApplyExtendedTimestamp(const uint8_t* extra, size_t length, ZipItemInfo& info) {
  size_t at = 0;
  while (length - at >= 5) {
    uint16_t id = ReadLe16(extra + at);
    size_t blockLength = ReadLe16(extra + at + 2);
    size_t dataStart = at + 4;
    if (id == kExtendedTimestampId) {
      size_t dataEnd = dataStart + std::min(blockLength, length - dataStart);
      uint8_t flags = extra[dataStart];
      FILETIME* targets[] = {&info.writeTime, &info.accessTime, &info.creationTime};
      size_t next = dataStart + 1;
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1 << bit))) continue;
        if (dataEnd - next < 4) break;  // announced but not there
        *targets[bit] = FromUnixTime(ReadLe32(extra + next));
        next += 4;
      }
      return;
    }
    if (blockLength > length - dataStart) return;
    at = dataStart + blockLength;
  }
}

bool DescribeEntry(int index, const ZipCentralEntry& entry, const uint8_t* localExtra, size_t extraLength,
                   ZipItemInfo& info) {
  std::string raw = entry.name.substr(0, entry.name.find('\0'));
  if (raw.size() >= kZipNameCapacity) {
    WRITE_LOG(L"zip: name of item %d is %d bytes long", index, static_cast<int>(raw.size()));
    return false;
  }
  std::wstring name = SanitizeItemName(AnsiToWide(raw));
  if (name.size() >= kZipNameCapacity) name.resize(kZipNameCapacity - 1);
  ZipItemInfo result = {};
  result.index = index;
  std::memcpy(result.name, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  result.attributes = ItemAttributes(entry.versionMadeBy, entry.externalAttributes);
  // Some writers mark folders only by the trailing separator.
  if (!name.empty() && IsSeparator(name.back())) result.attributes |= kDirectory;
  result.compressedSize = static_cast<int32_t>(entry.compressedSize);
  result.uncompressedSize = static_cast<int32_t>(entry.uncompressedSize);
  result.writeTime = result.accessTime = result.creationTime = DosStampToFileTime(entry.dosDateTime);
  ApplyExtendedTimestamp(localExtra, extraLength, result);
  info = result;
  return true;
}
