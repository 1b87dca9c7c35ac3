#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/ui/UiTestControls.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/LayoutUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace SkinUI;
using ui_testing::CHostWindow;
using ui_testing::PumpMessages;

namespace {

CControlUI* Child(const wchar_t* attributes) {
  auto* control = new CControlUI();
  control->ApplyAttributeText(attributes);
  return control;
}

struct Span {
  int start, size;
};

std::vector<Span> VerticalSpans(CContainerUI& layout) {
  std::vector<Span> spans;
  for (int i = 0; i < layout.ItemCount(); ++i) {
    RECT r = layout.ItemAt(i)->GetPos();
    spans.push_back({r.top, r.bottom - r.top});
  }
  return spans;
}

}  // namespace

TEST(VerticalLayout, FlexibleChildrenShareWhatFixedOnesLeave) {
  const struct {
    std::vector<int> heights;  // 0 = flexible
    std::vector<Span> expected;
  } cases[] = {
      {{20, 30, 0, 0}, {{0, 20}, {20, 30}, {50, 25}, {75, 25}}},
      {{20, 30, 0, 0, 0}, {{0, 20}, {20, 30}, {50, 16}, {66, 16}, {82, 18}}},  // the last absorbs rounding
      {{60, 60, 0}, {{0, 60}, {60, 60}, {120, 0}}},                            // no room left: 0, never negative
      {{0}, {{0, 100}}},
  };
  for (const auto& c : cases) {
    CVerticalLayoutUI layout;
    for (int h : c.heights) layout.Add(Child(h ? (L"height=\"" + std::to_wstring(h) + L"\"").c_str() : L""));
    layout.SetPos(RECT{0, 0, 80, 100}, false);
    auto spans = VerticalSpans(layout);
    ASSERT_EQ(spans.size(), c.expected.size());
    for (size_t i = 0; i < spans.size(); ++i) {
      EXPECT_EQ(spans[i].start, c.expected[i].start) << "case " << c.heights.size() << " child " << i;
      EXPECT_EQ(spans[i].size, c.expected[i].size) << "case " << c.heights.size() << " child " << i;
    }
  }
}

TEST(VerticalLayout, PaddingMarginsChildGapAndLimits) {
  CVerticalLayoutUI layout;
  layout.ApplyAttributeText(L"inset=\"5,5,5,5\" childpadding=\"10\"");
  CControlUI* fixed = Child(L"height=\"20\" padding=\"3,5,7,5\"");
  CControlUI* limited = Child(L"maxheight=\"15\" minwidth=\"200\"");
  CControlUI* flexible = Child(L"");
  layout.Add(fixed);
  layout.Add(limited);
  layout.Add(flexible);
  layout.SetPos(RECT{0, 0, 100, 110}, false);
  // Client 90x100. Fixed: 20 + 10 padding; two gaps of 10; the rest 50 is shared by two flexible.
  EXPECT_EQ(fixed->GetPos().top, 10);
  EXPECT_EQ(fixed->GetPos().left, 8);
  EXPECT_EQ(fixed->GetPos().right, 88);  // 90 - 3 - 7 wide
  EXPECT_EQ(limited->GetPos().top, 45);  // 10 + 20 + 5 + 10
  EXPECT_EQ(limited->GetPos().bottom - limited->GetPos().top, 15);
  EXPECT_EQ(limited->GetPos().right - limited->GetPos().left, 200);  // the minimum wins over the room
  EXPECT_EQ(flexible->GetPos().top, 70);
  EXPECT_EQ(flexible->GetPos().bottom, 105);  // the last flexible child ends at the client bottom
}

TEST(VerticalLayout, ChildAlignPlacesNarrowChildren) {
  const struct {
    const wchar_t* align;
    int left;
  } cases[] = {{L"left", 0}, {L"center", 30}, {L"right", 60}, {L"bogus", 0}};
  for (const auto& c : cases) {
    CVerticalLayoutUI layout;
    layout.ApplyAttribute(L"childalign", c.align);
    CControlUI* child = Child(L"width=\"40\" height=\"10\"");
    layout.Add(child);
    layout.SetPos(RECT{0, 0, 100, 100}, false);
    EXPECT_EQ(child->GetPos().left, c.left) << c.align;
    EXPECT_EQ(child->GetPos().right - child->GetPos().left, 40) << c.align;
  }
}

