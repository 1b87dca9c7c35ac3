// The per-window manager of the UI framework: turns one window's native messages into control
// events, paints the control tree double-buffered (or through a per-pixel-alpha layered window),
// delivers notifications, and holds the window's fonts, images, timers and named controls. Its
// static part holds the process-wide settings: module instance, skin archive, shared resources and
// the multi-language strings.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>

#include "ui/core/ContainersUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/UIDefines.h"

namespace SkinUI {

class CControlUI;

struct TFontInfo {
  HFONT font = nullptr;
  CUIString faceName;
  int size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  bool strikeout = false;
  TEXTMETRICW metrics = {};
  bool measured = false;
};

class CWindowManagerUI {
 public:
  CWindowManagerUI();
  ~CWindowManagerUI();
  CWindowManagerUI(const CWindowManagerUI&) = delete;
  CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;

  // ---- process-wide ----
  static void SetModuleInstance(HINSTANCE instance);
  static HINSTANCE ModuleInstance();
  static HINSTANCE GetModuleInstance() { return ModuleInstance(); }
  static HINSTANCE ResourceModule();
  static void SetResourceModule(HINSTANCE module);
  static const CUIString& SkinFolder();
  static void SetSkinFolder(const wchar_t* folder);
  // Opens the caller's buffer as the skin archive, kept for the life of the program; the buffer
  // must outlive every read. False when the archive cannot be opened.
  static bool RegisterSkinArchive(const void* data, size_t length, const char* password);
  // Closes the kept archive; skin files are read from the resource folder again.
  static void CloseSkinArchive();
  static const CUIString& SkinArchiveName();
  static bool IsSkinArchiveKept();
  static void* SkinArchiveHandle();
  static const char* SkinArchivePassword();
  static bool PreTranslate(MSG* msg);
  static void SetLanguageText(int id, const wchar_t* text);
  static const wchar_t* LanguageText(int id);
  // One pass over the text; replacement text is never scanned again.
  static CUIString ExpandLanguageTokens(const wchar_t* text);

  // ---- lifetime ----
  void Attach(HWND window, const wchar_t* name = L"");
  HWND PaintWindow() const { return m_window; }
  HDC PaintDC() const { return m_paintDC; }
  const CUIString& Name() const { return m_name; }
  POINT MousePoint() const { return m_lastMouse; }
  SIZE ClientSize() const;

  // ---- tree ----
  bool SetRoot(CControlUI* root);
  CControlUI* Root() const { return m_root; }
  bool AdoptControls(CControlUI* control, CControlUI* parent = nullptr);
  bool ChangeControlName(CControlUI* control, const wchar_t* name);
  void ForgetControl(CControlUI* control);
  void DeleteLater(CControlUI* control);
  CControlUI* ControlAt(POINT pt) const;
  CControlUI* ControlByName(const wchar_t* name) const;
  void NeedUpdate() { m_updateNeeded = true; }
  bool IsUpdateNeeded() const { return m_updateNeeded; }

  // ---- messages ----
  bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool HandleBeforeDispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool AddWindowFilter(IMessageFilterUI* filter);
  bool RemoveWindowFilter(IMessageFilterUI* filter);
  bool AddDispatchFilter(IMessageFilterUI* filter);
  bool RemoveDispatchFilter(IMessageFilterUI* filter);
  bool AddAcceleratorHandler(ITranslateAccelerator* handler);
  bool RemoveAcceleratorHandler(ITranslateAccelerator* handler);
  bool RunAcceleratorHandlers(MSG* msg);

  // ---- notifications ----
  bool AddListener(INotifyUI* listener);
  bool RemoveListener(INotifyUI* listener);
  void SendNotification(CControlUI* control, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                        bool async = false, bool allowDuplicate = true);
  void SendNotification(TNotifyMsg& msg, bool async = false, bool allowDuplicate = true);
  void EnableVirtualWindows(bool on) { m_virtualWindows = on; }

  // ---- focus and input ----
  CControlUI* FocusedControl() const { return m_focus; }
  CControlUI* HoveredControl() const { return m_hover; }
  CControlUI* PressedControl() const { return m_pressed; }
  void FocusControl(CControlUI* control, bool activateWindow = true);
  void FocusOnNextPaint(CControlUI* control);
  bool MoveTabFocus(bool forward = true);
  void CaptureMouse();
  void ReleaseMouse();
  bool IsMouseCaptured() const { return m_captured; }
  bool AddLeaveWatcher(CControlUI* control);
  bool RemoveLeaveWatcher(CControlUI* control);

