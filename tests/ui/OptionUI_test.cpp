#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/OptionUI.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WriteFileBytes;
using ui_testing::CCanvas;
using ui_testing::CControlHost;
using ui_testing::Log;
using ui_testing::TRgbaImage;

namespace {

// Three options of group "g" side by side, a check box and an option without a group.
class OptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      m_group[i] = m_host.root->Add(new COptionUI, RECT{10 + 60 * i, 10, 60 + 60 * i, 40});
      m_group[i]->SetName((L"o" + std::to_wstring(i + 1)).c_str());
      m_group[i]->ApplyAttribute(L"group", L"g");
    }
    m_check = m_host.root->Add(new CCheckBoxUI, RECT{10, 100, 60, 130});
    m_check->SetName(L"check");
    m_loose = m_host.root->Add(new COptionUI, RECT{100, 100, 150, 130});
    m_loose->SetName(L"loose");
    ASSERT_TRUE(m_host.Open());
  }
  std::wstring Png(const wchar_t* name, DWORD color) {
    std::wstring path = m_folder / name;
    EXPECT_TRUE(WriteFileBytes(path, ui_testing::EncodePng(TRgbaImage(4, 4, color))));
    return path;
  }

  CTempFolder m_folder;
  CControlHost m_host;
  COptionUI* m_group[3] = {};
  CCheckBoxUI* m_check = nullptr;
  COptionUI* m_loose = nullptr;
};

TEST_F(OptionTest, SelectingOneOfAGroupClearsTheOthersSilently) {
  m_group[0]->SetSelected(true, false);
  m_host.TakeNotes();
  m_host.Click(85, 20);
  Log expected = {L"click:o2", L"selectchanged:o2"};
  Log notes = m_host.TakeNotes();
  notes.erase(std::remove_if(notes.begin(), notes.end(),
                             [](const std::wstring& n) { return n.rfind(L"click", 0) && n.rfind(L"select", 0); }),
              notes.end());
  EXPECT_EQ(notes, expected);
  EXPECT_FALSE(m_group[0]->IsSelected());
  EXPECT_TRUE(m_group[1]->IsSelected());
  EXPECT_FALSE(m_group[2]->IsSelected());
  EXPECT_EQ(m_group[1]->ButtonState() & kStateSelected, kStateSelected);
  EXPECT_EQ(m_group[0]->ButtonState() & kStateSelected, 0u);

  m_host.Click(85, 20);
  notes = m_host.TakeNotes();
  EXPECT_EQ(std::count(notes.begin(), notes.end(), L"click:o2"), 1);
  EXPECT_EQ(std::count(notes.begin(), notes.end(), L"selectchanged:o2"), 0);
}

TEST_F(OptionTest, CheckBoxAndLooseOptionToggleOnEveryClick) {
  for (auto [option, x, name] : {std::tuple<COptionUI*, int, std::wstring>{m_check, 30, L"check"},
                                 std::tuple<COptionUI*, int, std::wstring>{m_loose, 120, L"loose"}}) {
    for (bool expected : {true, false, true}) {
      m_host.Click(x, 115);
      Log notes = m_host.TakeNotes();
      auto click = std::find(notes.begin(), notes.end(), L"click:" + name);
      auto changed = std::find(notes.begin(), notes.end(), L"selectchanged:" + name);
      ASSERT_NE(click, notes.end());
      ASSERT_NE(changed, notes.end());
      EXPECT_LT(click, changed);
      EXPECT_EQ(option->IsSelected(), expected);
    }
  }
  EXPECT_TRUE(m_check->IsChecked());
  EXPECT_NE(m_check->CastToInterface(L"Option"), nullptr);
  EXPECT_STREQ(m_check->ClassName(), L"CheckBox");
}

