#pragma once

#include <optional>

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

// The least of a window the user can work with: the main window with its
// menus, bars and some page; a browser window with its caption and some page.
struct Size
{
    int width = 0;
    int height = 0;
};
inline constexpr Size kUsableMainWindow{480, 360};
inline constexpr Size kUsableBrowserWindow{240, 180};

// Where a window stored with this rectangle is placed on an area (the
// desktop's work area, a main window's client area) so that the user can
// use it. A rectangle with no part on the area (an empty or inverted one
// included) gives nothing: the window stays where it would open without a
// record. Otherwise the window is at least `usable` wide and high and never
// larger than the area; it keeps its place when its top edge lies on the
// area with at least `usable` of it (or all of it, when smaller) on the area,
// and any other comes back wholly onto the area, its size kept. Any int
// edges are taken (a record edited by hand); an empty area leaves the
// rectangle as it is.
std::optional<Rect> placeOnArea(const Rect &window, const Rect &area, Size usable);

// The rectangle to store for a top-level window. Some platforms place every
// top-level window themselves and never say where (a Wayland session
// reports each one at 0, 0): there the window's size is kept at the corner
// already stored, so the place from an earlier session survives for the
// next one that can use it. With nothing stored, or where the platform
// reports positions, it is the window's rectangle as reported.
Rect placementToStore(const Rect &reported, const std::optional<Rect> &stored, bool positionReported);
