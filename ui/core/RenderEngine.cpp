#include "ui/core/RenderEngine.h"

#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ScopedHandle.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\ui\\core\\RenderEngine.cpp"
#include "ui/controls/ControlUI.h"
#include "ui/core/RenderInternals.h"
#include "ui/core/SkinFiles.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace render_detail {

const MsImg32& Msimg32() {
  static MsImg32 functions = [] {
    MsImg32 f;
    if (HMODULE module = ::LoadLibraryW(L"msimg32.dll")) {
      f.alphaBlend = reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(::GetProcAddress(module, "AlphaBlend")));
      f.gradientFill = reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(::GetProcAddress(module, "GradientFill")));
    }
    return f;
  }();
  return functions;
}

bool& PlatformBlendEnabled() {
  static bool enabled = true;
  return enabled;
}

CSavedDC::CSavedDC(HDC dc) : m_dc(dc), m_state(::SaveDC(dc)) {}
CSavedDC::~CSavedDC() {
  if (m_state) ::RestoreDC(m_dc, m_state);
}

CMemoryDC::CMemoryDC(HDC reference, HBITMAP bitmap)
    : m_dc(::CreateCompatibleDC(reference)), m_old(m_dc ? ::SelectObject(m_dc, bitmap) : nullptr) {}
CMemoryDC::~CMemoryDC() {
  if (!m_dc) return;
  ::SelectObject(m_dc, m_old);
  ::DeleteDC(m_dc);
}

}  // namespace render_detail

using namespace render_detail;

