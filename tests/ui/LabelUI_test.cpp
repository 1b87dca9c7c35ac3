#include <gtest/gtest.h>

#include <windows.h>

#include "tests/ui/ControlTestHost.h"
#include "ui/controls/LabelUI.h"

using namespace SkinUI;
using ui_testing::CCanvas;
using ui_testing::CControlHost;
using ui_testing::Log;

namespace {

class LabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_label = m_host.root->Add(new CLabelUI, RECT{10, 10, 210, 40});
    m_label->SetName(L"label");
    ASSERT_TRUE(m_host.Open());
  }
  int BaseTextHeight() { return m_host.Manager().BaseFontRecord()->metrics.tmHeight; }

  CControlHost m_host;
  CLabelUI* m_label = nullptr;
};

TEST_F(LabelTest, AlignmentAttributesSetTheirStyleBits) {
  struct Case {
    const wchar_t* name;
    const wchar_t* value;
    UINT style;
  } cases[] = {
      {L"align", L"center", 0x25},       {L"align", L"right", 0x26},     {L"align", L"left", 0x24},
      {L"valign", L"top", 0x20},         {L"valign", L"bottom", 0x28},   {L"valign", L"vcenter", 0x24},
      {L"endellipsis", L"true", 0x8024}, {L"endellipsis", L"yes", 0x24}, {L"multiline", L"true", 0x14},
  };
  for (const Case& c : cases) {
    CLabelUI label;
    label.ApplyAttribute(c.name, c.value);
    EXPECT_EQ(label.TextStyle(), c.style) << c.name << "=" << c.value;
  }
}

TEST_F(LabelTest, SingleLineEstimateIsFontHeightPlusEightPlusPadding) {
  m_label->SetText(L"Hello");
  SIZE plain = m_label->MeasureDesiredSize(SIZE{400, 300});
  EXPECT_EQ(plain.cy, BaseTextHeight() + 8);
  EXPECT_GT(plain.cx, 10);
  m_label->ApplyAttribute(L"textpadding", L"2,3,2,3");
  SIZE padded = m_label->MeasureDesiredSize(SIZE{400, 300});
  EXPECT_EQ(padded.cy, BaseTextHeight() + 14);
  EXPECT_EQ(padded.cx, plain.cx + 4);
  m_label->SetText(L"Hello, a much longer text");
  EXPECT_GT(m_label->MeasureDesiredSize(SIZE{400, 300}).cx, padded.cx);
  m_label->SetFixedWidth(50);
  m_label->SetFixedHeight(20);
  SIZE fixed = m_label->MeasureDesiredSize(SIZE{400, 300});
  EXPECT_EQ(fixed.cx, 50);
  EXPECT_EQ(fixed.cy, 20);
}

TEST_F(LabelTest, MultiLineEstimateFollowsTheAvailableWidth) {
  m_label->SetMultiLine(true);
  m_label->SetText(L"one two three four five six seven eight nine ten eleven twelve");
  SIZE wide = m_label->MeasureDesiredSize(SIZE{380, 300});
  SIZE narrow = m_label->MeasureDesiredSize(SIZE{60, 300});
  EXPECT_EQ(wide.cx, 380);
  EXPECT_EQ(narrow.cx, 60);
  EXPECT_GT(narrow.cy, wide.cy);
}

TEST_F(LabelTest, TextColourWithoutAlphaPaintsOpaque) {
  m_label->ApplyAttribute(L"textcolor", L"#FF0000");
  EXPECT_EQ(m_label->NormalTextColor(), 0xFFFF0000u);
  m_label->SetText(L"WWWW");
  CCanvas canvas(400, 300);
  m_host.PaintOnto(m_label, canvas);
  EXPECT_GT(canvas.CountNot(RECT{10, 10, 210, 40}, 0xFFFFFF), 0);
  int red = 0;
  for (int y = 10; y < 40; ++y)
    for (int x = 10; x < 210; ++x) red += canvas.Rgb(x, y) == 0xFF0000;
  EXPECT_GT(red, 5);
}

TEST_F(LabelTest, DisabledLabelUsesDisabledColours) {
  m_label->ApplyAttribute(L"disabledbkcolor", L"#FF00FF00");
  m_label->SetText(L"text");
  CCanvas canvas(400, 300);
  m_host.PaintOnto(m_label, canvas);
  EXPECT_EQ(canvas.Rgb(12, 12), 0xFFFFFFu);
  m_label->SetEnabled(false);
  m_host.PaintOnto(m_label, canvas);
  EXPECT_EQ(canvas.Rgb(12, 12), 0x00FF00u);
  // The default disabled colour was taken from the window manager at paint time.
  EXPECT_EQ(m_label->DisabledTextColor(), m_host.Manager().DisabledTextColor());
}

