#include "tests/ui/UiTestSupport.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace ui_testing {

CCanvas::CCanvas(int width, int height, DWORD fill) : m_width(width), m_height(height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  m_bits = static_cast<DWORD*>(bits);
  m_dc = ::CreateCompatibleDC(nullptr);
  m_old = ::SelectObject(m_dc, m_bitmap);
  Fill(fill);
}

CCanvas::~CCanvas() {
  ::SelectObject(m_dc, m_old);
  ::DeleteDC(m_dc);
  ::DeleteObject(m_bitmap);
}

DWORD CCanvas::Pixel(int x, int y) const {
  ::GdiFlush();
  return m_bits[static_cast<size_t>(y) * m_width + x];
}

void CCanvas::Fill(DWORD value) {
  ::GdiFlush();
  for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = value;
}

int CCanvas::CountNot(const RECT& area, DWORD rgb) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += Rgb(x, y) != rgb;
  return count;
}

std::string EncodePng(const TRgbaImage& image) {
  std::string out;
  auto sink = [](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
  };
  stbi_write_png_to_func(sink, &out, image.width, image.height, 4, image.rgba.data(), image.width * 4);
  return out;
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace ui_testing