  // ---- timers ----
  bool StartTimer(CControlUI* control, UINT localId, UINT elapseMs);
  bool StopTimer(CControlUI* control, UINT localId);
  void DropTimers(CControlUI* control);
  void DropAllTimers();

  // ---- painting ----
  void Redraw();
  void Redraw(const RECT& rect);
  bool AddOverlayPainter(CControlUI* control);
  bool RemoveOverlayPainter(CControlUI* control);
  bool AddHostedWindow(CControlUI* control, HWND window);
  bool RemoveHostedWindow(HWND window);
  void SetWindowAlpha(int alpha);
  void SetPerPixelAlpha(bool on);
  bool IsLayered() const { return m_layered; }
  void SetPerPixelAlphaLevel(int level);
  void SetPerPixelAlphaImage(const wchar_t* imageString);
  bool IsInPaint() const { return m_painting; }
  void SetInPaint(bool painting) { m_painting = painting; }
  HDC OffscreenDC() const { return m_offscreenDC; }
  bool IsShowingUpdateRects() const { return m_showUpdateRects; }

  // ---- window attributes ----
  void ApplyWindowAttribute(const wchar_t* name, const wchar_t* value);
  SIZE InitialSize() const { return m_initialSize; }
  RECT SizeBox() const { return m_sizeBox; }
  RECT CaptionRect() const { return m_caption; }
  SIZE RoundCorner() const { return m_roundCorner; }
  SIZE MinInfo() const { return m_minInfo; }
  SIZE MaxInfo() const { return m_maxInfo; }
  bool IsNoActivate() const { return m_noActivate; }
  const wchar_t* CustomWindowAttribute(const wchar_t* name) const;
  void AddCustomWindowAttribute(const wchar_t* name, const wchar_t* value);

