// Helpers shared by the render engine's units: msimg32 loaded at run time and small DC owners.
#pragma once

#include <windows.h>

namespace SkinUI {
namespace render_detail {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct MsImg32 {
  AlphaBlendFn alphaBlend = nullptr;
  GradientFillFn gradientFill = nullptr;
};
// Looked up once; the functions stay null where the library or its exports are missing.
const MsImg32& Msimg32();
// Off: blending and gradients use the engine's own arithmetic even where msimg32 is there.
bool& PlatformBlendEnabled();

// A memory DC compatible with `reference` with `bitmap` selected, restored and deleted on exit.
class CMemoryDC {
 public:
  CMemoryDC(HDC reference, HBITMAP bitmap);
  ~CMemoryDC();
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

class CSavedDC {
 public:
  explicit CSavedDC(HDC dc);
  ~CSavedDC();
  CSavedDC(const CSavedDC&) = delete;
  CSavedDC& operator=(const CSavedDC&) = delete;

 private:
  HDC m_dc;
  int m_state;
};

}  // namespace render_detail
}  // namespace SkinUI
