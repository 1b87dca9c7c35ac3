// The text host a rich edit hands to the platform's windowless text services: every request the
// services make (device context, caret, timers, capture, scroll bars, formats, property bits) is
// answered from the owning control, its window manager and the control's two framework bars.
#pragma once

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

namespace SkinUI {

class CRichEditUI;

struct TTextHostCreateInfo {
  DWORD style = 0;
  const wchar_t* text = nullptr;
};

class CTxtWinHost : public ITextHost {
 public:
  enum Flags : DWORD {
    kWordWrap = 0x2,
    kRichText = 0x8,
    kInPlaceActive = 0x20,
    kTransparent = 0x40,
    kTimerStarted = 0x80,
    kCapturing = 0x100,
    kCaretShown = 0x200,
    kWindowResized = 0x400,
  };

  CTxtWinHost() = default;
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // Allocates and starts a host; on failure nothing is left behind and host stays null.
  static bool CreateTextHost(CRichEditUI* owner, const TTextHostCreateInfo& info, CTxtWinHost*& host);

  // The library the services come from ("msftedit.dll"); tests point it elsewhere to see a failed start.
  static void SetServicesLibrary(const wchar_t* name);

  bool StartTextServices(CRichEditUI* owner, const TTextHostCreateInfo& info);
  ITextServices* Services() const { return m_services; }
  void SetClientRect(const RECT& rect);
  const RECT& ClientRect() const { return m_client; }
  HRESULT ActivateInPlace(const RECT* rect);
  bool SetCursorAt(const RECT* rect, POINT pt);
  void ApplyFont(HFONT font);
  void ApplyTextColor(DWORD color);
  void ApplyMaxLength(int length);
  void ApplyRichText(bool on);
  void ApplyMultiLine(bool on);
  void ApplyTransparent(bool on);
  void SetStyleBit(DWORD bit, bool on);
  DWORD Style() const { return m_style; }
  DWORD HostFlags() const { return m_flags; }
  int MaxLength() const { return m_maxLength; }
  const CHARFORMAT2W& CharFormat() const { return m_charFormat; }
  const PARAFORMAT2& ParaFormat() const { return m_paraFormat; }
  bool IsCapturing() const { return (m_flags & kCapturing) != 0; }
  bool IsCaretShown() const { return (m_flags & kCaretShown) != 0; }
  void NoteWindowResized() { m_flags |= kWindowResized; }
  SIZE CaretSize() const { return SIZE{m_caretWidth, m_caretHeight}; }

  // ---- IUnknown ----
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ---- ITextHost ----
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC dc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updateRect,
                        UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT pt) override;
  WINBOOL TxClientToScreen(LPPOINT pt) override;
  HRESULT TxActivate(LONG* oldState) override;
  HRESULT TxDeactivate(LONG newState) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* bars) override;
  HRESULT TxGetPasswordChar(TCHAR* ch) override;
  HRESULT TxGetAcceleratorPos(LONG* pos) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC context) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

  virtual ~CTxtWinHost();

 private:
  bool LoadServices();
  void FillCharFormatFromFont(HFONT font);
  HWND PaintWindow() const;
  void Signal(DWORD changed, DWORD value);
  void PushMaxLength();

  CRichEditUI* m_owner = nullptr;
  LONG m_refs = 0;
  ITextServices* m_services = nullptr;
  DWORD m_style = 0;
  DWORD m_flags = 0;
  int m_caretWidth = 0;
  int m_caretHeight = 0;
  int m_prevCaretWidth = 0;
  int m_prevCaretHeight = 0;
  LONG m_selBarWidth = 0;
  int m_maxLength = 32767;
  RECT m_client = {0, 0, 0, 0};
  SIZEL m_extent = {0, 0};
  CHARFORMAT2W m_charFormat = {};
  PARAFORMAT2 m_paraFormat = {};
  LONG m_acceleratorPos = -1;
  wchar_t m_passwordChar = 0;
};

// Stored colours are AARRGGBB; the services want 0x00BBGGRR, and a fully black or unset colour is
// nudged off zero so that "no colour" never reaches them.
COLORREF TextServicesColor(DWORD argb);

}  // namespace SkinUI
