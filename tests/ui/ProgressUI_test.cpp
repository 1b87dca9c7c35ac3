#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/ProgressUI.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WriteFileBytes;
using ui_testing::CCanvas;
using ui_testing::CControlHost;
using ui_testing::TRgbaImage;

namespace {

TEST(ProgressValues, SetValueStaysWithinTheLimits) {
  CProgressUI bar;
  EXPECT_EQ(bar.GetFixedHeight(), 12);
  EXPECT_EQ(bar.TextStyle(), 0x21u);
  struct Case {
    int min, max, set, stored;
  } cases[] = {{0, 100, 150, 100}, {0, 100, -5, 0}, {0, 100, 30, 30}, {10, 20, 5, 10}};
  for (const Case& c : cases) {
    bar.SetMinValue(c.min);
    bar.SetMaxValue(c.max);
    bar.SetValue(c.set);
    EXPECT_EQ(bar.Value(), c.stored) << c.set;
  }
}

TEST(ProgressValues, FilledPartForEveryDirection) {
  struct Case {
    const wchar_t* attributes;
    RECT item;
    RECT part;
  } cases[] = {
      {L"min=\"0\" max=\"100\" value=\"30\"", {0, 0, 200, 12}, {0, 0, 60, 12}},
      {L"min=\"50\" max=\"50\" value=\"50\"", {0, 0, 200, 12}, {0, 0, 0, 12}},
      {L"hor=\"false\" min=\"0\" max=\"100\" value=\"75\"", {0, 0, 10, 40}, {0, 10, 10, 40}},
      {L"hor=\"false\" min=\"0\" max=\"100\" value=\"0\"", {0, 0, 10, 40}, {0, 40, 10, 40}},
      // (value - min) x width exceeds 32 bits here.
      {L"min=\"0\" max=\"2147483647\" value=\"2147483647\"", {0, 0, 200, 12}, {0, 0, 200, 12}},
      {L"min=\"-2147483648\" max=\"2147483647\" value=\"0\"", {0, 0, 200, 12}, {0, 0, 100, 12}},
      {L"hor=\"false\" min=\"0\" max=\"2000000000\" value=\"500000000\"", {0, 0, 10, 400}, {0, 300, 10, 400}},
      {L"min=\"2147483647\" max=\"2147483647\" value=\"2147483647\"", {0, 0, 200, 12}, {0, 0, 200, 12}},
  };
  for (const Case& c : cases) {
    CProgressUI bar;
    bar.ApplyAttributeText(c.attributes);
    bar.SetPos(c.item, false);
    RECT part = bar.FilledPart();
    EXPECT_EQ(part.left, c.part.left) << c.attributes;
    EXPECT_EQ(part.top, c.part.top) << c.attributes;
    EXPECT_EQ(part.right, c.part.right) << c.attributes;
    EXPECT_EQ(part.bottom, c.part.bottom) << c.attributes;
  }
}

TEST(ProgressValues, EqualLimitsWidenTheMaximumAtPaintTime) {
  CProgressUI bar;
  bar.ApplyAttributeText(L"min=\"50\" max=\"50\"");
  bar.SetPos(RECT{0, 0, 200, 12}, false);
  bar.FilledPart();
  EXPECT_EQ(bar.MaxValue(), 51);
  EXPECT_EQ(bar.Value(), 50);
}

TEST(ProgressPaint, ForeImageIsCutAtTheValue) {
  CTempFolder folder;
  std::wstring fore = folder / L"fore.png";
  ASSERT_TRUE(WriteFileBytes(fore, ui_testing::EncodePng(TRgbaImage(8, 8, 0xFF00FF00))));
  CControlHost host;
  auto* across = host.root->Add(new CProgressUI, RECT{0, 0, 200, 12});
  auto* up = host.root->Add(new CProgressUI, RECT{0, 50, 10, 90});
  ASSERT_TRUE(host.Open());
  across->SetForegroundImage(fore.c_str());
  across->SetValue(30);
  up->ApplyAttributeText((L"hor=\"false\" value=\"75\" foreimage=\"" + fore + L"\"").c_str());
  CCanvas canvas(400, 300);
  host.PaintOnto(across, canvas);
  host.PaintOnto(up, canvas);
  EXPECT_EQ(canvas.Rgb(0, 6), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(59, 6), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(60, 6), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(5, 59), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(5, 60), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(5, 89), 0x00FF00u);
}

}  // namespace
