// Test controls and a host window for the window manager tests: a box that holds children at
// fixed positions, a probe that records the events it receives, and a window that forwards its
// messages to a window manager and records notifications.
#pragma once

#include <string>
#include <vector>

#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace ui_testing {

using Log = std::vector<std::wstring>;

class CProbe : public SkinUI::CControlUI {
 public:
  CProbe(const wchar_t* name, RECT pos, Log* log, bool tabStop = false);
  ~CProbe() override;
  UINT ControlTraits() const override { return m_tabStop ? static_cast<UINT>(SkinUI::kFlagTabStop) : 0u; }
  // Records the events this control receives itself (not those bubbling up from children).
  void DispatchEvent(SkinUI::TEventMsg& event) override;
  RECT fixed;
  bool* destroyedFlag = nullptr;

 private:
  Log* m_log;
  bool m_tabStop;
};

class CBox : public CProbe {
 public:
  CBox(const wchar_t* name, RECT pos, Log* log) : CProbe(name, pos, log) {}
  ~CBox() override;
  void Add(SkinUI::CControlUI* child);
  // Takes the child out without deleting it.
  void Remove(SkinUI::CControlUI* child);
  void BindToManager(SkinUI::CWindowManagerUI* manager, SkinUI::CControlUI* parent, bool init) override;
  SkinUI::CControlUI* FindControl(FindPredicate predicate, void* data, UINT flags) override;
  void SetPos(RECT rect, bool invalidate) override;
  bool Paint(HDC dc, const RECT& paint, SkinUI::CControlUI* stop) override;

 private:
  std::vector<SkinUI::CControlUI*> m_children;
};

class CHostWindow : public SkinUI::CWindowWnd, public SkinUI::INotifyUI {
 public:
  CHostWindow() = default;
  ~CHostWindow();
  const wchar_t* WindowClassName() const override { return L"TovikUiTestHost"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnNotification(SkinUI::TNotifyMsg& msg) override;
  // A 400x300 popup, shown and painted once.
  bool Open(SkinUI::CControlUI* root);

  SkinUI::CWindowManagerUI manager;
  Log notes;
  Log* sharedLog = nullptr;
};

}  // namespace ui_testing
