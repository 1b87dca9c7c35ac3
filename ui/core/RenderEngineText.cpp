// Plain and formatted text of the render engine.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "ui/core/RenderEngine.h"
#include "ui/core/RenderInternals.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

void CRenderer::DrawPlainText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color,
                              int fontId, UINT style) {
  if (!dc || !manager || !text) return;
  CUIString expanded = CWindowManagerUI::ExpandLanguageTokens(text);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ToColorRef(CRenderer::FixDrawColor(color)));
  HGDIOBJ oldFont = ::SelectObject(dc, manager->FontById(fontId));
  if (style & DT_CALCRECT) {
    ::DrawTextW(dc, expanded, -1, &rect, style | DT_NOPREFIX);
  } else {
    RECT box = rect;
    ::DrawTextW(dc, expanded, -1, &box, VerticallyPlaced(dc, expanded, box, style) | DT_NOPREFIX);
  }
  ::SelectObject(dc, oldFont);
}

// DrawText places only a single line vertically; wrapped text would always sit at the top of its
// box. It is measured here and the box's top moved so that it centres or bottoms like one line.
UINT CRenderer::VerticallyPlaced(HDC dc, const wchar_t* text, RECT& rect, UINT style) {
  if ((style & DT_SINGLELINE) || !(style & (DT_VCENTER | DT_BOTTOM))) return style;
  RECT measured = rect;
  ::DrawTextW(dc, text, -1, &measured, (style & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT | DT_NOPREFIX);
  const int room = (rect.bottom - rect.top) - (measured.bottom - measured.top);
  if (room > 0) rect.top += (style & DT_BOTTOM) ? room : room / 2;
  return style & ~(DT_VCENTER | DT_BOTTOM);
}

namespace {

constexpr int kFirstAutoFontId = 30000;

struct TextStyle {
  CUIString face;
  int size = 12;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  bool strikeout = false;
  HFONT font = nullptr;
  DWORD color = 0;
  int valign = 0;  // 0 bottom, 1 center, 2 top
  bool selected = false;
  int link = -1;   // index into the caller's link arrays, -1 outside links
  int paragraphSpace = 0;
  int lineHeight = 0;  // 0: from the items
};

struct LineItem {
  CUIString text;  // empty for an image
  HFONT font = nullptr;
  DWORD color = 0;
  bool selected = false;
  int link = -1;
  int valign = 0;
  int x = 0;
  int width = 0;
  int height = 0;
  TImageInfo* image = nullptr;
  RECT source = {0, 0, 0, 0};
};

// A style's font becomes the registered font's; nothing changes without one.
void TakeFont(TextStyle& s, const TFontInfo* info) {
  if (!info) return;
  s.face = info->faceName;
  s.size = info->size;
  s.bold = info->bold;
  s.underline = info->underline;
  s.italic = info->italic;
  s.strikeout = info->strikeout;
  s.font = info->font;
}

class CFormattedText {
 public:
  CFormattedText(HDC dc, CWindowManagerUI* manager, RECT& rect, DWORD color, RECT* linkRects, CUIString* linkTexts,
                 int& linkCount, UINT style)
      : m_dc(dc), m_manager(manager), m_rect(rect), m_linkRects(linkRects), m_linkTexts(linkTexts),
        m_linkRoom(linkCount), m_linkCount(linkCount), m_style(style) {
    m_linkCount = 0;
    TextStyle s;
    TakeFont(s, manager->BaseFontRecord());
    s.color = CRenderer::FixDrawColor(color);
    m_stack.push_back(s);
    m_x = rect.left;
    m_y = rect.top;
  }

  void Run(const wchar_t* text) {
    m_oldFont = ::SelectObject(m_dc, Style().font);
    const wchar_t* p = text;
    while (*p && !m_stopped) p = Step(p);
    FlushLine(true);
    ::SelectObject(m_dc, m_oldFont);
    if (m_style & DT_CALCRECT) {
      m_rect.right = m_rect.left + m_maxWidth;
      m_rect.bottom = m_y;
    }
  }

 private:
  TextStyle& Style() { return m_stack.back(); }
  bool Single() const { return (m_style & DT_SINGLELINE) != 0; }
  bool Measuring() const { return (m_style & DT_CALCRECT) != 0; }

  static bool IsOpen(wchar_t c) { return c == L'<' || c == L'{'; }
  static bool IsClose(wchar_t c) { return c == L'>' || c == L'}'; }

  const wchar_t* Step(const wchar_t* p) {
    if (IsOpen(p[0]) && (p[1] == L'{' || p[1] == L'}' || p[1] == L'<' || p[1] == L'>') && IsClose(p[2]) &&
        (p[1] == L'{' || p[1] == L'}' ? p[0] == L'<' : p[0] == L'{')) {
      AddWord(CUIString(p[1]));
      return p + 3;
    }
    if (m_raw) {
      if (IsOpen(p[0]) && p[1] == L'/' && p[2] == L'r' && IsClose(p[3])) {
        m_raw = false;
        return p + 4;
      }
    } else if (IsOpen(p[0]) && p[1] == L'/' && p[2] >= L'a' && p[2] <= L'z' && IsClose(p[3])) {
      EndTag(p[2]);
      return p + 4;
    } else if (IsOpen(p[0]) && p[1] >= L'a' && p[1] <= L'z' && (p[2] == L' ' || IsClose(p[2]))) {
      const wchar_t* end = p + 2;
      while (*end && !IsClose(*end)) ++end;
      const wchar_t* paramStart = p[2] == L' ' ? p + 3 : p + 2;
      CUIString param(paramStart, static_cast<int>(std::max<ptrdiff_t>(0, end - paramStart)));
      StartTag(p[1], param);
      return *end ? end + 1 : end;
    }
    if (*p == L'\n') {
      NewLine();
      return p + 1;
    }
    if (*p == L'\r') return p + 1;
    if (*p == L' ' || *p == L'\t') {
      AddWord(CUIString(L' '));
      return p + 1;
    }
    const wchar_t* end = p + 1;
    while (*end && *end != L' ' && *end != L'\t' && *end != L'\n' && *end != L'\r' && !IsOpen(*end)) ++end;
    AddWord(CUIString(p, static_cast<int>(end - p)));
    return end;
  }

  HFONT FontFor(TextStyle& s) {
    int id = m_manager->MatchFont(s.face, s.size, s.bold, s.underline, s.italic, s.strikeout);
    if (id >= 0) return m_manager->FontById(id);
    static int nextAutoId = kFirstAutoFontId;
    id = nextAutoId++;
    HFONT font = m_manager->RegisterFont(id, s.face, s.size, s.bold, s.underline, s.italic, s.strikeout);
    return font ? font : s.font;
  }

  void StartTag(wchar_t tag, const CUIString& param) {
    TextStyle s = Style();
    bool pushes = true;
    switch (tag) {
      case L'a': {
        s.color = CRenderer::FixDrawColor(m_manager->LinkColor());
        s.underline = true;
        if (m_linkCount < m_linkRoom && m_linkRects && m_linkTexts) {
          s.link = m_linkCount++;
          POINT mouse = m_manager->MousePoint();
          if (::PtInRect(&m_linkRects[s.link], mouse)) s.color = CRenderer::FixDrawColor(m_manager->LinkHoverColor());
          m_linkTexts[s.link] = param;
          ::SetRectEmpty(&m_linkRects[s.link]);
        }
        s.font = FontFor(s);
        break;
      }
      case L'b': s.bold = true; s.font = FontFor(s); break;
      case L'u': s.underline = true; s.font = FontFor(s); break;
      case L'c': s.color = CRenderer::FixDrawColor(ParseColorText(param)); break;
      case L'f': ApplyFontTag(s, param); break;
      case L'i':
        if (param.IsBlank()) {
          s.italic = true;
          s.font = FontFor(s);
        } else {
          AddImage(param);
          pushes = false;
        }
        break;
      case L'n': pushes = false; if (!Single()) NewLine(); break;
      case L'p':
        if (!m_line.empty() || m_x != m_rect.left) NewLine();
        s.paragraphSpace += _wtoi(param);
        break;
      case L'r': m_raw = true; pushes = false; break;
      case L's': s.selected = !s.selected; break;
      case L'v': s.valign = param == L"center" ? 1 : param == L"top" ? 2 : 0; break;
      case L'x': pushes = false; m_x += _wtoi(param); break;
      case L'y': s.lineHeight = _wtoi(param); break;
      default: pushes = false; break;
    }
    if (!pushes) return;
    m_stack.push_back(s);
    m_openTags.push_back(tag);
  }

  // An end tag without a matching start tag changes nothing.
  void EndTag(wchar_t tag) {
    for (size_t i = m_openTags.size(); i > 0; --i) {
      if (m_openTags[i - 1] != tag) continue;
      m_openTags.resize(i - 1);
      m_stack.resize(i);
      return;
    }
  }

  void ApplyFontTag(TextStyle& s, const CUIString& param) {
    if (!param.IsBlank() && iswdigit(param.At(0))) {
      TakeFont(s, m_manager->FontRecordById(_wtoi(param)));
      return;
    }
    const wchar_t* p = param;
    const wchar_t* faceEnd = p;
    while (*faceEnd && *faceEnd != L' ') ++faceEnd;
    s.face = CUIString(p, static_cast<int>(faceEnd - p));
    s.bold = s.underline = s.italic = s.strikeout = false;
    for (p = faceEnd; *p;) {
      while (*p == L' ') ++p;
      const wchar_t* w = p;
      while (*p && *p != L' ') ++p;
      CUIString word(w, static_cast<int>(p - w));
      if (word.IsBlank()) continue;
      if (iswdigit(word.At(0))) s.size = _wtoi(word);
      else if (word == L"bold") s.bold = true;
      else if (word == L"underline") s.underline = true;
      else if (word == L"italic") s.italic = true;
      else if (word == L"strikeout") s.strikeout = true;
    }
    s.font = FontFor(s);
  }

  void AddImage(const CUIString& param) {
    CUIString name = param;
    int frames = 1, frame = 0;
    if (param.IndexOf(L"file='") < 0 && param.IndexOf(L"res='") < 0) {
      int space = param.IndexOf(L' ');
      if (space > 0) {
        name = param.Prefix(space);
        long v[2] = {1, 0};
        ParseNumberList(param.c_str() + space + 1, v, 2);
        frames = v[0] >= 1 ? v[0] : 1;
        frame = (v[1] >= 0 && v[1] < frames) ? v[1] : 0;
      }
    }
    TDrawInfo info;
    info.text = name;
    CRenderer::ParseImageString(info);
    const wchar_t* type = info.resourceType.IsBlank() ? nullptr : info.resourceType.c_str();
    TImageInfo* image = m_manager->ImageByNameOrLoad(info.imageName, type, info.mask);
    if (!image || image->width / frames <= 0) return;
    LineItem item;
    item.image = image;
    item.width = image->width / frames;
    item.height = image->height;
    item.source = RECT{item.width * frame, 0, item.width * (frame + 1), image->height};
    item.valign = Style().valign;
    item.link = Style().link;
    Place(item);
  }

  void AddWord(const CUIString& word) {
    if (word == L" " && m_line.empty() && m_x == m_rect.left && m_wrapped) return;
    ::SelectObject(m_dc, Style().font);
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32W(m_dc, word, word.Length(), &extent);
    TEXTMETRICW tm;
    ::GetTextMetricsW(m_dc, &tm);
    LineItem item;
    item.text = word;
    item.font = Style().font;
    item.color = Style().color;
    item.selected = Style().selected;
    item.link = Style().link;
    item.valign = Style().valign;
    item.width = extent.cx;
    item.height = tm.tmHeight;
    Place(item);
  }

  void Place(LineItem& item) {
    bool fits = m_x + item.width <= m_rect.right;
    if (!fits && Single()) {
      if (item.image) {
        m_stopped = true;
        return;
      }
      CutToFit(item);
      m_stopped = true;
    } else if (!fits && (!m_line.empty() || m_x > m_rect.left)) {
      if (item.text == L" ") return;
      m_wrapped = true;
      NewLine();
    }
    item.x = m_x;
    m_x += item.width;
    m_line.push_back(item);
    // The line keeps the spacing of the tags its items were placed under.
    if (Style().lineHeight > 0) m_lineFixedHeight = Style().lineHeight;
    m_lineSpace = std::max(m_lineSpace, Style().paragraphSpace);
  }

  // On a single line the word that does not fit is cut, ending in "..." when asked.
  void CutToFit(LineItem& item) {
    ::SelectObject(m_dc, item.font);
    int room = std::max<int>(0, m_rect.right - m_x);
    bool ellipsis = (m_style & DT_END_ELLIPSIS) != 0;
    SIZE dots = {0, 0};
    if (ellipsis) ::GetTextExtentPoint32W(m_dc, L"...", 3, &dots);
    int fit = 0;
    SIZE extent = {0, 0};
    ::GetTextExtentExPointW(m_dc, item.text, item.text.Length(), std::max<int>(0, room - dots.cx), &fit, nullptr,
                            &extent);
    item.text = item.text.Prefix(fit);
    if (ellipsis) item.text += L"...";
    ::GetTextExtentPoint32W(m_dc, item.text, item.text.Length(), &extent);
    item.width = std::min<int>(extent.cx, room);
  }

  void NewLine() {
    FlushLine(false);
    if (Single()) m_stopped = true;
  }

  void FlushLine(bool last) {
    int height = m_lineFixedHeight;
    if (height <= 0) {
      for (const LineItem& item : m_line) height = std::max(height, item.height);
      if (height == 0) {
        TEXTMETRICW tm;
        ::SelectObject(m_dc, Style().font);
        ::GetTextMetricsW(m_dc, &tm);
        height = tm.tmHeight;
      }
    }
    if (last && m_line.empty()) return;
    height += m_lineSpace;
    m_lineFixedHeight = m_lineSpace = 0;
    for (const LineItem& item : m_line) DrawItem(item, height);
    m_maxWidth = std::max<int>(m_maxWidth, m_x - m_rect.left);
    m_line.clear();
    m_y += height;
    m_x = m_rect.left;
    if (!Measuring() && m_y >= m_rect.bottom) m_stopped = true;
  }

  void DrawItem(const LineItem& item, int lineHeight) {
    int top = item.valign == 2 ? m_y : item.valign == 1 ? m_y + (lineHeight - item.height) / 2
                                                      : m_y + lineHeight - item.height;
    RECT box = {item.x, top, item.x + item.width, top + item.height};
    if (item.link >= 0) ::UnionRect(&m_linkRects[item.link], &m_linkRects[item.link], &box);
    if (Measuring()) return;
    RECT clip;
    if (!::IntersectRect(&clip, &box, &m_rect)) return;
    if (item.image) {
      TNineParts parts;
      parts.source = item.source;
      parts.corners = RECT{0, 0, 0, 0};
      parts.hasAlpha = item.image->hasAlpha;
      CRenderer::DrawImage(m_dc, item.image->bitmap, item.image->width, item.image->height, box, clip, parts);
      return;
    }
    ::SelectObject(m_dc, item.font);
    ::SetTextColor(m_dc, ToColorRef(item.color));
    ::SetBkMode(m_dc, item.selected ? OPAQUE : TRANSPARENT);
    ::ExtTextOutW(m_dc, box.left, box.top, ETO_CLIPPED | (item.selected ? ETO_OPAQUE : 0), &clip, item.text,
                  item.text.Length(), nullptr);
  }

  HDC m_dc;
  CWindowManagerUI* m_manager;
  RECT& m_rect;
  RECT* m_linkRects;
  CUIString* m_linkTexts;
  int m_linkRoom;
  int& m_linkCount;
  UINT m_style;
  std::vector<TextStyle> m_stack;
  std::vector<wchar_t> m_openTags;
  std::vector<LineItem> m_line;
  HGDIOBJ m_oldFont = nullptr;
  int m_x = 0;
  int m_y = 0;
  int m_maxWidth = 0;
  int m_lineFixedHeight = 0;
  int m_lineSpace = 0;
  bool m_raw = false;
  bool m_stopped = false;
  bool m_wrapped = false;
};

}  // namespace

void CRenderer::DrawFormattedText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color,
                                  RECT* linkRects, CUIString* linkTexts, int& linkCount, UINT style) {
  if (!dc || !manager || !text) {
    linkCount = 0;
    return;
  }
  CUIString expanded = CWindowManagerUI::ExpandLanguageTokens(text);
  render_detail::CSavedDC saved(dc);
  CFormattedText layout(dc, manager, rect, color, linkRects, linkTexts, linkCount, style);
  layout.Run(expanded);
}

}  // namespace SkinUI
