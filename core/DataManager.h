// The client facts every API request carries (version, channel, system type, language, local
// address, computer name, chosen API host, client identity). One object per process, created on
// first use and never destroyed. The wizard thread fills the client facts before the install worker
// starts; the worker stores the chosen host and reads everything back.
#pragma once

#include <string>

#include "core/ScopedHandle.h"

class DataManager {
 public:
  static DataManager* Instance();

  // Only the first call in the process has an effect.
  void SetClientInfo(const std::string& version, int channel, int sysType);
  void SetLang(const std::string& lang);
  void SetInnerIp(const std::string& innerIp);
  void SetApiHosts(const std::string& apiHost, const std::string& fallbackApiHost, int index);

  // The two API base URLs the host choice tries (index 1 and 2). They default to the product's
  // endpoints; tests and the demo point them at a local stand-in with SetApiEndpoints.
  void SetApiEndpoints(const std::string& primary, const std::string& secondary);
  std::string GetPrimaryApiUrl();
  std::string GetSecondaryApiUrl();

  std::string GetApiHost();
  std::string GetFallbackApiHost();
  int GetApiHostIndex();
  std::string GetVersion();
  int GetChannel();
  int GetSysType();
  std::string GetLang();
  std::string GetInnerIp();

  // The NetBIOS computer name in the ANSI code page; empty when it cannot be read.
  std::string GetMachineName();
  // 32 lowercase hexadecimal digits derived from the machine; computed (and logged) once.
  std::string GetClientUuid();

 private:
  DataManager();

  CCriticalSection m_lock;
  bool m_clientInfoSet = false;
  std::string m_version;
  int m_channel = 0;
  int m_sysType = 0;
  std::string m_lang;
  std::string m_innerIp;
  std::string m_apiHost;
  std::string m_fallbackApiHost;
  int m_apiHostIndex = 0;
  std::string m_primaryApiUrl;
  std::string m_secondaryApiUrl;
  std::string m_clientUuid;
};
