// The base of every visual element: a rectangle inside a framework window, painted by its window
// manager, fed framework events and reporting user actions as notifications.
#pragma once

#include <windows.h>

#include "ui/core/ContainersUI.h"
#include "ui/core/DelegateUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/UIDefines.h"
#include "ui/core/UIString.h"

namespace SkinUI {

class CWindowManagerUI;

class CControlUI {
 public:
  using FindPredicate = CControlUI* (*)(CControlUI* control, void* data);

  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual void DeleteSelf();
  virtual ~CControlUI();
  virtual CUIString GetName() const { return m_name; }
  virtual void SetName(const wchar_t* name);
  virtual const wchar_t* ClassName() const { return L"Control"; }
  virtual void* CastToInterface(const wchar_t* name);
  virtual UINT ControlTraits() const { return 0; }
  virtual HWND NativeWindowHandle() const { return nullptr; }
  virtual bool Activate();
  virtual CWindowManagerUI* OwnerManager() const { return m_manager; }
  virtual void BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* GetParent() const { return m_parent; }
  virtual CControlUI* CoverControl() const { return m_cover; }
  virtual void SetCoverControl(CControlUI* control);
  virtual CUIString GetText() const { return m_text; }
  virtual void SetText(const wchar_t* text);
  virtual const RECT& GetPos() const { return m_item; }
  virtual RECT PosInParent() const;
  virtual RECT ContentPos() const { return m_item; }
  virtual void SetPos(RECT rect, bool invalidate = true);
  virtual void Move(SIZE offset, bool invalidate = true);
  virtual int GetWidth() const { return m_item.right - m_item.left; }
  virtual int GetHeight() const { return m_item.bottom - m_item.top; }
  virtual int GetLeft() const { return m_item.left; }
  virtual int GetTop() const { return m_item.top; }
  virtual RECT GetPadding() const { return m_padding; }
  virtual void SetPadding(RECT rect);
  virtual SIZE FloatOffset() const { return m_fixedXY; }
  virtual void SetFloatOffset(SIZE size);
  virtual const double* FloatAnchors() const { return m_floatPercent; }
  virtual void SetFloatAnchors(double l, double t, double r, double b);
  virtual int GetFixedWidth() const { return m_fixedSize.cx; }
  virtual void SetFixedWidth(int cx);
  virtual int GetFixedHeight() const { return m_fixedSize.cy; }
  virtual void SetFixedHeight(int cy);
  virtual int GetMinWidth() const { return m_minSize.cx; }
  virtual void SetMinWidth(int cx);
  virtual int GetMaxWidth() const { return m_maxSize.cx > m_minSize.cx ? m_maxSize.cx : m_minSize.cx; }
  virtual void SetMaxWidth(int cx);
  virtual int GetMinHeight() const { return m_minSize.cy; }
  virtual void SetMinHeight(int cy);
  virtual int GetMaxHeight() const { return m_maxSize.cy > m_minSize.cy ? m_maxSize.cy : m_minSize.cy; }
  virtual void SetMaxHeight(int cy);
  virtual CUIString GetToolTip() const { return m_toolTip; }
  virtual void SetToolTip(const wchar_t* text);
  virtual void SetTipMaxWidth(int width) { m_toolTipWidth = width; }
  virtual int TipMaxWidth() const { return m_toolTipWidth; }
  virtual wchar_t AccessKey() const { return m_shortcut; }
  virtual void SetAccessKey(wchar_t ch) { m_shortcut = ch; }
  virtual bool WantsContextMenu() const { return m_contextMenu; }
  virtual void SetWantsContextMenu(bool on) { m_contextMenu = on; }
  virtual CUIString UserText() const { return m_userData; }
  virtual void SetUserText(const wchar_t* text) { m_userData = text; }
  virtual UINT_PTR UserTag() const { return m_tag; }
  virtual void SetUserTag(UINT_PTR tag) { m_tag = tag; }
  virtual bool IsVisible() const { return m_visible && m_inheritedVisible; }
  virtual void SetVisible(bool visible);
  virtual void SetInheritedVisible(bool visible);
  virtual bool IsEnabled() const { return m_enabled; }
  virtual void SetEnabled(bool enabled);
  virtual bool AcceptsMouse() const { return m_mouseEnabled; }
  virtual void SetAcceptsMouse(bool on) { m_mouseEnabled = on; }
  virtual bool AcceptsKeyboard() const { return m_keyboardEnabled; }
  virtual void SetAcceptsKeyboard(bool on) { m_keyboardEnabled = on; }
  virtual bool IsFocused() const { return m_focused; }
  virtual void SetFocus();
  virtual bool IsFloating() const { return m_float; }
  virtual void SetFloating(bool on);
  virtual CControlUI* FindControl(FindPredicate predicate, void* data, UINT flags);
  virtual void Init();
  virtual void InitSelf() {}
  virtual void DispatchEvent(TEventMsg& event);
  virtual void HandleEvent(TEventMsg& event);
  virtual CUIString AttributeValue(const wchar_t* name) { return CUIString(); }
  virtual void ApplyAttribute(const wchar_t* name, const wchar_t* value);
  virtual CUIString AttributeText(bool ignoreDefaults = true) { return CUIString(); }
  virtual void ApplyAttributeText(const wchar_t* list);
  virtual SIZE MeasureDesiredSize(SIZE available) { return m_fixedSize; }
  virtual bool Paint(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr);
  virtual bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr);
  virtual void PaintBackColor(HDC dc);
  virtual void PaintBackImage(HDC dc);
  virtual void PaintStateImage(HDC dc) {}
  virtual void PaintText(HDC dc) {}
  virtual void PaintBorder(HDC dc);
  virtual void PostPaint(HDC dc, const RECT& paint);

