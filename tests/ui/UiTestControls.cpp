#include "tests/ui/UiTestControls.h"

#include <algorithm>

using namespace SkinUI;

namespace ui_testing {

namespace {
const wchar_t* EventName(int type) {
  switch (type) {
    case kEventKeyDown: return L"keydown";
    case kEventKeyUp: return L"keyup";
    case kEventChar: return L"char";
    case kEventMouseMove: return L"move";
    case kEventMouseLeave: return L"leave";
    case kEventMouseEnter: return L"enter";
    case kEventMouseHover: return L"hover";
    case kEventButtonDown: return L"down";
    case kEventButtonUp: return L"up";
    case kEventRButtonDown: return L"rdown";
    case kEventDoubleClick: return L"dblclick";
    case kEventContextMenu: return L"menu";
    case kEventScrollWheel: return L"wheel";
    case kEventKillFocus: return L"killfocus";
    case kEventSetFocus: return L"setfocus";
    case kEventWindowSize: return L"size";
    case kEventSetCursor: return L"cursor";
    case kEventTimer: return L"timer";
  }
  return L"?";
}
}  // namespace

CProbe::CProbe(const wchar_t* name, RECT pos, Log* log, bool tabStop) : fixed(pos), m_log(log), m_tabStop(tabStop) {
  SetName(name);
}

CProbe::~CProbe() {
  if (destroyedFlag) *destroyedFlag = true;
}

void CProbe::DispatchEvent(TEventMsg& event) {
  if (m_log && event.type != kEventMouseMove && event.type != kEventSetCursor) {
    std::wstring entry = std::wstring(GetName().c_str()) + L":" + EventName(event.type);
    if (event.type == kEventTimer || event.type == kEventScrollWheel) entry += L":" + std::to_wstring(event.wParam);
    m_log->push_back(entry);
  }
  CControlUI::DispatchEvent(event);
}

CBox::~CBox() {
  for (CControlUI* child : m_children) delete child;
}

void CBox::Add(CControlUI* child) {
  m_children.push_back(child);
  if (m_manager) m_manager->AdoptControls(child, this);
  else child->BindToManager(nullptr, this, false);
}

void CBox::Remove(CControlUI* child) {
  m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
}

void CBox::BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  for (CControlUI* child : m_children) child->BindToManager(manager, this, init);
  CControlUI::BindToManager(manager, parent, init);
}

CControlUI* CBox::FindControl(FindPredicate predicate, void* data, UINT flags) {
  if ((flags & kFindVisible) && !IsVisible()) return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled()) return nullptr;
  if ((flags & kFindHitTest) && !::PtInRect(&m_item, *static_cast<POINT*>(data))) return nullptr;
  if ((flags & kFindUpdateTest) && predicate(this, data)) return nullptr;
  auto self = [&]() -> CControlUI* {
    if ((flags & kFindHitTest) && !AcceptsMouse()) return nullptr;
    return predicate(this, data);
  };
  if (flags & kFindMeFirst) {
    if (CControlUI* found = self()) return found;
  }
  UINT childFlags = flags;
  if (flags & kFindTopFirst) {
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
      if (CControlUI* found = (*it)->FindControl(predicate, data, childFlags)) return found;
    }
  } else {
    for (CControlUI* child : m_children) {
      if (CControlUI* found = child->FindControl(predicate, data, childFlags)) return found;
    }
  }
  return (flags & kFindMeFirst) ? nullptr : self();
}

void CBox::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  for (CControlUI* child : m_children) {
    auto* probe = dynamic_cast<CProbe*>(child);
    RECT f = probe ? probe->fixed : RECT{0, 0, 0, 0};
    child->SetPos(RECT{rect.left + f.left, rect.top + f.top, rect.left + f.right, rect.top + f.bottom}, false);
  }
}

bool CBox::Paint(HDC dc, const RECT& paint, CControlUI* stop) {
  if (!CControlUI::Paint(dc, paint, stop)) return false;
  for (CControlUI* child : m_children) {
    if (child->IsVisible() && !child->Paint(dc, paint, stop)) return false;
  }
  return true;
}

CHostWindow::~CHostWindow() {
  if (Handle()) ::DestroyWindow(Handle());
}

LRESULT CHostWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    manager.Attach(Handle(), L"host");
    manager.AddListener(this);
  }
  LRESULT result = 0;
  if (manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CHostWindow::OnNotification(TNotifyMsg& msg) {
  std::wstring entry = std::wstring(msg.type.c_str()) + L":" + (msg.sender ? msg.sender->GetName().c_str() : L"null");
  if (msg.type == L"timer" || msg.wParam) entry += L":" + std::to_wstring(msg.wParam);
  notes.push_back(entry);
  if (sharedLog) sharedLog->push_back(L"notify " + entry);
}

bool CHostWindow::Open(CControlUI* root) {
  if (!Create(nullptr, L"ui test", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300)) return false;
  manager.SetRoot(root);
  ::UpdateWindow(Handle());
  return true;
}

}  // namespace ui_testing
