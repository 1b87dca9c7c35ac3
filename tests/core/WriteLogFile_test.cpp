#include "core/WriteLogFile.h"

#include <gtest/gtest.h>
#include <process.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

// The file's text after its byte-order mark, as UTF-8 for readable comparisons.
std::string LogText(const std::wstring& path) {
  std::string bytes = ReadFileBytes(path);
  if (bytes.size() < 2) return std::string();
  std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  return testing_support::WideToUtf8Text(wide);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

const std::regex kStamp(R"(^\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\])");

}  // namespace

TEST(WriteLogFile, FirstLineCreatesFileWithBomStampSourceAndCrLf) {
  CTempFolder dir;
  CWriteLogFile log;
  std::wstring path = dir / L"TovikSetup.log";
  log.SetLogFile(path, 1024);
  int line = 80;
  log.WriteLog(L"..\\core\\DataManager.cpp", line, L"安装错误：%s,%d", L"无可访问的服务器", 7);

  std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ('\xFF', bytes[0]);
  EXPECT_EQ('\xFE', bytes[1]);
  std::vector<std::string> lines = Lines(LogText(path));
  ASSERT_EQ(1u, lines.size());
  EXPECT_TRUE(std::regex_search(lines[0], kStamp)) << lines[0];
  EXPECT_EQ("[..\\core\\DataManager.cpp 80]安装错误：无可访问的服务器,7", lines[0].substr(21));
}

TEST(WriteLogFile, SecondLineAppendsWithoutAnotherBom) {
  CTempFolder dir;
  CWriteLogFile log;
  std::wstring path = dir / L"a.log";
  log.SetLogFile(path, 1024);
  int line = 1;
  log.WriteLog(L".\\MainWnd.cpp", line, L"one");
  line = 2;
  log.WriteLogText(L".\\MainWnd.cpp", line, L"two");
  std::vector<std::string> lines = Lines(LogText(path));
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("[.\\MainWnd.cpp 1]one", lines[0].substr(21));
  EXPECT_EQ("[.\\MainWnd.cpp 2]two", lines[1].substr(21));
}

TEST(WriteLogFile, VerbatimTextKeepsPercentAndLengthWhileFormattedMessageIsCut) {
  CTempFolder dir;
  CWriteLogFile log;
  std::wstring path = dir / L"a.log";
  log.SetLogFile(path, 1024);
  std::wstring longText(12000, L'x');
  int line = 5;
  log.WriteLogText(L"src", line, L"100% %s " + longText);
  log.WriteLog(L"src", line, L"%s", longText.c_str());
  std::vector<std::string> lines = Lines(LogText(path));
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("[src 5]100% %s " + std::string(12000, 'x'), lines[0].substr(21));
  EXPECT_EQ("[src 5]" + std::string(CWriteLogFile::kMessageCapacity - 1, 'x'), lines[1].substr(21));
}

TEST(WriteLogFile, SetLogFileDeletesEmptyAndOversizedFilesAndKeepsOneAtTheLimit) {
  struct Case {
    size_t size;
    bool kept;
  } cases[] = {{0, false}, {1024, true}, {1025, false}, {10, true}};
  for (const Case& c : cases) {
    CTempFolder dir;
    std::wstring path = dir / L"a.log";
    ASSERT_TRUE(WriteFileBytes(path, std::string(c.size, 'a')));
    CWriteLogFile log;
    log.SetLogFile(path, 1);
    EXPECT_EQ(c.kept, testing_support::ReadFileBytes(path).size() == c.size && c.size > 0) << c.size;
  }
}

TEST(WriteLogFile, WriteAfterTheLimitStartsAFreshFile) {
  CTempFolder dir;
  std::wstring path = dir / L"a.log";
  CWriteLogFile log;
  log.SetLogFile(path, 1);
  int line = 1;
  // Each line is well over 100 bytes; the limit is checked before a line is written, so the file
  // grows past 1024 bytes by one line and the next write starts over.
  std::wstring text(100, L'y');
  size_t previous = 0;
  bool restarted = false;
  for (int i = 0; i < 20 && !restarted; ++i) {
    log.WriteLogText(L"s", line, text);
    size_t size = ReadFileBytes(path).size();
    if (size < previous) {
      restarted = true;
      EXPECT_GT(previous, 1024u);
      EXPECT_EQ('\xFF', ReadFileBytes(path)[0]);
      EXPECT_EQ(1u, Lines(LogText(path)).size());
    }
    previous = size;
  }
  EXPECT_TRUE(restarted);
}

TEST(WriteLogFile, WriteBeforeSetLogFileWritesNothing) {
  CWriteLogFile log;
  int line = 1;
  log.WriteLog(L"s", line, L"lost");
  EXPECT_EQ(0, log.GetLogFileSize(L""));
}

namespace {
struct WriterArgs {
  CWriteLogFile* log;
  int id;
};
unsigned __stdcall WriterThread(void* p) {
  auto* args = static_cast<WriterArgs*>(p);
  for (int i = 0; i < 150; ++i) {
    int line = args->id;
    args->log->WriteLog(L"thread", line, L"%s-%d-%s", L"begin", i, std::wstring(200, L'a' + args->id).c_str());
  }
  return 0;
}
}  // namespace

TEST(WriteLogFile, TwoThreadsWritingAtOnceNeverTearALine) {
  CTempFolder dir;
  std::wstring path = dir / L"a.log";
  CWriteLogFile log;
  log.SetLogFile(path, 1024);
  WriterArgs a{&log, 1}, b{&log, 2};
  HANDLE threads[2] = {reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WriterThread, &a, 0, nullptr)),
                       reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WriterThread, &b, 0, nullptr))};
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForMultipleObjects(2, threads, TRUE, 60000));
  ::CloseHandle(threads[0]);
  ::CloseHandle(threads[1]);
  std::vector<std::string> lines = Lines(LogText(path));
  ASSERT_EQ(300u, lines.size());
  const std::regex whole(R"(^\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\]\[thread ([12])\]begin-\d+-([bc])\2{199}$)");
  int perThread[3] = {};
  for (const std::string& l : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l, m, whole)) << l.substr(0, 60);
    ++perThread[m[1].str()[0] - '0'];
  }
  EXPECT_EQ(150, perThread[1]);
  EXPECT_EQ(150, perThread[2]);
}