TEST_F(LabelTest, ShadowOffsetFromDistanceAndAngle) {
  struct Case {
    const wchar_t* value;
    LONG x, y;
  } cases[] = {{L"3,45", -3, -3}, {L"3,135", -3, 3}, {L"3,-45", 3, -3}, {L"3,-135", 3, 3},
               {L"3,180", -3, 3},  {L"3,-180", 0, 3}, {L"3,200", 0, 0}};
  for (const Case& c : cases) {
    CLabelUI label;
    label.ApplyAttribute(L"shadowoffset", c.value);
    EXPECT_EQ(label.ShadowOffset().x, c.x) << c.value;
    EXPECT_EQ(label.ShadowOffset().y, c.y) << c.value;
  }
}

TEST_F(LabelTest, EffectsDrawTheTextThroughGdiplus) {
  m_label->ApplyAttribute(L"enabledeffect", L"true");
  m_label->ApplyAttribute(L"textcolor", L"#FF0000FF");
  m_label->ApplyAttribute(L"enabledstroke", L"true");
  m_label->ApplyAttribute(L"strokecolor", L"#FFFF0000");
  m_label->ApplyAttribute(L"enabledshadow", L"true");
  m_label->ApplyAttribute(L"enabledluminous", L"true");
  m_label->SetText(L"MMMM");
  CCanvas canvas(400, 300);
  m_host.PaintOnto(m_label, canvas);
  EXPECT_GT(canvas.CountNot(RECT{10, 10, 210, 40}, 0xFFFFFF), 10);
}

class TextLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_text = m_host.root->Add(new CTextUI, RECT{0, 0, 400, 40});
    m_text->SetName(L"text");
    m_text->SetFormattedText(true);
    m_text->SetText(L"{a first}first{/a}                    {a second}second{/a}");
    ASSERT_TRUE(m_host.Open());
    ::InvalidateRect(m_host.Handle(), nullptr, FALSE);
    ::UpdateWindow(m_host.Handle());
    ASSERT_EQ(m_text->LinkCount(), 2);
  }
  POINT LinkCentre(int index) {
    // The link rectangles are private; find them by hit-testing along the text's line.
    for (int x = 0; x < 400; ++x) {
      for (int y = 0; y < 40; y += 2) {
        m_text->HandleEvent(*Move(x, y));
        if (m_text->HoveredLink() == index) return POINT{x + 2, y};
      }
    }
    return POINT{-1, -1};
  }
  TEventMsg* Move(int x, int y) {
    m_event = TEventMsg{};
    m_event.type = kEventMouseMove;
    m_event.mousePoint = POINT{x, y};
    return &m_event;
  }

  CControlHost m_host;
  CTextUI* m_text = nullptr;
  TEventMsg m_event;
};

TEST_F(TextLinkTest, ClickOnTheSecondLinkSendsLinkWithIndexOne) {
  POINT second = LinkCentre(1);
  ASSERT_GE(second.x, 0);
  EXPECT_EQ(m_text->LinkText(1), CUIString(L"second"));
  m_host.Click(second.x, second.y);
  Log notes = m_host.TakeNotes();
  EXPECT_NE(std::find(notes.begin(), notes.end(), L"link:text:1"), notes.end());
  POINT first = LinkCentre(0);
  m_host.Click(first.x, first.y);
  notes = m_host.TakeNotes();
  EXPECT_NE(std::find(notes.begin(), notes.end(), L"link:text"), notes.end());
  // Between the links nothing is sent.
  m_host.Click(first.x + (second.x - first.x) / 2, second.y);
  notes = m_host.TakeNotes();
  EXPECT_EQ(std::count_if(notes.begin(), notes.end(), [](const std::wstring& n) { return n.rfind(L"link", 0) == 0; }),
            0);
}

TEST_F(TextLinkTest, EmptyTextHasNoLinks) {
  m_text->SetText(L"");
  CCanvas canvas(400, 300);
  m_host.PaintOnto(m_text, canvas);
  EXPECT_EQ(m_text->LinkCount(), 0);
  EXPECT_EQ(m_text->ControlTraits(), 0u);
}

}  // namespace
