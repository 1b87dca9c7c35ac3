#include <gtest/gtest.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/WindowManagerUI.h"

using namespace SkinUI;
using ui_testing::CCanvas;

namespace {

constexpr DWORD kWhite = 0x00FFFFFF;

class RenderTextTest : public ::testing::Test {
 protected:
  RenderTextTest() : m_canvas(300, 120) {}

  // Lays out (DT_CALCRECT) in a box `width` wide and returns the used rectangle.
  RECT Measure(const wchar_t* text, int width, UINT style = 0) {
    RECT rc = {0, 0, width, 1000};
    int links = 0;
    CRenderer::DrawFormattedText(m_canvas.DC(), &m_manager, rc, text, 0xFF000000, nullptr, nullptr, links,
                                 style | DT_CALCRECT);
    return rc;
  }
  RECT Draw(const wchar_t* text, RECT rc, UINT style = 0) {
    int links = 0;
    CRenderer::DrawFormattedText(m_canvas.DC(), &m_manager, rc, text, 0xFF000000, nullptr, nullptr, links, style);
    return rc;
  }
  int RedPixels(const RECT& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        DWORD c = m_canvas.Rgb(x, y);
        count += ((c >> 16) & 0xFF) > 0x80 && ((c >> 8) & 0xFF) < 0x60 && (c & 0xFF) < 0x60;
      }
    return count;
  }

  CWindowManagerUI m_manager;
  CCanvas m_canvas;
};

}  // namespace

TEST_F(RenderTextTest, PlainTextLandsInsideItsRectangle) {
  RECT rc = {20, 20, 200, 60};
  CRenderer::DrawPlainText(m_canvas.DC(), &m_manager, rc, L"Hello world", 0xFF000000, -1, DT_SINGLELINE);
  EXPECT_GT(m_canvas.CountNot(RECT{20, 20, 200, 60}, kWhite), 20);
  EXPECT_EQ(m_canvas.CountNot(RECT{0, 60, 300, 120}, kWhite), 0);
  EXPECT_EQ(m_canvas.CountNot(RECT{0, 0, 20, 120}, kWhite), 0);
}

// DrawText itself places only single lines; wrapped text asked to centre or bottom must not sit
// at the top of its box.
TEST_F(RenderTextTest, WrappedPlainTextHonoursItsVerticalPlacement) {
  const wchar_t* text = L"several words that wrap onto two lines here";
  struct Case {
    UINT style;
    int inkTop, inkBottom;  // where the ink must lie within the 0..120 box
  } cases[] = {
      {DT_WORDBREAK, 0, 50},
      {DT_WORDBREAK | DT_VCENTER, 25, 95},
      {DT_WORDBREAK | DT_BOTTOM, 70, 120},
  };
  for (const Case& c : cases) {
    m_canvas.Fill(0xFFFFFFFF);
    RECT rc = {0, 0, 160, 120};
    CRenderer::DrawPlainText(m_canvas.DC(), &m_manager, rc, text, 0xFF000000, -1, c.style);
    EXPECT_EQ(0, m_canvas.CountNot(RECT{0, 0, 300, c.inkTop}, kWhite)) << c.style;
    EXPECT_EQ(0, m_canvas.CountNot(RECT{0, c.inkBottom, 300, 120}, kWhite)) << c.style;
    EXPECT_GT(m_canvas.CountNot(RECT{0, c.inkTop, 160, c.inkBottom}, kWhite), 20) << c.style;
    EXPECT_EQ(120, rc.bottom) << "the caller's box is left as it was";
  }
}

TEST_F(RenderTextTest, LanguageTokensAreExpandedOnceWithoutRescanning) {
  CWindowManagerUI::SetLanguageText(1, L"a%{1}");
  CWindowManagerUI::SetLanguageText(2, L"two");
  EXPECT_EQ(CWindowManagerUI::ExpandLanguageTokens(L"x%{1}y"), L"xa%{1}y");
  EXPECT_EQ(CWindowManagerUI::ExpandLanguageTokens(L"%{2}%{2}%{9}%{"), L"twotwo%{9}%{");
}

TEST_F(RenderTextTest, ColourAndBoldTagsChangeHowWordsAreDrawn) {
  RECT rc = {0, 0, 300, 40};
  Draw(L"plain {c #FFFF0000}red{/c} plain", rc);
  EXPECT_GT(RedPixels(RECT{0, 0, 300, 40}), 5);
  m_canvas.Fill(0xFFFFFFFF);
  Draw(L"plain words only", rc);
  EXPECT_EQ(RedPixels(RECT{0, 0, 300, 40}), 0);

  TFontInfo* base = m_manager.BaseFontRecord();
  EXPECT_EQ(m_manager.MatchFont(base->faceName, base->size, true, false, false, false), -1);
  RECT bold = Measure(L"<b>Wide Words</b>", 300);
  EXPECT_GE(m_manager.MatchFont(base->faceName, base->size, true, false, false, false), 30000);
  RECT plain = Measure(L"Wide Words", 300);
  EXPECT_GT(bold.right, plain.right);
}