namespace {

bool ParseBool(const wchar_t* value) { return wcscmp(value, L"true") == 0; }

RECT ParseRectValue(const wchar_t* value) {
  long v[4] = {};
  ParseNumberList(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

// Blends `src` (a part of the bitmap in `memDC`) over the destination with our own arithmetic,
// for systems without AlphaBlend: the destination area is copied out, blended and copied back.
void BlendByHand(HDC dc, const RECT& d, HDC memDC, const RECT& s, BYTE fade) {
  int w = d.right - d.left, h = d.bottom - d.top;
  BYTE* srcBits = nullptr;
  BYTE* dstBits = nullptr;
  CScopedBitmap srcBitmap(CRenderer::CreateTopDownBitmap(w, h, &srcBits));
  CScopedBitmap dstBitmap(CRenderer::CreateTopDownBitmap(w, h, &dstBits));
  if (!srcBitmap || !dstBitmap) return;
  {
    CMemoryDC srcDC(dc, srcBitmap.Get());
    ::SetStretchBltMode(srcDC.Get(), COLORONCOLOR);
    ::StretchBlt(srcDC.Get(), 0, 0, w, h, memDC, s.left, s.top, s.right - s.left, s.bottom - s.top, SRCCOPY);
  }
  CMemoryDC dstDC(dc, dstBitmap.Get());
  ::BitBlt(dstDC.Get(), 0, 0, w, h, dc, d.left, d.top, SRCCOPY);
  ::GdiFlush();
  for (int i = 0; i < w * h * 4; i += 4) {
    unsigned alpha = srcBits[i + 3] * fade / 255;
    for (int c = 0; c < 3; ++c) {
      unsigned value = srcBits[i + c] * fade / 255 + dstBits[i + c] * (255 - alpha) / 255;
      dstBits[i + c] = static_cast<BYTE>(value > 255 ? 255 : value);
    }
  }
  ::BitBlt(dc, d.left, d.top, w, h, dstDC.Get(), 0, 0, SRCCOPY);
}

class CPartPainter {
 public:
  CPartPainter(HDC dc, HDC memDC, const RECT& paint, bool blend, BYTE fade)
      : m_dc(dc), m_memDC(memDC), m_paint(paint), m_blend(blend), m_fade(fade) {}

  void Draw(const RECT& d, const RECT& s) const {
    if (d.right <= d.left || d.bottom <= d.top || s.right <= s.left || s.bottom <= s.top) return;
    RECT overlap;
    if (!::IntersectRect(&overlap, &d, &m_paint)) return;
    int dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
    if (!m_blend) {
      ::StretchBlt(m_dc, d.left, d.top, dw, dh, m_memDC, s.left, s.top, sw, sh, SRCCOPY);
      return;
    }
    const MsImg32& f = Msimg32();
    if (f.alphaBlend && PlatformBlendEnabled()) {
      BLENDFUNCTION bf = {AC_SRC_OVER, 0, m_fade, AC_SRC_ALPHA};
      f.alphaBlend(m_dc, d.left, d.top, dw, dh, m_memDC, s.left, s.top, sw, sh, bf);
    } else {
      BlendByHand(m_dc, d, m_memDC, s, m_fade);
    }
  }

  // The middle part: stretched, or tiled in columns and/or rows of the source's own size.
  void DrawMiddle(const RECT& d, const RECT& s, bool xTiled, bool yTiled) const {
    int sw = s.right - s.left, sh = s.bottom - s.top;
    if (d.right <= d.left || d.bottom <= d.top || sw <= 0 || sh <= 0) return;
    int stepX = xTiled ? sw : d.right - d.left;
    int stepY = yTiled ? sh : d.bottom - d.top;
    for (LONG y = d.top; y < d.bottom; y += stepY) {
      LONG rowH = std::min<LONG>(stepY, d.bottom - y);
      for (LONG x = d.left; x < d.right; x += stepX) {
        LONG colW = std::min<LONG>(stepX, d.right - x);
        RECT part = {x, y, x + colW, y + rowH};
        RECT from = s;
        if (xTiled) from.right = s.left + colW;
        if (yTiled) from.bottom = s.top + rowH;
        Draw(part, from);
      }
    }
  }

 private:
  HDC m_dc;
  HDC m_memDC;
  RECT m_paint;
  bool m_blend;
  BYTE m_fade;
};

// Keeps the source inside the image and the corners inside the source.
bool NormaliseParts(int imageWidth, int imageHeight, RECT& s, RECT& c) {
  if (s.left == 0 && s.top == 0 && s.right == 0 && s.bottom == 0) s = RECT{0, 0, imageWidth, imageHeight};
  s.left = std::max<LONG>(0, s.left);
  s.top = std::max<LONG>(0, s.top);
  s.right = std::min<LONG>(imageWidth, s.right);
  s.bottom = std::min<LONG>(imageHeight, s.bottom);
  if (s.right <= s.left || s.bottom <= s.top) return false;
  LONG sw = s.right - s.left, sh = s.bottom - s.top;
  c.left = std::clamp<LONG>(c.left, 0, sw);
  c.right = std::clamp<LONG>(c.right, 0, sw - c.left);
  c.top = std::clamp<LONG>(c.top, 0, sh);
  c.bottom = std::clamp<LONG>(c.bottom, 0, sh - c.top);
  return true;
}

std::string ReadImageBytes(const wchar_t* name, const wchar_t* type) {
  std::string bytes;
  if (type && *type) {
    HMODULE module = CWindowManagerUI::ResourceModule();
    const wchar_t* id = (name[0] >= L'0' && name[0] <= L'9') ? MAKEINTRESOURCEW(_wtoi(name)) : name;
    HRSRC resource = ::FindResourceW(module, id, type);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    if (data && size) bytes.assign(static_cast<const char*>(data), size);
    return bytes;
  }
  constexpr size_t kLimit = 64u * 1024 * 1024;
  if (ReadSkinFile(name, bytes, kLimit) == SkinReadStatus::kOk && !bytes.empty()) return bytes;
  ReadWholeFile(name, bytes, kLimit);
  return bytes;
}

}  // namespace

HBITMAP CRenderer::CreateTopDownBitmap(int width, int height, BYTE** pixels) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (pixels) *pixels = bitmap ? static_cast<BYTE*>(bits) : nullptr;
  return bitmap;
}

HBITMAP CRenderer::CreateArgbBitmap(HDC dc, int width, int height, BYTE** pixels) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (pixels) *pixels = bitmap ? static_cast<BYTE*>(bits) : nullptr;
  return bitmap;
}

