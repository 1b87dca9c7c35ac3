// Stateless drawing operations of the framework: loading skin images into 32-bit pre-multiplied
// bitmaps, image attribute strings drawn as nine-part bitmaps, colour and gradient fills with
// alpha, lines and rectangles, plain and formatted text.
#pragma once

#include <windows.h>

#include "ui/core/UIString.h"

namespace SkinUI {

class CWindowManagerUI;

// A decoded image. Pixels are B,G,R,A bytes (0xAARRGGBB values), colour pre-multiplied by alpha,
// rows from the top.
struct TImageInfo {
  HBITMAP bitmap = nullptr;
  BYTE* pixels = nullptr;
  BYTE* sourcePixels = nullptr;  // a second copy, only with keepSourcePixels
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  bool keepSourcePixels = false;
  CUIString resourceType;
  DWORD mask = 0;
};

// One image-valued attribute of a control, parsed once.
struct TDrawInfo {
  CUIString text;
  CUIString imageName;
  CUIString resourceType;
  TImageInfo* image = nullptr;
  RECT dest = {0, 0, 0, 0};
  RECT source = {0, 0, 0, 0};
  RECT corners = {0, 0, 0, 0};
  DWORD mask = 0;
  BYTE fade = 255;
  bool hole = false;
  bool xTiled = false;
  bool yTiled = false;
  bool keepSource = false;
  bool parsed = false;
  bool failed = false;

  void Clear() { *this = TDrawInfo(); }
};

struct TNineParts {
  RECT source;
  RECT corners;
  BYTE fade = 255;
  bool hasAlpha = false;
  bool hole = false;
  bool xTiled = false;
  bool yTiled = false;
};

class CRenderer {
 public:
  // Null when the bytes cannot be had or decoded. type "*COLOR*" makes a 1x1 image of the colour
  // written in `name`. The caller owns the record (FreeImage).
  static TImageInfo* LoadSkinImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0);
  // Builds an image record from RGBA bytes (4 per pixel, rows from the top).
  static TImageInfo* ImageFromRgba(const BYTE* rgba, int width, int height, DWORD mask);
  static void FreeImage(TImageInfo* image);

  // Parses the attribute string into the record (the keys only; the image is not loaded).
  static void ParseImageString(TDrawInfo& info);
  // False when the image cannot be loaded. With a null dc it only parses and loads.
  static bool DrawImageSpec(HDC dc, CWindowManagerUI* manager, const RECT& rect, const RECT& paint,
                            TDrawInfo& info);
  static void DrawImage(HDC dc, HBITMAP bitmap, int imageWidth, int imageHeight, const RECT& rect,
                        const RECT& paint, const TNineParts& parts);

  static void FillColor(HDC dc, const RECT& rect, DWORD color);
  static void FillGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps);
  static void DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int penStyle = PS_SOLID);
  static void DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int penStyle = PS_SOLID);
  static void DrawRoundRect(HDC dc, const RECT& rect, int width, int cornerWidth, int cornerHeight, DWORD color,
                            int penStyle = PS_SOLID);
  static void DrawPlainText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color,
                            int fontId, UINT style);
  // The style to draw wrapped text with, its box moved down to honour DT_VCENTER or DT_BOTTOM.
  static UINT VerticallyPlaced(HDC dc, const wchar_t* text, RECT& rect, UINT style);
  // Draws (or with DT_CALCRECT measures, shrinking `rect` to what was used) text with inline tags.
  // linkCount is in: room in the arrays; out: links recorded.
  static void DrawFormattedText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color,
                                RECT* linkRects, CUIString* linkTexts, int& linkCount, UINT style);
  static HBITMAP RenderToBitmap(CWindowManagerUI* manager, const RECT& rect, DWORD background);
  // A 32-bit bottom-up DIB section.
  static HBITMAP CreateArgbBitmap(HDC dc, int width, int height, BYTE** pixels);
  // A 32-bit top-down DIB section.
  static HBITMAP CreateTopDownBitmap(int width, int height, BYTE** pixels);

  // GDI colour of an AARRGGBB value; 0 and opaque black become 0xFF000001 for text, lines and
  // gradients, as the text functions treat 0 as "no colour".
  static DWORD FixDrawColor(DWORD color) { return (color == 0 || color == 0xFF000000) ? 0xFF000001 : color; }
};

}  // namespace SkinUI
