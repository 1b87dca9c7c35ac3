#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/RenderInternals.h"
#include "ui/core/WindowManagerUI.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WriteFileBytes;
using ui_testing::CCanvas;
using ui_testing::TRgbaImage;

namespace {

constexpr DWORD kWhite = 0x00FFFFFF;
constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

bool Near(DWORD a, DWORD b, int tolerance = 2) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

class RenderEngineTest : public ::testing::Test {
 protected:
  // Writes the image as a PNG in the temporary folder; returns its path (used as the image name).
  std::wstring Png(const wchar_t* name, const TRgbaImage& image) {
    std::wstring path = m_folder / name;
    EXPECT_TRUE(WriteFileBytes(path, ui_testing::EncodePng(image)));
    return path;
  }
  // Draws an image attribute string over the whole canvas.
  bool Draw(CCanvas& canvas, const std::wstring& spec) {
    TDrawInfo info;
    info.text = spec.c_str();
    RECT all = canvas.Rect();
    return CRenderer::DrawImageSpec(canvas.DC(), &m_manager, all, all, info);
  }

  CTempFolder m_folder;
  CWindowManagerUI m_manager;
};

}  // namespace

TEST(ImageString, KeysParseToTheirFields) {
  struct Case {
    const wchar_t* text;
    const wchar_t* name;
    const wchar_t* type;
    RECT dest, source, corners;
    int fade;
    bool hole, xTiled, yTiled;
    DWORD mask;
  } cases[] = {
      {L"bk.png", L"bk.png", L"", {}, {}, {}, 255, false, false, false, 0},
      {L"file='bkimage/main_bk.png' source='0,0,800,550'", L"bkimage/main_bk.png", L"", {}, {0, 0, 800, 550}, {},
       255, false, false, false, 0},
      {L"file='a.png' dest='1,2,3,4' corner='5,6,7,8' fade='128' hole='true' xtiled='true' ytiled='false'",
       L"a.png", L"", {1, 2, 3, 4}, {}, {5, 6, 7, 8}, 128, true, true, false, 0},
      {L"file='a.png' scale9='2,2,2,2' mask='#FFFF00FF'", L"a.png", L"", {}, {}, {2, 2, 2, 2}, 255, false, false,
       false, 0xFFFF00FF},
      {L"res='101' restype='PNG'", L"101", L"PNG", {}, {}, {}, 255, false, false, false, 0},
      {L"file='a.png' restype='PNG'", L"a.png", L"", {}, {}, {}, 255, false, false, false, 0},
      {L"color='#FF00FF00'", L"#FF00FF00", L"*COLOR*", {}, {}, {}, 255, false, false, false, 0},
      // A double-quoted value ends the parse: the whole string is the image name.
      {L"file=\"a.png\"", L"file=\"a.png\"", L"", {}, {}, {}, 255, false, false, false, 0},
      // Anything but a space after a closing quote ends the parse after that pair.
      {L"file='a.png',fade='10'", L"a.png", L"", {}, {}, {}, 255, false, false, false, 0},
      // Unterminated value.
      {L"file='a.png' fade='10", L"a.png", L"", {}, {}, {}, 255, false, false, false, 0},
      {L"file='a.png' fade=''", L"a.png", L"", {}, {}, {}, 255, false, false, false, 0},
  };
  for (const auto& c : cases) {
    TDrawInfo info;
    info.text = c.text;
    CRenderer::ParseImageString(info);
    EXPECT_EQ(info.imageName, c.name) << c.text;
    EXPECT_EQ(info.resourceType, c.type) << c.text;
    EXPECT_TRUE(EqualRect(&info.dest, &c.dest)) << c.text;
    EXPECT_TRUE(EqualRect(&info.source, &c.source)) << c.text;
    EXPECT_TRUE(EqualRect(&info.corners, &c.corners)) << c.text;
    EXPECT_EQ(info.fade, c.fade) << c.text;
    EXPECT_EQ(info.hole, c.hole) << c.text;
    EXPECT_EQ(info.xTiled, c.xTiled) << c.text;
    EXPECT_EQ(info.yTiled, c.yTiled) << c.text;
    EXPECT_EQ(info.mask, c.mask) << c.text;
  }
}

