#include "core/NetManager.h"

#include <windows.h>

#include <json/json.h>

#include <atomic>
#include <cstdio>
#include <ctime>

#include "core/ApiCrypto.h"
#include "core/ControlManager.h"
#include "core/DataManager.h"
#include "core/HttpClient.h"
#include "core/Md5.h"
#include "core/SystemHelpers.h"
#include "core/TextUtils.h"
#include "core/ServiceLock.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\core\\NetManager.cpp"

const char NetManager::kSigningKey[] = "Hx4nPq9WcL2tRb6Z";
const wchar_t NetManager::kGenericFailureMessage[] = L"网络获取信息错误或解析失败,请稍后重试";

namespace {

constexpr int kProbeSeconds = 10;
constexpr size_t kPayloadPrefixLength = 10;

std::atomic<NetManager*> g_netManager{nullptr};

// A reply whose fields cannot be read as the envelope says.
struct ReplyShapeError {};

std::string ReadText(const Json::Value& object, const char* name) {
  const Json::Value& value = object[name];
  if (value.isNull()) return std::string();
  if (!value.isConvertibleTo(Json::stringValue) || value.isArray() || value.isObject()) throw ReplyShapeError();
  return value.asString();
}

int ReadCode(const Json::Value& object) {
  const Json::Value& value = object["code"];
  if (value.isNull()) return 0;
  if (!value.isInt()) throw ReplyShapeError();
  return value.asInt();
}

}  // namespace

NetManager* NetManager::Instance() {
  return GetOrCreateService(g_netManager, [] { return new NetManager(); });
}

void NetManager::InitNetwork(const std::wstring& workDir) {
  if (m_networkReady) return;
  m_networkReady = true;
  CHttpClient::GlobalInitLibCurl();
  if (!CreateDirectoryTree(GetPackageCacheFolder(workDir))) WRITE_LOG_TEXT(L"缓存目录创建失败");
}

bool NetManager::CheckHost(const std::string& baseUrl) { return CHttpClient().ProbeUrl(baseUrl, kProbeSeconds); }

std::string NetManager::GetTimestamp() {
  char text[32];
  snprintf(text, sizeof text, "%lld", static_cast<long long>(time(nullptr)));
  return text;
}

std::string NetManager::EncodeForSign(const std::string& value) { return ChangeCase(false, UrlEncode(value)); }

std::string NetManager::BuildSignedBody(const ApiParams& params) {
  std::string body;
  std::string signText;
  for (const auto& [name, value] : params) {
    if (!body.empty()) {
      body += '&';
      signText += '&';
    }
    body += name + "=" + UrlEncode(value);
    signText += name + "=" + EncodeForSign(value);
  }
  signText += kSigningKey;
  return body + "&sign=" + CMd5A().GetStringMd5(signText);
}

std::string NetManager::BuildClientHeaders() {
  DataManager* data = DataManager::Instance();
  std::string innerIp = data->GetInnerIp();
  std::string lines[] = {
      "Userid: 0",
      "Clientuuid: " + data->GetClientUuid(),
      "Version: " + data->GetVersion(),
      "Channel: " + std::to_string(data->GetChannel()),
      "Systype: " + std::to_string(data->GetSysType()),
      "Yychannelid: 0",
      "Yychannelsign: 0",
      "Apihost: " + std::to_string(data->GetApiHostIndex()),
      "Lang: " + data->GetLang(),
      "Outerip: 0.0.0.0",
      "Innerip: " + (innerIp.empty() ? std::string("0.0.0.0") : innerIp),
      "Computer: " + data->GetMachineName(),
      "Clientapp: 0",
  };
  std::string block;
  for (const std::string& line : lines) {
    if (!block.empty()) block += "\r\n";
    block += line;
  }
  return block;
}

std::string NetManager::DecryptReply(const std::string& data, bool* tooShort) {
  if (tooShort) *tooShort = false;
  if (data.empty()) return std::string();
  std::string bytes = Base64Decode(data);
  if (bytes.empty()) return std::string();
  std::string plain;
  if (!XxteaDecrypt(bytes, kSigningKey, plain)) return std::string();
  plain = plain.substr(0, plain.find('\0'));
  if (plain.size() < kPayloadPrefixLength) {
    if (tooShort) *tooShort = true;
    return std::string();
  }
  return plain.substr(kPayloadPrefixLength);
}

bool NetManager::SignedRequest(const std::string& path, const ApiParams& params, std::string& payload,
                               std::wstring& message, int& code, int requestTag) {
  code = -1;
  std::string body = BuildSignedBody(params);
  DataManager* data = DataManager::Instance();
  std::string host = data->GetApiHost();
  std::string text;
  if (!host.empty()) {
    std::string headers = BuildClientHeaders();
    CHttpClient client;
    client.InitLibCurl(nullptr);
    client.SetPostFields(body);
    long status = client.HttpRequest(host + path, 0, text, headers.c_str(), std::wstring());
    if (status < 200 || status > 300 || text.empty()) {
      ::Sleep(kRetryDelayMs);
      WRITE_LOG_TEXT(Utf8ToWide(text));
      client.SetPostFields(body);
      client.HttpRequest(data->GetFallbackApiHost() + path, 0, text, headers.c_str(), std::wstring());
    }
    client.ReleaseLibCurl();
  } else {
    // The host choice found no server; waiting for one would hold the install forever.
    text = "no API host was chosen";
  }

  Json::Value root;
  if (!host.empty() && Json::Reader().parse(text, root)) {
    try {
      if (!root.isObject()) throw ReplyShapeError();
      code = ReadCode(root);
      if (code != kSuccessCode) {
        message = Utf8ToWide(ReadText(root, "message"));
        WRITE_LOG(L"%d,%s,%d", code, message.c_str(), requestTag);
        return false;
      }
      bool tooShort = false;
      std::string decrypted = DecryptReply(ReadText(root, "data"), &tooShort);
      if (tooShort) throw ReplyShapeError();
      payload = decrypted;
      return true;
    } catch (const ReplyShapeError&) {
      WRITE_LOG(L"信息异常,%d", requestTag);
    } catch (const std::exception&) {
      WRITE_LOG(L"信息异常,%d", requestTag);
    }
  }
  message = kGenericFailureMessage;
  WRITE_LOG(L"网络获取信息异常或解析失败%s,%d", Utf8ToWide(text).c_str(), requestTag);
  return false;
}
