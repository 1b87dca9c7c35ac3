#include <gtest/gtest.h>

#include <string>

#include "ui/core/ContainersUI.h"
#include "ui/core/DelegateUI.h"
#include "ui/core/RectUI.h"
#include "ui/core/UIDefines.h"
#include "ui/core/UIString.h"

using namespace SkinUI;

TEST(UIString, ShortTextsStayInlineAndLongOnesMoveToTheHeapAndBack) {
  std::wstring text62(62, L'x'), text63(63, L'y');
  CUIString s(text62.c_str());
  EXPECT_TRUE(s.IsInline());
  s = text63.c_str();
  EXPECT_FALSE(s.IsInline());
  EXPECT_EQ(s.Length(), 63);
  s = text62.c_str();
  EXPECT_TRUE(s.IsInline());
  EXPECT_EQ(std::wstring(s.c_str()), text62);
}

TEST(UIString, AppendingGrowsAcrossTheInlineLimitAndCopiesAreDeep) {
  CUIString s;
  for (int i = 0; i < 100; ++i) s += L"ab";
  EXPECT_EQ(s.Length(), 200);
  CUIString copy(s);
  copy.SetText(L"z");
  EXPECT_EQ(s.Length(), 200);
  s += s;  // appending itself
  EXPECT_EQ(s.Length(), 400);
  s = s.c_str() + 390;  // assigning a part of its own heap block
  EXPECT_EQ(s, L"ababababab");
  EXPECT_TRUE(s.IsInline());
}

TEST(UIString, PositionsAreClampedOrAnsweredWithMinusOne) {
  CUIString abcdef(L"abcdef"), abc(L"abc");
  EXPECT_EQ(abcdef.Substring(3), L"def");
  EXPECT_EQ(abcdef.Substring(3, 99), L"def");
  EXPECT_EQ(abcdef.Substring(4, 0), L"");
  EXPECT_EQ(abc.Prefix(10), L"abc");
  EXPECT_EQ(abc.Prefix(-1), L"");
  EXPECT_EQ(abc.IndexOf(L'c', 5), -1);
  EXPECT_EQ(abc.IndexOf(L"bc"), 1);
  EXPECT_EQ(CUIString().IndexOf(L'a', 0), -1);
  EXPECT_EQ(abc.At(3), 0);
}

TEST(UIString, ReplaceAllNeverRescansWhatItInserted) {
  struct Case {
    const wchar_t* text;
    const wchar_t* from;
    const wchar_t* to;
    const wchar_t* expected;
    int count;
  } cases[] = {
      {L"aaa", L"a", L"aa", L"aaaaaa", 3},
      {L"abcabc", L"b", L"", L"acac", 2},
      {L"abc", L"x", L"y", L"abc", 0},
      {L"abc", L"", L"y", L"abc", 0},  // an empty pattern must not loop
      {L"x<n>y", L"<n>", L"\r\n", L"x\r\ny", 1},
  };
  for (const Case& c : cases) {
    CUIString s(c.text);
    EXPECT_EQ(s.ReplaceAll(c.from, c.to), c.count) << c.text;
    EXPECT_EQ(s, c.expected) << c.text;
  }
}

TEST(UIString, PrintfCutsLongResultsAtTheBuffer) {
  CUIString s;
  s.Printf(L"%d-%s", 42, L"wide");
  EXPECT_EQ(s, L"42-wide");
  std::wstring big(500, L'q');
  EXPECT_EQ(s.Printf(L"%s", big.c_str()), 63);
  EXPECT_EQ(s.Length(), 63);
}

TEST(UIString, ComparisonAndCaseFolding) {
  CUIString s(L"HeLLo");
  EXPECT_EQ(s.CompareIgnoreCase(L"hello"), 0);
  EXPECT_NE(s.CompareOrdinal(L"hello"), 0);
  s.ToLower();
  EXPECT_EQ(s, L"hello");
  EXPECT_TRUE(CUIString(L"b") != L"a");
}

TEST(PtrArray, GrowthInsertionAndRemoval) {
  CPtrArrayUI a;
  int v[30];
  EXPECT_TRUE(a.Push(&v[0]));
  EXPECT_EQ(a.Capacity(), 11);
  for (int i = 1; i < 11; ++i) a.Push(&v[i]);
  EXPECT_EQ(a.Capacity(), 22);
  EXPECT_FALSE(a.InsertBefore(-1, &v[20]));
  EXPECT_FALSE(a.InsertBefore(12, &v[20]));
  EXPECT_TRUE(a.InsertBefore(0, &v[20]));
  EXPECT_EQ(a.At(0), &v[20]);
  EXPECT_EQ(a.At(1), &v[0]);
  EXPECT_TRUE(a.InsertBefore(a.Count(), &v[21]));
  EXPECT_EQ(a.IndexOf(&v[21]), 12);
  EXPECT_FALSE(a.RemoveRange(12, 2));
  EXPECT_FALSE(a.RemoveRange(0, 0));
  EXPECT_TRUE(a.RemoveRange(0, 2));
  EXPECT_EQ(a.At(0), &v[1]);
  EXPECT_EQ(a.At(a.Count()), nullptr);
  CPtrArrayUI copy(a);
  EXPECT_EQ(copy.Count(), a.Count());
  a.Reset(3);
  EXPECT_EQ(a.Count(), 3);
  EXPECT_EQ(a.At(2), nullptr);
}

