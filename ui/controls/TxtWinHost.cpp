#define LOG_SOURCE L"..\\ui\\controls\\TxtWinHost.cpp"
#include "ui/controls/TxtWinHost.h"

#include <imm.h>

#include <cwchar>

#include "core/WriteLogFile.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {

// {13E670F4-1A5A-11CF-ABEB-00AA00B65EA1}
const IID kTextHostId = {0x13E670F4, 0x1A5A, 0x11CF, {0xAB, 0xEB, 0x00, 0xAA, 0x00, 0xB6, 0x5E, 0xA1}};
// {8D33F740-CF58-11CE-A89D-00AA006CADC5}: what the library exports when it exports nothing else.
const IID kTextServicesIdFallback = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

const wchar_t* g_servicesLibrary = L"msftedit.dll";

constexpr DWORD kCharFormatMask = 0xF800000F;
constexpr DWORD kParaFormatMask = 0x8001003F;

int LogPixelsY(HDC dc) {
  int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}
int LogPixelsX(HDC dc) {
  int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

COLORREF TextServicesColor(DWORD argb) {
  if (argb == 0 || argb == 0xFF000000) argb = 0xFF000001;
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void CTxtWinHost::SetServicesLibrary(const wchar_t* name) { g_servicesLibrary = name ? name : L"msftedit.dll"; }

bool CTxtWinHost::CreateTextHost(CRichEditUI* owner, const TTextHostCreateInfo& info, CTxtWinHost*& host) {
  host = nullptr;
  auto* made = new CTxtWinHost();
  if (!made->StartTextServices(owner, info)) {
    made->Release();
    return false;
  }
  host = made;
  return true;
}

CTxtWinHost::~CTxtWinHost() {
  if (!m_services) return;
  m_services->OnTxInPlaceDeactivate();
  m_services->Release();
}

HWND CTxtWinHost::PaintWindow() const {
  CWindowManagerUI* manager = m_owner ? m_owner->OwnerManager() : nullptr;
  return manager ? manager->PaintWindow() : nullptr;
}

void CTxtWinHost::Signal(DWORD changed, DWORD value) {
  if (m_services) m_services->OnTxPropertyBitsChange(changed, value);
}

void CTxtWinHost::FillCharFormatFromFont(HFONT font) {
  LOGFONTW lf = {};
  if (!font || !::GetObjectW(font, sizeof(lf), &lf)) return;
  CWindowManagerUI* manager = m_owner ? m_owner->OwnerManager() : nullptr;
  m_charFormat.yHeight = lf.lfHeight * -1440 / LogPixelsY(manager ? manager->PaintDC() : nullptr);
  m_charFormat.yOffset = 0;
  m_charFormat.dwEffects = 0;
  if (lf.lfWeight >= FW_BOLD) m_charFormat.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) m_charFormat.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) m_charFormat.dwEffects |= CFE_UNDERLINE;
  if (lf.lfStrikeOut) m_charFormat.dwEffects |= CFE_STRIKEOUT;
  m_charFormat.bCharSet = lf.lfCharSet;
  m_charFormat.bPitchAndFamily = lf.lfPitchAndFamily;
  wcsncpy(m_charFormat.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
  m_charFormat.szFaceName[LF_FACESIZE - 1] = 0;
}

bool CTxtWinHost::StartTextServices(CRichEditUI* owner, const TTextHostCreateInfo& info) {
  m_owner = owner;
  m_refs = 1;
  m_charFormat = {};
  m_charFormat.cbSize = sizeof(m_charFormat);
  m_charFormat.dwMask = kCharFormatMask;
  CWindowManagerUI* manager = owner->OwnerManager();
  if (manager) FillCharFormatFromFont(manager->FontById(owner->GetFont()));
  m_charFormat.crTextColor = TextServicesColor(owner->NormalTextColor());

  m_paraFormat = {};
  m_paraFormat.cbSize = sizeof(m_paraFormat);
  m_paraFormat.dwMask = kParaFormatMask;
  m_paraFormat.wAlignment = PFA_LEFT;
  m_paraFormat.cTabCount = 1;
  m_paraFormat.rgxTabs[0] = 720;

  if (owner->IsRichText()) m_flags |= kRichText;
  m_maxLength = owner->GetCharLimit();
  m_style = info.style;
  if (!(m_style & (ES_AUTOHSCROLL | WS_HSCROLL))) m_flags |= kWordWrap;
  if (m_style & ES_CENTER) m_paraFormat.wAlignment = PFA_CENTER;
  else if (m_style & ES_RIGHT) m_paraFormat.wAlignment = PFA_RIGHT;
  m_flags |= kInPlaceActive;

  if (!LoadServices()) return false;
  PushMaxLength();
  if (info.text && *info.text && FAILED(m_services->TxSetText(info.text))) {
    WRITE_LOG(L"rich edit: the text services refused the initial text");
    return false;
  }
  return true;
}

bool CTxtWinHost::LoadServices() {
  // The module stays loaded for the life of the process: services may outlive any one control.
  HMODULE module = ::LoadLibraryW(g_servicesLibrary);
  if (!module) {
    WRITE_LOG(L"rich edit: %s cannot be loaded (error %lu)", g_servicesLibrary, ::GetLastError());
    return false;
  }
  auto create = reinterpret_cast<PCreateTextServices>(reinterpret_cast<void*>(::GetProcAddress(module, "CreateTextServices")));
  if (!create) {
    WRITE_LOG(L"rich edit: %s has no CreateTextServices", g_servicesLibrary);
    return false;
  }
  auto exported = reinterpret_cast<const IID*>(::GetProcAddress(module, "IID_ITextServices"));
  const IID& servicesId = exported ? *exported : kTextServicesIdFallback;
  IUnknown* unknown = nullptr;
  HRESULT hr = create(nullptr, this, &unknown);
  if (FAILED(hr) || !unknown) {
    WRITE_LOG(L"rich edit: CreateTextServices failed (0x%08lX)", static_cast<unsigned long>(hr));
    return false;
  }
  hr = unknown->QueryInterface(servicesId, reinterpret_cast<void**>(&m_services));
  unknown->Release();
  if (FAILED(hr) || !m_services) {
    m_services = nullptr;
    WRITE_LOG(L"rich edit: the text services lack ITextServices (0x%08lX)", static_cast<unsigned long>(hr));
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- setters

void CTxtWinHost::SetClientRect(const RECT& rect) {
  m_client = rect;
  CWindowManagerUI* manager = m_owner ? m_owner->OwnerManager() : nullptr;
  HDC dc = manager ? manager->PaintDC() : nullptr;
  m_extent.cx = ::MulDiv(rect.right - rect.left, 2540, LogPixelsX(dc));
  m_extent.cy = ::MulDiv(rect.bottom - rect.top, 2540, LogPixelsY(dc));
  Signal(TXTBIT_VIEWINSETCHANGE, TXTBIT_VIEWINSETCHANGE);
}

HRESULT CTxtWinHost::ActivateInPlace(const RECT* rect) {
  m_flags |= kInPlaceActive;
  HRESULT hr = m_services ? m_services->OnTxInPlaceActivate(rect) : E_FAIL;
  if (FAILED(hr)) m_flags &= ~kInPlaceActive;
  return hr;
}

bool CTxtWinHost::SetCursorAt(const RECT* rect, POINT pt) {
  RECT r = rect ? *rect : m_client;
  if (!::PtInRect(&r, pt) || !m_services) return false;
  const RECT* bounds = (!rect && (m_flags & kInPlaceActive)) ? nullptr : &r;
  CWindowManagerUI* manager = m_owner->OwnerManager();
  m_services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, manager ? manager->PaintDC() : nullptr, nullptr,
                            bounds, pt.x, pt.y);
  return true;
}

void CTxtWinHost::ApplyFont(HFONT font) {
  if (!font) return;
  FillCharFormatFromFont(font);
  Signal(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::ApplyTextColor(DWORD color) {
  m_charFormat.crTextColor = TextServicesColor(color);
  Signal(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::ApplyMaxLength(int length) {
  m_maxLength = length < 1 ? 32767 : length;
  Signal(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
  PushMaxLength();
}

// Some text services (Wine's) never ask TxGetMaxLength, neither at start nor after the change
// signal; the limit is therefore also set on them directly, which the others take as the same.
void CTxtWinHost::PushMaxLength() {
  LRESULT ignored = 0;
  if (m_services) m_services->TxSendMessage(EM_EXLIMITTEXT, 0, m_maxLength, &ignored);
}

void CTxtWinHost::ApplyRichText(bool on) {
  m_flags = on ? (m_flags | kRichText) : (m_flags & ~kRichText);
  Signal(TXTBIT_RICHTEXT, on ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::ApplyMultiLine(bool on) {
  SetStyleBit(ES_MULTILINE, on);
  Signal(TXTBIT_MULTILINE, on ? TXTBIT_MULTILINE : 0);
}

void CTxtWinHost::ApplyTransparent(bool on) {
  m_flags = on ? (m_flags | kTransparent) : (m_flags & ~kTransparent);
  Signal(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetStyleBit(DWORD bit, bool on) { m_style = on ? (m_style | bit) : (m_style & ~bit); }

// ---------------------------------------------------------------- IUnknown

HRESULT CTxtWinHost::QueryInterface(REFIID id, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, kTextHostId)) {
    *out = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() { return static_cast<ULONG>(++m_refs); }

ULONG CTxtWinHost::Release() {
  LONG left = --m_refs;
  if (left <= 0) delete this;
  return static_cast<ULONG>(left < 0 ? 0 : left);
}

// ---------------------------------------------------------------- ITextHost

HDC CTxtWinHost::TxGetDC() {
  CWindowManagerUI* manager = m_owner->OwnerManager();
  return manager ? manager->PaintDC() : nullptr;
}

INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
  CScrollBarUI* vertical = m_owner->VerticalScrollBar();
  CScrollBarUI* horizontal = m_owner->HorizontalScrollBar();
  if ((bar == SB_VERT || bar == SB_BOTH) && vertical) vertical->SetVisible(show == TRUE);
  if ((bar == SB_HORZ || bar == SB_BOTH) && horizontal) horizontal->SetVisible(show == TRUE);
  return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
  bool shown = arrows != ESB_DISABLE_BOTH;
  if (bars == SB_VERT) {
    m_owner->EnableScrollBars(true, m_owner->HorizontalScrollBar() != nullptr);
    m_owner->VerticalScrollBar()->SetVisible(shown);
  } else if (bars == SB_HORZ) {
    m_owner->EnableScrollBars(m_owner->VerticalScrollBar() != nullptr, true);
    m_owner->HorizontalScrollBar()->SetVisible(shown);
  } else if (bars == SB_BOTH) {
    m_owner->EnableScrollBars(true, true);
    m_owner->VerticalScrollBar()->SetVisible(shown);
    m_owner->HorizontalScrollBar()->SetVisible(shown);
  }
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL) {
  // The services ask for ranges of bars the markup never created; those requests are skipped.
  CScrollBarUI* target = bar == SB_VERT ? m_owner->VerticalScrollBar()
                         : bar == SB_HORZ ? m_owner->HorizontalScrollBar()
                                          : nullptr;
  if (!target) return TRUE;
  LONG view = bar == SB_VERT ? m_client.bottom - m_client.top : m_client.right - m_client.left;
  LONG range = maxPos - minPos - view;
  if (range > 0) {
    target->SetVisible(true);
    target->SetScrollExtent(range);
  } else {
    target->SetVisible(false);
  }
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL) {
  CScrollBarUI* target = bar == SB_VERT ? m_owner->VerticalScrollBar()
                         : bar == SB_HORZ ? m_owner->HorizontalScrollBar()
                                          : nullptr;
  if (target) target->SetScrollOffset(pos, true);
  return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL) {
  CWindowManagerUI* manager = m_owner->OwnerManager();
  if (manager) manager->Redraw(rect ? *rect : m_client);
}

void CTxtWinHost::TxViewChange(WINBOOL) {
  if (m_owner->RepaintOnViewChange()) m_owner->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  m_caretWidth = width;
  m_caretHeight = height;
  return ::CreateCaret(PaintWindow(), bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
  m_flags = show ? (m_flags | kCaretShown) : (m_flags & ~kCaretShown);
  return show ? ::ShowCaret(PaintWindow()) : ::HideCaret(PaintWindow());
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  POINT old = {0, 0};
  ::GetCaretPos(&old);
  RECT oldRect = {old.x, old.y, old.x + m_prevCaretWidth, old.y + m_prevCaretHeight};
  CWindowManagerUI* manager = m_owner->OwnerManager();
  if (manager) {
    bool layered = manager->IsLayered();
    if (layered || (m_flags & kWindowResized)) manager->Redraw(oldRect);
    if (!layered) m_flags &= ~kWindowResized;
    if (layered) manager->Redraw(RECT{x, y, x + m_caretWidth, y + m_caretHeight});
  }
  m_prevCaretWidth = m_caretWidth;
  m_prevCaretHeight = m_caretHeight;
  return ::SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
  m_flags |= kTimerStarted;
  CWindowManagerUI* manager = m_owner->OwnerManager();
  return manager && manager->StartTimer(m_owner, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id) {
  CWindowManagerUI* manager = m_owner->OwnerManager();
  if (manager) manager->StopTimer(m_owner, id);
  m_flags &= ~kTimerStarted;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  CWindowManagerUI* manager = m_owner->OwnerManager();
  if (manager) capture ? manager->CaptureMouse() : manager->ReleaseMouse();
  m_flags = capture ? (m_flags | kCapturing) : (m_flags & ~kCapturing);
}

void CTxtWinHost::TxSetFocus() { m_owner->SetFocus(); }
void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }
WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) { return ::ScreenToClient(PaintWindow(), pt); }
WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) { return ::ClientToScreen(PaintWindow(), pt); }
HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }
HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  *rect = m_client;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  *rect = RECT{0, 0, 0, 0};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  *style = (m_flags & kTransparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  *length = static_cast<DWORD>(m_maxLength);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* bars) {
  *bars = m_style & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
  *ch = static_cast<TCHAR>(m_passwordChar);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos) {
  *pos = m_acceleratorPos;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
  *extent = m_extent;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }
HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  DWORD all = 0;
  if (m_flags & kRichText) all |= TXTBIT_RICHTEXT;
  if (m_style & ES_MULTILINE) all |= TXTBIT_MULTILINE;
  if (m_style & ES_READONLY) all |= TXTBIT_READONLY;
  if (m_style & ES_PASSWORD) all |= TXTBIT_USEPASSWORD;
  if (!(m_style & ES_NOHIDESEL)) all |= TXTBIT_HIDESELECTION;
  if (m_flags & kWordWrap) all |= TXTBIT_WORDWRAP;
  *bits = mask & all;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
  if (code == EN_REQUESTRESIZE) {
    const auto* resize = static_cast<const REQRESIZE*>(data);
    if (resize) {
      SetClientRect(RECT{m_client.left, m_client.top, m_client.left + resize->rc.right,
                         m_client.top + resize->rc.bottom});
    }
    return S_OK;
  }
  m_owner->OnTextServicesNotify(code, data);
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }
void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  *width = m_selBarWidth;
  return S_OK;
}

}  // namespace SkinUI
