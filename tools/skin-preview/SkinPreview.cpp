// Skin preview: builds a window from a skin markup file with the real layout builder and window
// manager, paints it into a memory bitmap and writes a PNG. Skin designers use it to see a layout
// without the wizard; the tests use it to check whole layouts by their pixels.
//
// usage: SkinPreview.exe <markup file> <output.png> [--folder <skin folder>]
//                        [--archive <skin.zip> --password <text>] [--size <width>,<height>]
// Exit codes: 0 written, 1 bad arguments, 2 skin could not be read or built, 3 PNG not written.
#include <windows.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/ScopedHandle.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/LayoutBuilder.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/SkinFiles.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace {

struct TOptions {
  std::wstring markup;
  std::wstring output;
  std::wstring folder;
  std::wstring archive;
  std::string password;
  SIZE size = {0, 0};
};

// A hidden window that only hosts the window manager, so that window attributes and fonts work.
class CPreviewWindow : public SkinUI::CWindowWnd {
 public:
  const wchar_t* WindowClassName() const override { return L"TovikSkinPreview"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    if (manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
  }
  SkinUI::CWindowManagerUI manager;
};

std::string Narrow(const std::wstring& text) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
  return out;
}

bool ParseArguments(int argc, wchar_t** argv, TOptions& options) {
  std::vector<std::wstring> positional;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == L"--folder" && hasValue) options.folder = argv[++i];
    else if (arg == L"--archive" && hasValue) options.archive = argv[++i];
    else if (arg == L"--password" && hasValue) options.password = Narrow(argv[++i]);
    else if (arg == L"--size" && hasValue) {
      if (swscanf(argv[++i], L"%ld,%ld", &options.size.cx, &options.size.cy) != 2) return false;
    } else if (arg.rfind(L"--", 0) == 0) return false;
    else positional.push_back(arg);
  }
  if (positional.size() != 2) return false;
  options.markup = positional[0];
  options.output = positional[1];
  if (!options.folder.empty() && options.folder.back() != L'\\' && options.folder.back() != L'/') options.folder += L'\\';
  return true;
}

bool WritePng(const std::wstring& path, HBITMAP bitmap, const BYTE* pixels, SIZE size) {
  // GDI leaves alpha undefined for most drawing: the preview is flattened onto opaque pixels.
  std::vector<unsigned char> rgba(static_cast<size_t>(size.cx) * size.cy * 4);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    rgba[i] = pixels[i + 2];
    rgba[i + 1] = pixels[i + 1];
    rgba[i + 2] = pixels[i];
    rgba[i + 3] = 255;
  }
  std::string bytes;
  auto sink = [](void* context, void* data, int n) { static_cast<std::string*>(context)->append(static_cast<char*>(data), n); };
  if (!stbi_write_png_to_func(sink, &bytes, size.cx, size.cy, 4, rgba.data(), size.cx * 4)) return false;
  CScopedFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Lays the tree out at the window size until nothing asks for another layout (bounded).
void LayOut(SkinUI::CControlUI* root, SkinUI::CWindowManagerUI& manager, SIZE size) {
  for (int pass = 0; pass < 4; ++pass) {
    root->SetPos(RECT{0, 0, size.cx, size.cy}, false);
    if (!manager.IsUpdateNeeded() && !root->IsUpdateNeeded()) break;
    manager.NeedUpdate();
  }
}

int Render(const TOptions& options) {
  CPreviewWindow window;
  if (!window.Create(nullptr, L"skin preview", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 800, 600)) {
    fwprintf(stderr, L"skin-preview: cannot create the host window\n");
    return 2;
  }
  window.manager.Attach(window.Handle(), L"preview");
  SkinUI::CLayoutBuilder builder;
  SkinUI::CControlUI* root = builder.Create(options.markup.c_str(), nullptr, nullptr, &window.manager, nullptr);
  if (!root) {
    fwprintf(stderr, L"skin-preview: %ls\n",
             builder.Failed() ? builder.ErrorMessage().c_str() : L"the markup holds no control");
    ::DestroyWindow(window.Handle());
    return 2;
  }
  window.manager.SetRoot(root);
  SIZE size = options.size;
  if (size.cx <= 0 || size.cy <= 0) size = window.manager.InitialSize();
  if (size.cx <= 0 || size.cy <= 0) size = SIZE{800, 600};
  LayOut(root, window.manager, size);

  BYTE* pixels = nullptr;
  HBITMAP bitmap = SkinUI::CRenderer::CreateTopDownBitmap(size.cx, size.cy, &pixels);
  int result = 3;
  if (bitmap && pixels) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, size.cx, size.cy};
    root->Paint(dc, all, nullptr);
    ::GdiFlush();
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    if (WritePng(options.output, bitmap, pixels, size)) result = 0;
    else fwprintf(stderr, L"skin-preview: cannot write %ls\n", options.output.c_str());
  }
  if (bitmap) ::DeleteObject(bitmap);
  ::DestroyWindow(window.Handle());
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  TOptions options;
  if (!ParseArguments(argc, argv, options)) {
    fwprintf(stderr,
             L"usage: SkinPreview <markup file> <output.png> [--folder <skin folder>] "
             L"[--archive <skin.zip> --password <text>] [--size <w>,<h>]\n");
    return 1;
  }
  SkinUI::CWindowManagerUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  if (!options.folder.empty()) SkinUI::CWindowManagerUI::SetSkinFolder(options.folder.c_str());
  // The archive's bytes stay alive for the whole run: the window manager reads from them in place.
  static std::string archiveBytes;
  if (!options.archive.empty()) {
    if (SkinUI::ReadWholeFile(options.archive.c_str(), archiveBytes, 64u << 20) != SkinUI::SkinReadStatus::kOk ||
        !SkinUI::CWindowManagerUI::RegisterSkinArchive(archiveBytes.data(), archiveBytes.size(),
                                                       options.password.c_str())) {
      fwprintf(stderr, L"skin-preview: cannot open the archive %ls\n", options.archive.c_str());
      return 2;
    }
  }
  return Render(options);
}