TEST(HorizontalLayout, FixedAndFlexibleWidthsWithVerticalAlign) {
  const struct {
    const wchar_t* valign;
    int top;
  } cases[] = {{L"top", 0}, {L"vcenter", 40}, {L"bottom", 80}};
  for (const auto& c : cases) {
    CHorizontalLayoutUI layout;
    layout.ApplyAttribute(L"childvalign", c.valign);
    CControlUI* fixed = Child(L"width=\"30\" height=\"20\"");
    CControlUI* first = Child(L"");
    CControlUI* second = Child(L"padding=\"5,0,5,0\"");
    layout.Add(fixed);
    layout.Add(first);
    layout.Add(second);
    layout.SetPos(RECT{0, 0, 101, 100}, false);
    EXPECT_EQ(fixed->GetPos().top, c.top) << c.valign;
    EXPECT_EQ(fixed->GetPos().right, 30);
    EXPECT_EQ(first->GetPos().left, 30);
    EXPECT_EQ(first->GetPos().right - first->GetPos().left, 30);  // (101 - 30 - 10) / 2
    EXPECT_EQ(second->GetPos().left, 65);
    EXPECT_EQ(second->GetPos().right, 96);  // absorbs the odd pixel, ends at 101 - 5
    EXPECT_EQ(first->GetPos().bottom - first->GetPos().top, 100);
  }
}

TEST(Container, FloatingChildAnchorsToFractionsOfTheContainer) {
  CContainerUI box;
  CControlUI* child = Child(L"float=\"0.5,0,0.5,0\" pos=\"-10,0,10,20\"");
  box.Add(child);
  box.SetPos(RECT{50, 50, 250, 150}, false);
  EXPECT_EQ(child->GetPos().left, 140);
  EXPECT_EQ(child->GetPos().right, 160);
  EXPECT_EQ(child->GetPos().top, 50);
  EXPECT_EQ(child->GetPos().bottom, 70);
}

TEST(Container, MovingAChildToABadIndexKeepsIt) {
  CContainerUI box;
  CControlUI* a = Child(L"name=\"a\"");
  CControlUI* b = Child(L"name=\"b\"");
  CControlUI* c = Child(L"name=\"c\"");
  box.Add(a);
  box.Add(b);
  box.Add(c);
  for (int bad : {-1, 3, 1000}) {
    EXPECT_FALSE(box.MoveItem(b, bad)) << bad;
    ASSERT_EQ(box.ItemCount(), 3) << bad;
    EXPECT_EQ(box.IndexOfItem(b), 1) << bad;
  }
  EXPECT_TRUE(box.MoveItem(a, 2));
  EXPECT_EQ(box.ItemAt(2), a);
  EXPECT_EQ(box.ItemAt(0), b);
  EXPECT_FALSE(box.MoveItems(b, 2, 2));  // would run past the end
  EXPECT_TRUE(box.MoveItems(b, 2, 1));
  EXPECT_EQ(box.ItemAt(0), a);
  EXPECT_EQ(box.ItemAt(1), b);
  EXPECT_EQ(box.ItemAt(2), c);
  CControlUI* stray = Child(L"");
  EXPECT_FALSE(box.AddAt(stray, 7));  // refused: nothing added, the caller keeps it
  EXPECT_EQ(box.ItemCount(), 3);
  delete stray;
}

TEST(Container, HitTestsRespectMouseChildAndClientArea) {
  CContainerUI box;
  CControlUI* child = Child(L"");
  box.Add(child);
  box.SetPos(RECT{0, 0, 100, 100}, false);
  auto hit = [&](POINT pt) {
    return box.FindControl([](CControlUI* c, void*) { return c; }, &pt, kFindVisible | kFindHitTest | kFindTopFirst);
  };
  EXPECT_EQ(hit(POINT{50, 50}), child);
  EXPECT_EQ(hit(POINT{150, 50}), nullptr);
  box.SetChildrenAcceptMouse(false);
  EXPECT_EQ(hit(POINT{50, 50}), &box);
  box.SetChildrenAcceptMouse(true);
  child->SetVisible(false);
  EXPECT_EQ(hit(POINT{50, 50}), &box);
}

