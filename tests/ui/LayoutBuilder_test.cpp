#include <gtest/gtest.h>

#include <windows.h>

#include <stb_image.h>

#include <map>
#include <string>

#include "tests/archive/ZipTestArchive.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/LayoutUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/LayoutBuilder.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WriteFileBytes;

namespace {

// A control of the callback's own, counting the live ones so that leaks show.
class CCounted : public CControlUI {
 public:
  CCounted() { ++live; }
  ~CCounted() override { --live; }
  const wchar_t* ClassName() const override { return L"Counted"; }
  static int live;
};
int CCounted::live = 0;

struct Callback : IBuilderCallback {
  CControlUI* CreateCustomControl(const wchar_t* tag) override {
    asked[tag]++;
    return wcscmp(tag, L"Counted") == 0 ? new CCounted() : nullptr;
  }
  std::map<std::wstring, int> asked;
};

class CBareWindow : public CWindowWnd {
 public:
  ~CBareWindow() {
    if (Handle()) ::DestroyWindow(Handle());
  }
  const wchar_t* WindowClassName() const override { return L"TovikBuilderTest"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE) manager.Attach(Handle(), L"builder");
    LRESULT result = 0;
    if (manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
  }
  CWindowManagerUI manager;
};

class LayoutBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetSkinFolder((m_folder.Path() + L"\\").c_str());
    ASSERT_TRUE(m_window.Create(nullptr, L"builder test", WS_POPUP, 0, 0, 0, 100, 100));
    CCounted::live = 0;
  }
  void TearDown() override { CWindowManagerUI::SetSkinFolder(L""); }
  void Write(const wchar_t* name, const std::string& text) { ASSERT_TRUE(WriteFileBytes(m_folder / name, text)); }
  CWindowManagerUI& Manager() { return m_window.manager; }

  CTempFolder m_folder;
  CBareWindow m_window;
  Callback m_callback;
};

std::string RedPng() {
  ui_testing::TRgbaImage image(4, 4, 0xFFFF0000);
  return ui_testing::EncodePng(image);
}

}  // namespace

TEST_F(LayoutBuilderTest, BuildsAWholeWindowWithResourcesIncludesAndDefaults) {
  Write(L"red.png", RedPng());
  Write(L"row.xml", "<Rows><HorizontalLayout height=\"10\"><Control name=\"cell\"/></HorizontalLayout></Rows>");
  Write(L"main.xml",
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<Window size=\"300,200\" caption=\"0,0,0,30\">\n"
        " <Font id=\"1\" name=\"Arial\" size=\"15\" bold=\"true\" default=\"true\"/>\n"
        " <Font name=\"Tahoma\" size=\"30\" default=\"true\"/>\n"
        " <Image name=\"red.png\"/>\n"
        " <Default name=\"Control\" value=\"bkcolor=&quot;#FF00FF00&quot; height=&quot;20&quot;\"/>\n"
        " <MultiLanguage id=\"7\" value=\"页面\"/>\n"
        " <VerticalLayout name=\"root\">\n"
        "  <Control name=\"first\"/>\n"
        "  <Control name=\"second\" height=\"40\" bkcolor=\"#FFFF0000\"/>\n"
        "  <Include source=\"row.xml\" count=\"3\"/>\n"
        "  <Control name=\"covered\"><Control name=\"cover\" cover=\"true\"/></Control>\n"
        "  <Mystery><Control name=\"lost\"/></Mystery>\n"
        " </VerticalLayout>\n"
        "</Window>\n");
  CLayoutBuilder builder;
  CControlUI* root = builder.Create(L"main.xml", nullptr, &m_callback, &Manager(), nullptr);
  ASSERT_NE(root, nullptr) << builder.ErrorMessage().c_str();
  EXPECT_FALSE(builder.Failed());
  EXPECT_EQ(Manager().InitialSize().cx, 300);
  RECT window;
  ::GetWindowRect(m_window.Handle(), &window);
  EXPECT_EQ(window.right - window.left, 300);  // resized before any control existed
  EXPECT_EQ(Manager().CaptionRect().bottom, 30);
  EXPECT_NE(Manager().FontById(1), nullptr);
  EXPECT_STREQ(Manager().BaseFontRecord()->faceName.c_str(), L"Arial");  // the id-less font registered nothing
  EXPECT_NE(Manager().ImageByName(L"red.png"), nullptr);
  EXPECT_STREQ(CWindowManagerUI::LanguageText(7), L"页面");
  EXPECT_EQ(m_callback.asked[L"Mystery"], 1);
  EXPECT_EQ(m_callback.asked.count(L"Control"), 0u);

  Manager().SetRoot(root);
  auto* layout = static_cast<IContainerUI*>(root->CastToInterface(L"IContainer"));
  ASSERT_NE(layout, nullptr);
  EXPECT_STREQ(root->ClassName(), L"VerticalLayout");
  ASSERT_EQ(layout->ItemCount(), 6);  // first, second, three rows, covered
  CControlUI* first = Manager().ControlByName(L"first");
  CControlUI* second = Manager().ControlByName(L"second");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->GetFixedHeight(), 20);
  EXPECT_EQ(static_cast<CControlUI*>(first)->BackColor(), 0xFF00FF00u);
  EXPECT_EQ(second->GetFixedHeight(), 40);
  EXPECT_EQ(second->BackColor(), 0xFFFF0000u);
  for (int i = 2; i < 5; ++i) EXPECT_STREQ(layout->ItemAt(i)->ClassName(), L"HorizontalLayout");
  CControlUI* covered = Manager().ControlByName(L"covered");
  ASSERT_NE(covered, nullptr);
  ASSERT_NE(covered->CoverControl(), nullptr);
  EXPECT_EQ(covered->CoverControl()->GetName(), L"cover");
  EXPECT_EQ(layout->IndexOfItem(covered->CoverControl()), -1);
  EXPECT_EQ(Manager().ControlByName(L"lost"), nullptr);
}

