// Turns a central directory entry and its local extra field into a ZipItemInfo: the name made
// relative, the Windows attributes, and the times from the DOS stamp or an extended-timestamp block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/ZipArchive.h"
#include "archive/ZipTypes.h"

// Drops drive prefixes, leading separators and everything up to the last ".." component that has a
// separator on both sides, until none of these applies. A leading ".." component stays; callers
// that write files refuse it.
std::wstring SanitizeItemName(std::wstring name);

// Windows attribute bits from the external attributes and the host system of the entry.
uint32_t ItemAttributes(uint16_t versionMadeBy, uint32_t externalAttributes);

// The DOS stamp (date in the high half) read as local time; {0, 0} when the date or time is not a
// valid calendar moment.
FILETIME DosStampToFileTime(uint32_t dosDateTime);

// Applies the first "UT" block of an extra field to the times of info. Only times wholly inside
// both the block and the field are taken.
void ApplyExtendedTimestamp(const uint8_t* extra, size_t length, ZipItemInfo& info);

// Fills info for an entry. False (info untouched) when the stored name is 260 bytes or longer.
bool DescribeEntry(int index, const ZipCentralEntry& entry, const uint8_t* localExtra, size_t extraLength,
                   ZipItemInfo& info);