TEST_F(RenderEngineTest, LoadingPremultipliesAndMaskMakesTransparent) {
  TRgbaImage image(2, 1, 0xFFFF00FF);
  image.Set(0, 0, 0x80C86432);  // R 200, G 100, B 50, A 128
  std::wstring path = Png(L"p.png", image);
  TImageInfo* plain = CRenderer::LoadSkinImage(path.c_str());
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(reinterpret_cast<DWORD*>(plain->pixels)[0], 0x80643219u);
  EXPECT_EQ(reinterpret_cast<DWORD*>(plain->pixels)[1], 0xFFFF00FFu);
  EXPECT_TRUE(plain->hasAlpha);
  CRenderer::FreeImage(plain);

  TRgbaImage opaque(2, 1, kRed);
  opaque.Set(1, 0, 0xFFFF00FF);
  std::wstring opaquePath = Png(L"o.png", opaque);
  TImageInfo* noMask = CRenderer::LoadSkinImage(opaquePath.c_str());
  ASSERT_NE(noMask, nullptr);
  EXPECT_FALSE(noMask->hasAlpha);
  CRenderer::FreeImage(noMask);
  TImageInfo* masked = CRenderer::LoadSkinImage(opaquePath.c_str(), nullptr, 0xFFFF00FF);
  ASSERT_NE(masked, nullptr);
  EXPECT_TRUE(masked->hasAlpha);
  EXPECT_EQ(reinterpret_cast<DWORD*>(masked->pixels)[1], 0u);
  CRenderer::FreeImage(masked);
}

TEST_F(RenderEngineTest, UnloadableImagesFailAndAreNotTriedAgain) {
  std::wstring garbage = m_folder / L"bad.png";
  ASSERT_TRUE(WriteFileBytes(garbage, "not an image"));
  EXPECT_EQ(CRenderer::LoadSkinImage(garbage.c_str()), nullptr);
  EXPECT_EQ(CRenderer::LoadSkinImage((m_folder / L"missing.png").c_str()), nullptr);
  CCanvas canvas(4, 4);
  TDrawInfo info;
  info.text = (m_folder / L"missing.png").c_str();
  RECT all = canvas.Rect();
  EXPECT_FALSE(CRenderer::DrawImageSpec(canvas.DC(), &m_manager, all, all, info));
  EXPECT_TRUE(info.failed);
  // Creating the file afterwards changes nothing for this record.
  ASSERT_TRUE(WriteFileBytes(m_folder / L"missing.png", ui_testing::EncodePng(TRgbaImage(1, 1, kRed))));
  EXPECT_FALSE(CRenderer::DrawImageSpec(canvas.DC(), &m_manager, all, all, info));
  EXPECT_EQ(canvas.CountNot(all, kWhite), 0);
}

TEST_F(RenderEngineTest, SourcePartZeroMeansWholeImageAndIsClippedToIt) {
  TRgbaImage image(2, 2, kRed);
  image.FillRect(1, 0, 2, 2, kBlue);
  std::wstring path = Png(L"q.png", image);
  for (const wchar_t* source : {L"0,0,0,0", L"0,0,9999,9999"}) {
    CCanvas canvas(8, 8);
    ASSERT_TRUE(Draw(canvas, L"file='" + path + L"' source='" + source + L"'"));
    EXPECT_EQ(canvas.Rgb(1, 4), 0xFF0000u) << source;
    EXPECT_EQ(canvas.Rgb(6, 4), 0x0000FFu) << source;
  }
  CCanvas canvas(8, 8);
  ASSERT_TRUE(Draw(canvas, L"file='" + path + L"' source='1,0,2,2'"));
  EXPECT_EQ(canvas.CountNot(canvas.Rect(), 0x0000FF), 0);
}

