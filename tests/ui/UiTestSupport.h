// Fixtures for the UI tests: a 32-bit memory canvas to draw on and read pixels from, PNG files
// written from pixel lists, and a top-level test window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui_testing {

// A top-down 32-bit DIB selected into a memory DC.
class CCanvas {
 public:
  CCanvas(int width, int height, DWORD fill = 0xFFFFFFFF);
  ~CCanvas();
  CCanvas(const CCanvas&) = delete;
  CCanvas& operator=(const CCanvas&) = delete;
  HDC DC() const { return m_dc; }
  RECT Rect() const { return RECT{0, 0, m_width, m_height}; }
  // 0xAARRGGBB as stored.
  DWORD Pixel(int x, int y) const;
  // Only red, green and blue.
  DWORD Rgb(int x, int y) const { return Pixel(x, y) & 0x00FFFFFF; }
  void Fill(DWORD value);
  // How many pixels inside `area` differ from `value` (colour bits only).
  int CountNot(const RECT& area, DWORD rgb) const;

 private:
  int m_width;
  int m_height;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  DWORD* m_bits = nullptr;
};

// RGBA pixels, rows from the top; written as a PNG file.
struct TRgbaImage {
  int width;
  int height;
  std::vector<unsigned char> rgba;
  TRgbaImage(int w, int h, DWORD argb) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(x, y, argb);
  }
  void Set(int x, int y, DWORD argb) {
    unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    p[0] = (argb >> 16) & 0xFF;
    p[1] = (argb >> 8) & 0xFF;
    p[2] = argb & 0xFF;
    p[3] = argb >> 24;
  }
  void FillRect(int l, int t, int r, int b, DWORD argb) {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Set(x, y, argb);
  }
};
std::string EncodePng(const TRgbaImage& image);

// Processes pending messages of this thread.
void PumpMessages();

}  // namespace ui_testing
