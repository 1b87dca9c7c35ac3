// Values shared by every layer of the ZIP reader: the facade's result codes and the description of
// one archive item.
#pragma once

#include <windows.h>

#include <cstdint>

// 32-bit results of the facade; 0 is success.
enum ZipResult : uint32_t {
  ZipOk = 0,
  ZipOpenFailed = 0x200,      // archive not opened, no valid end record, or target not created
  ZipWriteFailed = 0x400,     // writing a target file failed
  ZipNotFound = 0x500,        // no item of the requested name
  ZipMoreData = 0x600,        // memory extraction filled the buffer; the item has more data
  ZipCorrupt = 0x700,         // headers disagree, a header is unreadable, a name of 260+ bytes, a CRC-32 mismatch
  ZipReadFailed = 0x800,      // the local extra field cannot be read
  ZipBadPassword = 0x1000,    // the check byte differs, or an encrypted item decrypts to data that fails
  ZipBadArgument = 0x10000,   // no handle, an index out of range, or a target outside the target folder
  ZipInflateFailed = 0x05000000,  // decompression failed, or the item's data ended early
};

constexpr size_t kZipNameCapacity = MAX_PATH;  // 260 wide characters, terminator included

// One item, as ZipItemAt and ZipLookup describe it. File times are 100-ns units since 1601 UTC; a
// time of 0 means "unknown" and leaves the extracted file's own time in place.
struct ZipItemInfo {
  int32_t index;
  wchar_t name[kZipNameCapacity];
  uint32_t attributes;
  FILETIME accessTime;
  FILETIME creationTime;
  FILETIME writeTime;
  int32_t compressedSize;
  int32_t uncompressedSize;
};