TImageInfo* CRenderer::ImageFromRgba(const BYTE* rgba, int width, int height, DWORD mask) {
  if (!rgba || width <= 0 || height <= 0) return nullptr;
  BYTE* bits = nullptr;
  HBITMAP bitmap = CreateTopDownBitmap(width, height, &bits);
  if (!bitmap) return nullptr;
  bool hasAlpha = false;
  DWORD* out = reinterpret_cast<DWORD*>(bits);
  for (int i = 0; i < width * height; ++i) {
    const BYTE* p = rgba + i * 4;
    DWORD a = p[3], r = p[0], g = p[1], b = p[2];
    if (a != 255) {
      r = r * a / 255;
      g = g * a / 255;
      b = b * a / 255;
      hasAlpha = true;
    }
    DWORD value = (a << 24) | (r << 16) | (g << 8) | b;
    if (mask != 0 && value == mask) {
      value = 0;
      hasAlpha = true;
    }
    out[i] = value;
  }
  auto* image = new TImageInfo;
  image->bitmap = bitmap;
  image->pixels = bits;
  image->width = width;
  image->height = height;
  image->hasAlpha = hasAlpha;
  image->mask = mask;
  return image;
}

void CRenderer::FreeImage(TImageInfo* image) {
  if (!image) return;
  if (image->bitmap) ::DeleteObject(image->bitmap);
  delete[] image->sourcePixels;
  delete image;
}

TImageInfo* CRenderer::LoadSkinImage(const wchar_t* name, const wchar_t* type, DWORD mask) {
  if (!name || !*name) return nullptr;
  if (type && wcscmp(type, L"*COLOR*") == 0) {
    DWORD color = ParseColorText(name);
    BYTE rgba[4] = {BYTE(color >> 16), BYTE(color >> 8), BYTE(color), BYTE(color >> 24)};
    return ImageFromRgba(rgba, 1, 1, mask);
  }
  std::string bytes = ReadImageBytes(name, type);
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) {
    WRITE_LOG(L"image %s: no bytes", name);
    return nullptr;
  }
  int width = 0, height = 0, components = 0;
  stbi_uc* rgba = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                        static_cast<int>(bytes.size()), &width, &height, &components, 4);
  if (!rgba) {
    WRITE_LOG(L"image %s: cannot decode", name);
    return nullptr;
  }
  TImageInfo* image = ImageFromRgba(rgba, width, height, mask);
  stbi_image_free(rgba);
  return image;
}

void CRenderer::ParseImageString(TDrawInfo& info) {
  const wchar_t* p = info.text;
  info.imageName = info.text;
  info.resourceType.Clear();
  bool isResource = false;
  CUIString resourceType;
  for (;;) {
    while (*p > 0 && *p <= L' ') ++p;
    const wchar_t* keyStart = p;
    while (*p && *p != L'=' && !(*p > 0 && *p <= L' ')) ++p;
    CUIString key(keyStart, static_cast<int>(p - keyStart));
    while (*p > 0 && *p <= L' ') ++p;
    if (*p != L'=') break;
    ++p;
    while (*p > 0 && *p <= L' ') ++p;
    if (*p != L'\'') break;
    const wchar_t* valueStart = ++p;
    while (*p && *p != L'\'') ++p;
    if (!*p) break;
    CUIString value(valueStart, static_cast<int>(p - valueStart));
    ++p;
    if (!value.IsBlank()) {
      if (key == L"file") {
        info.imageName = value;
        isResource = false;
        info.resourceType.Clear();
      } else if (key == L"res") {
        info.imageName = value;
        isResource = true;
      } else if (key == L"restype") {
        resourceType = value;
      } else if (key == L"color") {
        info.imageName = value;
        info.resourceType = L"*COLOR*";
        isResource = false;
      } else if (key == L"dest") {
        info.dest = ParseRectValue(value);
      } else if (key == L"source") {
        info.source = ParseRectValue(value);
      } else if (key == L"corner" || key == L"scale9") {
        info.corners = ParseRectValue(value);
      } else if (key == L"mask") {
        info.mask = ParseColorText(value);
      } else if (key == L"fade") {
        info.fade = static_cast<BYTE>(std::clamp(_wtoi(value), 0, 255));
      } else if (key == L"hole") {
        info.hole = ParseBool(value);
      } else if (key == L"xtiled") {
        info.xTiled = ParseBool(value);
      } else if (key == L"ytiled") {
        info.yTiled = ParseBool(value);
      } else if (key == L"hsl") {
        info.keepSource = ParseBool(value);
      }
    }
    if (*p != L' ') break;
  }
  if (isResource) info.resourceType = resourceType;
  info.parsed = true;
}

