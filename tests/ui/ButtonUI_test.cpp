#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/ButtonUI.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WriteFileBytes;
using ui_testing::CCanvas;
using ui_testing::CControlHost;
using ui_testing::Log;
using ui_testing::TRgbaImage;

namespace {

constexpr DWORD kNormal = 0xFFFF0000, kHot = 0xFF00FF00, kPushed = 0xFF0000FF, kFocused = 0xFFFFFF00,
                kDisabled = 0xFF808080;

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_button = m_host.root->Add(new CButtonUI, RECT{100, 100, 200, 140});
    m_button->SetName(L"ok");
    m_other = m_host.root->Add(new CButtonUI, RECT{250, 100, 300, 140});
    m_other->SetName(L"other");
    ASSERT_TRUE(m_host.Open());
  }
  std::wstring Png(const wchar_t* name, const TRgbaImage& image) {
    std::wstring path = m_folder / name;
    EXPECT_TRUE(WriteFileBytes(path, ui_testing::EncodePng(image)));
    return path;
  }
  DWORD CentrePixel() {
    CCanvas canvas(400, 300);
    m_host.PaintOnto(m_button, canvas);
    return canvas.Rgb(150, 120);
  }
  int Count(const Log& notes, const wchar_t* entry) {
    return static_cast<int>(std::count(notes.begin(), notes.end(), std::wstring(entry)));
  }

  CTempFolder m_folder;
  CControlHost m_host;
  CButtonUI* m_button = nullptr;
  CButtonUI* m_other = nullptr;
};

TEST_F(ButtonTest, ClickNeedsPressAndReleaseInside) {
  m_host.MoveTo(150, 120);
  m_host.Press(150, 120);
  EXPECT_EQ(m_button->ButtonState() & (kStatePushed | kStateCaptured), kStatePushed | kStateCaptured);
  m_host.MoveTo(10, 10);
  EXPECT_EQ(m_button->ButtonState() & kStatePushed, 0u);
  m_host.Release(10, 10);
  EXPECT_EQ(Count(m_host.TakeNotes(), L"click:ok"), 0);
  EXPECT_EQ(m_button->ButtonState() & (kStatePushed | kStateCaptured), 0u);

  m_host.MoveTo(150, 120);
  m_host.Press(150, 120);
  m_host.MoveTo(10, 10);
  m_host.MoveTo(160, 125);
  EXPECT_NE(m_button->ButtonState() & kStatePushed, 0u);
  m_host.Release(160, 125);
  EXPECT_EQ(Count(m_host.TakeNotes(), L"click:ok"), 1);
}

TEST_F(ButtonTest, SpaceAndReturnActivateTheFocusedButton) {
  m_button->SetFocus();
  for (WPARAM key : {WPARAM(VK_SPACE), WPARAM(VK_RETURN)}) {
    m_host.Key(key);
    EXPECT_EQ(Count(m_host.TakeNotes(), L"click:ok"), 1) << key;
  }
  m_host.Key('A');
  EXPECT_EQ(Count(m_host.TakeNotes(), L"click:ok"), 0);
  m_button->SetAcceptsKeyboard(false);
  m_host.Key(VK_SPACE);
  EXPECT_EQ(Count(m_host.TakeNotes(), L"click:ok"), 0);
  m_button->SetAcceptsKeyboard(true);
  m_button->SetEnabled(false);
  EXPECT_FALSE(m_button->Activate());
  EXPECT_EQ(m_button->ButtonState(), 0u);
}

TEST_F(ButtonTest, EnterAndLeaveNotifyOnce) {
  m_host.MoveTo(150, 120);
  m_host.MoveTo(155, 121);
  EXPECT_NE(m_button->ButtonState() & kStateHot, 0u);
  m_host.MoveTo(270, 120);
  EXPECT_EQ(m_button->ButtonState() & kStateHot, 0u);
  Log notes = m_host.TakeNotes();
  EXPECT_EQ(Count(notes, L"mouseenter:ok"), 1);
  EXPECT_EQ(Count(notes, L"mouseleave:ok"), 1);
  EXPECT_EQ(Count(notes, L"mouseenter:other"), 1);
}

TEST_F(ButtonTest, EachStateShowsItsImage) {
  m_button->ApplyAttribute(L"normalimage", Png(L"n.png", TRgbaImage(4, 4, kNormal)).c_str());
  m_button->ApplyAttribute(L"hotimage", Png(L"h.png", TRgbaImage(4, 4, kHot)).c_str());
  m_button->ApplyAttribute(L"pushedimage", Png(L"p.png", TRgbaImage(4, 4, kPushed)).c_str());
  m_button->ApplyAttribute(L"focusedimage", Png(L"f.png", TRgbaImage(4, 4, kFocused)).c_str());
  m_button->ApplyAttribute(L"disabledimage", Png(L"d.png", TRgbaImage(4, 4, kDisabled)).c_str());
  EXPECT_EQ(CentrePixel(), kNormal & 0xFFFFFF);
  m_host.MoveTo(150, 120);
  EXPECT_EQ(CentrePixel(), kHot & 0xFFFFFF);
  m_host.Press(150, 120);
  EXPECT_EQ(CentrePixel(), kPushed & 0xFFFFFF);
  m_host.Release(150, 120);
  m_host.MoveTo(10, 10);
  EXPECT_EQ(CentrePixel(), kFocused & 0xFFFFFF);
  m_button->SetEnabled(false);
  EXPECT_EQ(CentrePixel(), kDisabled & 0xFFFFFF);
}

