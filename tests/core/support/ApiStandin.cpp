#include "tests/core/support/ApiStandin.h"

#include <windows.h>
#include <wincrypt.h>

#include <json/json.h>

#include <cstdlib>
#include <mutex>

#include "core/WriteLogFile.h"
#include "tests/support/TestSupport.h"

namespace api_standin {

namespace {

Ports Load() {
  std::wstring folder = testing_support::EnvironmentPath("TOVIK_BINARY_DIR") + L"\\api_standin\\";
  Json::Value state;
  Json::Reader().parse(testing_support::ReadFileBytes(folder + L"standin.json"), state);
  Ports ports;
  ports.trusted = state["port"].asInt();
  ports.rogue = state["rogue_port"].asInt();
  ports.closed = state["closed_port"].asInt();
  // The harness trusts the test CA as Windows trusts a root: through the ROOT store.
  std::string der = testing_support::ReadFileBytes(folder + L"certs\\ca.der");
  if (!der.empty())
    ::CertAddEncodedCertificateToSystemStoreW(L"ROOT", reinterpret_cast<const BYTE*>(der.data()),
                                              static_cast<DWORD>(der.size()));
  return ports;
}

std::string Local(int port) { return "https://127.0.0.1:" + std::to_string(port); }

}  // namespace

const Ports& Get() {
  static Ports ports = Load();
  return ports;
}

std::string BaseUrl(const std::string& switches) {
  return Local(Get().trusted) + (switches.empty() ? std::string() : "/s/" + switches);
}
std::string RefusedUrl() { return Local(Get().closed); }
std::string RogueUrl() { return Local(Get().rogue); }

}  // namespace api_standin

namespace log_capture {

namespace {
int g_captureCounter = 0;
}

CLogCapture::CLogCapture() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  m_path = std::wstring(temp) + L"tovik-core-log-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++g_captureCounter) + L".log";
  ::DeleteFileW(m_path.c_str());
  g_logFile.SetLogFile(m_path, 1024);
}

CLogCapture::~CLogCapture() { ::DeleteFileW(m_path.c_str()); }

std::wstring CLogCapture::Text() const {
  std::string bytes = testing_support::ReadFileBytes(m_path);
  std::wstring text(bytes.size() / 2, L'\0');
  memcpy(&text[0], bytes.data(), text.size() * 2);
  return text;
}

}  // namespace log_capture