TEST(VerticalLayout, ScrollBarAppearsForOverflowAndGoesWithIt) {
  CVerticalLayoutUI layout;
  layout.ApplyAttribute(L"vscrollbar", L"true");
  CControlUI* content = Child(L"height=\"300\"");
  layout.Add(content);
  layout.SetPos(RECT{0, 0, 100, 200}, false);
  CScrollBarUI* bar = layout.VerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->ScrollExtent(), 100);
  EXPECT_EQ(bar->GetPos().left, 84);
  EXPECT_EQ(content->GetPos().right, 84);

  TEventMsg key;
  key.type = kEventKeyDown;
  key.key = VK_NEXT;
  layout.HandleEvent(key);  // one page is the client height, cut to the range
  EXPECT_EQ(bar->ScrollOffset(), 100);
  EXPECT_EQ(content->GetPos().top, -100);
  key.key = VK_HOME;
  layout.HandleEvent(key);
  EXPECT_EQ(content->GetPos().top, 0);

  bar->SetScrollOffset(60, false);
  content->SetFixedHeight(150);
  layout.SetPos(RECT{0, 0, 100, 200}, false);
  EXPECT_FALSE(bar->IsVisible());
  EXPECT_EQ(bar->ScrollOffset(), 0);
  EXPECT_EQ(content->GetPos().top, 0);
  EXPECT_EQ(content->GetPos().right, 100);
}

TEST(VerticalLayout, PageDownMovesByTheClientHeight) {
  CVerticalLayoutUI layout;
  layout.ApplyAttribute(L"vscrollbar", L"true");
  layout.ApplyAttribute(L"inset", L"0,10,0,10");
  CControlUI* content = Child(L"height=\"1000\"");
  layout.Add(content);
  layout.SetPos(RECT{0, 0, 100, 200}, false);
  TEventMsg key;
  key.type = kEventKeyDown;
  key.key = VK_NEXT;
  layout.HandleEvent(key);
  EXPECT_EQ(layout.ScrollOffset().cy, 180);
  EXPECT_EQ(content->GetPos().top, 10 - 180);
}

TEST(HorizontalLayout, BothBarsShareTheCorner) {
  CHorizontalLayoutUI layout;
  layout.EnableScrollBars(true, true);
  layout.Add(Child(L"width=\"300\" height=\"300\""));
  layout.SetPos(RECT{0, 0, 200, 200}, false);
  CScrollBarUI* v = layout.VerticalScrollBar();
  CScrollBarUI* h = layout.HorizontalScrollBar();
  ASSERT_TRUE(v && h);
  EXPECT_TRUE(v->IsVisible());
  EXPECT_TRUE(h->IsVisible());
  EXPECT_EQ(h->ScrollExtent(), 300 - 184);
  EXPECT_EQ(v->ScrollExtent(), 300 - 184);
  EXPECT_EQ(v->GetPos().bottom, 184);
  EXPECT_EQ(h->GetPos().right, 184);
}

TEST(VerticalLayout, SeparatorDragResizesWithinLimits) {
  CVerticalLayoutUI layout;
  layout.ApplyAttributeText(L"sepheight=\"6\" sepimm=\"true\" maxheight=\"130\"");
  layout.SetPos(RECT{0, 0, 100, 100}, false);
  EXPECT_EQ(layout.ControlTraits(), static_cast<UINT>(kFlagSetCursor));
  auto send = [&](int type, int y) {
    TEventMsg event;
    event.type = type;
    event.mousePoint = POINT{50, y};
    layout.HandleEvent(event);
  };
  send(kEventButtonDown, 97);
  EXPECT_TRUE(layout.IsDraggingSeparator());
  send(kEventMouseMove, 117);
  EXPECT_EQ(layout.GetFixedHeight(), 120);
  send(kEventMouseMove, 157);  // past the maximum
  EXPECT_EQ(layout.GetFixedHeight(), 130);
  send(kEventButtonUp, 157);
  EXPECT_FALSE(layout.IsDraggingSeparator());
  EXPECT_EQ(layout.GetPos().bottom, 130);
}

