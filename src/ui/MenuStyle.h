#pragma once

#include <QPointer>
#include <QProxyStyle>

class QMenu;
class QStyleOptionMenuItem;

// The program's menus, drawn in one of two styles over the desktop's own
// style (which draws everything else, drop-down lists included):
// - style 4: each pop-up item in a 3D look (an image column with the
//   command's picture in a raised frame when selected, embossed text and
//   images for disabled items, etched separators), inside a 3D frame of its
//   own with a drop shadow to the right and below;
// - style 5: the same items without pictures, in the desktop's frame.
// Colours and fonts come from the desktop's palette in both. A menu may
// carry a vertical side title down its left edge (the window's menu).
class MenuStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // style: 4 or 5 (corvane::menuDrawingStyle).
    explicit MenuStyle(int style);

    int drawingStyle() const { return m_style; }

    // Makes the application's style a MenuStyle of the given drawing style
    // (one instance per process; a later call changes its style).
    static MenuStyle *install(int style);
    // The installed style, or nullptr.
    static MenuStyle *installed();

    // Gives the menu a vertical side title ("Corvane"); an empty title
    // removes it.
    static void setSideTitle(QMenu *menu, const QString &title);
    static QString sideTitle(const QMenu *menu);

    // --- QStyle -----------------------------------------------------------------
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The items of a drop-down list's pop-up are drawn for its combo box.
    static bool isComboList(const QWidget *widget);
    bool ownFrame() const;
    bool showsIcons() const;
    void setStyleNumber(int style);
    // The menu's margins: its own frame and shadow, and the side title.
    void applyMargins(QMenu *menu) const;
    void drawMenuPanel(const QMenu *menu, const QStyleOption *option, QPainter *painter) const;
    void drawSideTitle(const QMenu *menu, const QRect &band, QPainter *painter) const;
    void drawPopupItem(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const;
    void drawMenuBarItem(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const;

    int m_style = 4;
    // Menus draw their shadow over a picture of the screen taken before
    // they showed, unless their windows can be see-through.
    bool m_translucentMenus = false;
};