TEST_F(RenderTextTest, RawSectionsAndLiteralBracesDrawTagsAsText) {
  RECT raw = Measure(L"<r><b>x</b></r>", 300);
  RECT literal = Measure(L"<{>b<}>x<{>/b<}>", 300);
  SIZE extent;
  ::SelectObject(m_canvas.DC(), m_manager.BaseFontRecord()->font);
  ::GetTextExtentPoint32W(m_canvas.DC(), L"<b>x</b>", 8, &extent);
  EXPECT_EQ(raw.right - raw.left, extent.cx);
  ::GetTextExtentPoint32W(m_canvas.DC(), L"{b}x{/b}", 8, &extent);
  EXPECT_EQ(literal.right - literal.left, extent.cx);
}

TEST_F(RenderTextTest, StrayEndTagsAreIgnored) {
  RECT stray = Measure(L"</b></c>abc</a>", 300);
  RECT plain = Measure(L"abc", 300);
  EXPECT_TRUE(EqualRect(&stray, &plain));
}

TEST_F(RenderTextTest, WordsWrapAndAnUnbreakableWordGetsItsOwnLine) {
  RECT one = Measure(L"alpha", 300);
  int lineHeight = one.bottom - one.top;
  RECT two = Measure(L"alpha beta", one.right - one.left + 2);
  EXPECT_EQ(two.bottom - two.top, 2 * lineHeight);
  // Narrower than any word: every word on its own line, and the layout ends.
  RECT narrow = Measure(L"alpha beta gamma", 3);
  EXPECT_EQ(narrow.bottom - narrow.top, 3 * lineHeight);
  RECT zero = Measure(L"alpha beta gamma", 0);
  EXPECT_EQ(zero.bottom - zero.top, 3 * lineHeight);
  // Drawn into a narrow box the word is clipped to it.
  Draw(L"alphabetagamma", RECT{10, 10, 30, 60});
  EXPECT_EQ(m_canvas.CountNot(RECT{30, 0, 300, 120}, kWhite), 0);
  EXPECT_GT(m_canvas.CountNot(RECT{10, 10, 30, 60}, kWhite), 0);
}

TEST_F(RenderTextTest, NewLineAndParagraphTags) {
  RECT one = Measure(L"a", 300);
  int lineHeight = one.bottom - one.top;
  EXPECT_EQ(Measure(L"a<n>b", 300).bottom, 2 * lineHeight);
  EXPECT_EQ(Measure(L"a<n>b", 300, DT_SINGLELINE).bottom, lineHeight);
  EXPECT_EQ(Measure(L"a<p 10>b</p>", 300).bottom, 2 * lineHeight + 10);
  EXPECT_EQ(Measure(L"<y 40>a</y>", 300).bottom, 40);
  RECT shifted = Measure(L"<x 50>a", 300);
  EXPECT_EQ(shifted.right - shifted.left, one.right - one.left + 50);
}

TEST_F(RenderTextTest, SingleLineTextIsCutWithAnEllipsis) {
  RECT full = Measure(L"a rather long line of words", 1000);
  RECT cut = Measure(L"a rather long line of words", 60, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(cut.right, 60);
  EXPECT_LT(cut.right, full.right);
  EXPECT_EQ(cut.bottom, full.bottom);
}

TEST_F(RenderTextTest, LinksRecordTheirRectanglesAndTargetsWhileRoomRemains) {
  RECT rects[1] = {};
  CUIString texts[1];
  int count = 1;
  RECT rc = {0, 0, 300, 100};
  CRenderer::DrawFormattedText(m_canvas.DC(), &m_manager, rc, L"see <a http://x/>here</a> and <a second>there</a>",
                               0xFF000000, rects, texts, count, 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(texts[0], L"http://x/");
  EXPECT_GT(rects[0].left, 0);
  EXPECT_GT(rects[0].right, rects[0].left);
  EXPECT_GT(m_canvas.CountNot(rects[0], kWhite), 0);
  // The link is drawn in the link colour (blue by default).
  int blue = 0;
  for (int y = rects[0].top; y < rects[0].bottom; ++y)
    for (int x = rects[0].left; x < rects[0].right; ++x) blue += m_canvas.Rgb(x, y) == 0x0000FFu;
  EXPECT_GT(blue, 0);
}
