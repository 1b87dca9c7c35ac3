#include <gtest/gtest.h>

#include <windows.h>

#include "ui/controls/ScrollBarUI.h"

using namespace SkinUI;

namespace {

TEventMsg Event(int type, POINT pt = {0, 0}, WPARAM wParam = 0) {
  TEventMsg event;
  event.type = type;
  event.mousePoint = pt;
  event.wParam = wParam;
  return event;
}

// A vertical bar 100 high and 16 wide at (0,0) with both buttons and range 100.
struct VerticalBar : ::testing::Test {
  void SetUp() override { bar.SetPos(RECT{0, 0, 16, 100}, false); }
  void Send(int type, POINT pt = {0, 0}, WPARAM wParam = 0) {
    TEventMsg event = Event(type, pt, wParam);
    bar.HandleEvent(event);
  }
  void Tick(int n) {
    for (int i = 0; i < n; ++i) Send(kEventTimer, {0, 0}, CScrollBarUI::kRepeatTimer);
  }
  CScrollBarUI bar;
};

}  // namespace

TEST_F(VerticalBar, ThumbSizeAndPositionFollowRangeAndPosition) {
  EXPECT_EQ(bar.StartButtonRect().bottom, 16);
  EXPECT_EQ(bar.EndButtonRect().top, 84);
  EXPECT_EQ(bar.ThumbRect().bottom - bar.ThumbRect().top, 34);  // max(100*68/200, 16)
  EXPECT_EQ(bar.ThumbRect().top, 16);
  bar.SetScrollOffset(50, false);
  EXPECT_EQ(bar.ThumbRect().top, 33);  // (68-34)*50/100 + 16
  bar.SetScrollOffset(100, false);
  EXPECT_EQ(bar.ThumbRect().bottom, 84);
  bar.SetScrollExtent(0);
  EXPECT_EQ(bar.ScrollOffset(), 0);
  EXPECT_EQ(bar.ThumbRect().top, 16);
  EXPECT_EQ(bar.ThumbRect().bottom, 84);  // a bar with nothing to scroll fills its track
}

TEST_F(VerticalBar, HugeRangeKeepsTheThumbInsideTheTrack) {
  bar.SetScrollExtent(0x7FFFFFF0);
  bar.SetScrollOffset(0x7FFFFFF0, false);
  EXPECT_EQ(bar.ThumbRect().bottom - bar.ThumbRect().top, 16);
  EXPECT_EQ(bar.ThumbRect().bottom, 84);
}

TEST_F(VerticalBar, PositionsRoundToTheScrollUnit) {
  bar.SetScrollUnit(10);
  const struct {
    int asked, stored;
  } cases[] = {{14, 10}, {15, 20}, {-3, 0}, {99, 100}, {250, 100}, {4, 0}, {5, 10}};
  for (const auto& c : cases) {
    bar.SetScrollOffset(55, false);  // away from every expected value, so the call is a change
    bar.SetScrollOffset(c.asked, false);
    EXPECT_EQ(bar.ScrollOffset(), c.stored) << c.asked;
  }
  EXPECT_EQ(bar.LineStep(), 10);
}

TEST_F(VerticalBar, BarTooShortForItsThumbShowsOnlyHalfButtons) {
  bar.SetPos(RECT{0, 0, 16, 20}, false);
  EXPECT_EQ(bar.StartButtonRect().bottom - bar.StartButtonRect().top, 10);
  EXPECT_EQ(bar.EndButtonRect().top, 10);
  EXPECT_TRUE(::IsRectEmpty(&bar.ThumbRect()));
  bar.SetPos(RECT{0, 0, 16, 40}, false);  // 40 - 2*16 leaves less than the thickness
  EXPECT_TRUE(::IsRectEmpty(&bar.ThumbRect()));
  EXPECT_EQ(bar.StartButtonRect().bottom, 16);
  bar.SetShowStartButton(false);  // one button leaves room again
  EXPECT_FALSE(::IsRectEmpty(&bar.ThumbRect()));
}

