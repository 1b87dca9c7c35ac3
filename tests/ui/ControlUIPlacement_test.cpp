#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/UiTestControls.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"

using namespace SkinUI;

namespace {
CControlUI* Named(const wchar_t* name, const wchar_t* more = L"") {
  auto* control = new CControlUI();
  control->SetName(name);
  control->ApplyAttributeText(more);
  return control;
}
CControlUI* Self(CControlUI* control, void*) { return control; }
}  // namespace

TEST(ControlPlacement, FloatingControlTakesRelativeRectanglesAndKeepsItsAnchors) {
  CContainerUI parent;
  CControlUI* child = Named(L"c", L"float=\"0.5,0,0.5,0\"");
  parent.Add(child);
  parent.SetPos(RECT{100, 100, 300, 200}, false);
  child->SetPos(RECT{90, 10, 110, 30}, false);
  EXPECT_EQ(child->GetPos().left, 190);
  EXPECT_EQ(child->GetPos().top, 110);
  EXPECT_EQ(child->FloatOffset().cx, -10);  // 90 less half of 200
  EXPECT_EQ(child->GetFixedWidth(), 20);
  EXPECT_EQ(child->PosInParent().left, 90);
  parent.SetPos(RECT{0, 0, 400, 100}, false);  // wider parent: the child stays centred
  EXPECT_EQ(child->GetPos().left, 190);
  EXPECT_EQ(child->GetPos().right, 210);

  CControlUI lone;
  lone.SetPos(RECT{50, 60, 40, 10}, false);  // inverted edges collapse to empty
  EXPECT_EQ(lone.GetPos().right, 50);
  EXPECT_EQ(lone.GetPos().bottom, 60);
}

TEST(ControlPlacement, NumberListsNeverReadPastTheirEnd) {
  const struct {
    const wchar_t* value;
    RECT padding;
  } cases[] = {
      {L"10", {10, 0, 0, 0}},      {L"1,,3", {1, 0, 3, 0}}, {L"1,2,3,4,5", {1, 2, 3, 4}},
      {L"", {0, 0, 0, 0}},         {L"x", {0, 0, 0, 0}},   {L"4,", {4, 0, 0, 0}},
      {L"-2,7", {-2, 7, 0, 0}},
  };
  for (const auto& c : cases) {
    CControlUI control;
    control.ApplyAttribute(L"padding", c.value);
    RECT got = control.GetPadding();
    EXPECT_TRUE(::EqualRect(&got, &c.padding)) << c.value;
  }
  CControlUI control;
  control.ApplyAttribute(L"pos", L"10");  // a width of 0 - 10 is ignored
  EXPECT_EQ(control.FloatOffset().cx, 10);
  EXPECT_EQ(control.GetFixedWidth(), 0);
  control.ApplyAttribute(L"width", L"abc");
  control.ApplyAttribute(L"bkcolor", L"#zz");
  EXPECT_EQ(control.GetFixedWidth(), 0);
  EXPECT_EQ(control.BackColor(), 0u);
}

TEST(ControlPlacement, RequestsWithoutAWindowManagerStayLocal) {
  // What the layout builder does before a window exists: nothing may reach for a manager.
  CContainerUI parent;
  CControlUI* child = Named(L"c");
  parent.Add(child);
  child->SetCoverControl(Named(L"cover"));
  child->SetPadding(RECT{1, 1, 1, 1});
  child->Invalidate();
  child->SetVisible(false);
  child->SetVisible(true);
  child->SetPos(RECT{0, 0, 10, 10}, true);
  child->Move(SIZE{5, 5}, true);
  parent.EnableScrollBars(true, true);
  parent.ScrollToBottom();
  EXPECT_EQ(child->CoverControl()->GetParent(), child);
  EXPECT_EQ(child->GetPos().left, 5);
  EXPECT_TRUE(parent.IsUpdateNeeded());
}

