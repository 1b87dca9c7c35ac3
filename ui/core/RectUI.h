// Rectangle and size value types over the platform's RECT and SIZE (right and bottom exclusive).
#pragma once

#include <windows.h>

namespace SkinUI {

class CRectUI : public RECT {
 public:
  CRectUI() { Clear(); }
  CRectUI(const RECT& r) : RECT(r) {}
  CRectUI(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}

  void Clear() { left = top = right = bottom = 0; }
  bool IsZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
  void UnionWith(const RECT& other) {
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
  }
  void MoveToOrigin() { MoveBy(-left, -top); }
  void MoveBy(LONG dx, LONG dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  bool Contains(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
  // False (and this rectangle emptied) when they do not meet.
  bool IntersectWith(const RECT& other) {
    RECT out;
    bool meets = ::IntersectRect(&out, this, &other) != FALSE;
    *static_cast<RECT*>(this) = out;
    return meets;
  }
};

class CSizeUI : public SIZE {
 public:
  CSizeUI() : SIZE{0, 0} {}
  CSizeUI(LONG x, LONG y) : SIZE{x, y} {}
  CSizeUI(const SIZE& s) : SIZE(s) {}
};

}  // namespace SkinUI
