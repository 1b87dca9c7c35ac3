#include "core/TextUtils.h"

#include <gtest/gtest.h>

TEST(UrlEncode, KeepsUnreservedBytesAndEscapesTheRestInUppercase) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"", ""},
      {"AZaz09-_.", "AZaz09-_."},
      {"a b", "a+b"},
      {"~", "%7E"},
      {"\xE4\xB8\xAD", "%E4%B8%AD"},  // 中
      {"a=b&c/d?", "a%3Db%26c%2Fd%3F"},
      {std::string("\0\xFF", 2), "%00%FF"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, UrlEncode(c.in)) << c.in;
}

TEST(ChangeCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ("ABC-%E4Z", ChangeCase(true, "abc-%e4z"));
  EXPECT_EQ("abc-%e4z", ChangeCase(false, "ABC-%E4Z"));
  std::string high = "\xC4\xE4";
  EXPECT_EQ(high, ChangeCase(true, high));
  EXPECT_EQ(high, ChangeCase(false, high));
}

TEST(SplitString, RunsOfDelimitersSeparateOnce) {
  struct Case {
    std::wstring text;
    std::vector<std::wstring> pieces;
  } cases[] = {
      {L"C:\\Program Files\\tovik", {L"C:", L"Program Files", L"tovik"}},
      {L"\\a\\\\b\\", {L"", L"a", L"b"}},
      {L"", {L""}},
      {L"plain", {L"plain"}},
      {L"\\\\\\", {L""}},
      {L"a/b\\c", {L"a/b", L"c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.pieces, SplitString(c.text, L"\\")) << c.text;
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), SplitString(L"a/b\\c", L"\\/"));
}

TEST(Conversions, RoundTripChineseAndEmptyText) {
  std::string utf8 = "\xE5\xB2\x9A\xE9\xB9\x8A setup";  // 岚鹊 setup
  std::wstring wide = Utf8ToWide(utf8);
  EXPECT_EQ(L"岚鹊 setup", wide);
  EXPECT_EQ(utf8, WideToUtf8(wide));
  EXPECT_EQ("", WideToUtf8(L""));
  EXPECT_EQ(L"", Utf8ToWide(""));
  EXPECT_EQ("", WideToAnsi(L""));
  EXPECT_EQ(L"", AnsiToWide(""));
  // ASCII is the same in every ANSI code page.
  EXPECT_EQ(L"Tovik-PC", AnsiToWide("Tovik-PC"));
  EXPECT_EQ("Tovik-PC", AnsiToUtf8("Tovik-PC"));
  EXPECT_EQ("Tovik-PC", WideToAnsi(L"Tovik-PC"));
}

TEST(IsMd5Text, AcceptsOnlyThirtyTwoHexDigits) {
  EXPECT_TRUE(IsMd5Text("d41d8cd98f00b204e9800998ecf8427e"));
  EXPECT_TRUE(IsMd5Text("D41D8CD98F00B204E9800998ECF8427E"));
  EXPECT_FALSE(IsMd5Text(""));
  EXPECT_FALSE(IsMd5Text("d41d8cd98f00b204e9800998ecf8427"));
  EXPECT_FALSE(IsMd5Text("d41d8cd98f00b204e9800998ecf8427e0"));
  EXPECT_FALSE(IsMd5Text("g41d8cd98f00b204e9800998ecf8427e"));
  EXPECT_FALSE(IsMd5Text("d41d8cd98f00b204e9800998ecf8427 "));
}

TEST(MakePackageFileName, CutsQueryConvertsUtf8AndFallsBackWhenNothingIsLeft) {
  struct Case {
    std::string url;
    std::wstring name;
  } cases[] = {
      {"https://cdn.example/pkg/client_1.0.5.zip", L"client_1.0.5.zip"},
      {"https://cdn.example/pkg/client.zip?sig=a/b&t=1", L"client.zip"},
      {"https://cdn.example/pkg/client.zip#part", L"client.zip"},
      {"https://cdn.example/pkg/\xE5\xB2\x9A\xE9\xB9\x8A.zip", L"岚鹊.zip"},
      {"https://cdn.example/pkg/a:b*c|d\".zip", L"a_b_c_d_.zip"},
      {"https://cdn.example/pkg/", kFallbackPackageFileName},
      {"https://cdn.example/pkg/?name=x.zip", kFallbackPackageFileName},
      {"https://cdn.example/pkg/..", kFallbackPackageFileName},
      {"https://cdn.example/pkg/CON", kFallbackPackageFileName},
      {"https://cdn.example/pkg/com1.zip", kFallbackPackageFileName},
      {"https://cdn.example/pkg/x.zip. . ", L"x.zip"},
      {"", kFallbackPackageFileName},
      {"client.zip", L"client.zip"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.name, MakePackageFileName(c.url)) << c.url;
}