TEST(ControlSearch, FindFlagsFilterTheTree) {
  CContainerUI root;
  CControlUI* shown = Named(L"shown", L"float=\"true\" pos=\"0,0,10,10\"");
  CControlUI* hidden = Named(L"hidden", L"float=\"true\" pos=\"10,0,20,10\" visible=\"false\"");
  CControlUI* disabled = Named(L"disabled", L"float=\"true\" pos=\"20,0,30,10\" enabled=\"false\"");
  CControlUI* deaf = Named(L"deaf", L"float=\"true\" pos=\"30,0,40,10\" mouse=\"false\"");
  for (CControlUI* c : {shown, hidden, disabled, deaf}) root.Add(c);
  root.SetPos(RECT{0, 0, 100, 100}, false);

  auto collect = [&](UINT flags) {
    std::vector<std::wstring> names;
    root.FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
          static_cast<std::vector<std::wstring>*>(data)->push_back(c->GetName().c_str());
          return nullptr;
        },
        &names, flags);
    return names;
  };
  using Names = std::vector<std::wstring>;
  EXPECT_EQ(collect(kFindAll), (Names{L"shown", L"hidden", L"disabled", L"deaf", L""}));
  EXPECT_EQ(collect(kFindVisible), (Names{L"shown", L"disabled", L"deaf", L""}));
  EXPECT_EQ(collect(kFindEnabled), (Names{L"shown", L"hidden", L"deaf", L""}));
  EXPECT_EQ(collect(kFindAll | kFindTopFirst | kFindMeFirst), (Names{L"", L"deaf", L"disabled", L"hidden", L"shown"}));

  const struct {
    POINT pt;
    CControlUI* expected;
  } hits[] = {{{5, 5}, shown}, {{15, 5}, &root}, {{25, 5}, disabled}, {{35, 5}, &root}, {{50, 50}, &root}, {{150, 5}, nullptr}};
  for (const auto& h : hits) {
    POINT pt = h.pt;
    EXPECT_EQ(root.FindControl(Self, &pt, kFindVisible | kFindHitTest | kFindTopFirst), h.expected) << pt.x;
  }
}

TEST(ControlSearch, CoverIsSearchedAfterTheControlOnlyWithMeFirst) {
  CControlUI owner;
  owner.SetName(L"owner");
  owner.SetCoverControl(Named(L"cover"));
  owner.SetPos(RECT{0, 0, 10, 10}, false);
  owner.CoverControl()->SetPos(RECT{0, 0, 10, 10}, false);
  POINT pt = {5, 5};
  EXPECT_EQ(owner.FindControl(Self, &pt, kFindHitTest), owner.CoverControl());
  EXPECT_EQ(owner.FindControl(Self, &pt, kFindHitTest | kFindMeFirst), &owner);
}

TEST(ControlPainting, StopControlEndsPaintingAndListenersCanSkip) {
  ui_testing::CCanvas canvas(30, 10);
  CContainerUI root;
  CControlUI* a = Named(L"a", L"float=\"true\" pos=\"0,0,10,10\" bkcolor=\"#FFFF0000\"");
  CControlUI* b = Named(L"b", L"float=\"true\" pos=\"10,0,20,10\" bkcolor=\"#FF00FF00\"");
  CControlUI* c = Named(L"c", L"float=\"true\" pos=\"20,0,30,10\" bkcolor=\"#FF0000FF\"");
  for (CControlUI* x : {a, b, c}) root.Add(x);
  root.SetPos(RECT{0, 0, 30, 10}, false);
  EXPECT_FALSE(root.Paint(canvas.DC(), canvas.Rect(), b));
  EXPECT_EQ(canvas.Rgb(5, 5), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(15, 5), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(25, 5), 0xFFFFFFu);

  struct Skip {
    bool On(void*) { return false; }
  } skip;
  b->PaintListeners += MakeDelegate(&skip, &Skip::On);
  canvas.Fill(0xFFFFFFFF);
  EXPECT_TRUE(root.Paint(canvas.DC(), canvas.Rect()));
  EXPECT_EQ(canvas.Rgb(15, 5), 0xFFFFFFu);  // skipped, the rest painted
  EXPECT_EQ(canvas.Rgb(25, 5), 0x0000FFu);
}

TEST(ControlInvalidation, RepaintAreaIsClippedToEveryAncestor) {
  auto* root = new CContainerUI();
  auto* panel = new CContainerUI();
  panel->ApplyAttributeText(L"float=\"true\" pos=\"10,10,110,60\"");
  CControlUI* wide = Named(L"wide", L"float=\"true\" pos=\"50,20,300,40\"");
  panel->Add(wide);
  root->Add(panel);
  ui_testing::CHostWindow host;
  ASSERT_TRUE(host.Open(root));
  ui_testing::PumpMessages();
  auto dirty = [&]() {
    RECT rc = {0, 0, 0, 0};
    ::GetUpdateRect(host.Handle(), &rc, FALSE);
    ::ValidateRect(host.Handle(), nullptr);
    return rc;
  };
  dirty();
  wide->Invalidate();
  RECT expected = {60, 30, 110, 50};  // the child's 60..310 cut at the panel's right edge
  RECT got = dirty();
  EXPECT_TRUE(::EqualRect(&got, &expected)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
  panel->SetVisible(false);
  dirty();
  wide->Invalidate();
  got = dirty();
  EXPECT_TRUE(::IsRectEmpty(&got));  // a hidden ancestor: nothing to repaint
}
