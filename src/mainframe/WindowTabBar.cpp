#include "mainframe/WindowTabBar.h"

#include "browser/BrowserDocument.h"
#include "browser/BrowserWindow.h"

#include <QChildEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QToolButton>

namespace {

constexpr int kTickMs = 500;
constexpr int kIconSize = 16;
// The frame drawn around the windows by tabs (not buttons).
constexpr int kTabFrameWidth = 2;
// The room of the button-face margins of a button tab beside its label.
constexpr int kButtonMargin = 6;

Rect toRect(const QRect &r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

// A title as a label shows it: "&" is a character, not a mnemonic.
QString labelText(const QString &title)
{
    QString text = title;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

WindowTabBar::WindowTabBar(QMdiArea *area, const corvane::TabStyle &style, QWidget *parent)
    : QWidget(parent), m_area(area), m_style(style)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // hot tracking
    setAcceptDrops(true);
    setFont(QWidget::font());

    m_scrollLeft = new QToolButton(this);
    m_scrollRight = new QToolButton(this);
    for (QToolButton *b : {m_scrollLeft, m_scrollRight}) {
        b->setAutoRaise(false);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
    m_scrollLeft->setArrowType(Qt::LeftArrow);
    m_scrollRight->setArrowType(Qt::RightArrow);
    connect(m_scrollLeft, &QToolButton::clicked, this, [this] { scrollBy(-1); });
    connect(m_scrollRight, &QToolButton::clicked, this, [this] { scrollBy(1); });

    if (m_area) {
        // The windows are children of the area's viewport.
        m_area->installEventFilter(this);
        m_area->viewport()->installEventFilter(this);
        connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
            const int index = indexOf(window);
            if (index >= 0 && index != m_selected) {
                select(index);
                layoutClient();
            }
            postUpdate();
        });
        setVisible(!m_area->isHidden());
        for (QMdiSubWindow *window : m_area->subWindowList())
            window->installEventFilter(this);
    }
    noteChange();
}

WindowTabBar::~WindowTabBar()
{
    m_tick.stop();
    if (m_area) {
        m_area->removeEventFilter(this);
        m_area->viewport()->removeEventFilter(this);
    }
}

// --- tabs ---------------------------------------------------------------------------------

QString WindowTabBar::tabText(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index).title : QString();
}

QIcon WindowTabBar::tabIcon(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index).icon : QIcon();
}

QMdiSubWindow *WindowTabBar::tabWindow(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index).window.data() : nullptr;
}

int WindowTabBar::indexOf(const QMdiSubWindow *window) const
{
    for (int i = 0; i < count(); ++i)
        if (window && m_items.at(i).key == window)
            return i;
    return -1;
}

QRect WindowTabBar::tabRect(int index) const
{
    if (index < 0 || index >= m_tabRects.size())
        return QRect();
    return m_tabRects.at(index) & m_strip;
}

int WindowTabBar::tabAt(const QPoint &pos) const
{
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(pos))
            return i;
    return -1;
}

QString WindowTabBar::titleOf(QMdiSubWindow *window) const
{
    // The title the window asks for, else its document's, else its caption.
    const QString requested = window->property("tabTitle").toString();
    QString document;
    if (auto *browser = qobject_cast<BrowserWindow *>(window))
        document = browser->document()->title();
    return QString::fromStdString(corvane::tabTitle(requested.toStdString(), document.toStdString(),
                                                    window->windowTitle().toStdString()));
}

qint64 WindowTabBar::iconKeyOf(const QIcon &icon)
{
    return icon.isNull() ? 0 : icon.cacheKey();
}

int WindowTabBar::rowHeight() const
{
    const QFontMetrics fm = fontMetrics();
    const int content = qMax(fm.height(), kIconSize);
    if (m_style.buttons()) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        return style()->sizeFromContents(QStyle::CT_PushButton, &opt, QSize(kIconSize, content), this)
            .height();
    }
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = m_style.bottom() ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
    const int vframe = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &opt, this);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, QSize(kIconSize, content + vframe), this)
        .height();
}

int WindowTabBar::naturalWidth(const Item &item) const
{
    const QFontMetrics fm = fontMetrics();
    const int text = fm.horizontalAdvance(item.title);
    const int icon = item.icon.isNull() ? 0 : kIconSize + 4;
    if (m_style.buttons())
        return text + icon + 2 * kButtonMargin + 4;
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = m_style.bottom() ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
    opt.text = labelText(item.title);
    opt.icon = item.icon;
    opt.iconSize = QSize(kIconSize, kIconSize);
    const int hframe = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this);
    const QSize contents(text + icon + hframe, qMax(fm.height(), kIconSize));
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, contents, this).width();
}

