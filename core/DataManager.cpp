#include "core/DataManager.h"

#include <windows.h>

#include <atomic>

#include "core/MachineFacts.h"
#include "core/Md5.h"
#include "core/TextUtils.h"
#include "core/ServiceLock.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\core\\DataManager.cpp"

#ifndef TOVIK_API_PRIMARY
#define TOVIK_API_PRIMARY "https://api1.tovik.net"
#endif
#ifndef TOVIK_API_SECONDARY
#define TOVIK_API_SECONDARY "https://api2.tovik.net"
#endif

namespace {
std::atomic<DataManager*> g_dataManager{nullptr};
}  // namespace

DataManager::DataManager() : m_primaryApiUrl(TOVIK_API_PRIMARY), m_secondaryApiUrl(TOVIK_API_SECONDARY) {}

DataManager* DataManager::Instance() {
  return GetOrCreateService(g_dataManager, [] { return new DataManager(); });
}

void DataManager::SetClientInfo(const std::string& version, int channel, int sysType) {
  CAutoLock lock(m_lock);
  if (m_clientInfoSet) return;
  m_clientInfoSet = true;
  m_version = version;
  m_channel = channel;
  m_sysType = sysType;
}

void DataManager::SetLang(const std::string& lang) {
  CAutoLock lock(m_lock);
  m_lang = lang;
}

void DataManager::SetInnerIp(const std::string& innerIp) {
  CAutoLock lock(m_lock);
  m_innerIp = innerIp;
}

void DataManager::SetApiHosts(const std::string& apiHost, const std::string& fallbackApiHost, int index) {
  CAutoLock lock(m_lock);
  m_apiHost = apiHost;
  m_fallbackApiHost = fallbackApiHost;
  m_apiHostIndex = index;
}

void DataManager::SetApiEndpoints(const std::string& primary, const std::string& secondary) {
  CAutoLock lock(m_lock);
  m_primaryApiUrl = primary;
  m_secondaryApiUrl = secondary;
}

#define LOCKED_GETTER(Type, Name, field) \
  Type DataManager::Name() {            \
    CAutoLock lock(m_lock);             \
    return field;                       \
  }
LOCKED_GETTER(std::string, GetPrimaryApiUrl, m_primaryApiUrl)
LOCKED_GETTER(std::string, GetSecondaryApiUrl, m_secondaryApiUrl)
LOCKED_GETTER(std::string, GetApiHost, m_apiHost)
LOCKED_GETTER(std::string, GetFallbackApiHost, m_fallbackApiHost)
LOCKED_GETTER(int, GetApiHostIndex, m_apiHostIndex)
LOCKED_GETTER(std::string, GetVersion, m_version)
LOCKED_GETTER(int, GetChannel, m_channel)
LOCKED_GETTER(int, GetSysType, m_sysType)
LOCKED_GETTER(std::string, GetLang, m_lang)
LOCKED_GETTER(std::string, GetInnerIp, m_innerIp)
#undef LOCKED_GETTER

std::string DataManager::GetMachineName() {
  char name[512] = {};
  DWORD size = sizeof name;
  if (!::GetComputerNameA(name, &size)) return std::string();
  return std::string(name, size);
}

std::string DataManager::GetClientUuid() {
  {
    CAutoLock lock(m_lock);
    if (!m_clientUuid.empty()) return m_clientUuid;
  }
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  ::GlobalMemoryStatusEx(&memory);
  std::string source = BuildClientUuidSource(AnsiToUtf8(GetMachineName()), GetMacAddress(),
                                             system.dwNumberOfProcessors, memory.ullTotalPhys, GetCpuId(),
                                             IsWin8OrLater());
  std::string uuid = CMd5A().GetStringMd5(source);
  {
    // The log has a lock of its own; never hold ours while taking it. The first identity stored
    // wins, so every caller sees the same one.
    CAutoLock lock(m_lock);
    if (!m_clientUuid.empty()) return m_clientUuid;
    m_clientUuid = uuid;
  }
  WRITE_LOG_TEXT(Utf8ToWide(source));
  return uuid;
}