TEST_F(RenderEngineTest, NinePartDrawingKeepsCornersAndStretchesTheRest) {
  // 9x9: corners of 3 in green, edges red, middle blue.
  TRgbaImage image(9, 9, kRed);
  image.FillRect(3, 3, 6, 6, kBlue);
  for (int cx : {0, 6})
    for (int cy : {0, 6}) image.FillRect(cx, cy, cx + 3, cy + 3, kGreen);
  std::wstring path = Png(L"n.png", image);
  CCanvas canvas(30, 20);
  ASSERT_TRUE(Draw(canvas, L"file='" + path + L"' corner='3,3,3,3'"));
  EXPECT_EQ(canvas.CountNot(RECT{0, 0, 3, 3}, 0x00FF00), 0);
  EXPECT_EQ(canvas.CountNot(RECT{27, 17, 30, 20}, 0x00FF00), 0);
  EXPECT_EQ(canvas.CountNot(RECT{3, 0, 27, 3}, 0xFF0000), 0);   // top edge stretched
  EXPECT_EQ(canvas.CountNot(RECT{0, 3, 3, 17}, 0xFF0000), 0);   // left edge stretched
  EXPECT_EQ(canvas.CountNot(RECT{3, 3, 27, 17}, 0x0000FF), 0);  // middle

  canvas.Fill(0xFFFFFFFF);
  ASSERT_TRUE(Draw(canvas, L"file='" + path + L"' corner='3,3,3,3' hole='true'"));
  EXPECT_EQ(canvas.CountNot(RECT{3, 3, 27, 17}, kWhite), 0);
  EXPECT_EQ(canvas.Rgb(1, 1), 0x00FF00u);

  canvas.Fill(0xFFFFFFFF);
  ASSERT_TRUE(Draw(canvas, L"file='" + path + L"' dest='10,5,20,15'"));
  EXPECT_EQ(canvas.Rgb(9, 9), kWhite);
  EXPECT_NE(canvas.Rgb(10, 5), kWhite);
  EXPECT_EQ(canvas.Rgb(20, 9), kWhite);
}

TEST_F(RenderEngineTest, TiledMiddleRepeatsAtSourceSizeAndCutsTheLastColumn) {
  // 30 wide: the last column of the image is black, the rest red.
  TRgbaImage image(30, 4, kRed);
  image.FillRect(29, 0, 30, 4, kBlack);
  std::wstring path = Png(L"t.png", image);
  CCanvas canvas(100, 4);
  ASSERT_TRUE(Draw(canvas, L"file='" + path + L"' xtiled='true'"));
  for (int x : {29, 59, 89}) EXPECT_EQ(canvas.Rgb(x, 1), 0u) << x;
  for (int x : {0, 28, 30, 90, 99}) EXPECT_EQ(canvas.Rgb(x, 1), 0xFF0000u) << x;

  // Both directions: a grid of 30x4 tiles.
  CCanvas grid(100, 10);
  ASSERT_TRUE(Draw(grid, L"file='" + path + L"' xtiled='true' ytiled='true'"));
  EXPECT_EQ(grid.Rgb(29, 9), 0u);
  EXPECT_EQ(grid.Rgb(99, 9), 0xFF0000u);
}

