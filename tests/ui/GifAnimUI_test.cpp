#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/GifAnimUI.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WaitFor;
using testing_support::WriteFileBytes;
using ui_testing::CCanvas;
using ui_testing::CControlHost;

namespace {

// Palette indexes of the test GIFs.
enum : int { kRed, kGreen, kBlue, kWhite };

struct TFrame {
  int color;
  int delay;  // hundredths of a second; -1 writes no delay block
};

// A GIF89a of solid frames. The LZW stream restarts the code table every two pixels, so every code
// stays three bits wide.
std::string MakeGif(int width, int height, const std::vector<TFrame>& frames) {
  std::string out = "GIF89a";
  auto word = [&](int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  word(width);
  word(height);
  out += '\x81';
  out += '\0';
  out += '\0';
  const unsigned char palette[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  out.append(reinterpret_cast<const char*>(palette), 12);
  for (const TFrame& frame : frames) {
    if (frame.delay >= 0) {
      out += "\x21\xF9\x04";
      out += '\0';
      word(frame.delay);
      out += '\0';
      out += '\0';
    }
    out += '\x2C';
    word(0);
    word(0);
    word(width);
    word(height);
    out += '\0';
    out += '\x02';
    std::vector<int> codes;
    int pixels = width * height;
    for (int i = 0; i < pixels; i += 2) {
      codes.push_back(4);
      codes.push_back(frame.color);
      if (i + 1 < pixels) codes.push_back(frame.color);
    }
    codes.push_back(5);
    std::string data;
    unsigned bits = 0, count = 0;
    for (int code : codes) {
      bits |= static_cast<unsigned>(code) << count;
      count += 3;
      while (count >= 8) {
        data += static_cast<char>(bits & 0xFF);
        bits >>= 8;
        count -= 8;
      }
    }
    if (count) data += static_cast<char>(bits & 0xFF);
    for (size_t at = 0; at < data.size(); at += 255) {
      std::string block = data.substr(at, 255);
      out += static_cast<char>(block.size());
      out += block;
    }
    out += '\0';
  }
  out += '\x3B';
  return out;
}

TEST(GifAnimDelays, MissingOrZeroDelaysWaitTheDefault) {
  struct Case {
    std::vector<UINT> delays;
    UINT frame;
    UINT interval;
  } cases[] = {{{}, 0, 100}, {{5, 0, 20}, 0, 50}, {{5, 0, 20}, 1, 100}, {{5, 0, 20}, 2, 200}, {{5}, 3, 100}};
  for (const Case& c : cases) EXPECT_EQ(CGifAnimUI::FrameIntervalMs(c.delays, c.frame), c.interval) << c.frame;
}

class GifAnimTest : public ::testing::Test {
 protected:
  std::wstring Gif(const wchar_t* name, const std::vector<TFrame>& frames) {
    std::wstring path = m_folder / name;
    EXPECT_TRUE(WriteFileBytes(path, MakeGif(8, 8, frames)));
    return path;
  }
  CGifAnimUI* Open(const std::wstring& path, bool autoplay = true) {
    auto* gif = m_host.root->Add(new CGifAnimUI, RECT{10, 10, 50, 50});
    gif->ApplyAttribute(L"bkimage", path.c_str());
    gif->ApplyAttribute(L"autoplay", autoplay ? L"true" : L"false");
    EXPECT_TRUE(m_host.Open());
    return gif;
  }
  DWORD Shown(CGifAnimUI* gif) {
    CCanvas canvas(400, 300);
    m_host.PaintOnto(gif, canvas);
    return canvas.Rgb(30, 30);
  }
  void Tick(CGifAnimUI* gif) {
    TEventMsg timer;
    timer.type = kEventTimer;
    timer.wParam = CGifAnimUI::kFrameTimerId;
    gif->HandleEvent(timer);
  }

  CTempFolder m_folder;
  CControlHost m_host;
};

TEST_F(GifAnimTest, FramesAdvanceOnTheTimerWithTheirOwnDelays) {
  CGifAnimUI* gif = Open(Gif(L"three.gif", {{kRed, 5}, {kGreen, 0}, {kBlue, 20}}));
  ASSERT_TRUE(gif->IsLoaded());
  EXPECT_EQ(gif->FrameCount(), 3u);
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_EQ(gif->FrameIntervalMs(0), 50u);
  EXPECT_EQ(gif->FrameIntervalMs(1), 100u);
  EXPECT_EQ(gif->FrameIntervalMs(2), 200u);
  for (UINT expected : {1u, 2u, 0u}) {
    EXPECT_TRUE(WaitFor([&] { return gif->CurrentFrame() == expected; }, 3000)) << expected;
  }
}

TEST_F(GifAnimTest, PaintShowsTheCurrentFrame) {
  CGifAnimUI* gif = Open(Gif(L"two.gif", {{kRed, 10}, {kGreen, 10}}), false);
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_EQ(Shown(gif), 0xFF0000u);
  Tick(gif);
  EXPECT_EQ(gif->CurrentFrame(), 1u);
  EXPECT_EQ(Shown(gif), 0x00FF00u);
  Tick(gif);
  EXPECT_EQ(Shown(gif), 0xFF0000u);
}

TEST_F(GifAnimTest, StopAndHideReturnToTheFirstFrame) {
  CGifAnimUI* gif = Open(Gif(L"two.gif", {{kRed, 2}, {kGreen, 2}}));
  ASSERT_TRUE(gif->IsPlaying());
  Tick(gif);
  gif->StopAnimation();
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_EQ(gif->CurrentFrame(), 0u);
  EXPECT_EQ(Shown(gif), 0xFF0000u);
  gif->StartAnimation();
  Tick(gif);
  gif->SetVisible(false);
  EXPECT_FALSE(gif->IsPlaying());
  gif->SetVisible(true);
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_EQ(Shown(gif), 0xFF0000u);
}

TEST_F(GifAnimTest, OneFrameOrNoDelaysNeverBreakPlayback) {
  struct Case {
    const wchar_t* name;
    std::vector<TFrame> frames;
    bool plays;
  } cases[] = {
      {L"single.gif", {{kBlue, -1}}, false},
      {L"nodelay.gif", {{kRed, -1}, {kGreen, -1}}, true},
  };
  for (const Case& c : cases) {
    CGifAnimUI gif;
    gif.ApplyAttribute(L"bkimage", Gif(c.name, c.frames).c_str());
    m_host.root->Add(&gif, RECT{0, 0, 8, 8});
    if (!m_host.window.Handle()) {
      ASSERT_TRUE(m_host.Open());
    }
    gif.LoadFrames();
    EXPECT_TRUE(gif.IsLoaded()) << c.name;
    EXPECT_EQ(gif.IsPlaying(), c.plays) << c.name;
    EXPECT_EQ(gif.FrameIntervalMs(0), 100u) << c.name;
    Tick(&gif);
    Tick(&gif);
    EXPECT_LT(gif.CurrentFrame(), std::max(1u, gif.FrameCount())) << c.name;
    m_host.root->Remove(&gif);
  }
}

TEST_F(GifAnimTest, UnreadableImageLoadsNothing) {
  std::wstring bad = m_folder / L"bad.gif";
  ASSERT_TRUE(WriteFileBytes(bad, "GIF89a but not really"));
  CGifAnimUI* gif = Open(bad);
  EXPECT_FALSE(gif->IsLoaded());
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_EQ(Shown(gif), 0xFFFFFFu);
  Tick(gif);
  gif->SetBackImage((m_folder / L"missing.gif").c_str());
  EXPECT_FALSE(gif->LoadFrames());
  gif->SetBackImage(Gif(L"good.gif", {{kGreen, 1}, {kBlue, 1}}).c_str());
  EXPECT_FALSE(gif->IsLoaded());  // loaded again at the next paint
  EXPECT_EQ(Shown(gif), 0x00FF00u);
  EXPECT_TRUE(gif->IsLoaded());
}

TEST_F(GifAnimTest, AutoSizeTakesTheImageSize) {
  auto* gif = new CGifAnimUI;
  gif->ApplyAttribute(L"autosize", L"true");
  gif->ApplyAttribute(L"bkimage", Gif(L"sized.gif", {{kRed, 1}}).c_str());
  m_host.root->Add(gif, RECT{0, 0, 30, 30});
  ASSERT_TRUE(m_host.Open());
  gif->LoadFrames();
  EXPECT_EQ(gif->GetFixedWidth(), 8);
  EXPECT_EQ(gif->GetFixedHeight(), 8);
}

}  // namespace
