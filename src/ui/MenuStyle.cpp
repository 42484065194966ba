#include "ui/MenuStyle.h"

#include "core/MenuLook.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

namespace {

// Properties a menu carries.
const char *const kSideTitleProperty = "corvaneSideTitle";
const char *const kScreenUnderProperty = "corvaneScreenUnder";

const corvane::MenuLayout kLayout{16, 15};

QFont sideTitleFont(const QFont &menuFont)
{
    QFont font = menuFont;
    font.setBold(true);
    font.setPixelSize(corvane::SideTitleLayout::kFontPixelHeight);
    return font;
}

int sideTitleWidth(const QMenu *menu)
{
    if (MenuStyle::sideTitle(menu).isEmpty())
        return 0;
    return corvane::SideTitleLayout::bandWidth(QFontMetrics(sideTitleFont(menu->font())).height());
}

// The picture greyed in relief: a light copy one pixel down and to the
// right, the shape in the dark colour on top.
QPixmap embossed(const QPixmap &source, const QPalette &palette)
{
    const QImage shape = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto tinted = [&shape](const QColor &colour) {
        QImage image(shape.size(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(shape.devicePixelRatio());
        image.fill(colour);
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, shape);
        return image;
    };
    QImage out(shape.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(shape.devicePixelRatio());
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage(QPointF(1, 1), tinted(palette.color(QPalette::Light)));
    p.drawImage(QPointF(0, 0), tinted(palette.color(QPalette::Dark)));
    p.end();
    return QPixmap::fromImage(out);
}

void drawCheckMark(QPainter *painter, const QRect &box, const QColor &colour, bool bullet)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(colour);
    painter->setPen(Qt::NoPen);
    const QPointF c = QRectF(box).center();
    if (bullet) {
        painter->drawEllipse(c, 3, 3);
    } else {
        QPainterPath path;
        path.moveTo(c.x() - 4, c.y() - 1);
        path.lineTo(c.x() - 1.5, c.y() + 1.5);
        path.lineTo(c.x() + 4, c.y() - 4.5);
        path.lineTo(c.x() + 4, c.y() - 1.5);
        path.lineTo(c.x() - 1.5, c.y() + 4.5);
        path.lineTo(c.x() - 4, c.y() + 2);
        path.closeSubpath();
        painter->drawPath(path);
    }
    painter->restore();
}

void drawArrowRight(QPainter *painter, const QRect &box, const QColor &colour)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    const QPointF c = QRectF(box).center();
    const QPointF points[] = {{c.x() - 2, c.y() - 4}, {c.x() + 2, c.y()}, {c.x() - 2, c.y() + 4}};
    painter->drawPolygon(points, 3);
    painter->restore();
}

} // namespace

MenuStyle::MenuStyle(int style)
    : QProxyStyle(QApplication::style() ? QApplication::style()->name() : QString())
{
    // Without a compositor a window cannot be see-through; the shadow is
    // then blended over a picture of what lay under the menu.
    m_translucentMenus = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    setStyleNumber(style);
}

MenuStyle *MenuStyle::installed()
{
    return qobject_cast<MenuStyle *>(QApplication::style());
}

MenuStyle *MenuStyle::install(int style)
{
    if (MenuStyle *current = installed()) {
        if (current->m_style != style) {
            current->setStyleNumber(style);
            // Menus already made take the new frame.
            for (QWidget *widget : QApplication::allWidgets())
                if (auto *menu = qobject_cast<QMenu *>(widget))
                    current->applyMargins(menu);
        }
        return current;
    }
    auto *created = new MenuStyle(style);
    QApplication::setStyle(created);
    return created;
}

void MenuStyle::setStyleNumber(int style)
{
    m_style = style == 5 ? 5 : 4;
}

bool MenuStyle::ownFrame() const
{
    return corvane::menuStyleDrawsOwnFrame(m_style);
}

bool MenuStyle::showsIcons() const
{
    return corvane::menuStyleShowsIcons(m_style);
}

void MenuStyle::setSideTitle(QMenu *menu, const QString &title)
{
    if (!menu)
        return;
    menu->setProperty(kSideTitleProperty, title.isEmpty() ? QVariant() : QVariant(title));
    if (MenuStyle *style = qobject_cast<MenuStyle *>(menu->style()))
        style->applyMargins(menu);
    menu->update();
}

QString MenuStyle::sideTitle(const QMenu *menu)
{
    return menu ? menu->property(kSideTitleProperty).toString() : QString();
}