  void Invalidate();
  void RequestRelayout();
  void RequestParentRelayout();
  bool IsUpdateNeeded() const { return m_updateNeeded; }
  DWORD HslAdjustedColor(DWORD color) const { return color; }
  bool DrawImageRecord(HDC dc, TDrawInfo& record);
  void SetBackColor(DWORD color);
  void SetBackColor2(DWORD color);
  void SetBackColor3(DWORD color);
  DWORD BackColor() const { return m_backColor[0]; }
  void SetBorderColor(DWORD color);
  void SetFocusedBorderColor(DWORD color);
  void SetHslAdjust(bool on);
  void SetBorderLineStyle(int style);
  void SetBorderSize(int size);
  void SetBorderSize(RECT rect);
  RECT BorderSize() const { return m_borderSize; }
  void SetCornerSize(int cx, int cy);
  void SetBackImage(const wchar_t* text);
  const TDrawInfo& BackImage() const { return m_backImage; }
  bool AddExtraAttribute(const wchar_t* name, const wchar_t* value);
  const wchar_t* ExtraAttribute(const wchar_t* name) const;
  void ClearExtraAttributes();
  CUIString VirtualWindowName() const;
  void SetVirtualWindowName(const wchar_t* name);

  CDelegateListUI InitListeners;
  CDelegateListUI DestroyListeners;
  CDelegateListUI SizeListeners;
  CDelegateListUI EventListeners;
  CDelegateListUI NotifyListeners;
  CDelegateListUI PaintListeners;
  CDelegateListUI PostPaintListeners;

 protected:
  // Clips `rect` to every ancestor; false when an ancestor is hidden or nothing is left.
  bool ClipToAncestors(RECT& rect) const;
  // Keeps the hot bit of a state word for a control whose own child window can take the pointer:
  // entering sets it; a leave while the pointer is still inside is watched for rather than ending
  // the hot state. True when the event was such a leave and must go no further.
  bool TrackHotBit(const TEventMsg& event, UINT& state, UINT hotBit);

  CWindowManagerUI* m_manager = nullptr;
  CControlUI* m_parent = nullptr;
  CControlUI* m_cover = nullptr;
  CUIString m_virtualWindow;
  CUIString m_name;
  bool m_updateNeeded = true;
  bool m_contextMenu = false;
  bool m_reserved = false;
  RECT m_item = {0, 0, 0, 0};
  RECT m_padding = {0, 0, 0, 0};
  SIZE m_fixedXY = {0, 0};
  SIZE m_fixedSize = {0, 0};
  SIZE m_minSize = {0, 0};
  SIZE m_maxSize = {9999, 9999};
  bool m_visible = true;
  bool m_inheritedVisible = true;
  bool m_enabled = true;
  bool m_mouseEnabled = true;
  bool m_keyboardEnabled = true;
  bool m_focused = false;
  bool m_float = false;
  double m_floatPercent[4] = {0, 0, 0, 0};
  bool m_placing = false;
  CUIString m_text;
  CUIString m_toolTip;
  wchar_t m_shortcut = 0;
  CUIString m_userData;
  UINT_PTR m_tag = 0;
  DWORD m_backColor[3] = {0, 0, 0};
  TDrawInfo m_backImage;
  TDrawInfo m_foreImage;
  DWORD m_borderColor = 0;
  DWORD m_focusedBorderColor = 0;
  bool m_colorShift = false;
  int m_borderStyle = 0;
  int m_toolTipWidth = 300;
  SIZE m_borderRound = {0, 0};
  RECT m_paint = {0, 0, 0, 0};
  RECT m_borderSize = {0, 0, 0, 0};
  CStringMapUI m_extraAttributes;
};

}  // namespace SkinUI
