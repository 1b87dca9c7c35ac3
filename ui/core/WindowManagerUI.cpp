// Lifetime, the control tree, notifications, focus and timers of the window manager, and its
// process-wide settings.
#include "ui/core/WindowManagerUI.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cwchar>

#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\ui\\core\\WindowManagerUI.cpp"
#include "ui/controls/ControlUI.h"
#include "ui/core/ManagerShared.h"
#include "ui/core/SkinFiles.h"

namespace SkinUI {

struct CWindowManagerUI::TTimerInfo {
  CControlUI* control;
  UINT localId;
  HWND window;
  UINT platformId;
  bool killed;
};

CManagerShared& Shared() {
  static CManagerShared* shared = new CManagerShared;  // lives to process exit, like the managers' users
  return *shared;
}

// ---------------------------------------------------------------- process-wide settings

void CWindowManagerUI::SetModuleInstance(HINSTANCE instance) { Shared().instance = instance; }
HINSTANCE CWindowManagerUI::ModuleInstance() { return Shared().instance; }
HINSTANCE CWindowManagerUI::ResourceModule() {
  return Shared().resourceModule ? Shared().resourceModule : Shared().instance;
}
void CWindowManagerUI::SetResourceModule(HINSTANCE module) { Shared().resourceModule = module; }
const CUIString& CWindowManagerUI::SkinFolder() { return Shared().skinFolder; }
void CWindowManagerUI::SetSkinFolder(const wchar_t* folder) { Shared().skinFolder = folder; }
const CUIString& CWindowManagerUI::SkinArchiveName() { return Shared().archiveName; }
bool CWindowManagerUI::IsSkinArchiveKept() { return true; }
void* CWindowManagerUI::SkinArchiveHandle() { return Shared().archiveHandle; }
const char* CWindowManagerUI::SkinArchivePassword() {
  return Shared().password[0] ? Shared().password : nullptr;
}

bool CWindowManagerUI::RegisterSkinArchive(const void* data, size_t length, const char* password) {
  CManagerShared& s = Shared();
  s.password[0] = 0;
  if (password) {
    strncpy(s.password, password, sizeof(s.password) - 1);
    s.password[sizeof(s.password) - 1] = 0;
  }
  if (s.archiveName == L"membuffer") return s.archiveHandle != nullptr;
  if (s.archiveHandle) skin_archive::Close(s.archiveHandle);
  s.archiveName = L"membuffer";
  s.archiveHandle = (data && length) ? skin_archive::OpenMemory(data, length, SkinArchivePassword()) : nullptr;
  if (!s.archiveHandle) WRITE_LOG(L"skin archive: cannot open (%d bytes)", static_cast<int>(length));
  return s.archiveHandle != nullptr;
}

void CWindowManagerUI::CloseSkinArchive() {
  CManagerShared& s = Shared();
  if (s.archiveHandle) skin_archive::Close(s.archiveHandle);
  s.archiveHandle = nullptr;
  s.archiveName.Clear();
  s.password[0] = 0;
}

void CWindowManagerUI::SetLanguageText(int id, const wchar_t* text) {
  CUIString key;
  key.Printf(L"%d", id);
  auto* value = new CUIString(text);
  delete static_cast<CUIString*>(Shared().languageTexts.Put(key, value));
}

const wchar_t* CWindowManagerUI::LanguageText(int id) {
  CUIString key;
  key.Printf(L"%d", id);
  auto* value = static_cast<CUIString*>(Shared().languageTexts.Lookup(key));
  return value ? value->c_str() : nullptr;
}

CUIString CWindowManagerUI::ExpandLanguageTokens(const wchar_t* text) {
  CUIString out;
  if (!text) return out;
  const wchar_t* p = text;
  while (*p) {
    if (p[0] == L'%' && p[1] == L'{' && iswdigit(p[2])) {
      const wchar_t* q = p + 2;
      while (iswdigit(*q)) ++q;
      if (*q == L'}') {
        const wchar_t* replacement = LanguageText(_wtoi(p + 2));
        if (replacement) {
          out += replacement;
          p = q + 1;
          continue;
        }
      }
    }
    out += *p++;
  }
  return out;
}

bool CWindowManagerUI::PreTranslate(MSG* msg) {
  CPtrArrayUI& managers = Shared().managers;
  LRESULT result = 0;
  bool child = (::GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
  if (child) {
    for (int i = managers.Count() - 1; i >= 0; --i) {
      auto* manager = static_cast<CWindowManagerUI*>(managers[i]);
      for (HWND w = msg->hwnd; w; w = ::GetParent(w)) {
        if (manager->m_window != w) continue;
        if (manager->RunAcceleratorHandlers(msg)) return true;
        if (manager->HandleBeforeDispatch(msg->message, msg->wParam, msg->lParam, result)) return true;
        break;
      }
    }
    return false;
  }
  for (int i = 0; i < managers.Count(); ++i) {
    auto* manager = static_cast<CWindowManagerUI*>(managers[i]);
    if (manager->m_window != msg->hwnd) continue;
    return manager->RunAcceleratorHandlers(msg) ||
           manager->HandleBeforeDispatch(msg->message, msg->wParam, msg->lParam, result);
  }
  return false;
}

// ---------------------------------------------------------------- lifetime

CWindowManagerUI::CWindowManagerUI() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) m_gdiplusToken = 0;
  Shared().InitOnce();
  for (int i = 0; i < 5; ++i) m_colors[i] = Shared().colors[i];
}