void WindowTabBar::addTab(QMdiSubWindow *window, const QString &title)
{
    Item item;
    item.window = window;
    item.key = window;
    item.title = title;
    item.icon = window->windowIcon();
    item.iconKey = iconKeyOf(item.icon);
    item.width = naturalWidth(item);
    m_items.append(item);
}

void WindowTabBar::removeTab(int index)
{
    if (index < 0 || index >= count())
        return;
    m_items.removeAt(index);
    if (index < m_tabRects.size()) {
        m_tabRects.removeAt(index);
        m_tabRows.removeAt(index);
    }
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    m_hovered = -1;
}

void WindowTabBar::removeTabOf(const QObject *window)
{
    for (int i = 0; i < count(); ++i) {
        if (m_items.at(i).key == window) {
            removeTab(i);
            layoutClient();
            ++m_changes;
            return;
        }
    }
}

void WindowTabBar::select(int index)
{
    m_selected = index;
    // The next layout scrolls the row to it, with the widths the tabs have
    // by then.
    m_followSelected = true;
    update();
}

void WindowTabBar::updateTabs(bool addNew)
{
    if (!m_area)
        return;
    bool changed = m_dirty;
    const QList<QMdiSubWindow *> stack = m_area->subWindowList(QMdiArea::StackingOrder);
    // Windows that left the area.
    for (int i = count() - 1; i >= 0; --i) {
        const Item &item = m_items.at(i);
        if (!item.window || !stack.contains(item.window.data())) {
            removeTab(i);
            changed = true;
        }
    }
    int activeIndex = -1;
    QMdiSubWindow *active = m_area->currentSubWindow();
    // Windows added since the last pass come in the order they were added,
    // however their stacking changed meanwhile.
    if (addNew && active) {
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            QMdiSubWindow *window = *it;
            if (!window || !stack.contains(window) || indexOf(window) >= 0) {
                it = m_pending.erase(it);
            } else if (!window->isHidden()) {
                addTab(window, titleOf(window));
                changed = true;
                it = m_pending.erase(it);
            } else {
                ++it;
            }
        }
    }
    if (active) {
        // From the top of the stack down: the windows present when the bar
        // is made get their tabs in that order, the active one first.
        for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
            QMdiSubWindow *window = *it;
            const QString title = titleOf(window);
            const int index = indexOf(window);
            if (index >= 0 && !window->isHidden()) {
                if (window == active)
                    activeIndex = index;
                Item &item = m_items[index];
                bool itemChanged = false;
                if (item.title != title) {
                    item.title = title;
                    itemChanged = true;
                }
                const QIcon icon = window->windowIcon();
                if (iconKeyOf(icon) != item.iconKey) {
                    item.icon = icon;
                    item.iconKey = iconKeyOf(icon);
                    itemChanged = true;
                }
                if (itemChanged) {
                    item.width = naturalWidth(item);
                    changed = true;
                }
            } else if (index >= 0) {
                removeTab(index);
                changed = true;
            } else if (addNew && !window->isHidden()) {
                addTab(window, title);
                changed = true;
                if (window == active)
                    activeIndex = count() - 1;
            }
        }
    }
    if (activeIndex >= 0 && activeIndex != m_selected) {
        select(activeIndex);
        layoutClient();
        m_dirty = false;
        ++m_changes;
        return;
    }
    if (changed) {
        layoutClient();
        m_dirty = false;
        ++m_changes;
    }
}

void WindowTabBar::noteChange()
{
    // The next tick picks it up; with nothing to pick up the tick rests.
    if (!m_tick.isActive())
        m_tick.start(kTickMs, this);
}

void WindowTabBar::postUpdate()
{
    // As a timer tick would come: once the current event is done.
    if (m_updatePosted)
        return;
    m_updatePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_updatePosted = false;
            updateTabs(true);
        },
        Qt::QueuedConnection);
}

// --- layout -------------------------------------------------------------------------------------