TEST_F(RenderEngineTest, DegenerateSourcesAndCornersDrawSafely) {
  TRgbaImage image(4, 4, kRed);
  std::wstring path = Png(L"d.png", image);
  struct Case {
    const wchar_t* extra;
    bool drawsSomething;
  } cases[] = {
      {L"source='10,10,20,20'", false},            // outside the image
      {L"source='3,0,1,4'", false},                // left > right
      {L"corner='4,4,4,4'", true},                 // corners as wide as the source
      {L"corner='9,9,9,9' xtiled='true' ytiled='true'", true},
      {L"source='0,0,4,4' corner='2,0,2,0' xtiled='true'", true},  // middle of width 0
      {L"dest='5,5,2,2'", false},                  // negative destination
  };
  for (const Case& c : cases) {
    CCanvas canvas(40, 40);
    EXPECT_TRUE(Draw(canvas, L"file='" + path + L"' " + c.extra)) << c.extra;
    EXPECT_EQ(canvas.CountNot(canvas.Rect(), kWhite) > 0, c.drawsSomething) << c.extra;
  }
}

TEST_F(RenderEngineTest, FadeAndPerPixelAlphaBlendOverTheBackground) {
  std::wstring opaque = Png(L"r.png", TRgbaImage(2, 2, kRed));
  std::wstring half = Png(L"h.png", TRgbaImage(2, 2, 0x800000FF));
  for (bool platform : {true, false}) {
    render_detail::PlatformBlendEnabled() = platform;
    CCanvas canvas(4, 4);
    ASSERT_TRUE(Draw(canvas, L"file='" + opaque + L"' fade='128'"));
    EXPECT_TRUE(Near(canvas.Rgb(1, 1), 0xFF7F7F)) << std::hex << canvas.Rgb(1, 1) << " platform " << platform;
    canvas.Fill(0xFFFFFFFF);
    ASSERT_TRUE(Draw(canvas, L"file='" + half + L"'"));
    EXPECT_TRUE(Near(canvas.Rgb(1, 1), 0x7F7FFF)) << std::hex << canvas.Rgb(1, 1) << " platform " << platform;
  }
  render_detail::PlatformBlendEnabled() = true;
}

TEST(RenderFill, ColourWithoutAlphaDrawsNothingAndHalfAlphaBlends) {
  CCanvas canvas(4, 4);
  CRenderer::FillColor(canvas.DC(), canvas.Rect(), 0x00FF0000);
  EXPECT_EQ(canvas.CountNot(canvas.Rect(), kWhite), 0);
  CRenderer::FillColor(canvas.DC(), RECT{0, 0, 2, 4}, 0x80FF0000);
  EXPECT_TRUE(Near(canvas.Rgb(0, 0), 0xFF7F7F)) << std::hex << canvas.Rgb(0, 0);
  EXPECT_EQ(canvas.Rgb(3, 0), kWhite);
  CRenderer::FillColor(canvas.DC(), canvas.Rect(), kBlue);
  EXPECT_EQ(canvas.CountNot(canvas.Rect(), 0x0000FF), 0);
}

TEST(RenderFill, GradientsRunFromOneColourToTheOther) {
  for (bool platform : {true, false}) {
    render_detail::PlatformBlendEnabled() = platform;
    CCanvas canvas(64, 64);
    CRenderer::FillGradient(canvas.DC(), canvas.Rect(), kRed, kBlue, true, 64);
    EXPECT_TRUE(Near(canvas.Rgb(10, 0), 0xFF0000, 12)) << std::hex << canvas.Rgb(10, 0);
    EXPECT_TRUE(Near(canvas.Rgb(10, 63), 0x0000FF, 12)) << std::hex << canvas.Rgb(10, 63);
    EXPECT_EQ(canvas.Rgb(0, 5), canvas.Rgb(63, 5));  // vertical: rows are uniform
    CRenderer::FillGradient(canvas.DC(), canvas.Rect(), kRed, kBlue, false, 64);
    EXPECT_TRUE(Near(canvas.Rgb(0, 10), 0xFF0000, 12)) << std::hex << canvas.Rgb(0, 10);
    EXPECT_TRUE(Near(canvas.Rgb(63, 10), 0x0000FF, 12)) << std::hex << canvas.Rgb(63, 10);
    // Half alpha blends the gradient over white; zero alpha draws nothing.
    canvas.Fill(0xFFFFFFFF);
    CRenderer::FillGradient(canvas.DC(), canvas.Rect(), 0x80000000, 0x80000000, true, 8);
    EXPECT_TRUE(Near(canvas.Rgb(5, 5), 0x7F7F7F, 3)) << std::hex << canvas.Rgb(5, 5);
    canvas.Fill(0xFFFFFFFF);
    CRenderer::FillGradient(canvas.DC(), canvas.Rect(), 0x00FF0000, 0x000000FF, true, 8);
    EXPECT_EQ(canvas.CountNot(canvas.Rect(), kWhite), 0);
  }
  render_detail::PlatformBlendEnabled() = true;
  // Without GradientFill: 2^k bands, k from the steps.
  render_detail::PlatformBlendEnabled() = false;
  CCanvas bands(16, 16);
  CRenderer::FillGradient(bands.DC(), bands.Rect(), kRed, kBlue, true, 4);
  int changes = 0;
  for (int y = 1; y < 16; ++y) changes += bands.Rgb(0, y) != bands.Rgb(0, y - 1);
  EXPECT_EQ(changes, 3);
  render_detail::PlatformBlendEnabled() = true;
}

