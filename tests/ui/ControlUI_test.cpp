#include <gtest/gtest.h>

#include "tests/ui/UiTestControls.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace SkinUI;
using ui_testing::CBox;
using ui_testing::CCanvas;
using ui_testing::CProbe;
using ui_testing::Log;

TEST(ControlAttributes, CommonAttributesReachTheirFields) {
  CControlUI c;
  c.ApplyAttribute(L"pos", L"10,20,110,50");
  EXPECT_EQ(c.FloatOffset().cx, 10);
  EXPECT_EQ(c.FloatOffset().cy, 20);
  EXPECT_EQ(c.GetFixedWidth(), 100);
  EXPECT_EQ(c.GetFixedHeight(), 30);
  c.ApplyAttribute(L"minwidth", L"200");
  c.ApplyAttribute(L"maxwidth", L"100");
  EXPECT_EQ(c.GetMaxWidth(), 200);
  c.ApplyAttribute(L"width", L"-5");  // negative sizes are ignored
  EXPECT_EQ(c.GetFixedWidth(), 100);
  c.ApplyAttribute(L"tooltip", L"a<n>b");
  EXPECT_EQ(c.GetToolTip(), L"a\r\nb");
  c.ApplyAttribute(L"bordersize", L"2");
  EXPECT_EQ(c.BorderSize().right, 2);
  c.ApplyAttribute(L"bordersize", L"1,0,1,0");
  EXPECT_EQ(c.BorderSize().top, 0);
  EXPECT_EQ(c.BorderSize().right, 1);
  c.ApplyAttribute(L"bkcolor", L"  #FF102030");
  EXPECT_EQ(c.BackColor(), 0xFF102030u);
  c.ApplyAttribute(L"visible", L"TRUE");  // only the exact text "true" is true
  EXPECT_FALSE(c.IsVisible());
  c.ApplyAttribute(L"float", L"0.5,0,1,0");
  EXPECT_TRUE(c.IsFloating());
  EXPECT_DOUBLE_EQ(c.FloatAnchors()[0], 0.5);
  c.ApplyAttribute(L"shortcut", L"xyz");
  EXPECT_EQ(c.AccessKey(), L'x');
  c.ApplyAttribute(L"pos", L"0,0,30");  // a short list reads the missing numbers as 0
  EXPECT_EQ(c.GetFixedWidth(), 30);
  EXPECT_EQ(c.GetFixedHeight(), 0);
}

TEST(ControlAttributes, AttributeListsStopAtTheFirstDefectAndExtrasAreKeptOnce) {
  CControlUI c;
  c.ApplyAttributeText(L"name=\"one\"  text=\"skipped\"");
  EXPECT_EQ(c.GetName(), L"one");
  EXPECT_EQ(c.GetText(), L"");
  c.ApplyAttributeText(L"text=\"t\" userdata=\"u\" custom=\"v\"");
  EXPECT_EQ(c.GetText(), L"t");
  EXPECT_EQ(c.UserText(), L"u");
  EXPECT_STREQ(c.ExtraAttribute(L"custom"), L"v");
  EXPECT_FALSE(c.AddExtraAttribute(L"custom", L"w"));
  EXPECT_STREQ(c.ExtraAttribute(L"custom"), L"v");
  EXPECT_FALSE(c.AddExtraAttribute(L"", L"w"));
  EXPECT_FALSE(c.AddExtraAttribute(L"n", L""));
  c.ApplyAttributeText(L"text=x");
  EXPECT_EQ(c.GetText(), L"t");
}

TEST(ControlEvents, UnhandledEventsReachTheParentsHandlerNotItsListeners) {
  struct Counter {
    int calls = 0;
    bool On(void*) {
      ++calls;
      return true;
    }
  } parentListener;
  Log log;
  auto* parent = new CBox(L"parent", RECT{0, 0, 10, 10}, &log);
  auto* child = new CProbe(L"child", RECT{0, 0, 5, 5}, &log);
  parent->Add(child);
  parent->EventListeners += MakeDelegate(&parentListener, &Counter::On);
  TEventMsg event;
  event.type = kEventButtonDown;
  event.sender = child;
  child->DispatchEvent(event);
  EXPECT_EQ(log, Log{L"child:down"});  // the parent's DispatchEvent (which logs) was not used
  EXPECT_EQ(parentListener.calls, 0);
  delete parent;
}

TEST(ControlPainting, OpaqueBackgroundFillsThePaintRectangleAndBordersFollowTheirSides) {
  CWindowManagerUI manager;
  CCanvas canvas(40, 40);
  CControlUI c;
  manager.AdoptControls(&c, nullptr);
  c.SetPos(RECT{0, 0, 40, 40}, false);
  c.SetBackColor(0xFFFF0000);
  c.Paint(canvas.DC(), RECT{0, 0, 20, 40});
  EXPECT_EQ(canvas.Rgb(10, 10), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(30, 10), 0xFFFFFFu);  // outside the paint rectangle
  canvas.Fill(0xFFFFFFFF);
  c.SetBackColor(0x80FF0000);
  c.Paint(canvas.DC(), RECT{0, 0, 20, 40});
  EXPECT_NE(canvas.Rgb(30, 10), 0xFFFFFFu);  // half-transparent: the whole item rectangle

  canvas.Fill(0xFFFFFFFF);
  c.SetBackColor(0);
  c.ApplyAttribute(L"bordercolor", L"#FF0000FF");
  c.ApplyAttribute(L"bordersize", L"1,0,1,0");
  c.Paint(canvas.DC(), canvas.Rect());
  EXPECT_EQ(canvas.Rgb(0, 20), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(39, 20), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(20, 0), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(20, 39), 0xFFFFFFu);
  c.BindToManager(nullptr, nullptr, false);
}
