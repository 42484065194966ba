#include "browser/BrowserWindow.h"

#include "browser/BrowserDocument.h"
#include "browser/BrowserHost.h"
#include "browser/BrowserView.h"
#include "browser/PaneSplitter.h"
#include "core/SettingsStore.h"
#include "ui/ModalQuestions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QAction>
#include <QEvent>
#include <QVBoxLayout>
#include <QMenu>
#include <QPointer>

BrowserWindow::BrowserWindow(BrowserHost &host, QWidget *parent)
    : QMdiSubWindow(parent), m_host(host), m_doc(new BrowserDocument(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_splitter = new PaneSplitter([this](QWidget *p) { return createView(p); }, &host.settings());
    // The splitter sits in a holder of its own: the area makes a window
    // active whenever its widget is shown, and uncovering the panes must not
    // (it would hand the front to each window uncovered in turn).
    auto *client = new QWidget;
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    // Covered, the panes keep their room and the window its least size.
    QSizePolicy policy = m_splitter->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_splitter->setSizePolicy(policy);
    client->setFocusProxy(m_splitter);
    setWidget(client);
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &BrowserWindow::settleCoveredPanes);
    connect(m_splitter, &PaneSplitter::activePaneChanged, this, &BrowserWindow::activeViewChanged);
    connect(m_splitter, &PaneSplitter::splitMenuRequested, this, &BrowserWindow::splitMenuRequested);
    connect(m_splitter, &PaneSplitter::keyboardSplitEnded, this, &BrowserWindow::repairLayout);
    connect(m_doc, &BrowserDocument::titleChanged, this, &BrowserWindow::updateCaption);
    connect(m_doc, &BrowserDocument::iconChanged, this, &BrowserWindow::updateIcon);
    updateCaption();
    // The window's menu binds its Close to the desktop's close keys (Ctrl+W,
    // Ctrl+F4), the main window's Close command too: with the focus in the
    // page both would match and neither ran. The main window's command
    // alone closes the window (asking its pages first).
    if (QMenu *menu = systemMenu()) {
        for (QAction *action : menu->actions())
            if (!action->shortcuts().isEmpty())
                action->setShortcuts({});
    }
}

BrowserWindow::~BrowserWindow()
{
    // The panes go after this window's members: a round of asking them
    // ends here, unanswered.
    m_askingPages = false;
    m_pagesDone = {};
    if (m_waitingFor)
        disconnect(m_waitingFor, nullptr, this, nullptr);
}

BrowserView *BrowserWindow::createView(QWidget *parent)
{
    return new BrowserView(m_host, m_doc, m_host.createControl(parent), parent);
}

BrowserView *BrowserWindow::view() const
{
    return m_splitter ? m_splitter->pane(0, 0) : nullptr;
}

BrowserView *BrowserWindow::activeView() const
{
    return m_splitter ? m_splitter->activeView() : nullptr;
}

void BrowserWindow::moveEvent(QMoveEvent *event)
{
    QMdiSubWindow::moveEvent(event);
    noteNormalPlacement();
}


void BrowserWindow::setNormalPlacement(const QRect &place)
{
    setGeometry(place);
    m_normalPlacement = place;
    Q_EMIT placementChanged();
}

void BrowserWindow::noteNormalPlacement()
{
    if (!isHidden() && !isMaximized() && !isMinimized())
        m_normalPlacement = geometry();
    Q_EMIT placementChanged();
}

void BrowserWindow::updateCaption()
{
    // The document title, as the window caption and the window tab show it.
    const QString title = m_doc->title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Corvane") : title);
}

void BrowserWindow::updateIcon()
{
    // The page's icon, else the program's.
    const QIcon icon = m_doc->icon();
    setWindowIcon(icon.isNull() ? QApplication::windowIcon() : icon);
}

void BrowserWindow::setPanesCovered(bool covered)
{
    if (!m_splitter || isMinimized())
        return;
    if (!covered) {
        m_settle.stop();
        m_settling = false;
        ++m_settleRound;
        if (m_splitter->isHidden())
            m_splitter->setVisible(true);
        return;
    }
    if (panesCovered())
        return;
    m_splitter->setVisible(false);
    m_settle.start(kSettleDelayMs);
}

