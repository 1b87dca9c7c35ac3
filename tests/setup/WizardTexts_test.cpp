#include "setup/WizardTexts.h"

#include <gtest/gtest.h>

#include <string>

using namespace WizardTexts;

TEST(IsTraditionalLocale, TaiwanHongKongAndMacaoReadTraditionalOthersSimplified) {
  struct Case {
    LCID lcid;
    bool traditional;
  } cases[] = {
      {0x0404, true},  {0x0C04, true},  {0x1404, true},   // zh-TW, zh-HK, zh-MO
      {0x0804, false}, {0x1004, false}, {0x0409, false},  // zh-CN, zh-SG, en-US
  };
  for (const Case& c : cases) EXPECT_EQ(c.traditional, IsTraditionalLocale(c.lcid, nullptr)) << std::hex << c.lcid;
}

TEST(IsTraditionalLocale, NativeNameOfTraditionalChineseDecidesForAnyLocaleNumber) {
  EXPECT_TRUE(IsTraditionalLocale(0x0409, L"中文(繁体)"));
  EXPECT_FALSE(IsTraditionalLocale(0x0409, L"中文(简体)"));
  EXPECT_FALSE(IsTraditionalLocale(0x0804, L"English"));
}
