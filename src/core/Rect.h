#pragma once

// A window rectangle in pixels, edges as stored (right and bottom exclusive).
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect &) const = default;
};

// The intersection of two rectangles; empty when they do not overlap.
inline Rect intersected(const Rect &a, const Rect &b)
{
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.isEmpty())
        return Rect{};
    return r;
}