namespace {
struct Recorder : INotifyUI {
  void OnNotification(TNotifyMsg& msg) override {
    if (msg.type == L"tabselect") seen.push_back({static_cast<int>(msg.wParam), static_cast<int>(msg.lParam)});
  }
  std::vector<std::pair<int, int>> seen;
};
}  // namespace

TEST(TabLayout, ShowsOneChildAndReportsSelection) {
  auto* tabs = new CTabLayoutUI();
  CControlUI* pages[3] = {Child(L"name=\"p0\""), Child(L"name=\"p1\""), Child(L"name=\"p2\"")};
  for (CControlUI* page : pages) tabs->Add(page);
  EXPECT_EQ(tabs->SelectedIndex(), 0);
  EXPECT_TRUE(pages[0]->IsVisible());
  EXPECT_FALSE(pages[1]->IsVisible());
  EXPECT_FALSE(pages[2]->IsVisible());

  CHostWindow host;
  Recorder recorder;
  ASSERT_TRUE(host.Open(tabs));
  host.manager.AddListener(&recorder);
  PumpMessages();
  EXPECT_EQ(pages[0]->GetPos().right, 400);
  tabs->ApplyAttribute(L"selectedid", L"2");
  EXPECT_EQ(tabs->SelectedIndex(), 2);
  EXPECT_TRUE(pages[2]->IsVisible());
  EXPECT_FALSE(pages[0]->IsVisible());
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0], std::make_pair(2, 0));
  EXPECT_FALSE(tabs->SelectItem(3));

  tabs->Remove(pages[0]);  // before the selection: the index follows its page
  EXPECT_EQ(tabs->SelectedIndex(), 1);
  tabs->Remove(pages[2]);  // the selected one: the first left takes over
  EXPECT_EQ(tabs->SelectedIndex(), 0);
  EXPECT_TRUE(pages[1]->IsVisible());
  tabs->RemoveAll();
  EXPECT_EQ(tabs->SelectedIndex(), -1);
  host.manager.RemoveListener(&recorder);
}

TEST(Container, DroppedScrollBarsAndChildrenLeaveTheManagerLists) {
  auto* layout = new CVerticalLayoutUI();
  layout->ApplyAttribute(L"vscrollbar", L"true");
  CControlUI* child = Child(L"height=\"900\"");
  layout->Add(child);
  CHostWindow host;
  ASSERT_TRUE(host.Open(layout));
  PumpMessages();
  CScrollBarUI* bar = layout->VerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  CWindowManagerUI& manager = host.manager;
  int timers = manager.TimerCount();
  manager.AddLeaveWatcher(bar);
  manager.AddOverlayPainter(bar);
  manager.StartTimer(bar, CScrollBarUI::kRepeatTimer, 50);
  manager.AddLeaveWatcher(child);
  manager.AddOverlayPainter(child);
  manager.AddHostedWindow(child, host.Handle());
  layout->EnableScrollBars(false, false);
  EXPECT_EQ(layout->VerticalScrollBar(), nullptr);
  layout->SetDefersItemDeletion(true);
  layout->Remove(child);
  PumpMessages();  // the delayed clean-up runs on a later message
  EXPECT_EQ(manager.LeaveWatcherCount(), 0);
  EXPECT_EQ(manager.OverlayPainterCount(), 0);
  EXPECT_EQ(manager.HostedWindowCount(), 0);
  EXPECT_EQ(manager.TimerCount(), timers);
}

TEST(Container, PaintsChildrenClippedToItsClientArea) {
  ui_testing::CCanvas canvas(100, 100, 0xFFFFFFFF);
  CContainerUI box;
  box.ApplyAttributeText(L"inset=\"10,10,10,10\"");
  CControlUI* child = Child(L"bkcolor=\"#FFFF0000\" minwidth=\"200\" minheight=\"200\"");
  box.Add(child);
  box.SetPos(RECT{0, 0, 50, 50}, false);
  box.Paint(canvas.DC(), canvas.Rect());
  EXPECT_EQ(canvas.Rgb(20, 20), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(45, 45), 0xFFFFFFu);  // inside the box but in its inset
  EXPECT_EQ(canvas.Rgb(70, 20), 0xFFFFFFu);  // outside the box
  EXPECT_EQ(canvas.Rgb(5, 5), 0xFFFFFFu);
}