bool CRenderer::DrawImageSpec(HDC dc, CWindowManagerUI* manager, const RECT& rect, const RECT& paint,
                              TDrawInfo& info) {
  if (!info.parsed) ParseImageString(info);
  if (info.failed || !manager) return false;
  if (!info.image) {
    const wchar_t* type = info.resourceType.IsBlank() ? nullptr : info.resourceType.c_str();
    info.image = manager->ImageByNameOrLoad(info.imageName, type, info.mask, info.keepSource);
    if (!info.image) {
      info.failed = true;
      return false;
    }
  }
  if (!dc) return true;
  RECT dest = rect;
  const RECT& d = info.dest;
  if (d.left || d.top || d.right || d.bottom) {
    dest = RECT{rect.left + d.left, rect.top + d.top, std::min(rect.left + d.right, rect.right),
                std::min(rect.top + d.bottom, rect.bottom)};
  }
  RECT overlap;
  if (!::IntersectRect(&overlap, &dest, &rect) || !::IntersectRect(&overlap, &dest, &paint)) return true;
  TNineParts parts;
  parts.source = info.source;
  parts.corners = info.corners;
  parts.fade = info.fade;
  parts.hasAlpha = info.image->hasAlpha;
  parts.hole = info.hole;
  parts.xTiled = info.xTiled;
  parts.yTiled = info.yTiled;
  DrawImage(dc, info.image->bitmap, info.image->width, info.image->height, dest, paint, parts);
  return true;
}