TEST(StringMap, HashTakesCharactersFromTheEnd) {
  EXPECT_EQ(CStringMapUI::Hash(L"ab"), 3331u);
  EXPECT_EQ(CStringMapUI::Hash(L"ab") % 83, 11u);
}

TEST(StringMap, KeysAreUniquePutReplacesEraseRemoves) {
  CStringMapUI map;
  int a = 1, b = 2;
  EXPECT_TRUE(map.AddNew(L"k", &a));
  EXPECT_FALSE(map.AddNew(L"k", &b));
  EXPECT_EQ(map.Lookup(L"k"), &a);
  EXPECT_EQ(map.Put(L"k", &b), &a);
  EXPECT_EQ(map.Lookup(L"k"), &b);
  EXPECT_EQ(map.Put(L"new", &a), nullptr);
  EXPECT_EQ(map.Count(), 2);
  EXPECT_TRUE(map.Erase(L"k"));
  EXPECT_FALSE(map.Erase(L"k"));
  EXPECT_EQ(map.Lookup(L"k"), nullptr);
  EXPECT_EQ(CStringMapUI(3).BucketCount(), 16);
}

TEST(StringMap, CollidingKeysSurviveMoveToFrontAndIteration) {
  CStringMapUI map(16);
  int values[40];
  std::wstring keys[40];
  for (int i = 0; i < 40; ++i) {
    keys[i] = L"key" + std::to_wstring(i);
    ASSERT_TRUE(map.AddNew(keys[i].c_str(), &values[i]));
  }
  for (int round = 0; round < 3; ++round) {
    for (int i = 39; i >= 0; --i) ASSERT_EQ(map.Lookup(keys[i].c_str()), &values[i]) << i;
  }
  int seen = 0;
  while (map.KeyAt(seen)) ++seen;
  EXPECT_EQ(seen, 40);
  for (int i = 0; i < 40; i += 2) ASSERT_TRUE(map.Erase(keys[i].c_str()));
  for (int i = 1; i < 40; i += 2) EXPECT_EQ(map.Lookup(keys[i].c_str()), &values[i]);
  map.ClearAll();
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(map.KeyAt(0), nullptr);
}

namespace {
struct Counter {
  int calls = 0;
  bool answer = true;
  bool Hit(void*) {
    ++calls;
    return answer;
  }
  bool Other(void*) {
    ++calls;
    return true;
  }
};
}  // namespace

TEST(DelegateList, EqualDelegatesAreAddedOnceAndFalseStopsTheWalk) {
  Counter first, second;
  CDelegateListUI list;
  EXPECT_TRUE(list(nullptr));  // empty list answers true
  list += MakeDelegate(&first, &Counter::Hit);
  list += MakeDelegate(&first, &Counter::Hit);
  list += MakeDelegate(&first, &Counter::Other);
  list += MakeDelegate(&second, &Counter::Hit);
  EXPECT_EQ(list.Count(), 3);
  first.answer = false;
  EXPECT_FALSE(list(nullptr));
  EXPECT_EQ(first.calls, 1);
  EXPECT_EQ(second.calls, 0);
}

TEST(Rect, UnionMoveAndZero) {
  CRectUI r(10, 20, 30, 40);
  r.UnionWith(RECT{0, 25, 50, 35});
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 50);
  EXPECT_EQ(r.top, 20);
  r.MoveBy(5, 5);
  r.MoveToOrigin();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.Width(), 50);
  EXPECT_EQ(r.Height(), 20);
  r.Clear();
  EXPECT_TRUE(r.IsZero());
}

TEST(NumberList, NeverReadsPastTheEndAndMissingNumbersReadZero) {
  struct Case {
    const wchar_t* text;
    long expected[4];
  } cases[] = {
      {L"1,2,3,4", {1, 2, 3, 4}},
      {L"10", {10, 0, 0, 0}},
      {L"10,", {10, 0, 0, 0}},
      {L"", {0, 0, 0, 0}},
      {L"5,,7,8", {5, 0, 7, 8}},
      {L"-3 4 5 6", {-3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    // The text is copied into a buffer followed by digits: reading past the terminator would show.
    wchar_t buffer[32] = {};
    wcscpy(buffer, c.text);
    size_t end = wcslen(buffer);
    wcscpy(buffer + end + 1, L"99,99,99");
    long v[4];
    ParseNumberList(buffer, v, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], c.expected[i]) << c.text << " #" << i;
  }
}

TEST(ColorText, HashIsOptional) {
  EXPECT_EQ(ParseColorText(L"#FF102030"), 0xFF102030u);
  EXPECT_EQ(ParseColorText(L"80ff0000"), 0x80FF0000u);
  EXPECT_EQ(ParseColorText(L""), 0u);
}
