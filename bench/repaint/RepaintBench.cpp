// Paints a typical wizard page (800x550) through the control tree into a memory DC many times and
// prints the median time per frame, beside the same picture drawn with direct GDI calls.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include "ui/controls/ControlUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/WindowManagerUI.h"

using namespace SkinUI;

namespace {

constexpr int kWidth = 800, kHeight = 550, kFrames = 200;

bool WritePng(const std::wstring& path, int w, int h, DWORD (*colour)(int x, int y, int w, int h)) {
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      DWORD c = colour(x, y, w, h);
      unsigned char* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      p[0] = (c >> 16) & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = c & 0xFF;
      p[3] = c >> 24;
    }
  std::string bytes;
  stbi_write_png_to_func([](void* ctx, void* data, int size) { static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size); },
                         &bytes, w, h, 4, rgba.data(), w * 4);
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  ::CloseHandle(file);
  return ok;
}

DWORD Background(int x, int y, int w, int h) {
  return 0xFF000000 | ((x * 255 / w) << 16) | ((y * 255 / h) << 8) | 0x80;
}
DWORD Button(int x, int y, int w, int h) {
  bool edge = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
  return edge ? 0xC0204080 : 0xFF3070C0;
}

class CLabel : public CControlUI {
 public:
  void PaintText(HDC dc) override {
    RECT rc = m_item;
    CRenderer::DrawPlainText(dc, m_manager, rc, m_text, 0xFF202020, -1, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  }
};

class CPanel : public CControlUI {
 public:
  ~CPanel() override {
    for (CControlUI* c : children) delete c;
  }
  void BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init) override {
    for (CControlUI* c : children) c->BindToManager(manager, this, init);
    CControlUI::BindToManager(manager, parent, init);
  }
  void SetPos(RECT rc, bool invalidate) override {
    CControlUI::SetPos(rc, invalidate);
    for (size_t i = 0; i < children.size(); ++i) children[i]->SetPos(places[i], false);
  }
  bool Paint(HDC dc, const RECT& paint, CControlUI* stop) override {
    if (!CControlUI::Paint(dc, paint, stop)) return false;
    for (CControlUI* c : children)
      if (!c->Paint(dc, paint, stop)) return false;
    return true;
  }
  void Add(CControlUI* c, RECT place) {
    children.push_back(c);
    places.push_back(place);
  }
  std::vector<CControlUI*> children;
  std::vector<RECT> places;
};

struct Page {
  std::wstring background, button;
};

CPanel* BuildTree(const Page& page) {
  auto* root = new CPanel;
  root->ApplyAttribute(L"bkimage", (L"file='" + page.background + L"' source='0,0,800,550'").c_str());
  auto* panel = new CPanel;
  panel->ApplyAttribute(L"bkcolor", L"#FFF0F4FA");
  panel->ApplyAttribute(L"bkcolor2", L"#FFD0DCEE");
  panel->ApplyAttribute(L"bordersize", L"1");
  panel->ApplyAttribute(L"bordercolor", L"#FF8090A0");
  root->Add(panel, RECT{40, 120, 760, 420});
  for (int i = 0; i < 8; ++i) {
    auto* label = new CLabel;
    label->SetText((L"安装选项 Install option line " + std::to_wstring(i + 1)).c_str());
    panel->Add(label, RECT{60, 130 + i * 34, 740, 160 + i * 34});
  }
  for (int i = 0; i < 4; ++i) {
    auto* button = new CLabel;
    button->ApplyAttribute(L"bkimage", (L"file='" + page.button + L"' corner='4,4,4,4'").c_str());
    button->SetText(L"  立即安装");
    root->Add(button, RECT{80 + i * 170, 460, 220 + i * 170, 500});
  }
  auto* title = new CLabel;
  title->SetText(L"岚鹊加速器 安装向导");
  root->Add(title, RECT{20, 10, 400, 40});
  return root;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart * 1000.0 / frequency.QuadPart;
}