TEST_F(VerticalBar, HeldButtonStepsAtOnceThenFromTheSixthTick) {
  Send(kEventButtonDown, {8, 90});
  EXPECT_EQ(bar.ScrollOffset(), 8);
  EXPECT_TRUE(bar.EndButtonState() & CScrollBarUI::kStatePushed);
  Tick(5);
  EXPECT_EQ(bar.ScrollOffset(), 8);
  Tick(1);
  EXPECT_EQ(bar.ScrollOffset(), 16);
  Tick(2);
  EXPECT_EQ(bar.ScrollOffset(), 32);
  Send(kEventButtonUp, {8, 90});
  EXPECT_FALSE(bar.EndButtonState() & CScrollBarUI::kStatePushed);
  EXPECT_EQ(bar.RepeatCount(), 0);
  Send(kEventButtonDown, {8, 5});
  EXPECT_EQ(bar.ScrollOffset(), 24);
}

TEST_F(VerticalBar, ThumbDragRequestsOffsetScaledToTheTrack) {
  Send(kEventButtonDown, {8, 20});
  EXPECT_TRUE(bar.ThumbState() & CScrollBarUI::kStateCaptured);
  Send(kEventMouseMove, {8, 37});
  EXPECT_EQ(bar.DragOffset(), 50);  // 17 * 100 / (100 - 34 - 32)
  EXPECT_EQ(bar.ScrollOffset(), 0);  // the move only asks; the timer scrolls
  Tick(1);
  EXPECT_EQ(bar.ScrollOffset(), 50);
  Send(kEventButtonUp, {8, 37});
  EXPECT_EQ(bar.ThumbState() & (CScrollBarUI::kStateCaptured | CScrollBarUI::kStatePushed), 0u);
}

TEST_F(VerticalBar, TrackClickPagesTowardsThePointer) {
  bar.SetScrollOffset(50, false);
  Send(kEventButtonDown, {8, 80});  // below the thumb (33..67)
  EXPECT_EQ(bar.ScrollOffset(), 100);
  Send(kEventButtonUp, {8, 80});
  Send(kEventButtonDown, {8, 20});  // above the thumb, now at the bottom
  EXPECT_EQ(bar.ScrollOffset(), 0);
}

TEST_F(VerticalBar, DisabledBarIgnoresPressesAndClearsStates) {
  Send(kEventMouseEnter, {8, 5});
  EXPECT_TRUE(bar.StartButtonState() & CScrollBarUI::kStateHot);
  bar.SetEnabled(false);
  EXPECT_EQ(bar.StartButtonState(), 0u);
  Send(kEventButtonDown, {8, 90});
  EXPECT_EQ(bar.ScrollOffset(), 0);
}

TEST(ScrollBarAttributes, HorizontalBarTakesItsThicknessFromTheFixedHeight) {
  CScrollBarUI bar;
  bar.ApplyAttributeText(L"hor=\"true\" range=\"200\" value=\"30\" linesize=\"5\" showbutton1=\"false\"");
  EXPECT_TRUE(bar.IsHorizontal());
  EXPECT_EQ(bar.GetFixedWidth(), 0);
  EXPECT_EQ(bar.GetFixedHeight(), 16);
  EXPECT_EQ(bar.ScrollExtent(), 200);
  EXPECT_EQ(bar.ScrollOffset(), 30);
  EXPECT_EQ(bar.LineStep(), 5);
  bar.SetPos(RECT{0, 0, 100, 16}, false);
  EXPECT_TRUE(::IsRectEmpty(&bar.StartButtonRect()));
  EXPECT_EQ(bar.StartButtonRect().left, 0);
  EXPECT_EQ(bar.EndButtonRect().left, 84);
  EXPECT_EQ(bar.ThumbRect().top, 0);
  EXPECT_EQ(bar.ThumbRect().bottom, 16);
  EXPECT_EQ(bar.ExtraAttribute(L"hor"), nullptr);
}