TEST_F(ButtonTest, FiveStateImageSplitsIntoFifths) {
  TRgbaImage strip(50, 10, kNormal);
  strip.FillRect(10, 0, 20, 10, kPushed);
  strip.FillRect(20, 0, 30, 10, kHot);
  strip.FillRect(30, 0, 40, 10, kFocused);
  strip.FillRect(40, 0, 50, 10, kDisabled);
  m_button->ApplyAttribute(L"fivestatusimage", Png(L"five.png", strip).c_str());
  EXPECT_EQ(CentrePixel(), kNormal & 0xFFFFFF);
  m_host.MoveTo(150, 120);
  EXPECT_EQ(CentrePixel(), kHot & 0xFFFFFF);
  m_host.Press(150, 120);
  EXPECT_EQ(CentrePixel(), kPushed & 0xFFFFFF);
  m_host.Release(150, 120);
  m_button->SetEnabled(false);
  EXPECT_EQ(CentrePixel(), kDisabled & 0xFFFFFF);
}

TEST_F(ButtonTest, HotTextAndBackgroundColours) {
  m_button->ApplyAttribute(L"hotbkcolor", L"#FF00FF00");
  m_button->ApplyAttribute(L"focusedbkcolor", L"#FF0000FF");
  EXPECT_EQ(CentrePixel(), 0xFFFFFFu);
  m_host.MoveTo(150, 120);
  EXPECT_EQ(CentrePixel(), 0x00FF00u);
  m_host.Click(150, 120);
  m_host.MoveTo(10, 10);
  EXPECT_EQ(CentrePixel(), 0x0000FFu);
}

TEST_F(ButtonTest, FadeDeltaFadesTheHotImageInOverFiveTicks) {
  m_button->ApplyAttribute(L"fadedelta", L"51");
  m_host.MoveTo(150, 120);
  std::vector<int> alphas;
  ASSERT_TRUE(testing_support::WaitFor(
      [&] {
        if (alphas.empty() || alphas.back() != m_button->FadeAlpha()) alphas.push_back(m_button->FadeAlpha());
        return m_button->FadeAlpha() == 0;
      },
      3000));
  // Polling may miss a tick on a loaded machine; the steps it saw are multiples of 51.
  for (int a : alphas) EXPECT_EQ(a % 51, 0) << a;
  m_host.MoveTo(10, 10);
  ASSERT_TRUE(testing_support::WaitFor([&] { return m_button->FadeAlpha() == 255; }, 3000));
  ::Sleep(100);
  ui_testing::PumpMessages();
  EXPECT_EQ(m_button->FadeAlpha(), 255);
}

// A button whose storage is kept (filled with a marker) after deletion, so that a write to a deleted
// button shows.
class CKeptButton : public CButtonUI {
 public:
  static void operator delete(void* p, size_t size) {
    std::memset(p, 0xDD, size);
    graveyard.push_back({p, size});
  }
  static std::vector<std::pair<void*, size_t>> graveyard;
};
std::vector<std::pair<void*, size_t>> CKeptButton::graveyard;

class CDeleteOnClick : public INotifyUI {
 public:
  CDeleteOnClick(ui_testing::CFixedBox* box) : m_box(box) {}
  void OnNotification(TNotifyMsg& msg) override {
    if (msg.type != L"click" || !msg.sender) return;
    m_box->Remove(msg.sender);
    delete msg.sender;
  }

 private:
  ui_testing::CFixedBox* m_box;
};

TEST_F(ButtonTest, ClickHandlerMayDeleteTheButton) {
  auto* doomed = m_host.root->Add(new CKeptButton, RECT{10, 10, 60, 40});
  doomed->SetName(L"doomed");
  CDeleteOnClick deleter(m_host.root);
  m_host.Manager().AddListener(&deleter);
  m_host.Click(30, 20);
  m_host.Manager().RemoveListener(&deleter);
  ASSERT_EQ(CKeptButton::graveyard.size(), 1u);
  auto* bytes = static_cast<unsigned char*>(CKeptButton::graveyard[0].first);
  size_t touched = 0;
  for (size_t i = 0; i < CKeptButton::graveyard[0].second; ++i) touched += bytes[i] != 0xDD;
  EXPECT_EQ(touched, 0u);
  ::operator delete(CKeptButton::graveyard[0].first);
  CKeptButton::graveyard.clear();
  m_host.MoveTo(30, 20);
  EXPECT_EQ(m_host.Manager().ControlAt(POINT{30, 20}), m_host.root);
}

}  // namespace