void CRenderer::DrawImage(HDC dc, HBITMAP bitmap, int imageWidth, int imageHeight, const RECT& rc,
                          const RECT& paint, const TNineParts& parts) {
  if (!dc || !bitmap) return;
  RECT s = parts.source, c = parts.corners;
  if (!NormaliseParts(imageWidth, imageHeight, s, c)) return;
  CMemoryDC memDC(dc, bitmap);
  if (!memDC.Get()) return;
  int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
  bool blend = parts.hasAlpha || parts.fade < 255;
  bool noCorners = !c.left && !c.top && !c.right && !c.bottom;
  if (!blend && noCorners && rc.right - rc.left == s.right - s.left && rc.bottom - rc.top == s.bottom - s.top) {
    RECT o;
    if (::IntersectRect(&o, &rc, &paint)) {
      ::BitBlt(dc, o.left, o.top, o.right - o.left, o.bottom - o.top, memDC.Get(), s.left + (o.left - rc.left),
               s.top + (o.top - rc.top), SRCCOPY);
    }
    ::SetStretchBltMode(dc, oldMode);
    return;
  }
  CPartPainter painter(dc, memDC.Get(), paint, blend, parts.fade);
  if (!parts.hole) {
    RECT d = {rc.left + c.left, rc.top + c.top, rc.right - c.right, rc.bottom - c.bottom};
    RECT from = {s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
    painter.DrawMiddle(d, from, parts.xTiled, parts.yTiled);
  }
  // Corners at their own size.
  painter.Draw({rc.left, rc.top, rc.left + c.left, rc.top + c.top}, {s.left, s.top, s.left + c.left, s.top + c.top});
  painter.Draw({rc.right - c.right, rc.top, rc.right, rc.top + c.top},
               {s.right - c.right, s.top, s.right, s.top + c.top});
  painter.Draw({rc.left, rc.bottom - c.bottom, rc.left + c.left, rc.bottom},
               {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom});
  painter.Draw({rc.right - c.right, rc.bottom - c.bottom, rc.right, rc.bottom},
               {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom});
  // Edges, stretched along their length.
  painter.Draw({rc.left, rc.top + c.top, rc.left + c.left, rc.bottom - c.bottom},
               {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom});
  painter.Draw({rc.left + c.left, rc.top, rc.right - c.right, rc.top + c.top},
               {s.left + c.left, s.top, s.right - c.right, s.top + c.top});
  painter.Draw({rc.right - c.right, rc.top + c.top, rc.right, rc.bottom - c.bottom},
               {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom});
  painter.Draw({rc.left + c.left, rc.bottom - c.bottom, rc.right - c.right, rc.bottom},
               {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom});
  ::SetStretchBltMode(dc, oldMode);
}

void CRenderer::FillColor(HDC dc, const RECT& rect, DWORD color) {
  if (color <= 0x00FFFFFF || !dc) return;
  BYTE* bits = nullptr;
  CScopedBitmap pixel(CreateTopDownBitmap(1, 1, &bits));
  if (!pixel) return;
  DWORD a = color >> 24;
  DWORD r = ((color >> 16) & 0xFF) * a / 255, g = ((color >> 8) & 0xFF) * a / 255, b = (color & 0xFF) * a / 255;
  *reinterpret_cast<DWORD*>(bits) = (a << 24) | (r << 16) | (g << 8) | b;
  TNineParts parts;
  parts.source = RECT{0, 0, 1, 1};
  parts.corners = RECT{0, 0, 0, 0};
  parts.hasAlpha = true;
  DrawImage(dc, pixel.Get(), 1, 1, rect, rect, parts);
}

namespace {

void GradientBands(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps) {
  int k = steps >= 64 ? 6 : steps >= 32 ? 5 : steps >= 16 ? 4 : steps >= 8 ? 3 : steps >= 4 ? 2 : 1;
  int n = 1 << k;
  int length = vertical ? rect.bottom - rect.top : rect.right - rect.left;
  for (int i = 0; i < n; ++i) {
    auto channel = [&](int shift) {
      return static_cast<BYTE>((((to >> shift) & 0xFF) * (n - i) + ((from >> shift) & 0xFF) * i) / n);
    };
    CScopedBrush brush(::CreateSolidBrush(RGB(channel(16), channel(8), channel(0))));
    // Band i counts from the bottom (or right) edge.
    int end = length - length * i / n, start = length - length * (i + 1) / n;
    RECT band = vertical ? RECT{rect.left, rect.top + start, rect.right, rect.top + end}
                         : RECT{rect.left + start, rect.top, rect.left + end, rect.bottom};
    ::FillRect(dc, &band, brush.Get());
  }
}

void GradientOpaque(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps) {
  const MsImg32& f = Msimg32();
  if (!f.gradientFill || !PlatformBlendEnabled()) {
    GradientBands(dc, rect, from, to, vertical, steps);
    return;
  }
  auto vertex = [](LONG x, LONG y, DWORD c) {
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(((c >> 16) & 0xFF) << 8);
    v.Green = static_cast<COLOR16>(((c >> 8) & 0xFF) << 8);
    v.Blue = static_cast<COLOR16>((c & 0xFF) << 8);
    v.Alpha = 0xFF00;
    return v;
  };
  TRIVERTEX vertices[2] = {vertex(rect.left, rect.top, from), vertex(rect.right, rect.bottom, to)};
  GRADIENT_RECT gradient = {0, 1};
  f.gradientFill(dc, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

}  // namespace

void CRenderer::FillGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps) {
  if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return;
  from = FixDrawColor(from);
  to = FixDrawColor(to);
  BYTE alpha = static_cast<BYTE>(((from >> 24) + (to >> 24)) / 2);
  if (alpha == 0) return;
  if (alpha == 255) {
    GradientOpaque(dc, rect, from, to, vertical, steps);
    return;
  }
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  BYTE* bits = nullptr;
  CScopedBitmap buffer(CreateTopDownBitmap(w, h, &bits));
  if (!buffer) return;
  {
    CMemoryDC bufferDC(dc, buffer.Get());
    GradientOpaque(bufferDC.Get(), RECT{0, 0, w, h}, from, to, vertical, steps);
  }
  // GDI leaves the alpha bytes undefined; the blend reads them, so the buffer is made opaque.
  ::GdiFlush();
  for (int i = 0; i < w * h; ++i) bits[i * 4 + 3] = 0xFF;
  TNineParts parts;
  parts.source = RECT{0, 0, w, h};
  parts.corners = RECT{0, 0, 0, 0};
  parts.fade = alpha;
  parts.hasAlpha = false;
  DrawImage(dc, buffer.Get(), w, h, rect, rect, parts);
}

namespace {
class CPenSelection {
 public:
  CPenSelection(HDC dc, int style, int width, DWORD color)
      : m_dc(dc), m_pen(::CreatePen(style, width, ToColorRef(CRenderer::FixDrawColor(color)))),
        m_oldPen(::SelectObject(dc, m_pen)), m_oldBrush(::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH))) {}
  ~CPenSelection() {
    ::SelectObject(m_dc, m_oldBrush);
    ::SelectObject(m_dc, m_oldPen);
    ::DeleteObject(m_pen);
  }

 private:
  HDC m_dc;
  HPEN m_pen;
  HGDIOBJ m_oldPen;
  HGDIOBJ m_oldBrush;
};
}  // namespace

