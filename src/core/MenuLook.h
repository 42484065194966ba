#pragma once

namespace corvane {

// How the program's menus are drawn. Two drawing styles are in use, chosen
// by MSMenus at start-up: 4 ("Display menus with shadows and icons": the
// menu's own 3D frame with a drop shadow, the commands' images beside their
// items) and 5 (the same items without images, in the desktop's own frame).
int menuDrawingStyle(bool msMenus);
// Even styles draw their own frame and shadow; odd ones keep the desktop's.
bool menuStyleDrawsOwnFrame(int style);
bool menuStyleShowsIcons(int style);

// The layout of a pop-up item, in pixels, for images of iconWidth x iconHeight.
struct MenuLayout
{
    int iconWidth = 16;
    int iconHeight = 15;

    // The image column at the left.
    int iconColumnWidth() const { return iconWidth + 8; }
    // Where the image is drawn, from the item's left edge.
    static constexpr int kIconLeft = 3;
    // A selected item with an image or check mark is highlighted from here
    // on (the image keeps its own frame); one without, over the whole row.
    int selectionLeft() const { return iconWidth + 6; }
    // Where the text begins: the same column with or without an image.
    int textLeft() const { return iconWidth + 12; }
    // The accelerator text ends this far from the right edge.
    int shortcutRightInset() const { return iconWidth; }

    // A pop-up item's width from its text width: the text, room for the
    // image column and the submenu arrow, the room every item has for a
    // check mark, and 15 more when it shows an accelerator after a tab.
    int popupItemWidth(int textWidth, bool hasAccelerator) const
    {
        return textWidth + 2 * iconWidth + 2 + kCheckMarkWidth + (hasAccelerator ? 15 : 0);
    }
    static constexpr int kCheckMarkWidth = 15;
    // A pop-up item's height: the tallest of the system's menu height, the
    // image with its frame and the text.
    int popupItemHeight(int systemMenuHeight, int textHeight) const;
    static constexpr int kSeparatorHeight = 3;

    // The frame of a style that draws its own: a 3D edge of 2 pixels and a
    // shadow of 4 to the right and below.
    static constexpr int kFrameWidth = 2;
    static constexpr int kShadowSize = 4;
};

// The vertical side title ("Corvane" down the left of the window's menu):
// the band is as wide as the title font is high; the text runs upwards from
// 2 pixels off the band's left and 4 above its bottom.
struct SideTitleLayout
{
    static constexpr int kFontPixelHeight = 16;
    static constexpr int kTextLeft = 2;
    static constexpr int kTextBottomInset = 4;
    static int bandWidth(int fontHeight) { return fontHeight; }
};

} // namespace corvane
