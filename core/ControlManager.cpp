#include "core/ControlManager.h"

#include <windows.h>

#include <json/json.h>

#include <atomic>

#include "core/DataManager.h"
#include "core/HttpClient.h"
#include "core/Md5.h"
#include "core/NetManager.h"
#include "core/TextUtils.h"
#include "core/ServiceLock.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\core\\ControlManager.cpp"

namespace {

constexpr char kClientZipPath[] = "/wpapi/version/getClientZipUrl";
constexpr int kClientZipRequestTag = 100;

std::atomic<CWindowMultiThreadManager*> g_controlManager{nullptr};

// A field as text: numbers and booleans in their JSON spelling, anything else (missing, object,
// array) as nothing.
std::string FieldText(const Json::Value& payload, const char* name) {
  const Json::Value& value = payload[name];
  if (value.isNull() || value.isArray() || value.isObject()) return std::string();
  return value.asString();
}

bool KeepDownloading(int32_t, int64_t, int64_t, double) { return true; }

bool SameDigest(const std::string& a, const std::string& b) {
  return !a.empty() && ChangeCase(false, a) == ChangeCase(false, b);
}

}  // namespace

CWindowMultiThreadManager* CWindowMultiThreadManager::Instance() {
  return GetOrCreateService(g_controlManager, [] { return new CWindowMultiThreadManager(); });
}

bool CWindowMultiThreadManager::SelectApiHost() {
  DataManager* data = DataManager::Instance();
  std::string candidates[] = {data->GetPrimaryApiUrl(), data->GetSecondaryApiUrl()};
  for (int index = 1; index <= 2; ++index) {
    if (NetManager::Instance()->CheckHost(candidates[index - 1])) {
      data->SetApiHosts(candidates[index - 1], candidates[1], index);
      return true;
    }
  }
  WRITE_LOG(L"无可访问的服务器");
  return true;
}

bool CWindowMultiThreadManager::GetClientZipUrl(std::string& url, std::string& md5, std::string& version) {
  ApiParams params{{"ts", NetManager::GetTimestamp()}};
  std::string payload;
  std::wstring message;
  int code = -1;
  if (!NetManager::Instance()->SignedRequest(kClientZipPath, params, payload, message, code,
                                             kClientZipRequestTag)) {
    WRITE_LOG_TEXT(L"信息请求失败");
    return false;
  }
  Json::Value root;
  if (!Json::Reader().parse(payload, root) || !root.isObject()) {
    WRITE_LOG_TEXT(L"数据信息解析错误");
    return false;
  }
  std::string fileUrl = FieldText(root, "file_url");
  std::string fileMd5 = FieldText(root, "file_md5");
  // Without a URL and a well-formed digest there is nothing that could be verified: an empty
  // digest would even "match" whatever the cache check compares it with.
  if (fileUrl.empty() || !IsMd5Text(fileMd5)) {
    WRITE_LOG_TEXT(L"数据信息不完整: " + Utf8ToWide(payload));
    return false;
  }
  url = fileUrl;
  md5 = fileMd5;
  version = FieldText(root, "version_code");
  return true;
}

bool CWindowMultiThreadManager::DownloadPackage(const std::wstring& path, const std::string& url,
                                                const std::string& md5) {
  CMd5A digest;
  if (IsRegularFile(path) && SameDigest(digest.GetFileMd5(path), md5)) return true;
  CHttpClient client;
  client.SetDownloadStallLimit(m_stallSeconds);
  client.DownloadFile(0, url, path, &KeepDownloading);
  if (!IsRegularFile(path)) {
    WRITE_LOG(L"文件下载失败");
    return false;
  }
  if (SameDigest(digest.GetFileMd5(path), md5)) return true;
  WRITE_LOG(L"文件下载错误，md5不一致");
  return false;
}

std::wstring GetPackageCacheFolder(const std::wstring& workDir) { return workDir + L"cache"; }

std::wstring GetPackageCachePath(const std::wstring& workDir, const std::string& url) {
  return GetPackageCacheFolder(workDir) + L"\\" + MakePackageFileName(url);
}

bool IsRegularFile(const std::wstring& path) {
  if (path.empty()) return false;
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
