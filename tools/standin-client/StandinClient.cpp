// A stand-in for the product client ("tvgate.exe"): a small window that shows how it was started and
// what the setup left for it in "local.cfg" and "setup.ini". It also records its command line in
// "tvgate-started.txt" beside itself, so that automated runs can tell it was started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring Profile(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[1024] = {};
  ::GetPrivateProfileStringW(section, key, L"(未设置)", value, 1024, file.c_str());
  return value;
}

std::wstring Arguments() {
  std::wstring line = ::GetCommandLineW();
  // Skip the program name, quoted or not.
  size_t end = line[0] == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
  if (end == std::wstring::npos || end >= line.size()) return std::wstring();
  size_t start = line.find_first_not_of(L' ', end);
  return start == std::wstring::npos ? std::wstring() : line.substr(start);
}

void RecordStart(const std::wstring& folder, const std::wstring& arguments) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, arguments.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n > 0 ? n : 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, arguments.c_str(), -1, &utf8[0], n, nullptr, nullptr);
  FILE* f = _wfopen((folder + L"\\tvgate-started.txt").c_str(), L"wb");
  if (!f) return;
  fputs(utf8.c_str(), f);
  fclose(f);
}

std::wstring g_report;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(window, &ps);
      RECT rc;
      ::GetClientRect(window, &rc);
      HBRUSH background = ::CreateSolidBrush(RGB(0x1F, 0x1A, 0x40));
      ::FillRect(dc, &rc, background);
      ::DeleteObject(background);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, RGB(0xF2, 0xF0, 0xFA));
      HFONT font = ::CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                 L"Microsoft YaHei");
      HGDIOBJ old = ::SelectObject(dc, font);
      ::InflateRect(&rc, -24, -24);
      ::DrawTextW(dc, g_report.c_str(), -1, &rc, DT_LEFT | DT_TOP | DT_WORDBREAK);
      ::SelectObject(dc, old);
      ::DeleteObject(font);
      ::EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  std::wstring folder = OwnFolder();
  std::wstring arguments = Arguments();
  RecordStart(folder, arguments);
  std::wstring config = folder + L"\\local.cfg";
  std::wstring record = folder + L"\\setup.ini";
  g_report = L"岚鹊加速器（演示客户端）\n\n";
  g_report += L"启动参数：" + (arguments.empty() ? std::wstring(L"(无)") : arguments) + L"\n";
  g_report += arguments == L"-install" ? L"由安装向导启动（-install）\n\n" : L"\n";
  g_report += L"local.cfg  lang = " + Profile(config, L"config", L"lang") + L"\n";
  g_report += L"local.cfg  powerup = " + Profile(config, L"config", L"powerup") + L"\n";
  g_report += L"setup.ini  packpath = " + Profile(record, L"tovik", L"packpath") + L"\n";

  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"TovikStandinClient";
  ::RegisterClassW(&wc);
  HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"岚鹊加速器", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 320, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ::ShowWindow(window, show);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
