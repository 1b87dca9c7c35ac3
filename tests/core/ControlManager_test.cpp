#include "core/ControlManager.h"

#include <gtest/gtest.h>

#include "core/DataManager.h"
#include "core/Md5.h"
#include "core/NetManager.h"
#include "core/TextUtils.h"
#include "tests/core/support/ApiStandin.h"
#include "tests/support/TestSupport.h"

using api_standin::BaseUrl;
using log_capture::CLogCapture;
using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

CWindowMultiThreadManager* Control() { return CWindowMultiThreadManager::Instance(); }

void UseApi(const std::string& switches) {
  DataManager* data = DataManager::Instance();
  data->SetClientInfo("100", 1, 1);
  data->SetApiHosts(BaseUrl(switches), BaseUrl(switches), 1);
}

struct PackageInfo {
  bool ok = false;
  std::string url, md5, version;
};

PackageInfo AskForPackage(const std::string& switches) {
  UseApi(switches);
  PackageInfo info;
  info.ok = Control()->GetClientZipUrl(info.url, info.md5, info.version);
  return info;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST(SelectApiHost, TakesTheFirstEndpointThatAnswersAndAlwaysFallsBackToTheSecondary) {
  struct Case {
    std::string primary, secondary;
    std::string host;
    int index;
  } cases[] = {
      {BaseUrl("p"), BaseUrl("s"), BaseUrl("p"), 1},
      {api_standin::RefusedUrl(), BaseUrl("s"), BaseUrl("s"), 2},
      {BaseUrl("probe=404"), BaseUrl("s"), BaseUrl("s"), 2},
      {api_standin::RogueUrl(), BaseUrl("s"), BaseUrl("s"), 2},
  };
  DataManager* data = DataManager::Instance();
  for (const Case& c : cases) {
    data->SetApiHosts("", "", 0);
    data->SetApiEndpoints(c.primary, c.secondary);
    EXPECT_TRUE(Control()->SelectApiHost());
    EXPECT_EQ(c.host, data->GetApiHost()) << c.primary;
    EXPECT_EQ(c.secondary, data->GetFallbackApiHost()) << c.primary;
    EXPECT_EQ(c.index, data->GetApiHostIndex()) << c.primary;
  }
  CLogCapture log;
  data->SetApiHosts("", "", 0);
  data->SetApiEndpoints(api_standin::RefusedUrl(), BaseUrl("probe=500"));
  EXPECT_TRUE(Control()->SelectApiHost());
  EXPECT_EQ("", data->GetApiHost());
  EXPECT_TRUE(log.Contains(L"无可访问的服务器"));
  // And the request that follows fails instead of waiting for a host.
  std::string url, md5, version;
  EXPECT_FALSE(Control()->GetClientZipUrl(url, md5, version));
  EXPECT_TRUE(log.Contains(L"信息请求失败"));
  data->SetApiEndpoints(TOVIK_API_PRIMARY, TOVIK_API_SECONDARY);
}

TEST(GetClientZipUrl, ReadsTheThreeFieldsAsText) {
  PackageInfo info = AskForPackage("name=client_105.zip");
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(BaseUrl("name=client_105.zip") + "/files/client_105.zip", info.url);
  EXPECT_TRUE(IsMd5Text(info.md5));
  EXPECT_EQ("1.0.5", info.version);
  EXPECT_EQ("105", AskForPackage("vnum").version);
}

TEST(GetClientZipUrl, FailsWithoutAUrlOrAWellFormedDigest) {
  struct Case {
    const char* switches;
    const wchar_t* logLine;
  } cases[] = {
      {"reply=emptyurl", L"数据信息不完整"}, {"reply=emptymd5", L"数据信息不完整"},
      {"reply=badmd5", L"数据信息不完整"},   {"reply=nofields", L"数据信息不完整"},
      {"reply=emptydata", L"数据信息解析错误"}, {"reply=refuse", L"信息请求失败"},
  };
  for (const Case& c : cases) {
    CLogCapture log;
    PackageInfo info = AskForPackage(c.switches);
    EXPECT_FALSE(info.ok) << c.switches;
    EXPECT_EQ("", info.url) << c.switches;
    EXPECT_TRUE(log.Contains(c.logLine)) << c.switches << "\n" << WideToUtf8(log.Text());
  }
}

TEST(DownloadPackage, FetchesVerifiesAndReusesTheCache) {
  CTempFolder work;
  PackageInfo info = AskForPackage("md5=upper,size=70000");
  ASSERT_TRUE(info.ok);
  std::wstring path = GetPackageCachePath(work.Path() + L"\\", info.url);
  EXPECT_EQ(work / L"cache\\client_pkg.zip", path);
  ASSERT_TRUE(Control()->DownloadPackage(path, info.url, info.md5));
  std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(70000u, bytes.size());
  EXPECT_EQ(ChangeCase(false, info.md5), CMd5A().GetStringMd5(bytes));

  // A matching cached file is used as it is: the URL now answers 404, so a fetch would fail.
  std::string gone = BaseUrl("dl=404") + "/files/client_pkg.zip";
  EXPECT_TRUE(Control()->DownloadPackage(path, gone, info.md5));
  EXPECT_EQ(bytes, ReadFileBytes(path));

  // A cached file with another digest is fetched again.
  ASSERT_TRUE(WriteFileBytes(path, "damaged"));
  EXPECT_TRUE(Control()->DownloadPackage(path, info.url, info.md5));
  EXPECT_EQ(bytes, ReadFileBytes(path));
}

TEST(DownloadPackage, FailuresAreLoggedAndOnlyAMismatchLeavesItsFile) {
  struct Case {
    const char* switches;
    const wchar_t* logLine;
    bool fileStays;
  } cases[] = {
      {"md5=wrong", L"文件下载错误，md5不一致", true},
      {"dl=404", L"文件下载失败", false},
      {"dl=trunc,size=100000", L"文件下载失败", false},
      {"dl=stall,size=100000,stallfor=20", L"文件下载失败", false},
  };
  Control()->SetDownloadStallLimit(2);
  for (const Case& c : cases) {
    CTempFolder work;
    CLogCapture log;
    PackageInfo info = AskForPackage(c.switches);
    ASSERT_TRUE(info.ok) << c.switches;
    std::wstring path = GetPackageCachePath(work.Path() + L"\\", info.url);
    EXPECT_FALSE(Control()->DownloadPackage(path, info.url, info.md5)) << c.switches;
    EXPECT_EQ(c.fileStays, FileExists(path)) << c.switches;
    EXPECT_TRUE(log.Contains(c.logLine)) << c.switches;
  }
  Control()->SetDownloadStallLimit(60);
}

TEST(DownloadPackage, AFolderInPlaceOfThePackageIsNeverACacheHit) {
  CTempFolder work;
  PackageInfo info = AskForPackage("");
  ASSERT_TRUE(info.ok);
  std::wstring path = work / L"cache\\client_pkg.zip";
  ASSERT_TRUE(::CreateDirectoryW((work / L"cache").c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_FALSE(IsRegularFile(path));
  EXPECT_FALSE(Control()->DownloadPackage(path, info.url, info.md5));
  EXPECT_FALSE(Control()->DownloadPackage(work.Path(), info.url, ""));
}

TEST(InitNetwork, CreatesTheCacheFolderOfTheWorkingFolder) {
  CTempFolder work;
  NetManager::Instance()->InitNetwork(work.Path() + L"\\");
  DWORD attributes = ::GetFileAttributesW(GetPackageCacheFolder(work.Path() + L"\\").c_str());
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
