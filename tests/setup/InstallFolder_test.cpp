#include "setup/InstallFolder.h"

#include <gtest/gtest.h>

TEST(NormaliseInstallFolder, TakesOnlyFullPathsInTheirNormalForm) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* expected;  // null: refused
  } cases[] = {
      {L"C:\\Program Files (x86)\\tovik", L"C:\\Program Files (x86)\\tovik"},
      {L"  D:\\Games\\tovik\\  ", L"D:\\Games\\tovik"},             // blanks and a trailing backslash
      {L"d:/Games//tovik", L"d:\\Games\\tovik"},                   // slashes, doubled separators
      {L"C:\\Games\\..\\Apps\\.\\tovik", L"C:\\Apps\\tovik"},      // dot segments resolved
      {L"E:\\", L"E:\\"},                                          // a drive root keeps its backslash
      {L"\\\\server\\share\\tovik", L"\\\\server\\share\\tovik"},  // network folder
      {L"", nullptr},
      {L"   ", nullptr},
      {L"tovik", nullptr},              // relative to whatever the current folder is
      {L"..\\tovik", nullptr},
      {L"C:tovik", nullptr},            // relative to drive C's current folder
      {L"\\tovik", nullptr},            // relative to the current drive
      {L"C:\\to<vik", nullptr},         // characters no file name may hold
      {L"C:\\tovik\\a:b", nullptr},
      {L"C:\\tovik?", nullptr},
      {L"\\\\?\\C:\\tovik", nullptr},   // device namespaces are not typed folders
      {L"\\\\server", nullptr},         // a server without a share
  };
  for (const Case& c : cases) {
    std::wstring out = L"stale";
    const bool ok = NormaliseInstallFolder(c.typed, out);
    if (c.expected) {
      EXPECT_TRUE(ok) << c.typed;
      EXPECT_EQ(std::wstring(c.expected), out) << c.typed;
    } else {
      EXPECT_FALSE(ok) << c.typed;
      EXPECT_TRUE(out.empty()) << c.typed;
    }
  }
}