TEST(RenderLines, RectanglesAreOutlinesInsideTheFrameAndLinesRunCornerToCorner) {
  CCanvas canvas(20, 20);
  CRenderer::DrawRect(canvas.DC(), RECT{2, 2, 18, 18}, 2, kRed);
  EXPECT_EQ(canvas.Rgb(2, 10), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(3, 10), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(17, 10), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(1, 10), kWhite);
  EXPECT_EQ(canvas.Rgb(18, 10), kWhite);
  EXPECT_EQ(canvas.CountNot(RECT{4, 4, 16, 16}, kWhite), 0);
  canvas.Fill(0xFFFFFFFF);
  CRenderer::DrawLine(canvas.DC(), RECT{0, 5, 20, 5}, 1, kBlack);
  EXPECT_EQ(canvas.Rgb(10, 5), 0x000001u);  // black is drawn as 0xFF000001
  EXPECT_EQ(canvas.Rgb(10, 6), kWhite);
  canvas.Fill(0xFFFFFFFF);
  CRenderer::DrawRoundRect(canvas.DC(), RECT{0, 0, 20, 20}, 1, 8, 8, kBlue);
  EXPECT_EQ(canvas.Rgb(10, 0), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(0, 0), kWhite);  // the corner is rounded off
}

TEST_F(RenderEngineTest, ReRegisteringAnImageKeepsTheRecordControlsHold) {
  std::wstring path = Png(L"re.png", TRgbaImage(2, 2, kRed));
  TImageInfo* first = m_manager.RegisterImage(path.c_str());
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(WriteFileBytes(path, ui_testing::EncodePng(TRgbaImage(3, 3, kBlue))));
  TImageInfo* second = m_manager.RegisterImage(path.c_str());
  EXPECT_EQ(second, first);
  EXPECT_EQ(first->width, 3);
  CCanvas canvas(4, 4);
  TNineParts parts;
  parts.source = RECT{0, 0, 0, 0};
  parts.corners = RECT{0, 0, 0, 0};
  RECT all = canvas.Rect();
  CRenderer::DrawImage(canvas.DC(), first->bitmap, first->width, first->height, all, all, parts);
  EXPECT_EQ(canvas.Rgb(1, 1), 0x0000FFu);
}

TEST(RenderImage, ColourImagesAreOnePixel) {
  CWindowManagerUI manager;
  CCanvas canvas(6, 6);
  TDrawInfo info;
  info.text = L"color='#FF00FF00' dest='0,0,3,6'";
  RECT all = canvas.Rect();
  ASSERT_TRUE(CRenderer::DrawImageSpec(canvas.DC(), &manager, all, all, info));
  EXPECT_EQ(info.image->width, 1);
  EXPECT_EQ(canvas.Rgb(2, 5), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(3, 5), kWhite);
}
