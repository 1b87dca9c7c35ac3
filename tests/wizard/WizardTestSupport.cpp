#include "tests/wizard/WizardTestSupport.h"

#include <algorithm>

#include <stb_image_write.h>

#include <cstring>
#include <memory>
#include <vector>

#include "setup/Startup.h"
#include "tests/support/TestSupport.h"
#include "ui/controls/ControlUI.h"

namespace wizard_test {

bool RegisterTestSkin() {
  static const bool registered = [] {
    HMODULE module = ::GetModuleHandleW(nullptr);
    SkinUI::CWindowManagerUI::SetModuleInstance(module);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(kSkinResourceId), kSkinResourceType);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    return bytes && size && SkinUI::CWindowManagerUI::RegisterSkinArchive(bytes, size, kSkinArchivePassword);
  }();
  return registered;
}

SkinUI::CControlUI* Control(SkinUI::CWindowManagerUI& manager, const wchar_t* name) {
  return manager.ControlByName(name);
}

POINT CentreOf(SkinUI::CWindowManagerUI& manager, const wchar_t* name) {
  SkinUI::CControlUI* control = manager.ControlByName(name);
  if (!control) return POINT{-1, -1};
  const RECT& r = control->GetPos();
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void PostClick(HWND window, POINT client) {
  // The real pointer goes there too: left elsewhere, Wine may send the window a real mouse-leave
  // between the posted press and release, and the click would be lost.
  POINT screen = client;
  ::ClientToScreen(window, &screen);
  ::SetCursorPos(screen.x, screen.y);
  const LPARAM at = MAKELPARAM(client.x, client.y);
  ::PostMessageW(window, WM_MOUSEMOVE, 0, at);
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(window, WM_LBUTTONUP, 0, at);
}

bool PostClickOn(HWND window, SkinUI::CWindowManagerUI& manager, const wchar_t* name) {
  const POINT centre = CentreOf(manager, name);
  if (centre.x < 0) return false;
  PostClick(window, centre);
  return true;
}

void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  testing_support::WaitFor([&] { return ::GetTickCount() - start >= ms; }, ms + 1000);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) { return testing_support::WaitFor(done, timeoutMs); }

namespace {

struct TWatch {
  std::wstring className;
  std::function<void(HWND)> action;
  DWORD deadline;
  UINT_PTR timer;
};
std::vector<std::unique_ptr<TWatch>> g_watches;

void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR id, DWORD) {
  for (auto it = g_watches.begin(); it != g_watches.end(); ++it) {
    TWatch& watch = **it;
    if (watch.timer != id) continue;
    HWND found = ::FindWindowW(watch.className.c_str(), nullptr);
    // Ready once painted: the first paint lays the window out (and a box centres itself then);
    // a click posted before it would find no button under it.
    const bool ready = found && ::IsWindowVisible(found) && !::GetUpdateRect(found, nullptr, FALSE);
    if (!ready && ::GetTickCount() < watch.deadline) return;
    ::KillTimer(nullptr, id);
    std::unique_ptr<TWatch> done = std::move(*it);
    g_watches.erase(it);
    if (ready) done->action(found);
    return;
  }
}

}  // namespace

namespace {

struct TBoxClick {
  HWND box;
  POINT at;
  int attemptsLeft;
};
std::vector<TBoxClick> g_boxClicks;

void CALLBACK OnBoxClickTimer(HWND, UINT, UINT_PTR id, DWORD) {
  for (TBoxClick& click : g_boxClicks) {
    if (click.attemptsLeft <= 0 || !::IsWindow(click.box) || !::IsWindowVisible(click.box)) {
      click.attemptsLeft = 0;
      continue;
    }
    --click.attemptsLeft;
    PostClick(click.box, click.at);
  }
  g_boxClicks.erase(std::remove_if(g_boxClicks.begin(), g_boxClicks.end(),
                                   [](const TBoxClick& c) { return c.attemptsLeft <= 0; }),
                    g_boxClicks.end());
  if (g_boxClicks.empty()) ::KillTimer(nullptr, id);
}

}  // namespace

void ClickBoxButton(HWND box, POINT client) {
  PostClick(box, client);
  if (g_boxClicks.empty()) ::SetTimer(nullptr, 0, 300, &OnBoxClickTimer);
  g_boxClicks.push_back(TBoxClick{box, client, 20});
}

void WhenWindowAppears(const wchar_t* className, std::function<void(HWND)> action, DWORD timeoutMs) {
  auto watch = std::make_unique<TWatch>(TWatch{className, std::move(action), ::GetTickCount() + timeoutMs, 0});
  watch->timer = ::SetTimer(nullptr, 0, 50, &OnWatchTimer);
  g_watches.push_back(std::move(watch));
}

bool SaveScreenshot(HWND window, const std::wstring& name) {
  RECT r = {};
  if (!::IsWindowVisible(window) || !::GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  // What the person sees: the screen under the window, layered windows included.
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
  const auto* bgra = static_cast<const unsigned char*>(bits);
  for (size_t i = 0; bits && i < rgba.size(); i += 4) {
    rgba[i] = bgra[i + 2];
    rgba[i + 1] = bgra[i + 1];
    rgba[i + 2] = bgra[i];
    rgba[i + 3] = 255;
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  if (!bits) return false;
  const std::wstring folder = testing_support::EnvironmentPath("TOVIK_BINARY_DIR") + L"\\screenshots";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  std::string encoded;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
      },
      &encoded, width, height, 4, rgba.data(), width * 4);
  return !encoded.empty() &&
         testing_support::WriteFileBytes(folder + L"\\" + name + L".png", encoded);
}

}  // namespace wizard_test