CWindowManagerUI::~CWindowManagerUI() {
  DeleteDelayedControls();
  for (int i = 0; i < m_asyncNotify.Count(); ++i) delete static_cast<TNotifyMsg*>(m_asyncNotify[i]);
  m_asyncNotify.Clear();
  m_names.ClearAll();
  if (m_root) {
    CControlUI* root = m_root;
    m_root = nullptr;
    delete root;
  }
  if (m_baseFont.font) ::DeleteObject(m_baseFont.font);
  RemoveWindowResources();
  DropAllTimers();
  if (m_toolTip) ::DestroyWindow(m_toolTip);
  DropOffscreen();
  if (m_layerBackground) ::DeleteObject(m_layerBackground);
  if (m_paintDC) ::ReleaseDC(m_window, m_paintDC);
  CPtrArrayUI& managers = Shared().managers;
  int index = managers.IndexOf(this);
  if (index >= 0) managers.RemoveRange(index, 1);
  if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

void CWindowManagerUI::RemoveWindowResources() {
  DeleteFontMap(m_fonts);
  DeleteImageMap(m_images);
  DeleteStringMap(m_classDefaults);
  DeleteStringMap(m_customAttributes);
  DropOptionGroups();
  DropAllTimers();
}

void CWindowManagerUI::Attach(HWND window, const wchar_t* name) {
  m_names.Rebuild(CStringMapUI::kDefaultBuckets);
  RemoveWindowResources();
  m_name = name;
  if (window == m_window) return;
  if (m_paintDC) ::ReleaseDC(m_window, m_paintDC);
  m_window = window;
  m_paintDC = ::GetDC(window);
  if (Shared().managers.IndexOf(this) < 0) Shared().managers.Push(this);
}

SIZE CWindowManagerUI::ClientSize() const {
  RECT rc = {0, 0, 0, 0};
  if (m_window) ::GetClientRect(m_window, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// ---------------------------------------------------------------- tree

namespace {
CControlUI* CollectEvery(CControlUI* control, void* data) {
  static_cast<CPtrArrayUI*>(data)->Push(control);
  return nullptr;
}
CControlUI* ReturnSelf(CControlUI* control, void*) { return control; }
}  // namespace

bool CWindowManagerUI::SetRoot(CControlUI* root) {
  FocusControl(nullptr);
  m_keyDown = m_hover = m_pressed = m_toolTipControl = nullptr;
  if (m_root) {
    DeleteDelayedControls();
    for (int i = 0; i < m_asyncNotify.Count(); ++i) delete static_cast<TNotifyMsg*>(m_asyncNotify[i]);
    m_asyncNotify.Clear();
    m_names.ClearAll();
    m_postPaint.Clear();
    m_hostedWindows.Clear();
    m_hostedControls.Clear();
    m_delayedCleanup.Push(m_root);
    if (m_window && !m_asyncPosted && ::PostMessageW(m_window, kMsgAsyncNotify, 0, 0)) m_asyncPosted = true;
  }
  m_root = root;
  m_updateNeeded = m_firstLayout = m_focusNeeded = true;
  return root ? AdoptControls(root, nullptr) : true;
}

bool CWindowManagerUI::AdoptControls(CControlUI* control, CControlUI* parent) {
  if (!control) return false;
  control->BindToManager(this, parent, true);
  m_found.Clear();
  control->FindControl(CollectEvery, &m_found, kFindAll);
  // A later control with the same name replaces an earlier one.
  for (int i = 0; i < m_found.Count(); ++i) {
    auto* found = static_cast<CControlUI*>(m_found[i]);
    CUIString name = found->GetName();
    if (!name.IsBlank()) m_names.Put(name, found);
  }
  m_found.Clear();
  return true;
}

bool CWindowManagerUI::ChangeControlName(CControlUI* control, const wchar_t* name) {
  if (!control || !name || !*name || control->OwnerManager() != this) return false;
  void* current = m_names.Lookup(name, false);
  if (current == control) return true;
  if (current) return false;
  for (int i = 0; const wchar_t* key = m_names.KeyAt(i);) {
    CUIString copy(key);
    if (m_names.Lookup(copy, false) == control) m_names.Erase(copy);
    else ++i;
  }
  m_names.Put(name, control);
  return true;
}

void CWindowManagerUI::ForgetControl(CControlUI* control) {
  if (!control) return;
  if (m_focus == control) m_focus = nullptr;
  if (m_hover == control) m_hover = nullptr;
  if (m_pressed == control) m_pressed = nullptr;
  if (m_keyDown == control) m_keyDown = nullptr;
  if (m_toolTipControl == control) m_toolTipControl = nullptr;
  if (m_root == control) m_root = nullptr;
  DropTimers(control);
  CUIString name = control->GetName();
  if (!name.IsBlank() && m_names.Lookup(name, false) == control) m_names.Erase(name);
  for (int i = 0; i < m_asyncNotify.Count(); ++i) {
    auto* msg = static_cast<TNotifyMsg*>(m_asyncNotify[i]);
    if (msg->sender == control) msg->sender = nullptr;
  }
  // A deleted control must not stay on any list that later messages walk.
  RemoveLeaveWatcher(control);
  RemoveOverlayPainter(control);
  for (int i = m_hostedControls.Count() - 1; i >= 0; --i) {
    if (m_hostedControls[i] != control) continue;
    m_hostedControls.RemoveRange(i, 1);
    m_hostedWindows.RemoveRange(i, 1);
  }
  int delayed = m_delayedCleanup.IndexOf(control);
  if (delayed >= 0) m_delayedCleanup.RemoveRange(delayed, 1);
  for (int i = 0; const wchar_t* group = m_optionGroups.KeyAt(i); ++i) {
    auto* members = static_cast<CPtrArrayUI*>(m_optionGroups.Lookup(group, false));
    int index = members->IndexOf(control);
    if (index >= 0) members->RemoveRange(index, 1);
  }
}

void CWindowManagerUI::DeleteLater(CControlUI* control) {
  if (!control) return;
  control->BindToManager(this, nullptr, false);
  if (m_delayedCleanup.IndexOf(control) < 0) m_delayedCleanup.Push(control);
  if (m_window && !m_asyncPosted && ::PostMessageW(m_window, kMsgAsyncNotify, 0, 0)) m_asyncPosted = true;
}

void CWindowManagerUI::DeleteDelayedControls() {
  while (!m_delayedCleanup.IsBlank()) {
    auto* control = static_cast<CControlUI*>(m_delayedCleanup[0]);
    m_delayedCleanup.RemoveRange(0, 1);
    delete control;
  }
}

CControlUI* CWindowManagerUI::ControlAt(POINT pt) const {
  if (!m_root) return nullptr;
  return m_root->FindControl(ReturnSelf, &pt, kFindVisible | kFindHitTest | kFindTopFirst);
}

CControlUI* CWindowManagerUI::ControlByName(const wchar_t* name) const {
  return name ? static_cast<CControlUI*>(m_names.Lookup(name)) : nullptr;
}

// ---------------------------------------------------------------- notifications

bool CWindowManagerUI::AddListener(INotifyUI* listener) {
  if (!listener || m_notifiers.IndexOf(listener) >= 0) return false;
  return m_notifiers.Push(listener);
}

bool CWindowManagerUI::RemoveListener(INotifyUI* listener) {
  int index = m_notifiers.IndexOf(listener);
  return index >= 0 && m_notifiers.RemoveRange(index, 1);
}

void CWindowManagerUI::SendNotification(CControlUI* control, const wchar_t* type, WPARAM wParam, LPARAM lParam,
                                        bool async, bool allowDuplicate) {
  TNotifyMsg msg;
  msg.sender = control;
  msg.type = type;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotification(msg, async, allowDuplicate);
}

void CWindowManagerUI::SendNotification(TNotifyMsg& msg, bool async, bool allowDuplicate) {
  msg.timestamp = ::GetTickCount();
  msg.mousePoint = m_lastMouse;
  if (m_virtualWindows && msg.sender) msg.virtualWindow = msg.sender->VirtualWindowName();
  if (!async) {
    if (msg.sender) msg.sender->NotifyListeners(&msg);
    for (int i = 0; i < m_notifiers.Count(); ++i) static_cast<INotifyUI*>(m_notifiers[i])->OnNotification(msg);
    return;
  }
  if (!allowDuplicate) {
    for (int i = 0; i < m_asyncNotify.Count(); ++i) {
      auto* waiting = static_cast<TNotifyMsg*>(m_asyncNotify[i]);
      if (waiting->sender != msg.sender || waiting->type != msg.type) continue;
      waiting->virtualWindow = msg.virtualWindow;
      waiting->wParam = msg.wParam;
      waiting->lParam = msg.lParam;
      waiting->mousePoint = msg.mousePoint;
      waiting->timestamp = msg.timestamp;
      return;
    }
  }
  m_asyncNotify.Push(new TNotifyMsg(msg));
  if (m_window && !m_asyncPosted && ::PostMessageW(m_window, kMsgAsyncNotify, 0, 0)) m_asyncPosted = true;
}

void CWindowManagerUI::DrainAsyncQueue() {
  m_asyncPosted = false;
  while (!m_asyncNotify.IsBlank()) {
    auto* msg = static_cast<TNotifyMsg*>(m_asyncNotify[0]);
    m_asyncNotify.RemoveRange(0, 1);
    if (msg->sender) msg->sender->NotifyListeners(msg);
    for (int i = 0; i < m_notifiers.Count(); ++i) static_cast<INotifyUI*>(m_notifiers[i])->OnNotification(*msg);
    delete msg;
  }
  DeleteDelayedControls();
}

// ---------------------------------------------------------------- focus

void CWindowManagerUI::SendEvent(CControlUI* control, int type, WPARAM wParam, LPARAM lParam, wchar_t key,
                                 WORD keyState) {
  if (!control) return;
  TEventMsg event;
  event.type = type;
  event.sender = control;
  event.timestamp = ::GetTickCount();
  event.mousePoint = m_lastMouse;
  event.key = key;
  event.keyState = keyState ? keyState : CurrentKeyState();
  event.wParam = wParam;
  event.lParam = lParam;
  control->DispatchEvent(event);
}

WORD CWindowManagerUI::CurrentKeyState() const {
  WORD state = 0;
  if (::GetKeyState(VK_LBUTTON) < 0) state |= kKeyLButton;
  if (::GetKeyState(VK_RBUTTON) < 0) state |= kKeyRButton;
  if (::GetKeyState(VK_SHIFT) < 0) state |= kKeyShift;
  if (::GetKeyState(VK_CONTROL) < 0) state |= kKeyControl;
  if (::GetKeyState(VK_MENU) < 0) state |= kKeyAlt;
  return state;
}

void CWindowManagerUI::FocusControl(CControlUI* control, bool activateWindow) {
  if (activateWindow && m_window && ::GetFocus() != m_window && control != m_focus && !m_noActivate) {
    ::SetFocus(m_window);
  }
  if (control == m_focus) return;
  if (m_focus) {
    CControlUI* old = m_focus;
    TEventMsg event;
    event.type = kEventKillFocus;
    event.sender = control;
    event.timestamp = ::GetTickCount();
    event.mousePoint = m_lastMouse;
    old->DispatchEvent(event);
    SendNotification(old, L"killfocus");
    m_focus = nullptr;
  }
  if (control && control->OwnerManager() == this && control->IsVisible() && control->IsEnabled()) {
    m_focus = control;
    SendEvent(control, kEventSetFocus);
    SendNotification(control, L"setfocus");
  }
}

namespace {
struct TabSearch {
  CControlUI* focus;
  CControlUI* first = nullptr;
  CControlUI* last = nullptr;
  CControlUI* previous = nullptr;  // the last tab stop seen before the focus
  CControlUI* next = nullptr;      // the first tab stop after the focus
  bool passedFocus = false;
};

CControlUI* VisitTabStop(CControlUI* control, void* data) {
  auto* search = static_cast<TabSearch*>(data);
  if (control == search->focus) {
    search->passedFocus = true;
    return nullptr;
  }
  if (!(control->ControlTraits() & kFlagTabStop)) return nullptr;
  if (!search->first) search->first = control;
  search->last = control;
  if (!search->passedFocus) search->previous = control;
  else if (!search->next) search->next = control;
  return nullptr;
}
}  // namespace

bool CWindowManagerUI::MoveTabFocus(bool forward) {
  if (m_updateNeeded && forward) {
    m_focusNeeded = true;
    if (m_window) ::InvalidateRect(m_window, nullptr, FALSE);
    return true;
  }
  if (!m_root) return false;
  TabSearch search{m_focus};
  m_root->FindControl(VisitTabStop, &search, kFindVisible | kFindEnabled | kFindMeFirst);
  CControlUI* target = nullptr;
  if (forward) target = (m_focus && search.passedFocus) ? search.next : nullptr;
  else target = (m_focus && search.passedFocus) ? search.previous : nullptr;
  if (!target) target = forward ? search.first : search.last;
  m_focusNeeded = false;
  if (target) FocusControl(target);
  return true;
}

void CWindowManagerUI::FocusOnNextPaint(CControlUI* control) {
  if (m_window && !m_noActivate) ::SetFocus(m_window);
  FocusControl(nullptr, false);
  TabSearch search{control};
  if (m_root) m_root->FindControl(VisitTabStop, &search, kFindVisible | kFindEnabled | kFindMeFirst);
  // Remembered without events: the next paint moves the focus forward onto `control`.
  m_focus = search.previous;
  m_focusNeeded = true;
  if (m_root) m_root->RequestRelayout();
}

void CWindowManagerUI::CaptureMouse() {
  if (m_window) ::SetCapture(m_window);
  m_captured = true;
}

void CWindowManagerUI::ReleaseMouse() {
  ::ReleaseCapture();
  m_captured = false;
}

bool CWindowManagerUI::AddLeaveWatcher(CControlUI* control) {
  if (!control || m_leaveWatchers.IndexOf(control) >= 0) return false;
  return m_leaveWatchers.Push(control);
}

bool CWindowManagerUI::RemoveLeaveWatcher(CControlUI* control) {
  int index = m_leaveWatchers.IndexOf(control);
  return index >= 0 && m_leaveWatchers.RemoveRange(index, 1);
}

// ---------------------------------------------------------------- timers

bool CWindowManagerUI::StartTimer(CControlUI* control, UINT localId, UINT elapseMs) {
  if (!control) return false;
  for (int i = 0; i < m_timers.Count(); ++i) {
    auto* timer = static_cast<TTimerInfo*>(m_timers[i]);
    if (timer->control != control || timer->localId != localId) continue;
    if (!timer->killed) return false;
    if (!m_window || !::SetTimer(m_window, timer->platformId, elapseMs, nullptr)) return false;
    timer->window = m_window;
    timer->killed = false;
    return true;
  }
  // Ids cycle through 0..254; one still held by a record of this manager is skipped.
  UINT id = m_nextTimerId;
  bool free = false;
  for (int attempt = 0; attempt < 255 && !free; ++attempt) {
    id = (id + 1) % 255;
    free = true;
    for (int i = 0; i < m_timers.Count() && free; ++i) {
      if (static_cast<TTimerInfo*>(m_timers[i])->platformId == id) free = false;
    }
  }
  if (!free || !m_window || !::SetTimer(m_window, id, elapseMs, nullptr)) return false;
  m_nextTimerId = id;
  m_timers.Push(new TTimerInfo{control, localId, m_window, id, false});
  return true;
}

bool CWindowManagerUI::StopTimer(CControlUI* control, UINT localId) {
  for (int i = 0; i < m_timers.Count(); ++i) {
    auto* timer = static_cast<TTimerInfo*>(m_timers[i]);
    if (timer->control != control || timer->localId != localId || timer->killed) continue;
    if (::IsWindow(timer->window)) ::KillTimer(timer->window, timer->platformId);
    timer->killed = true;
    return true;
  }
  return false;
}

void CWindowManagerUI::DropTimers(CControlUI* control) {
  for (int i = m_timers.Count() - 1; i >= 0; --i) {
    auto* timer = static_cast<TTimerInfo*>(m_timers[i]);
    if (timer->control != control) continue;
    if (!timer->killed && ::IsWindow(timer->window)) ::KillTimer(timer->window, timer->platformId);
    delete timer;
    m_timers.RemoveRange(i, 1);
  }
}

void CWindowManagerUI::DropAllTimers() {
  for (int i = 0; i < m_timers.Count(); ++i) {
    auto* timer = static_cast<TTimerInfo*>(m_timers[i]);
    if (!timer->killed && ::IsWindow(timer->window)) ::KillTimer(timer->window, timer->platformId);
    delete timer;
  }
  m_timers.Clear();
}

void CWindowManagerUI::OnTimerMessage(WPARAM id, LPARAM lParam) {
  for (int i = 0; i < m_timers.Count(); ++i) {
    auto* timer = static_cast<TTimerInfo*>(m_timers[i]);
    if (timer->window != m_window || timer->platformId != id || timer->killed) continue;
    SendEvent(timer->control, kEventTimer, timer->localId, lParam);
    return;
  }
}

}  // namespace SkinUI