void WindowTabBar::layoutClient()
{
    const Rect inner = corvane::insetByBorder(toRect(rect()), m_style.border);
    const int rh = rowHeight();
    const int gap = m_style.buttons() ? corvane::kTabButtonSpacing : 0;
    const int scrollerWidth = 2 * qMax(kIconSize, rh * 3 / 4);

    std::vector<int> widths;
    widths.reserve(size_t(count()));
    for (const Item &item : m_items)
        widths.push_back(item.width);
    corvane::TabStrip strip =
        corvane::layoutTabStrip(widths, inner.width(), m_style, m_selected, m_firstShown, scrollerWidth);
    if (strip.scrolls && m_followSelected && m_selected >= 0) {
        // The selected tab stays in view, also when titles widen the tabs
        // before it, until the user scrolls the row.
        const int first = corvane::tabFirstShownFor(widths, qMax(0, inner.width() - scrollerWidth), m_style,
                                                    strip.firstShown, m_selected);
        if (first != strip.firstShown)
            strip = corvane::layoutTabStrip(widths, inner.width(), m_style, m_selected, first, scrollerWidth);
    }
    m_firstShown = strip.firstShown;
    m_rows = strip.rows;
    const int stripHeight = m_rows * rh + (m_rows - 1) * gap;

    m_display = toQRect(corvane::tabDisplayArea(toRect(rect()), m_style, stripHeight, kTabFrameWidth));
    const int stripTop = m_style.bottom() ? inner.bottom - stripHeight : inner.top;
    m_strip = QRect(inner.left, stripTop, qMax(0, inner.width()), stripHeight);
    if (strip.scrolls)
        m_strip.setWidth(qMax(0, inner.width() - scrollerWidth));

    m_tabRects.clear();
    m_tabRows.clear();
    for (const corvane::TabSlot &slot : strip.slots) {
        // Row 0 lies next to the windows.
        const int y = m_style.bottom() ? stripTop + slot.row * (rh + gap)
                                       : stripTop + (m_rows - 1 - slot.row) * (rh + gap);
        m_tabRects << QRect(inner.left + slot.left, y, slot.width, rh);
        m_tabRows << slot.row;
    }

    // The arrows of a scrolling row, at its end.
    m_scrollLeft->setVisible(strip.scrolls);
    m_scrollRight->setVisible(strip.scrolls);
    if (strip.scrolls) {
        const int w = scrollerWidth / 2;
        m_scrollLeft->setGeometry(m_strip.right() + 1, stripTop, w, rh);
        m_scrollRight->setGeometry(m_strip.right() + 1 + w, stripTop, w, rh);
        m_scrollLeft->setEnabled(m_firstShown > 0);
        m_scrollRight->setEnabled(count() > 0 && tabRect(count() - 1) != m_tabRects.last());
    }

    if (m_area) {
        const QRect target = m_display.translated(pos());
        if (m_area->geometry() != target)
            m_area->setGeometry(target);
    }
    update();
}

void WindowTabBar::scrollBy(int tabs)
{
    m_followSelected = false;
    m_firstShown = qBound(0, m_firstShown + tabs, qMax(0, count() - 1));
    layoutClient();
}

void WindowTabBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutClient();
}

// --- painting -----------------------------------------------------------------------------------

void WindowTabBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));

    // The ring: shadow at the top and left, highlight at the bottom and right.
    if (m_style.border > 0 && width() > 1 && height() > 1) {
        const QRect r = rect();
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), pal.color(QPalette::Dark));
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), pal.color(QPalette::Dark));
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), pal.color(QPalette::Light));
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), pal.color(QPalette::Light));
    }

    // Tabs frame the windows.
    if (!m_style.buttons() && !m_display.isEmpty()) {
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = m_display.adjusted(-kTabFrameWidth, -kTabFrameWidth, kTabFrameWidth, kTabFrameWidth);
        frame.shape = m_style.bottom() ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        if (m_selected >= 0)
            frame.selectedTabRect = tabRect(m_selected);
        frame.tabBarRect = m_strip;
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &p, this);
    }

    p.setClipRect(m_strip);
    // The rows furthest from the windows first, the selected tab last.
    for (int row = m_rows - 1; row >= 0; --row) {
        for (int i = 0; i < count(); ++i) {
            if (i == m_selected || i >= m_tabRects.size())
                continue;
            if (m_tabRows.at(i) == row && m_tabRects.at(i).intersects(m_strip))
                drawTab(p, i);
        }
    }
    if (m_selected >= 0 && m_selected < m_tabRects.size())
        drawTab(p, m_selected);
}