  // ---- resources ----
  HFONT RegisterFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                     bool strikeout, bool shared = false);
  HFONT SetBaseFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool strikeout,
                    bool shared = false);
  HFONT FontById(int id);
  TFontInfo* FontRecordById(int id);
  TFontInfo* FontRecordByHandle(HFONT font);
  // Id of an existing font with exactly these properties, or -1.
  int MatchFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool strikeout);
  TFontInfo* BaseFontRecord();
  void DropFonts(bool shared = false);
  TImageInfo* RegisterImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                            bool keepSourcePixels = false, bool shared = false);
  TImageInfo* ImageByName(const wchar_t* name) const;
  TImageInfo* ImageByNameOrLoad(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                bool keepSourcePixels = false);
  void DropImages(bool shared = false);
  void SetClassDefaults(const wchar_t* className, const wchar_t* list, bool shared = false);
  const wchar_t* ClassDefaults(const wchar_t* className) const;
  void DropClassDefaults(bool shared = false);
  DWORD DisabledTextColor() const { return m_colors[0]; }
  DWORD BaseTextColor() const { return m_colors[1]; }
  DWORD LinkColor() const { return m_colors[2]; }
  DWORD LinkHoverColor() const { return m_colors[3]; }
  DWORD SelectionColor() const { return m_colors[4]; }
  void SetDisabledTextColor(DWORD c, bool shared = false) { SetColor(0, c, shared); }
  void SetBaseTextColor(DWORD c, bool shared = false) { SetColor(1, c, shared); }
  void SetLinkColor(DWORD c, bool shared = false) { SetColor(2, c, shared); }
  void SetLinkHoverColor(DWORD c, bool shared = false) { SetColor(3, c, shared); }
  void SetSelectionColor(DWORD c, bool shared = false) { SetColor(4, c, shared); }
  bool JoinOptionGroup(const wchar_t* group, CControlUI* option);
  CPtrArrayUI* OptionGroupMembers(const wchar_t* group) const;
  void LeaveOptionGroup(const wchar_t* group, CControlUI* option);
  void DropOptionGroups();

  // Number of timer records and of queued notifications (for diagnostics and tests).
  int TimerCount() const { return m_timers.Count(); }
  int PendingNotificationCount() const { return m_asyncNotify.Count(); }
  int LeaveWatcherCount() const { return m_leaveWatchers.Count(); }
  int OverlayPainterCount() const { return m_postPaint.Count(); }
  int HostedWindowCount() const { return m_hostedWindows.Count(); }

 private:
  struct TTimerInfo;
  friend struct WindowManagerMessages;

  void SetColor(int index, DWORD color, bool shared);
  void PaintWindow(HDC targetDC);
  void OnPaintMessage();
  void LayoutIfNeeded(bool& stop);
  void EnsureOffscreen(const RECT& client);
  void DropOffscreen();
  void PaintLayered(const RECT& paint, const RECT& client);
  void OnMouseMove(POINT pt, WPARAM wParam);
  void OnMouseHover(POINT pt);
  void OnButton(UINT message, POINT pt, WPARAM wParam);
  void DrainAsyncQueue();
  void DeleteDelayedControls();
  void SendEvent(CControlUI* control, int type, WPARAM wParam = 0, LPARAM lParam = 0, wchar_t key = 0,
                 WORD keyState = 0);
  WORD CurrentKeyState() const;
  void RemoveWindowResources();
  void OnTimerMessage(WPARAM id, LPARAM lParam);
  void OnCloseMessage();
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void TrackMouse();
  void MeasureFont(TFontInfo* font);
  TFontInfo* CreateFontRecord(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool strikeout);
  void DeleteFontMap(CStringMapUI& map);
  void DeleteImageMap(CStringMapUI& map);
  void DeleteStringMap(CStringMapUI& map);
  void CheckToolTipWidth(int width);

  CUIString m_name;
  HWND m_window = nullptr;
  HDC m_paintDC = nullptr;

  HDC m_offscreenDC = nullptr;
  HBITMAP m_offscreenBitmap = nullptr;
  HGDIOBJ m_offscreenOld = nullptr;
  BYTE* m_offscreenPixels = nullptr;
  SIZE m_offscreenSize = {0, 0};
  HBITMAP m_layerBackground = nullptr;
  BYTE* m_layerBackgroundPixels = nullptr;

  HWND m_toolTip = nullptr;
  TOOLINFOW m_toolInfo = {};
  CControlUI* m_toolTipControl = nullptr;
  int m_lastTipWidth = -1;
  CUIString m_toolTipText;

  CControlUI* m_root = nullptr;
  CControlUI* m_focus = nullptr;
  CControlUI* m_hover = nullptr;
  CControlUI* m_pressed = nullptr;
  CControlUI* m_keyDown = nullptr;
  POINT m_lastMouse = {-1, -1};

  SIZE m_initialSize = {0, 0};
  RECT m_sizeBox = {0, 0, 0, 0};
  RECT m_caption = {0, 0, 0, 0};
  SIZE m_roundCorner = {0, 0};
  SIZE m_minInfo = {0, 0};
  SIZE m_maxInfo = {0, 0};

  bool m_firstLayout = true;
  bool m_updateNeeded = false;
  bool m_focusNeeded = false;
  bool m_painting = false;
  bool m_mouseTracking = false;
  bool m_captured = false;
  bool m_showUpdateRects = false;
  bool m_noActivate = false;
  bool m_layered = false;
  bool m_layeredChanged = false;
  bool m_virtualWindows = false;
  bool m_forceShared = false;
  bool m_asyncPosted = false;

  int m_opacity = 255;
  RECT m_dirty = {0, 0, 0, 0};
  TDrawInfo m_layerImage;

  CPtrArrayUI m_notifiers;
  CPtrArrayUI m_timers;
  CPtrArrayUI m_windowFilters;
  CPtrArrayUI m_dispatchFilters;
  CPtrArrayUI m_postPaint;
  CPtrArrayUI m_hostedWindows;
  CPtrArrayUI m_hostedControls;
  CPtrArrayUI m_delayedCleanup;
  CPtrArrayUI m_asyncNotify;
  CPtrArrayUI m_found;
  CPtrArrayUI m_leaveWatchers;
  CPtrArrayUI m_accelerators;

  CStringMapUI m_names;
  CStringMapUI m_optionGroups;
  CStringMapUI m_customAttributes;
  CStringMapUI m_fonts;
  CStringMapUI m_images;
  CStringMapUI m_classDefaults;
  TFontInfo m_baseFont;
  DWORD m_colors[5] = {};

  UINT m_nextTimerId = 4096;
  ULONG_PTR m_gdiplusToken = 0;
};

}  // namespace SkinUI