void BrowserWindow::settleIfCovered()
{
    if (m_splitter && !isMinimized() && m_splitter->isHidden() && !m_settling)
        m_settle.start(kSettleDelayMs);
}

void BrowserWindow::settleCoveredPanes()
{
    if (!m_splitter)
        return;
    if (isMinimized()) {
        // The area hides and shows a minimized window's panes itself.
        m_settling = false;
        return;
    }
    if (!m_settling) {
        // Still covered: shown a moment under the window in front.
        if (!m_splitter->isHidden())
            return;
        m_settling = true;
        m_splitter->setVisible(true);
        // Until each pane's page has been drawn as it is now, and a while
        // after; a page that never says so (its process busy or gone) has
        // kSettleShowMaxMs.
        const int round = ++m_settleRound;
        const QList<BrowserView *> views = m_splitter->views();
        m_settleWaits = int(views.size());
        m_settle.start(views.isEmpty() ? kSettleAfterDrawnMs : kSettleShowMaxMs);
        QPointer<BrowserWindow> self(this);
        const auto drawn = [self, round] {
            if (self && self->m_settling && self->m_settleRound == round && --self->m_settleWaits == 0)
                self->m_settle.start(kSettleAfterDrawnMs);
        };
        for (BrowserView *view : views) {
            if (BrowserControl *control = view->control())
                control->whenDrawn(drawn);
            else
                drawn();
        }
        return;
    }
    m_settling = false;
    ++m_settleRound;
    m_splitter->setVisible(false);
}

bool BrowserWindow::panesCovered() const
{
    return m_splitter && !isMinimized() && (m_splitter->isHidden() || m_settling);
}

void BrowserWindow::focusActivePane()
{
    BrowserView *view = activeView();
    if (!view || !m_splitter || panesCovered() || isMinimized())
        return;
    // The widget that has the keys, or will have them once the main window
    // is active again.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != window())
        focus = window()->focusWidget();
    if (focus == this || (focus && isAncestorOf(focus) && !focus->isVisible()))
        view->setFocus(Qt::OtherFocusReason);
}

bool BrowserWindow::focusNextPrevChild(bool next)
{
    // Qt moves the focus on when the widget holding it is hidden, as if Tab
    // had been pressed: a window restored from maximized hides itself for a
    // moment, and covered panes are hidden. Moved so, the focus would reach
    // a page of this window as a Tab press, which puts it on the page's
    // first link (Enter then follows a link nobody chose). It stays where it
    // is; the window made active next takes it.
    if (!isVisible() || panesCovered())
        return true;
    return QMdiSubWindow::focusNextPrevChild(next);
}

void BrowserWindow::storeMaximized()
{
    // A window on its way in or out (hidden) says nothing about the next one.
    if (!isVisible())
        return;
    SettingsStore &s = m_host.settings();
    const int maximized = isMaximized() ? 1 : 0;
    if (s.childMaximized() != maximized)
        s.setChildMaximized(maximized);
}

void BrowserWindow::resizeEvent(QResizeEvent *event)
{
    QMdiSubWindow::resizeEvent(event);
    noteNormalPlacement();
    storeMaximized();
}

void BrowserWindow::changeEvent(QEvent *event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        storeMaximized();
}

void BrowserWindow::repairLayout()
{
    QWidget *top = window();
    const bool painting = top->updatesEnabled();
    top->setUpdatesEnabled(false);
    if (m_host.settings().childMaximized())
        showMaximized();
    else
        showNormal();
    top->setUpdatesEnabled(painting);
}

// --- closing ------------------------------------------------------------------------

