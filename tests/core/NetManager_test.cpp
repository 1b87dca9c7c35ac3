#include "core/NetManager.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <ctime>
#include <thread>

#include "core/DataManager.h"
#include "core/Md5.h"
#include "core/TextUtils.h"
#include "tests/core/support/ApiStandin.h"

using api_standin::BaseUrl;
using log_capture::CLogCapture;

namespace {

constexpr char kPath[] = "/wpapi/version/getClientZipUrl";

void UseHosts(const std::string& host, const std::string& fallback, int index = 1) {
  DataManager* data = DataManager::Instance();
  data->SetClientInfo("100", 1, 1);
  data->SetLang("zh-cn");
  data->SetApiHosts(host, fallback, index);
}

struct Outcome {
  bool ok = false;
  std::string payload;
  std::wstring message;
  int code = 0;
};

Outcome Send(const ApiParams& params) {
  Outcome out;
  out.ok = NetManager::Instance()->SignedRequest(kPath, params, out.payload, out.message, out.code, 100);
  return out;
}

Json::Value Parse(const std::string& payload) {
  Json::Value root;
  EXPECT_TRUE(Json::Reader().parse(payload, root)) << payload;
  return root;
}

}  // namespace

TEST(SignedRequest, BodyAndSignatureFollowTheWireFormatAndTheStandinAcceptsThem) {
  const std::string key = NetManager::kSigningKey;
  struct Case {
    ApiParams params;
    std::string body;       // without the sign field
    std::string signText;   // before the key
  } cases[] = {
      {{{"ts", "1700000000"}}, "ts=1700000000", "ts=1700000000"},
      {{{"v", "Hello World"}}, "v=Hello+World", "v=hello+world"},
      {{{"v", "\xE5\xB2\x9A"}}, "v=%E5%B2%9A", "v=%e5%b2%9a"},  // 岚
      {{{"b", "2"}, {"a", "1"}}, "a=1&b=2", "a=1&b=2"},
      {{{"B", "x"}, {"a", "y"}}, "B=x&a=y", "B=x&a=y"},  // byte order: uppercase names first
  };
  UseHosts(BaseUrl(), BaseUrl());
  for (const Case& c : cases) {
    std::string expected = c.body + "&sign=" + CMd5A().GetStringMd5(c.signText + key);
    EXPECT_EQ(expected, NetManager::BuildSignedBody(c.params)) << c.body;
    // The stand-in checks order, encoding and signature on its own and echoes the body it got.
    Outcome out = Send(c.params);
    ASSERT_TRUE(out.ok) << c.body << " " << WideToUtf8(out.message);
    EXPECT_EQ(expected, Parse(out.payload)["body"].asString());
  }
}

TEST(SignedRequest, ClientHeaderBlockArrivesInOrderAfterTheTransportHeaders) {
  UseHosts(BaseUrl(), BaseUrl(), 2);
  DataManager::Instance()->SetInnerIp("");
  Outcome out = Send({{"ts", NetManager::GetTimestamp()}});
  ASSERT_TRUE(out.ok);
  std::vector<std::pair<std::string, std::string>> got;
  Json::Value reply = Parse(out.payload);
  for (const Json::Value& header : reply["headers"]) got.emplace_back(header[0].asString(), header[1].asString());
  std::string host = "127.0.0.1:" + std::to_string(api_standin::Get().trusted);
  // libcurl sends a caller's Host line where its own would go, first.
  std::vector<std::pair<std::string, std::string>> expected = {
      {"Host", host},
      {"Accept", "*/*"},
      {"Accept-Language", "zh-CN"},
      {"User-Agent", "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)"},
      {"Accept-Encoding", "gzip, deflate"},
      {"Connection", "Keep-Alive"},
      {"Userid", "0"},
      {"Clientuuid", DataManager::Instance()->GetClientUuid()},
      {"Version", "100"},
      {"Channel", "1"},
      {"Systype", "1"},
      {"Yychannelid", "0"},
      {"Yychannelsign", "0"},
      {"Apihost", "2"},
      {"Lang", "zh-cn"},
      {"Outerip", "0.0.0.0"},
      {"Innerip", "0.0.0.0"},
      {"Computer", DataManager::Instance()->GetMachineName()},
      {"Clientapp", "0"},
  };
  // libcurl adds only the length and type of the form body.
  std::vector<std::pair<std::string, std::string>> sent;
  for (const auto& header : got)
    if (header.first != "Content-Length" && header.first != "Content-Type") sent.push_back(header);
  EXPECT_EQ(expected, sent);

  DataManager::Instance()->SetLang("");
  DataManager::Instance()->SetInnerIp("10.1.2.3");
  out = Send({{"ts", NetManager::GetTimestamp()}});
  ASSERT_TRUE(out.ok);
  std::string headers = Json::FastWriter().write(Parse(out.payload)["headers"]);
  EXPECT_EQ(std::string::npos, headers.find("\"Lang\"")) << headers;
  EXPECT_NE(std::string::npos, headers.find("[\"Innerip\",\"10.1.2.3\"]")) << headers;
  DataManager::Instance()->SetLang("zh-cn");
}