TEST_F(LayoutBuilderTest, RootOfAnotherNameAppliesNoWindowAttributes) {
  CLayoutBuilder builder;
  CControlUI* root = builder.Create(L"<Page size=\"50,60\"><Control name=\"c\"/></Page>", nullptr, nullptr,
                                    &Manager(), nullptr);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Manager().InitialSize().cx, 0);
  delete root;
}

TEST_F(LayoutBuilderTest, EveryTagOfTheTableBuildsAClassThatAnswersItsName) {
  int rows = 0;
  for (const TControlTag* row = ControlTagTable(); row->tag; ++row, ++rows) {
    CControlUI* control = CreateControlForTag(row->tag);
    ASSERT_NE(control, nullptr) << row->tag;
    EXPECT_EQ(control->CastToInterface(control->ClassName()), control) << row->tag;
    control->ApplyAttribute(L"somethingnew", L"1");  // accepted, kept as a custom attribute
    EXPECT_STREQ(control->ExtraAttribute(L"somethingnew"), L"1") << row->tag;
    delete control;
  }
  EXPECT_GT(rows, 20);
  EXPECT_NE(CreateControlForTag(L"vbox"), nullptr);  // without regard to case
  EXPECT_EQ(CreateControlForTag(L"Nothing"), nullptr);
}

TEST_F(LayoutBuilderTest, FailedBuildTakesBackWhatItMadeAndSaysWhy) {
  const struct {
    const char* what;
    std::map<std::wstring, std::string> files;
  } cases[] = {
      {"self include", {{L"main.xml", "<W><Counted/><Include source=\"main.xml\"/></W>"}}},
      {"cycle A-B-A",
       {{L"main.xml", "<W><Include source=\"a.xml\"/></W>"},
        {L"a.xml", "<W><Counted/><VBox><Counted/></VBox><Include source=\"b.xml\"/></W>"},
        {L"b.xml", "<W><Counted/><Include source=\"A.XML\"/></W>"}}},
      {"missing include", {{L"main.xml", "<W><Counted/><Include source=\"gone.xml\"/></W>"}}},
      {"broken include", {{L"main.xml", "<W><Counted/><Include source=\"bad.xml\"/></W>"}, {L"bad.xml", "<W><Control"}}},
      {"control that holds no children",
       {{L"main.xml", "<W><Counted/><VBox><Counted/><Control><Counted/></Control></VBox></W>"}}},
  };
  for (const auto& c : cases) {
    for (const auto& file : c.files) Write(file.first.c_str(), file.second);
    CContainerUI parent;
    parent.Add(new CControlUI());
    CLayoutBuilder builder;
    EXPECT_EQ(builder.Create(L"main.xml", nullptr, &m_callback, &Manager(), &parent), nullptr) << c.what;
    EXPECT_TRUE(builder.Failed()) << c.what;
    EXPECT_EQ(parent.ItemCount(), 1) << c.what;
    EXPECT_EQ(CCounted::live, 0) << c.what;
  }
}

TEST_F(LayoutBuilderTest, IncludeDepthAndCountAreCapped) {
  for (int i = 0; i < 40; ++i) {
    Write((L"d" + std::to_wstring(i) + L".xml").c_str(),
          "<W><Include source=\"d" + std::to_string(i + 1) + ".xml\"/></W>");
  }
  CContainerUI parent;
  CLayoutBuilder deep;
  EXPECT_EQ(deep.Create(L"d0.xml", nullptr, &m_callback, &Manager(), &parent), nullptr);
  EXPECT_TRUE(deep.Failed());
  EXPECT_NE(deep.ErrorMessage().find(L"deeper"), std::wstring::npos);

  Write(L"one.xml", "<W><Counted/></W>");
  CLayoutBuilder many;
  many.Create(L"<W><Include source=\"one.xml\" count=\"2000000000\"/></W>", nullptr, &m_callback, &Manager(), &parent);
  EXPECT_FALSE(many.Failed());
  EXPECT_EQ(parent.ItemCount(), CLayoutBuilder::kMaxIncludeCount);
  EXPECT_EQ(CCounted::live, CLayoutBuilder::kMaxIncludeCount);
}

