// A host for control tests: a root that holds controls at fixed rectangles inside the 400x300 test
// window, mouse and key helpers that go through the window's messages, and painting of one
// control onto a canvas for pixel checks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/ui/UiTestControls.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"

namespace ui_testing {

class CFixedBox : public SkinUI::CControlUI {
 public:
  ~CFixedBox() override {
    for (auto& slot : m_slots) delete slot.control;
  }
  template <class T>
  T* Add(T* control, RECT where) {
    m_slots.push_back({control, where});
    if (m_manager) {
      m_manager->AdoptControls(control, this);
      PlaceChildren();
    } else {
      control->BindToManager(nullptr, this, false);
    }
    return control;
  }
  // Takes the child out without deleting it.
  void Remove(SkinUI::CControlUI* control) {
    m_slots.erase(std::remove_if(m_slots.begin(), m_slots.end(), [&](const Slot& s) { return s.control == control; }),
                  m_slots.end());
  }
  void BindToManager(SkinUI::CWindowManagerUI* manager, SkinUI::CControlUI* parent, bool init) override {
    for (auto& slot : m_slots) slot.control->BindToManager(manager, this, init);
    SkinUI::CControlUI::BindToManager(manager, parent, init);
  }
  SkinUI::CControlUI* FindControl(FindPredicate predicate, void* data, UINT flags) override {
    if ((flags & SkinUI::kFindVisible) && !IsVisible()) return nullptr;
    if ((flags & SkinUI::kFindHitTest) && !::PtInRect(&m_item, *static_cast<POINT*>(data))) return nullptr;
    for (auto it = m_slots.rbegin(); it != m_slots.rend(); ++it) {
      if (SkinUI::CControlUI* found = it->control->FindControl(predicate, data, flags)) return found;
    }
    return SkinUI::CControlUI::FindControl(predicate, data, flags);
  }
  void SetPos(RECT rect, bool invalidate) override {
    SkinUI::CControlUI::SetPos(rect, invalidate);
    PlaceChildren();
  }
  void SetVisible(bool visible) override {
    SkinUI::CControlUI::SetVisible(visible);
    for (auto& slot : m_slots) slot.control->SetInheritedVisible(IsVisible());
  }
  bool Paint(HDC dc, const RECT& paint, SkinUI::CControlUI* stop) override {
    if (!SkinUI::CControlUI::Paint(dc, paint, stop)) return false;
    for (auto& slot : m_slots) {
      if (slot.control->IsVisible() && !slot.control->Paint(dc, paint, stop)) return false;
    }
    return true;
  }

 private:
  struct Slot {
    SkinUI::CControlUI* control;
    RECT where;
  };
  void PlaceChildren() {
    for (auto& slot : m_slots) {
      RECT r = slot.where;
      ::OffsetRect(&r, m_item.left, m_item.top);
      slot.control->SetPos(r, false);
    }
  }
  std::vector<Slot> m_slots;
};

class CControlHost {
 public:
  CControlHost() : root(new CFixedBox) {}
  bool Open() {
    if (!window.Open(root)) return false;
    PumpMessages();
    window.notes.clear();
    return true;
  }
  SkinUI::CWindowManagerUI& Manager() { return window.manager; }
  HWND Handle() { return window.Handle(); }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(window.Handle(), message, wParam, lParam);
  }
  void MoveTo(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Release(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
  void Click(int x, int y) {
    MoveTo(x, y);
    Press(x, y);
    Release(x, y);
  }
  void Key(WPARAM key) {
    Send(WM_KEYDOWN, key, 0);
    Send(WM_KEYUP, key, 0);
  }
  // Notifications since the last call, as "type:sender[:wParam]".
  Log TakeNotes() {
    Log notes;
    notes.swap(window.notes);
    return notes;
  }
  // Paints one control alone (its rectangle) onto a canvas of the window's size.
  void PaintOnto(SkinUI::CControlUI* control, CCanvas& canvas) {
    RECT all = canvas.Rect();
    control->Paint(canvas.DC(), all);
  }

  CHostWindow window;
  CFixedBox* root;
};

}  // namespace ui_testing
