// Facts about this machine that the client identity and the request headers carry. Each reads the
// operating system afresh and keeps no state; each gives an empty text when the fact is unknown.
#pragma once

#include <string>

// The first IPv4 address that is set, not loopback, has a real mask and is connected ("a.b.c.d").
std::string GetLocalIp();
// The first adapter hardware address of 6 bytes, as "XX-XX-XX-XX-XX-XX" (uppercase).
std::string GetMacAddress();
// CPUID leaf 1 as EDX then EAX, "%08X%08X": always 16 uppercase hexadecimal digits.
std::string GetCpuId();
// The version of Windows, read from ntdll.dll's file version (the compatibility layer cannot
// lie about that one), or from GetVersionExW when the resource cannot be read.
void GetOsVersion(int& major, int& minor);
bool IsWin8OrLater();
bool IsWin8OrLaterVersion(int major, int minor);

// The text the client identity is the digest of: name.mac.cpus.memory.cpu, without the mac field
// on Windows 8 and later (where adapters may randomise their hardware address).
std::string BuildClientUuidSource(const std::string& nameUtf8, const std::string& mac, unsigned cpuCount,
                                  unsigned long long totalMemory, const std::string& cpuId, bool win8OrLater);