TEST_F(LayoutBuilderTest, MissingSkinFileGivesNullWithTheLoaderMessage) {
  CLayoutBuilder builder;
  EXPECT_EQ(builder.Create(L"nothing-here.xml", nullptr, nullptr, &Manager(), nullptr), nullptr);
  EXPECT_TRUE(builder.Failed());
  EXPECT_NE(builder.ErrorMessage().find(L"Error opening file"), std::wstring::npos);
}

namespace {
// Runs the preview tool and decodes its PNG; empty on failure.
struct Preview {
  int exitCode = -1;
  int width = 0, height = 0;
  std::string rgba;
  DWORD Rgb(int x, int y) const {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&rgba[(static_cast<size_t>(y) * width + x) * 4]);
    return (p[0] << 16) | (p[1] << 8) | p[2];
  }
};

Preview RunPreview(const std::wstring& arguments, const std::wstring& png) {
  Preview preview;
  std::wstring tool = testing_support::TestProgramFolder() + L"SkinPreview.exe";
  preview.exitCode = testing_support::RunAndWait(L"\"" + tool + L"\" " + arguments, 60000);
  std::string bytes = testing_support::ReadFileBytes(png);
  if (bytes.empty()) return preview;
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                                          &preview.width, &preview.height, &channels, 4);
  if (pixels) preview.rgba.assign(reinterpret_cast<char*>(pixels), static_cast<size_t>(preview.width) * preview.height * 4);
  stbi_image_free(pixels);
  return preview;
}
}  // namespace

TEST(SkinPreview, DrawsAWindowFromAnEncryptedSkinArchive) {
  CTempFolder folder;
  const char* password = "Qm7rTe2K";
  std::vector<zip_test::Entry> entries = {
      zip_test::File("skin/main.xml",
                     "<Window size=\"120,80\">"
                     " <Default name=\"Control\" value=\"bkcolor=&quot;#FF0000FF&quot;\"/>"
                     " <HorizontalLayout bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\" childpadding=\"20\">"
                     "  <Include source=\"skin/cell.xml\" count=\"2\"/>"
                     "  <Control bkimage=\"file='skin/red.png'\"/>"
                     " </HorizontalLayout>"
                     "</Window>"),
      zip_test::File("skin/cell.xml", "<Cell><VerticalLayout width=\"20\"><Control height=\"30\"/></VerticalLayout></Cell>"),
      zip_test::File("skin/red.png", RedPng(), 0),
  };
  for (auto& entry : entries) entry.password = password;
  std::wstring zip = folder / L"skin.zip", png = folder / L"out.png";
  ASSERT_TRUE(WriteFileBytes(zip, zip_test::Build(entries)));

  Preview ok = RunPreview(L"skin/main.xml \"" + png + L"\" --archive \"" + zip + L"\" --password " + L"Qm7rTe2K", png);
  ASSERT_EQ(ok.exitCode, 0);
  ASSERT_EQ(ok.width, 120);
  ASSERT_EQ(ok.height, 80);
  EXPECT_EQ(ok.Rgb(5, 5), 0xFFFFFFu);     // inset
  EXPECT_EQ(ok.Rgb(15, 15), 0x0000FFu);   // first cell, from the class default
  EXPECT_EQ(ok.Rgb(15, 50), 0xFFFFFFu);   // below the 30-high cell
  EXPECT_EQ(ok.Rgb(35, 15), 0xFFFFFFu);   // the child padding
  EXPECT_EQ(ok.Rgb(55, 15), 0x0000FFu);   // second cell
  EXPECT_EQ(ok.Rgb(100, 60), 0xFF0000u);  // the image stretched over the flexible control

  std::wstring bad = folder / L"bad.png";
  EXPECT_EQ(RunPreview(L"skin/main.xml \"" + bad + L"\" --archive \"" + zip + L"\" --password wrong", bad).exitCode, 2);
  EXPECT_EQ(RunPreview(L"skin/none.xml \"" + bad + L"\" --archive \"" + zip + L"\" --password Qm7rTe2K", bad).exitCode, 2);
  EXPECT_EQ(RunPreview(L"onlyone", bad).exitCode, 1);
  EXPECT_TRUE(testing_support::ReadFileBytes(bad).empty());
}