void MenuStyle::applyMargins(QMenu *menu) const
{
    const int title = sideTitleWidth(menu);
    QMargins margins;
    if (ownFrame()) {
        constexpr int f = corvane::MenuLayout::kFrameWidth;
        constexpr int s = corvane::MenuLayout::kShadowSize;
        margins = QMargins(f + title, f, f + s, f + s);
    } else {
        // The desktop's panel draws its frame at the edge; a style whose
        // items may cover it gets one pixel of room for it.
        const int edge = QProxyStyle::pixelMetric(PM_MenuPanelWidth, nullptr, menu) > 0 ? 0 : 1;
        margins = QMargins(edge + title, edge, edge, edge);
    }
    if (menu->contentsMargins() == margins)
        return;
    menu->setContentsMargins(margins);
    // A menu measured before lays its items out again.
    QEvent changed(QEvent::StyleChange);
    QCoreApplication::sendEvent(menu, &changed);
}

// --- polish ---------------------------------------------------------------------------

void MenuStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (auto *menu = qobject_cast<QMenu *>(widget)) {
        menu->installEventFilter(this);
        if (m_translucentMenus && ownFrame() && !menu->testAttribute(Qt::WA_WState_Created))
            menu->setAttribute(Qt::WA_TranslucentBackground);
        applyMargins(menu);
    }
}

void MenuStyle::unpolish(QWidget *widget)
{
    if (auto *menu = qobject_cast<QMenu *>(widget)) {
        menu->removeEventFilter(this);
        menu->setContentsMargins(0, 0, 0, 0);
        menu->setProperty(kScreenUnderProperty, QVariant());
    }
    QProxyStyle::unpolish(widget);
}

bool MenuStyle::eventFilter(QObject *watched, QEvent *event)
{
    auto *menu = qobject_cast<QMenu *>(watched);
    if (!menu)
        return QProxyStyle::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // Before the menu's window is on the screen: what lies under it,
        // for the shadow to fall on.
        if (ownFrame() && !m_translucentMenus && !event->spontaneous()) {
            QPixmap under;
            if (QScreen *screen = menu->screen()) {
                const QRect g = menu->geometry();
                const QPoint origin = screen->geometry().topLeft();
                under = screen->grabWindow(0, g.x() - origin.x(), g.y() - origin.y(), g.width(),
                                           g.height());
            }
            menu->setProperty(kScreenUnderProperty, under.isNull() ? QVariant() : QVariant(under));
        }
        break;
    case QEvent::Hide:
        menu->setProperty(kScreenUnderProperty, QVariant());
        break;
    default:
        break;
    }
    return QProxyStyle::eventFilter(watched, event);
}

// --- metrics ----------------------------------------------------------------------------

bool MenuStyle::isComboList(const QWidget *widget)
{
    return qobject_cast<const QComboBox *>(widget) != nullptr;
}

int MenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (ownFrame()) {
        switch (metric) {
        case PM_MenuPanelWidth: // drawn with the shadow, inside the margins
        case PM_MenuHMargin:
            return 0;
        case PM_MenuVMargin:
            return 1;
        default:
            break;
        }
    }
    if (metric == PM_SmallIconSize && qobject_cast<const QMenu *>(widget))
        return kLayout.iconWidth;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                  const QWidget *widget) const
{
    // A drop-down list's items are the desktop's own (they come as menu
    // items too): the list is as wide as the desktop's style lays them out
    // in the font in use, which the menus' image column would overrun.
    if (type == CT_MenuItem && !isComboList(widget)) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType == QStyleOptionMenuItem::Separator)
                return QSize(10, corvane::MenuLayout::kSeparatorHeight);
            if (item->menuItemType == QStyleOptionMenuItem::Normal
                || item->menuItemType == QStyleOptionMenuItem::DefaultItem
                || item->menuItemType == QStyleOptionMenuItem::SubMenu) {
                QFont font = item->font;
                if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
                    font.setBold(true);
                const QFontMetrics fm(font);
                // The desktop's menu row: the text with some air.
                const int systemMenuHeight = fm.height() + 6;
                return QSize(kLayout.popupItemWidth(size.width(), item->text.contains(QLatin1Char('\t'))),
                             kLayout.popupItemHeight(systemMenuHeight, fm.height()));
            }
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

// --- drawing ----------------------------------------------------------------------------

void MenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    switch (element) {
    case PE_PanelMenu:
        if (const auto *menu = qobject_cast<const QMenu *>(widget)) {
            drawMenuPanel(menu, option, painter);
            return;
        }
        break;
    case PE_FrameMenu:
        if (ownFrame() && qobject_cast<const QMenu *>(widget))
            return; // part of the panel
        break;
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, option->palette.window());
        return;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const
{
    switch (element) {
    case CE_MenuItem:
        if (isComboList(widget))
            break;
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType != QStyleOptionMenuItem::Scroller
                && item->menuItemType != QStyleOptionMenuItem::TearOff) {
                drawPopupItem(item, painter, widget);
                return;
            }
        }
        break;
    case CE_MenuEmptyArea:
        if (const auto *menu = qobject_cast<const QMenu *>(widget)) {
            // Clipped to what the items leave: the same panel again.
            drawMenuPanel(menu, option, painter);
            return;
        }
        break;
    case CE_MenuBarItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            drawMenuBarItem(item, painter, widget);
            return;
        }
        break;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, option->palette.window());
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void MenuStyle::drawMenuPanel(const QMenu *menu, const QStyleOption *option, QPainter *painter) const
{
    const QRect all = menu->rect();
    const QPalette &palette = menu->palette();
    QRect panel = all;
    if (ownFrame()) {
        constexpr int s = corvane::MenuLayout::kShadowSize;
        panel = all.adjusted(0, 0, -s, -s);
        // What the shadow falls on: the screen as it was, or nothing.
        const QRegion shadowArea = QRegion(all) - QRegion(panel);
        painter->save();
        painter->setClipRegion(shadowArea, Qt::IntersectClip);
        const QPixmap under = menu->property(kScreenUnderProperty).value<QPixmap>();
        if (m_translucentMenus) {
            painter->setCompositionMode(QPainter::CompositionMode_Source);
            painter->fillRect(all, Qt::transparent);
            painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else if (!under.isNull()) {
            painter->drawPixmap(all.topLeft(), under);
        } else {
            painter->fillRect(all, palette.window());
        }
        // The shadow, darkest next to the menu, offset by its own size.
        for (int y = all.top() + s; y <= all.bottom(); ++y) {
            for (int x = all.left() + s; x <= all.right(); ++x) {
                const int dx = x - panel.right();
                const int dy = y - panel.bottom();
                if (dx <= 0 && dy <= 0)
                    continue;
                const int distance = qMax(dx, dy); // 1 .. s
                int alpha = 90 - (distance - 1) * 22;
                // Softer towards the ends the shadow starts from.
                if (dx > 0 && y < panel.top() + 2 * s)
                    alpha = alpha * (y - all.top() - s + 1) / (s + 1);
                if (dy > 0 && x < panel.left() + 2 * s)
                    alpha = alpha * (x - all.left() - s + 1) / (s + 1);
                painter->fillRect(QRect(x, y, 1, 1), QColor(0, 0, 0, qBound(0, alpha, 255)));
            }
        }
        painter->restore();
        painter->fillRect(panel, palette.window());
        qDrawWinPanel(painter, panel, palette, false);
    } else {
        // The desktop's own panel and frame.
        QStyleOption panelOption = *option;
        panelOption.rect = all;
        QProxyStyle::drawPrimitive(PE_PanelMenu, &panelOption, painter, menu);
    }

    const int band = sideTitleWidth(menu);
    if (band > 0) {
        const int inset = ownFrame() ? corvane::MenuLayout::kFrameWidth
                                     : qMax(1, QProxyStyle::pixelMetric(PM_MenuPanelWidth, nullptr, menu));
        drawSideTitle(menu, QRect(panel.left() + inset, panel.top() + inset, band, panel.height() - 2 * inset),
                      painter);
    }
}

void MenuStyle::drawSideTitle(const QMenu *menu, const QRect &band, QPainter *painter) const
{
    const QPalette &palette = menu->palette();
    painter->save();
    painter->fillRect(band, palette.color(QPalette::Active, QPalette::Highlight));
    const QFont font = sideTitleFont(menu->font());
    painter->setFont(font);
    painter->setPen(palette.color(QPalette::Active, QPalette::HighlightedText));
    painter->setClipRect(band);
    // Upwards from the bottom of the band.
    painter->translate(band.left() + corvane::SideTitleLayout::kTextLeft,
                       band.bottom() - corvane::SideTitleLayout::kTextBottomInset);
    painter->rotate(-90);
    painter->drawText(QPoint(0, QFontMetrics(font).ascent()), sideTitle(menu));
    painter->restore();
}

void MenuStyle::drawPopupItem(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const
{
    const QRect r = item->rect;
    const QPalette &palette = item->palette;
    const bool enabled = item->state & State_Enabled;
    const bool selected = (item->state & State_Selected) && item->menuItemType != QStyleOptionMenuItem::Separator;

    painter->save();
    // On the desktop's panel in style 5; on the menu colour in our own frame.
    if (ownFrame())
        painter->fillRect(r, palette.window());

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        // An etched line along the top.
        const int y = r.top() + 1;
        painter->setPen(palette.color(QPalette::Mid));
        painter->drawLine(r.left() + 1, y, r.right() - 1, y);
        painter->setPen(palette.color(QPalette::Light));
        painter->drawLine(r.left() + 1, y + 1, r.right() - 1, y + 1);
        painter->restore();
        return;
    }

    const bool hasIcon = showsIcons() && !item->icon.isNull();
    const bool checked = item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked;
    const bool hasMark = hasIcon || checked;

    if (selected) {
        const QRect selection = hasMark ? r.adjusted(kLayout.selectionLeft(), 0, 0, 0) : r;
        painter->fillRect(selection, palette.color(QPalette::Active, QPalette::Highlight));
    }

    const int iconSize = kLayout.iconWidth;
    const QRect iconRect(r.left() + corvane::MenuLayout::kIconLeft, r.top() + (r.height() - iconSize) / 2,
                         iconSize, iconSize);
    if (hasIcon) {
        const QRect frame = iconRect.adjusted(-2, -2, 1, 1);
        if (checked)
            qDrawShadePanel(painter, frame, palette, true, 1);
        else if (selected && enabled)
            qDrawShadePanel(painter, frame, palette, false, 1);
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = item->icon.pixmap(QSize(iconSize, iconSize), dpr, QIcon::Normal,
                                            checked ? QIcon::On : QIcon::Off);
        if (!enabled)
            picture = embossed(picture, palette);
        painter->drawPixmap(iconRect, picture);
    } else if (checked) {
        const QRect box = iconRect.adjusted(-1, -1, 1, 1);
        qDrawShadePanel(painter, box, palette, true, 1, &palette.brush(QPalette::Base));
        drawCheckMark(painter, box, palette.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text),
                      item->checkType == QStyleOptionMenuItem::Exclusive);
    }

    // The text, and the accelerator after its tab at the right.
    QString text = item->text;
    QString accelerator;
    const int tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        accelerator = text.mid(tab + 1);
        text = text.left(tab);
    }
    QFont font = item->font;
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    painter->setFont(font);
    const QRect textRect = r.adjusted(kLayout.textLeft(), 0, -kLayout.shortcutRightInset(), 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget))
        flags |= Qt::TextHideMnemonic;
    auto drawTexts = [&](const QRect &area, const QColor &colour) {
        painter->setPen(colour);
        painter->drawText(area, flags | Qt::AlignLeft, text);
        if (!accelerator.isEmpty())
            painter->drawText(area, flags | Qt::AlignRight, accelerator);
    };
    QColor textColour;
    if (!enabled && !selected) {
        // Embossed: a light copy below and to the right, grey on top.
        drawTexts(textRect.translated(1, 1), palette.color(QPalette::Light));
        textColour = palette.color(QPalette::Disabled, QPalette::WindowText);
    } else if (!enabled) {
        textColour = palette.color(QPalette::Window);
    } else if (selected) {
        textColour = palette.color(QPalette::Active, QPalette::HighlightedText);
    } else {
        textColour = palette.color(QPalette::Active, QPalette::WindowText);
    }
    drawTexts(textRect, textColour);

    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        const QRect arrow(r.right() - kLayout.iconWidth + 1, r.top(), kLayout.iconWidth - 2, r.height());
        drawArrowRight(painter, arrow, textColour);
    }
    painter->restore();
}

void MenuStyle::drawMenuBarItem(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const
{
    const QPalette &palette = item->palette;
    const bool enabled = item->state & State_Enabled;
    const bool selected = enabled && (item->state & (State_Selected | State_Sunken));
    painter->save();
    painter->fillRect(item->rect, selected ? palette.color(QPalette::Active, QPalette::Highlight)
                                           : palette.color(QPalette::Window));
    int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget))
        flags |= Qt::TextHideMnemonic;
    QColor colour = palette.color(QPalette::Active, QPalette::WindowText);
    if (!enabled)
        colour = palette.color(QPalette::Disabled, QPalette::WindowText);
    else if (selected)
        colour = palette.color(QPalette::Active, QPalette::HighlightedText);
    painter->setFont(item->font);
    painter->setPen(colour);
    painter->drawText(item->rect, flags, item->text);
    painter->restore();
}
