#include "core/HttpClient.h"

#include <gtest/gtest.h>

#include "core/Md5.h"
#include "core/ScopedHandle.h"
#include "core/ServerCertificate.h"
#include "tests/core/support/ApiStandin.h"
#include "tests/support/TestSupport.h"

using api_standin::BaseUrl;
using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The stand-in's package bytes for the default seed, fetched by a client known to work: libcurl
// through the API handle.
std::string PackageBytes(const std::string& switches) {
  CHttpClient client;
  client.InitLibCurl(nullptr);
  std::string text;
  EXPECT_EQ(200, client.HttpRequest(BaseUrl(switches) + "/files/p.zip", 1, text, nullptr, L""));
  return text;
}

int g_progressCalls = 0;
bool CountProgress(int32_t userValue, int64_t, int64_t, double) {
  EXPECT_EQ(7, userValue);
  ++g_progressCalls;
  return true;
}
bool RefuseProgress(int32_t, int64_t, int64_t, double) { return false; }

}  // namespace

TEST(HttpClient, HostLineComesFromTheStrippedUrl) {
  struct Case {
    const char* url;
    const char* line;
  } cases[] = {
      {"https://api.example:8443/wpapi/x", "Host: api.example:8443"},
      {"  https://api.example/a  ", "Host: api.example"},
      {"http://api.example", "Host: api.example"},
      {"api.example/path", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.line, CHttpClient::BuildHostLine(c.url)) << c.url;
}

TEST(HttpClient, ExtraHeaderTextIsCutAtLineEndsAndSemicolonsDroppingOneLetterPieces) {
  EXPECT_EQ((std::vector<std::string>{"Userid: 0", "Lang: zh-cn"}),
            CHttpClient::SplitExtraHeaders("Userid: 0\r\nLang: zh-cn;x"));
  EXPECT_EQ((std::vector<std::string>{"A: 1", "B: 2"}), CHttpClient::SplitExtraHeaders("\r\n;A: 1;;\n\nB: 2\r\n"));
  EXPECT_TRUE(CHttpClient::SplitExtraHeaders(nullptr).empty());
  EXPECT_TRUE(CHttpClient::SplitExtraHeaders("").empty());
}

TEST(HttpClient, RequestWithoutHandleSaysSo) {
  CHttpClient client;
  std::string text = "unchanged";
  EXPECT_EQ(0, client.HttpRequest("", 0, text, nullptr, L""));
  EXPECT_EQ("unchanged", text);
  EXPECT_EQ(0, client.HttpRequest(BaseUrl(), 0, text, nullptr, L""));
  EXPECT_EQ("InitLibCurl is not invoked", text);
}

TEST(HttpClient, RequestReturnsAnyStatusAndCanMirrorTheBodyIntoAFreshFile) {
  CTempFolder dir;
  CHttpClient client;
  ASSERT_TRUE(client.InitLibCurl(nullptr));
  std::string text;
  EXPECT_EQ(404, client.HttpRequest(BaseUrl("probe=404"), 1, text, nullptr, L""));
  EXPECT_EQ("standin", text);
  // A stale, longer file in the way is replaced, not appended to.
  std::wstring mirror = dir / L"sub\\body.txt";
  ASSERT_TRUE(::CreateDirectoryW((dir / L"sub").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(mirror, "stale content that is longer"));
  EXPECT_EQ(200, client.HttpRequest(BaseUrl(), 1, text, nullptr, mirror));
  EXPECT_EQ("standin", ReadFileBytes(mirror));
}

TEST(HttpClient, TransportFailureGivesStatusZeroAndTheErrorText) {
  CHttpClient client;
  ASSERT_TRUE(client.InitLibCurl(nullptr));
  std::string text;
  EXPECT_EQ(0, client.HttpRequest(api_standin::RefusedUrl(), 1, text, nullptr, L""));
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(client.ErrorText(), text);
}

TEST(HttpClient, CertificatesAreVerifiedOnEveryKindOfTransfer) {
  CTempFolder dir;
  // The rogue server presents a certificate from a CA nobody trusts; "localhost" is not a name
  // the trusted certificate carries.
  std::string wrongName = "https://localhost:" + std::to_string(api_standin::Get().trusted);
  for (const std::string& base : {api_standin::RogueUrl(), wrongName}) {
    CHttpClient client;
    ASSERT_TRUE(client.InitLibCurl(nullptr));
    std::string text;
    EXPECT_EQ(0, client.HttpRequest(base + "/", 1, text, nullptr, L"")) << base;
    // The refused connection may be kept alive by libcurl; reusing it must not slip past the check.
    EXPECT_EQ(0, client.HttpRequest(base + "/", 1, text, nullptr, L"")) << base;
    EXPECT_EQ("", client.ResponseBody());
    EXPECT_FALSE(client.ProbeUrl(base, 5)) << base;
    EXPECT_FALSE(client.DownloadFile(0, base + "/files/p.zip", dir / L"p.zip", nullptr)) << base;
    EXPECT_FALSE(FileExists(dir / L"p.zip"));
  }
  CHttpClient client;
  EXPECT_TRUE(client.ProbeUrl(BaseUrl(), 5));
}

TEST(HttpClient, ProbeSucceedsBelowStatus400Only) {
  CHttpClient client;
  EXPECT_TRUE(client.ProbeUrl(BaseUrl("probe=302"), 5));
  EXPECT_TRUE(client.ProbeUrl(BaseUrl("probe=399"), 5));
  EXPECT_FALSE(client.ProbeUrl(BaseUrl("probe=404"), 5));
  EXPECT_FALSE(client.ProbeUrl(BaseUrl("probe=500"), 5));
  EXPECT_FALSE(client.ProbeUrl(api_standin::RefusedUrl(), 5));
  EXPECT_FALSE(client.ProbeUrl("", 5));
}

TEST(DownloadFile, WritesTheBodyAndReportsProgress) {
  CTempFolder dir;
  std::wstring path = dir / L"deep\\er\\p.zip";
  g_progressCalls = 0;
  CHttpClient client;
  ASSERT_TRUE(client.DownloadFile(7, BaseUrl("size=300000") + "/files/p.zip", path, &CountProgress));
  EXPECT_EQ(PackageBytes("size=300000"), ReadFileBytes(path));
  EXPECT_GT(g_progressCalls, 0);
}

TEST(DownloadFile, FailuresLeaveNoFileButAnEmptyBodyLeavesAnEmptyFile) {
  CTempFolder dir;
  std::wstring path = dir / L"p.zip";
  struct Case {
    const char* switches;
    DownloadProgressFn progress;
    bool ok;
  } cases[] = {
      {"dl=404", nullptr, false},        {"dl=404", &CountProgress, false},
      {"dl=trunc", nullptr, false},      {"size=100000", &RefuseProgress, false},
      {"dl=empty", nullptr, true},       {"dl=empty", &CountProgress, true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    CHttpClient client;
    EXPECT_EQ(c.ok, client.DownloadFile(7, BaseUrl(c.switches) + "/files/p.zip", path, c.progress)) << c.switches;
    EXPECT_EQ(c.ok, FileExists(path)) << c.switches;
    if (c.ok) {
      EXPECT_EQ("", ReadFileBytes(path)) << c.switches;
    }
  }
  CHttpClient client;
  ASSERT_TRUE(WriteFileBytes(path, "old"));
  EXPECT_FALSE(client.DownloadFile(0, "", path, nullptr));
  EXPECT_FALSE(FileExists(path));
}

TEST(DownloadFile, AServerThatStallsFailsAfterTheStallLimit) {
  CTempFolder dir;
  CHttpClient client;
  client.SetDownloadStallLimit(2);
  EXPECT_FALSE(client.DownloadFile(7, BaseUrl("dl=stall,size=200000,stallfor=20") + "/files/p.zip", dir / L"p.zip",
                                   &CountProgress));
  EXPECT_FALSE(FileExists(dir / L"p.zip"));
}

TEST(DownloadFile, ReplacesAFileThatCannotBeDeletedInsteadOfAppendingToIt) {
  CTempFolder dir;
  std::wstring path = dir / L"p.zip";
  ASSERT_TRUE(WriteFileBytes(path, std::string(10000, 'S')));
  // Another process holds the old file open without delete sharing: deleting it fails, but it may
  // still be rewritten.
  CScopedFile holder(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder.IsValid());
  CHttpClient client;
  ASSERT_TRUE(client.DownloadFile(0, BaseUrl("size=5000") + "/files/p.zip", path, nullptr));
  holder.Reset();
  EXPECT_EQ(PackageBytes("size=5000"), ReadFileBytes(path));
}

TEST(ServerCertificate, HostOfUrlIsTheNameTheCertificateMustCarry) {
  struct Case {
    const char* url;
    const char* host;
  } cases[] = {
      {"https://api.example/a/b", "api.example"},
      {"https://api.example:8443/a", "api.example"},
      {"https://user:pw@api.example:8443?x=1", "api.example"},
      {"https://[::1]:8443/a", "::1"},
      {"https://127.0.0.1#f", "127.0.0.1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.host, HostOfUrl(c.url)) << c.url;
}