TEST(SignedRequest, EveryFailingReplyGivesItsMessageAndLogLines) {
  const std::wstring generic = NetManager::kGenericFailureMessage;
  struct Case {
    const char* switches;
    bool ok;
    int code;
    std::wstring message;
    std::vector<std::wstring> logLines;
  } cases[] = {
      {"reply=notjson", false, -1, generic, {L"网络获取信息异常或解析失败<html>gateway error</html>,100"}},
      {"reply=refuse", false, 100500, L"版本已停用", {L"100500,版本已停用,100"}},
      {"reply=codestr", false, -1, generic, {L"信息异常,100", L"网络获取信息异常或解析失败{"}},
      {"reply=fieldobj", false, 100100, generic, {L"信息异常,100"}},
      {"reply=short", false, 100100, generic, {L"信息异常,100"}},
      {"reply=emptydata", true, 100100, L"", {}},
      {"reply=badb64", true, 100100, L"", {}},
      {"reply=badlen", true, 100100, L"", {}},
  };
  for (const Case& c : cases) {
    CLogCapture log;
    UseHosts(BaseUrl(c.switches), BaseUrl(c.switches));
    Outcome out = Send({{"ts", "1700000000"}});
    EXPECT_EQ(c.ok, out.ok) << c.switches;
    EXPECT_EQ(c.code, out.code) << c.switches;
    EXPECT_EQ(c.message, out.message) << c.switches;
    if (c.ok) {
      EXPECT_EQ("", out.payload) << c.switches;
    }
    for (const std::wstring& line : c.logLines) EXPECT_TRUE(log.Contains(line)) << c.switches << "\n" << WideToUtf8(log.Text());
  }
}

TEST(SignedRequest, FirstAttemptWithoutAUsableAnswerIsSentOnceMoreToTheFallback) {
  for (const char* first : {"status=302", "status=500", "empty"}) {
    CLogCapture log;
    UseHosts(BaseUrl(first), BaseUrl("fallback"));
    Outcome out = Send({{"ts", "1700000000"}});
    ASSERT_TRUE(out.ok) << first;
    EXPECT_EQ("/s/fallback", Parse(out.payload)["served_by"].asString()) << first;
  }
  // 300 counts as an answer: no retry, even with a fallback that would refuse.
  UseHosts(BaseUrl("status=300"), BaseUrl("reply=refuse"));
  Outcome out = Send({{"ts", "1700000000"}});
  ASSERT_TRUE(out.ok);
  EXPECT_EQ("/s/status=300", Parse(out.payload)["served_by"].asString());
  // When the fallback fails too, its answer decides.
  CLogCapture log;
  UseHosts(BaseUrl("status=500"), api_standin::RefusedUrl());
  out = Send({{"ts", "1700000000"}});
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(NetManager::kGenericFailureMessage, out.message);
  EXPECT_TRUE(log.Contains(L"<html>moved or broken</html>")) << WideToUtf8(log.Text());
}

TEST(SignedRequest, FailsAtOnceWhenNoHostWasChosen) {
  // Waiting for a host, as before, would hang here until the test's time runs out.
  UseHosts("", "", 0);
  Outcome out = Send({{"ts", "1700000000"}});
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(-1, out.code);
  EXPECT_EQ(NetManager::kGenericFailureMessage, out.message);
}

TEST(NetManager, InstanceIsOneObjectAcrossThreads) {
  NetManager* seen[4] = {};
  std::vector<std::thread> threads;
  for (auto& slot : seen) threads.emplace_back([&slot] { slot = NetManager::Instance(); });
  for (auto& t : threads) t.join();
  for (NetManager* p : seen) EXPECT_EQ(NetManager::Instance(), p);
}

TEST(NetManager, TimestampIsDecimalSecondsNow) {
  std::string ts = NetManager::GetTimestamp();
  ASSERT_EQ(10u, ts.size());
  EXPECT_NEAR(static_cast<double>(time(nullptr)), std::stod(ts), 5.0);
}