// The same picture with direct GDI calls: one blit, one blend per button, fills and DrawTextW.
void PaintDirect(HDC dc, HDC background, HDC button, HFONT font) {
  ::BitBlt(dc, 0, 0, kWidth, kHeight, background, 0, 0, SRCCOPY);
  TRIVERTEX v[2] = {{40, 120, 0xF000, 0xF400, 0xFA00, 0xFF00}, {760, 420, 0xD000, 0xDC00, 0xEE00, 0xFF00}};
  GRADIENT_RECT g = {0, 1};
  ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
  ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < 8; ++i) {
    RECT rc = {60, 130 + i * 34, 740, 160 + i * 34};
    std::wstring text = L"安装选项 Install option line " + std::to_wstring(i + 1);
    ::DrawTextW(dc, text.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (int i = 0; i < 4; ++i) {
    ::AlphaBlend(dc, 80 + i * 170, 460, 140, 40, button, 0, 0, 90, 30, blend);
    RECT rc = {80 + i * 170, 460, 220 + i * 170, 500};
    ::DrawTextW(dc, L"  立即安装", -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  RECT title = {20, 10, 400, 40};
  ::DrawTextW(dc, L"岚鹊加速器 安装向导", -1, &title, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::wstring folder = argv[1];
  Page page{folder + L"\\background.png", folder + L"\\button.png"};
  if (!WritePng(page.background, kWidth, kHeight, Background) || !WritePng(page.button, 90, 30, Button)) {
    std::printf("cannot write images\n");
    return 1;
  }
  CWindowManagerUI manager;
  CPanel* root = BuildTree(page);
  manager.AdoptControls(root, nullptr);
  RECT all = {0, 0, kWidth, kHeight};
  root->SetPos(all, false);

  HDC screen = ::GetDC(nullptr);
  BYTE* targetBits = nullptr;
  HBITMAP target = CRenderer::CreateArgbBitmap(screen, kWidth, kHeight, &targetBits);
  HDC dc = ::CreateCompatibleDC(screen);
  ::SelectObject(dc, target);
  std::vector<double> ours, direct;
  for (int i = 0; i < kFrames; ++i) {
    double start = NowMs();
    root->Paint(dc, all, nullptr);
    ::GdiFlush();
    ours.push_back(NowMs() - start);
  }
  // The last frame, for a look at what was measured.
  std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const BYTE* p = targetBits + (static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4;
      unsigned char* q = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
      q[3] = 255;
    }
  std::string frame;
  stbi_write_png_to_func([](void* ctx, void* data, int size) { static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size); },
                         &frame, kWidth, kHeight, 4, rgba.data(), kWidth * 4);
  HANDLE file = ::CreateFileW((folder + L"\\frame.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(file, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr);
    ::CloseHandle(file);
  }
  TImageInfo* background = manager.ImageByName(page.background.c_str());
  TImageInfo* button = manager.ImageByName(page.button.c_str());
  if (!background || !button) {
    std::printf("images did not load\n");
    return 1;
  }
  HDC backgroundDC = ::CreateCompatibleDC(screen);
  ::SelectObject(backgroundDC, background->bitmap);
  HDC buttonDC = ::CreateCompatibleDC(screen);
  ::SelectObject(buttonDC, button->bitmap);
  for (int i = 0; i < kFrames; ++i) {
    double start = NowMs();
    PaintDirect(dc, backgroundDC, buttonDC, manager.FontById(-1));
    ::GdiFlush();
    direct.push_back(NowMs() - start);
  }
  double oursMs = Median(ours), directMs = Median(direct);
  std::printf("BENCH repaint ms=%.3f ratio=%.2f direct_gdi_ms=%.3f frames=%d size=%dx%d\n", oursMs,
              directMs > 0 ? oursMs / directMs : 0.0, directMs, kFrames, kWidth, kHeight);
  ::DeleteDC(backgroundDC);
  ::DeleteDC(buttonDC);
  ::DeleteDC(dc);
  ::DeleteObject(target);
  ::ReleaseDC(nullptr, screen);
  delete root;
  return 0;
}