void CRenderer::DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int penStyle) {
  CPenSelection pen(dc, penStyle, width, color);
  ::MoveToEx(dc, rect.left, rect.top, nullptr);
  ::LineTo(dc, rect.right, rect.bottom);
}

void CRenderer::DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int penStyle) {
  CPenSelection pen(dc, penStyle | PS_INSIDEFRAME, width, color);
  ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void CRenderer::DrawRoundRect(HDC dc, const RECT& rect, int width, int cornerWidth, int cornerHeight, DWORD color,
                              int penStyle) {
  CPenSelection pen(dc, penStyle | PS_INSIDEFRAME, width, color);
  ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
}

HBITMAP CRenderer::RenderToBitmap(CWindowManagerUI* manager, const RECT& rect, DWORD background) {
  if (!manager || !manager->Root() || !manager->PaintDC()) return nullptr;
  SIZE client = manager->ClientSize();
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (client.cx <= 0 || client.cy <= 0 || w <= 0 || h <= 0) return nullptr;
  HDC paintDC = manager->PaintDC();
  CScopedBitmap whole(::CreateCompatibleBitmap(paintDC, client.cx, client.cy));
  if (!whole) return nullptr;
  CMemoryDC wholeDC(paintDC, whole.Get());
  RECT all = {0, 0, client.cx, client.cy};
  manager->Root()->Paint(wholeDC.Get(), all, nullptr);
  HBITMAP result = CreateArgbBitmap(paintDC, w, h, nullptr);
  if (!result) return nullptr;
  CMemoryDC resultDC(paintDC, result);
  if (background > 0x00FFFFFF) {
    CScopedBrush brush(::CreateSolidBrush(ToColorRef(background)));
    RECT fill = {0, 0, w, h};
    ::FillRect(resultDC.Get(), &fill, brush.Get());
  }
  ::BitBlt(resultDC.Get(), 0, 0, w, h, wholeDC.Get(), rect.left, rect.top, SRCCOPY);
  return result;
}

}  // namespace SkinUI