TEST_F(OptionTest, SetSelectedNotifiesOnlyWhenAsked) {
  m_group[0]->SetSelected(true, false);
  EXPECT_TRUE(m_host.TakeNotes().empty());
  m_group[1]->SetSelected(true, true);
  Log notes = m_host.TakeNotes();
  EXPECT_EQ(notes, Log{L"selectchanged:o2"});
  m_group[1]->SetSelected(true, true);
  m_group[1]->SetSelected(false, true);  // a deselected grouped option says nothing
  EXPECT_TRUE(m_host.TakeNotes().empty());
}

TEST_F(OptionTest, GroupChangesAndDestructionKeepTheGroupListRight) {
  CPtrArrayUI* members = m_host.Manager().OptionGroupMembers(L"g");
  ASSERT_NE(members, nullptr);
  EXPECT_EQ(members->Count(), 3);
  m_group[2]->SetGroupName(L"h");
  EXPECT_EQ(m_host.Manager().OptionGroupMembers(L"g")->Count(), 2);
  EXPECT_EQ(m_host.Manager().OptionGroupMembers(L"h")->Count(), 1);
  m_host.root->Remove(m_group[2]);
  delete m_group[2];
  EXPECT_EQ(m_host.Manager().OptionGroupMembers(L"h"), nullptr);
  m_group[0]->SetSelected(true, true);  // walks the group: must not reach the deleted option
  EXPECT_TRUE(m_group[0]->IsSelected());
}

TEST_F(OptionTest, DisablingKeepsOnlyTheSelectedBit) {
  m_host.MoveTo(30, 20);
  m_host.Click(30, 20);
  ASSERT_NE(m_group[0]->ButtonState() & kStateHot, 0u);
  m_group[0]->SetEnabled(false);
  EXPECT_EQ(m_group[0]->ButtonState(), static_cast<UINT>(kStateSelected));
  m_group[1]->SetEnabled(false);
  EXPECT_EQ(m_group[1]->ButtonState(), 0u);
}

TEST_F(OptionTest, PaintsSelectedImageAndNeverThePushedOne) {
  COptionUI* o = m_group[0];
  o->ApplyAttribute(L"normalimage", Png(L"n.png", 0xFFFF0000).c_str());
  o->ApplyAttribute(L"pushedimage", Png(L"p.png", 0xFF0000FF).c_str());
  o->ApplyAttribute(L"selectedimage", Png(L"s.png", 0xFF00FF00).c_str());
  CCanvas canvas(400, 300);
  m_host.Press(30, 20);
  m_host.PaintOnto(o, canvas);
  EXPECT_EQ(canvas.Rgb(30, 20), 0xFF0000u);
  m_host.Release(30, 20);
  m_host.PaintOnto(o, canvas);
  EXPECT_EQ(canvas.Rgb(30, 20), 0x00FF00u);
  m_group[1]->ApplyAttribute(L"selectedbkcolor", L"#FF00FFFF");
  m_group[1]->SetSelected(true, false);
  m_host.PaintOnto(m_group[1], canvas);
  EXPECT_EQ(canvas.Rgb(85, 20), 0x00FFFFu);
}

TEST_F(OptionTest, SelectedTextColourAppliesOnlyWhileSelected) {
  COptionUI* o = m_loose;
  o->ApplyAttribute(L"textcolor", L"#FF0000FF");
  o->ApplyAttribute(L"selectedtextcolor", L"#FFFF0000");
  o->SetSelected(true, false);
  o->SetText(L"MMM");
  auto countColor = [&](DWORD rgb) {
    CCanvas canvas(400, 300);
    m_host.PaintOnto(o, canvas);
    int n = 0;
    for (int y = 100; y < 130; ++y)
      for (int x = 100; x < 150; ++x) n += canvas.Rgb(x, y) == rgb;
    return n;
  };
  EXPECT_GT(countColor(0xFF0000), 3);
  EXPECT_EQ(countColor(0x0000FF), 0);
  o->SetSelected(false, false);
  EXPECT_GT(countColor(0x0000FF), 3);
  EXPECT_EQ(countColor(0xFF0000), 0);
  EXPECT_EQ(o->NormalTextColor(), 0xFF0000FFu);
}

}  // namespace