BrowserWindow::PagesAnswer BrowserWindow::askPagesToClose(std::function<void(bool)> done)
{
    if (m_askingPages)
        return PagesAnswer::Pending;
    m_askingPages = true;
    m_pagesDone = std::move(done);
    m_pagesToAsk.clear();
    if (m_splitter) {
        // The active pane first: the user looks at it.
        BrowserView *active = m_splitter->activeView();
        if (active)
            m_pagesToAsk << active;
        for (BrowserView *view : m_splitter->views())
            if (view != active)
                m_pagesToAsk << view;
    }
    const PagesAnswer answer = askRemainingPages();
    if (answer != PagesAnswer::Pending) {
        m_askingPages = false;
        m_pagesDone = {};
    }
    return answer;
}

BrowserWindow::PagesAnswer BrowserWindow::askRemainingPages()
{
    while (!m_pagesToAsk.isEmpty()) {
        const QPointer<BrowserView> view = m_pagesToAsk.takeFirst();
        if (!view)
            continue;
        switch (view->requestClose()) {
        case BrowserControl::CloseAnswer::Close:
            continue;
        case BrowserControl::CloseAnswer::Stay:
            m_pagesToAsk.clear();
            return PagesAnswer::Stay;
        case BrowserControl::CloseAnswer::Pending:
            m_waitingFor = view;
            connect(view, &BrowserView::closeAnswered, this,
                    [this, v = view.data()](bool mayClose) { onPageCloseAnswered(v, mayClose); });
            // A pane that goes meanwhile has nothing more to say.
            connect(view, &QObject::destroyed, this, [this, v = view.data()] { onPageCloseAnswered(v, true); });
            return PagesAnswer::Pending;
        }
    }
    return PagesAnswer::MayClose;
}

void BrowserWindow::onPageCloseAnswered(BrowserView *view, bool mayClose)
{
    if (!m_askingPages || view != m_waitingFor.data())
        return;
    disconnect(view, nullptr, this, nullptr);
    m_waitingFor = nullptr;
    PagesAnswer answer = mayClose ? askRemainingPages() : PagesAnswer::Stay;
    if (!mayClose)
        m_pagesToAsk.clear();
    if (answer == PagesAnswer::Pending)
        return;
    m_askingPages = false;
    const std::function<void(bool)> done = std::move(m_pagesDone);
    m_pagesDone = {};
    if (done)
        done(answer == PagesAnswer::MayClose);
}

void BrowserWindow::closeInArea(QCloseEvent *event)
{
    // A window never shown (a popup refused or answered No) leaves the area
    // first: the area takes the last window it was given for its active one
    // and, seeing it go, would make another window active in its place, so
    // the user would no longer be in the window they were in.
    if (QMdiArea *area = mdiArea(); area && isHidden())
        area->removeSubWindow(this);
    QMdiSubWindow::closeEvent(event);
}

void BrowserWindow::closeWithoutAsking()
{
    m_closeApproved = true;
    close();
}


void BrowserWindow::bringForward(BrowserView *view)
{
    if (isMinimized())
        showNormal();
    if (QMdiArea *area = mdiArea(); area && area->currentSubWindow() != this && isVisible())
        area->setActiveSubWindow(this);
    if (m_splitter && view) {
        const corvane::PanePos pos = m_splitter->paneOf(view);
        if (pos.row >= 0 && m_splitter->activeView() != view)
            m_splitter->setActivePane(pos.row, pos.column);
    }
}

void BrowserWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeApproved || modalQuestionsEnded()) {
        closeInArea(event);
        return;
    }
    event->ignore();
    if (m_askingPages)
        return; // the pages are being asked already
    const QPointer<BrowserWindow> self(this);
    const PagesAnswer answer = askPagesToClose([self](bool mayClose) {
        if (!self)
            return;
        if (mayClose)
            self->closeWithoutAsking();
        else
            Q_EMIT self->closeRefused();
    });
    if (!self)
        return;
    switch (answer) {
    case PagesAnswer::MayClose:
        m_closeApproved = true;
        closeInArea(event);
        break;
    case PagesAnswer::Stay:
        Q_EMIT closeRefused();
        break;
    case PagesAnswer::Pending:
        break;
    }
}
