// GifAnim: plays an animated GIF. GDI+ decodes the frames; a window manager timer advances the
// active frame with the GIF's own per-frame delays.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/controls/ControlUI.h"

namespace Gdiplus {
class GpImage;
}

namespace SkinUI {

class CGifAnimUI : public CControlUI {
 public:
  static constexpr UINT kFrameTimerId = 100;
  static constexpr UINT kDefaultDelayMs = 100;

  CGifAnimUI();
  ~CGifAnimUI() override;

  const wchar_t* ClassName() const override { return L"GifAnim"; }
  void* CastToInterface(const wchar_t* name) override;
  void SetVisible(bool visible) override;
  void InitSelf() override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;

  void SetBackImage(const wchar_t* name);
  void StartAnimation();
  void StopAnimation();
  bool LoadFrames();
  void FreeFrames();

  bool IsLoaded() const { return m_image != nullptr; }
  bool IsPlaying() const { return m_playing; }
  UINT FrameCount() const { return m_frameCount; }
  UINT CurrentFrame() const { return m_currentFrame; }
  void SetAutoPlay(bool on) { m_autoPlay = on; }
  void SetAutoSize(bool on) { m_autoSize = on; }
  // The wait after `frame`: its delay in hundredths of a second × 10 ms, or the default when the
  // delay is 0 or missing (no delay list, or one shorter than the frames).
  UINT FrameIntervalMs(UINT frame) const;
  static UINT FrameIntervalMs(const std::vector<UINT>& delays, UINT frame);

 private:
  void ReadFrameDelays();

  Gdiplus::GpImage* m_image = nullptr;
  UINT m_frameCount = 0;
  UINT m_currentFrame = 0;
  std::vector<UINT> m_delays;  // hundredths of a second, as the GIF stores them
  CUIString m_imageName;
  bool m_autoPlay = true;
  bool m_autoSize = false;
  bool m_playing = false;
  IStream* m_stream = nullptr;
};

}  // namespace SkinUI
