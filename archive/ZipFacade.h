// The handle-based ZIP interface that the install pipeline and the UI framework call. Every
// operation returns a ZipResult (0 = success) and takes a handle from ZipOpenFile or ZipOpenMemory;
// a null handle gives ZipBadArgument. A handle is used by one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/ZipTypes.h"
#include "core/ScopedHandle.h"

struct ZipHandleData;
using ZipHandle = ZipHandleData*;

// password: 8-bit, null or empty for none; copied. Null when the file cannot be opened or holds no
// valid end record.
ZipHandle ZipOpenFile(const wchar_t* path, const char* password);
// The buffer is read in place: keep it alive and unchanged until ZipCloseArchive.
ZipHandle ZipOpenMemory(const void* buffer, uint32_t length, const char* password);

// Index -1: info.index receives the item count, the rest is zeroed.
ZipResult ZipItemAt(ZipHandle handle, int index, ZipItemInfo* info);
// outIndex and info may be null. Not found: outIndex -1, info zeroed with index -1, ZipNotFound.
// ignoreCase folds ASCII letters only; other bytes must be identical.
ZipResult ZipLookup(ZipHandle handle, const wchar_t* name, bool ignoreCase, int* outIndex, ZipItemInfo* info);
// Relative targets go below the target folder (the current folder until ZipSetTargetFolder).
ZipResult ZipUnpackToFile(ZipHandle handle, int index, const wchar_t* targetName);
// ZipOk at the item's end; ZipMoreData when the buffer was filled first, and the next call with the
// same index continues. Any other operation on the handle ends such a sequence.
ZipResult ZipUnpackToMemory(ZipHandle handle, int index, void* buffer, uint32_t length);
ZipResult ZipSetTargetFolder(ZipHandle handle, const wchar_t* folder);
// Frees the handle; it must not be used afterwards.
ZipResult ZipCloseArchive(ZipHandle handle);

// The skin readers' one call: finds name without regard to ASCII case and unpacks the whole item.
// data is cleared first and holds the item's bytes on ZipOk.
ZipResult ZipReadItem(ZipHandle handle, const wchar_t* name, std::vector<uint8_t>& data);

struct ZipHandleTraits {
  using Type = ZipHandle;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ZipCloseArchive(h); }
};
using CScopedZip = CScopedObject<ZipHandleTraits>;
