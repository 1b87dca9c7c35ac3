#define LOG_SOURCE L"..\\ui\\controls\\GifAnimUI.cpp"
#include "ui/controls/GifAnimUI.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "core/WriteLogFile.h"
#include "ui/controls/AttributeValues.h"
#include "ui/core/SkinFiles.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace gp = Gdiplus::DllExports;

namespace {
constexpr PROPID kFrameDelayTag = 0x5100;
const GUID kTimeDimension = {0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};

// The skin file lookup first, then the name as a plain path.
bool ReadImageBytes(const wchar_t* name, std::string& bytes) {
  if (ReadSkinFile(name, bytes) == SkinReadStatus::kOk && !bytes.empty()) return true;
  bytes.clear();
  return ReadWholeFile(name, bytes) == SkinReadStatus::kOk && !bytes.empty();
}

// A stream over a movable copy of the bytes; the block goes with the stream.
IStream* StreamOver(const std::string& bytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return nullptr;
  void* p = ::GlobalLock(block);
  if (!p) {
    ::GlobalFree(block);
    return nullptr;
  }
  std::memcpy(p, bytes.data(), bytes.size());
  ::GlobalUnlock(block);
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
    ::GlobalFree(block);
    return nullptr;
  }
  return stream;
}
}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
  if (m_manager) m_manager->StopTimer(this, kFrameTimerId);
  FreeFrames();
}

void* CGifAnimUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"GifAnim") == 0) return this;
  return CControlUI::CastToInterface(name);
}

void CGifAnimUI::SetBackImage(const wchar_t* name) {
  if (!name || m_imageName == name) return;
  m_imageName = name;
  StopAnimation();
  FreeFrames();
  Invalidate();
}

void CGifAnimUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"bkimage") SetBackImage(value);
  else if (n == L"autoplay") SetAutoPlay(attr::IsTrue(value));
  else if (n == L"autosize") SetAutoSize(attr::IsTrue(value));
  else CControlUI::ApplyAttribute(name, value);
}

bool CGifAnimUI::LoadFrames() {
  if (m_image) return true;
  std::string bytes;
  if (m_imageName.IsBlank() || !ReadImageBytes(m_imageName, bytes)) return false;
  IStream* stream = StreamOver(bytes);
  if (!stream) return false;
  Gdiplus::GpImage* image = nullptr;
  if (gp::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok || !image) {
    stream->Release();
    WRITE_LOG(L"GIF image %s could not be decoded", m_imageName.c_str());
    return false;
  }
  m_stream = stream;
  m_image = image;
  UINT dimensions = 0;
  m_frameCount = 0;
  if (gp::GdipImageGetFrameDimensionsCount(m_image, &dimensions) == Gdiplus::Ok && dimensions > 0) {
    std::unique_ptr<GUID[]> ids(new GUID[dimensions]);
    if (gp::GdipImageGetFrameDimensionsList(m_image, ids.get(), dimensions) == Gdiplus::Ok) {
      gp::GdipImageGetFrameCount(m_image, &ids[0], &m_frameCount);
    }
  }
  ReadFrameDelays();
  if (m_autoSize) {
    UINT w = 0, h = 0;
    gp::GdipGetImageWidth(m_image, &w);
    gp::GdipGetImageHeight(m_image, &h);
    SetFixedWidth(static_cast<int>(w));
    SetFixedHeight(static_cast<int>(h));
  }
  if (m_autoPlay) StartAnimation();
  return true;
}

void CGifAnimUI::ReadFrameDelays() {
  m_delays.clear();
  UINT size = 0;
  if (gp::GdipGetPropertyItemSize(m_image, kFrameDelayTag, &size) != Gdiplus::Ok || size < sizeof(Gdiplus::PropertyItem)) {
    return;
  }
  std::unique_ptr<BYTE[]> block(new BYTE[size]);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(block.get());
  if (gp::GdipGetPropertyItem(m_image, kFrameDelayTag, size, item) != Gdiplus::Ok || !item->value) return;
  // The item says how long its list is; never read past the block it came in.
  size_t available = size - sizeof(Gdiplus::PropertyItem);
  size_t bytes = std::min<size_t>(item->length, available);
  size_t count = bytes / sizeof(UINT);
  m_delays.resize(count);
  if (count) std::memcpy(m_delays.data(), item->value, count * sizeof(UINT));
}

void CGifAnimUI::FreeFrames() {
  if (m_stream) {
    m_stream->Release();
    m_stream = nullptr;
  }
  if (m_image) {
    gp::GdipDisposeImage(m_image);
    m_image = nullptr;
  }
  m_delays.clear();
  m_frameCount = 0;
  m_currentFrame = 0;
}

UINT CGifAnimUI::FrameIntervalMs(const std::vector<UINT>& delays, UINT frame) {
  if (frame >= delays.size() || delays[frame] == 0) return kDefaultDelayMs;
  return delays[frame] * 10;
}

UINT CGifAnimUI::FrameIntervalMs(UINT frame) const { return FrameIntervalMs(m_delays, frame); }

void CGifAnimUI::StartAnimation() {
  // One frame (or none) has nothing to animate.
  if (m_playing || !m_image || m_frameCount < 2 || !m_manager) return;
  if (m_manager->StartTimer(this, kFrameTimerId, FrameIntervalMs(m_currentFrame))) m_playing = true;
}

void CGifAnimUI::StopAnimation() {
  if (!m_playing) return;
  if (m_manager) m_manager->StopTimer(this, kFrameTimerId);
  m_currentFrame = 0;
  Invalidate();
  m_playing = false;
}

void CGifAnimUI::HandleEvent(TEventMsg& event) {
  if (event.type != kEventTimer || event.wParam != kFrameTimerId || !m_manager) return;
  m_manager->StopTimer(this, kFrameTimerId);
  Invalidate();
  if (m_frameCount == 0) return;
  m_currentFrame = (m_currentFrame + 1) % m_frameCount;
  m_manager->StartTimer(this, kFrameTimerId, FrameIntervalMs(m_currentFrame));
}

void CGifAnimUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (visible) StartAnimation();
  else StopAnimation();
}

void CGifAnimUI::InitSelf() { LoadFrames(); }

bool CGifAnimUI::PaintContent(HDC dc, const RECT&, CControlUI*) {
  if (!m_image) LoadFrames();
  if (!dc || !m_image) return true;
  // The frame shown is the current one, also right after a stop (the first frame again).
  if (m_frameCount > 1) gp::GdipImageSelectActiveFrame(m_image, &kTimeDimension, m_currentFrame);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) return true;
  gp::GdipDrawImageRectI(graphics, m_image, m_item.left, m_item.top, m_item.right - m_item.left,
                         m_item.bottom - m_item.top);
  gp::GdipDeleteGraphics(graphics);
  return true;
}

}  // namespace SkinUI
