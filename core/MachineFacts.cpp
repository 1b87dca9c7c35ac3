#include "core/MachineFacts.h"

// winsock2 before windows.h, or the old winsock header comes in first.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <cpuid.h>
#include <cstdio>
#include <vector>

namespace {

constexpr DWORD kDisconnectedFlag = 0x0008;  // MIB_IPADDR_DISCONNECTED

bool IsUsableAddress(const MIB_IPADDRROW& row) {
  DWORD address = ntohl(row.dwAddr);
  DWORD mask = row.dwMask;
  return address != 0 && mask != 0 && mask != 0xFFFFFFFF && (address >> 24) != 127 &&
         (row.wType & kDisconnectedFlag) == 0;
}

class CWinsockSession {
 public:
  CWinsockSession() { m_started = ::WSAStartup(MAKEWORD(2, 2), &m_data) == 0; }
  ~CWinsockSession() {
    if (m_started) ::WSACleanup();
  }
  CWinsockSession(const CWinsockSession&) = delete;
  CWinsockSession& operator=(const CWinsockSession&) = delete;

 private:
  WSADATA m_data{};
  bool m_started = false;
};

}  // namespace

std::string GetLocalIp() {
  CWinsockSession winsock;
  ULONG size = 0;
  if (::GetIpAddrTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0) return std::string();
  std::vector<BYTE> buffer(size);
  auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
  if (::GetIpAddrTable(table, &size, FALSE) != NO_ERROR) return std::string();
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    if (!IsUsableAddress(table->table[i])) continue;
    in_addr address;
    address.s_addr = table->table[i].dwAddr;
    return inet_ntoa(address);
  }
  return std::string();
}

std::string GetMacAddress() {
  ULONG size = 0;
  if (::GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0)
    return std::string();
  std::vector<BYTE> buffer(size);
  auto* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  if (::GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, adapters, &size) != NO_ERROR) return std::string();
  for (auto* adapter = adapters; adapter; adapter = adapter->Next) {
    if (adapter->PhysicalAddressLength != 6) continue;
    const BYTE* a = adapter->PhysicalAddress;
    char text[18];
    snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return text;
  }
  return std::string();
}

std::string GetCpuId() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  __get_cpuid(1, &eax, &ebx, &ecx, &edx);
  char text[17];
  snprintf(text, sizeof text, "%08X%08X", edx, eax);
  return text;
}

void GetOsVersion(int& major, int& minor) {
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring ntdll = std::wstring(windows) + L"\\System32\\ntdll.dll";
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeW(ntdll.c_str(), &ignored);
  if (size) {
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (::GetFileVersionInfoW(ntdll.c_str(), 0, size, info.data()) &&
        ::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed &&
        fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
      major = HIWORD(fixed->dwFileVersionMS);
      minor = LOWORD(fixed->dwFileVersionMS);
      return;
    }
  }
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExW(&version);
#pragma GCC diagnostic pop
  major = static_cast<int>(version.dwMajorVersion);
  minor = static_cast<int>(version.dwMinorVersion);
}

bool IsWin8OrLaterVersion(int major, int minor) { return major == 6 ? minor > 1 : major > 6; }

bool IsWin8OrLater() {
  int major = 0, minor = 0;
  GetOsVersion(major, minor);
  return IsWin8OrLaterVersion(major, minor);
}

std::string BuildClientUuidSource(const std::string& nameUtf8, const std::string& mac, unsigned cpuCount,
                                  unsigned long long totalMemory, const std::string& cpuId, bool win8OrLater) {
  std::string source = nameUtf8 + ".";
  if (!win8OrLater) source += mac + ".";
  source += std::to_string(cpuCount) + "." + std::to_string(totalMemory) + "." + cpuId;
  return source;
}
