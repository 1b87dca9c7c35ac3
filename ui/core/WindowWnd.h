// The base of every native window of the framework: binds one object to one window, registers the
// window class (or a superclass of an existing class), routes every message to ProcessMessage, and
// runs a modal message loop.
#pragma once

#include <windows.h>

namespace SkinUI {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  virtual const wchar_t* WindowClassName() const = 0;
  virtual const wchar_t* SuperclassName() const { return nullptr; }
  virtual UINT ClassStyle() const { return 0; }
  virtual LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window is gone; the object may delete itself here.
  virtual void OnDestroyed(HWND window) {}

  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT, HMENU menu = nullptr);
  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rect, HMENU menu = nullptr);
  HWND Handle() const { return m_window; }
  operator HWND() const { return m_window; }

  void Show(bool show = true, bool takeFocus = true);
  // Returns the value given to Close (0 when the window went away without WM_CLOSE).
  UINT RunModal();
  UINT RunModal(bool show, bool takeFocus);
  void Close(UINT result = IDOK);
  void CenterOnOwner();
  void SetWindowIcons(UINT resourceId);
  void SetClientSize(int width = -1, int height = -1);
  LRESULT SendMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  // The class has no virtual destructor by design: derived windows finish themselves in OnDestroyed.
  ~CWindowWnd() = default;

 private:
  bool RegisterWindowClass();
  bool RegisterSuperclass();
  UINT RunModalLoop(int showCommand);
  static LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SuperclassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT RouteMessage(CWindowWnd* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              bool superclassed);

  HWND m_window = nullptr;
  WNDPROC m_previousProc = ::DefWindowProcW;
  bool m_subclassed = false;
};

}  // namespace SkinUI