void WindowTabBar::drawTab(QPainter &p, int index) const
{
    const Item &item = m_items.at(index);
    const QRect r = m_tabRects.at(index);
    const bool selected = index == m_selected;
    const bool hovered = index == m_hovered;

    if (m_style.buttons()) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = r;
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.state |= selected ? (QStyle::State_Sunken | QStyle::State_On) : QStyle::State_Raised;
        if (hovered)
            opt.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
        QRect label = r.adjusted(kButtonMargin, 0, -kButtonMargin, 0);
        if (selected)
            label.translate(1, 1);
        if (!item.icon.isNull()) {
            const QPixmap pixmap = item.icon.pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF());
            style()->drawItemPixmap(&p, QRect(label.left(), label.top(), kIconSize, label.height()),
                                    Qt::AlignCenter, pixmap);
            label.setLeft(label.left() + kIconSize + 4);
        }
        const QString text = fontMetrics().elidedText(item.title, Qt::ElideRight, label.width());
        style()->drawItemText(&p, label, Qt::AlignVCenter | Qt::AlignLeft, palette(), true, text,
                              QPalette::ButtonText);
        return;
    }

    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.shape = m_style.bottom() ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
    opt.text = labelText(item.title);
    opt.icon = item.icon;
    opt.iconSize = QSize(kIconSize, kIconSize);
    opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (selected)
        opt.state |= QStyle::State_Selected;
    if (hovered)
        opt.state |= QStyle::State_MouseOver;
    // Where the tab sits in its row, for the style's joins.
    auto sameRow = [&](int other) {
        return other >= 0 && other < m_tabRows.size() && m_tabRows.at(other) == m_tabRows.at(index);
    };
    const bool first = !sameRow(index - 1);
    const bool last = !sameRow(index + 1);
    opt.position = first && last ? QStyleOptionTab::OnlyOneTab
                   : first       ? QStyleOptionTab::Beginning
                   : last        ? QStyleOptionTab::End
                                 : QStyleOptionTab::Middle;
    if (m_selected >= 0 && sameRow(m_selected) && m_selected == index - 1)
        opt.selectedPosition = QStyleOptionTab::PreviousIsSelected;
    else if (m_selected >= 0 && sameRow(m_selected) && m_selected == index + 1)
        opt.selectedPosition = QStyleOptionTab::NextIsSelected;
    // Styles turn tabs below the windows round the origin, as a tab bar of
    // its own has them: draw each tab from there.
    opt.rect = QRect(QPoint(0, 0), r.size());
    p.save();
    p.translate(r.topLeft());
    style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
    p.restore();
}

// --- the user ------------------------------------------------------------------------------------

void WindowTabBar::onTabPicked(int index)
{
    if (index == m_selected)
        return;
    select(index);
    activateWindowAt(index);
    layoutClient();
}

void WindowTabBar::activateWindowAt(int index)
{
    QMdiSubWindow *window = tabWindow(index);
    if (window && m_area)
        m_area->setActiveSubWindow(window);
}

void WindowTabBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = tabAt(event->position().toPoint());
    if (index >= 0)
        onTabPicked(index);
}

void WindowTabBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_area)
        return;
    // The selected tab's window: the active one maximised is restored, any
    // other is maximised.
    QMdiSubWindow *window = tabWindow(m_selected);
    if (!window)
        return;
    if (window == m_area->currentSubWindow() && window->isMaximized())
        window->showNormal();
    else
        window->showMaximized();
}

void WindowTabBar::mouseMoveEvent(QMouseEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    if (index == m_hovered)
        return;
    const QRect before = tabRect(m_hovered);
    m_hovered = index;
    update(before | tabRect(index));
}

void WindowTabBar::leaveEvent(QEvent *)
{
    if (m_hovered < 0)
        return;
    const QRect before = tabRect(m_hovered);
    m_hovered = -1;
    update(before);
}

void WindowTabBar::dragEnterEvent(QDragEnterEvent *event)
{
    // Taken, so that the moves over the tabs come; nothing is ever dropped.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void WindowTabBar::dragMoveEvent(QDragMoveEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    if (index >= 0 && tabWindow(index) && tabWindow(index) != m_area->currentSubWindow())
        activateWindowAt(index);
    event->ignore();
}

void WindowTabBar::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_tick.timerId()) {
        m_tick.stop();
        updateTabs(true);
        return;
    }
    QWidget::timerEvent(event);
}

bool WindowTabBar::eventFilter(QObject *watched, QEvent *event)
{
    if (m_area && watched == m_area->viewport()) {
        if (event->type() == QEvent::ChildAdded) {
            // A new window: its tab comes with the next pass, selected.
            if (auto *window = qobject_cast<QMdiSubWindow *>(static_cast<QChildEvent *>(event)->child())) {
                window->installEventFilter(this);
                m_pending << window;
                m_selected = -1;
                postUpdate();
            }
        } else if (event->type() == QEvent::ChildRemoved) {
            removeTabOf(static_cast<QChildEvent *>(event)->child());
            postUpdate();
        }
    } else if (watched != m_area && watched->isWidgetType()) {
        // A window's caption, icon, visibility or asked-for title.
        switch (event->type()) {
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::DynamicPropertyChange:
            noteChange();
            break;
        default:
            break;
        }
    } else if (watched == m_area) {
        switch (event->type()) {
        case QEvent::Resize:
            m_dirty = true;
            postUpdate();
            break;
        case QEvent::Show:
        case QEvent::Hide:
            // The bar shows and hides with the area, not with its parents.
            setVisible(!m_area->isHidden());
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
