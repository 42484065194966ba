// The main window's commands: the actions, menus, accelerators and toolbars
// built from the command tables, the routing of a command (active view, then
// main window, then application), the update pass that enables and checks them,
// and the main window's own command handlers.
#include "mainframe/MainWindow.h"

#include "browser/BrowserWindow.h"
#include "browser/BrowserView.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/CommandTable.h"
#include "core/ImageSeries.h"
#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/SmartNavigate.h"
#include "core/Strings.h"
#include "core/TextSize.h"
#include "mainframe/AddressBar.h"
#include "mainframe/Icons.h"
#include "mainframe/NavigateDialog.h"
#include "managers/LinksManagerDialog.h"
#include "managers/OptionsSheet.h"
#include "managers/SpawningManagerDialog.h"
#include "managers/WorkspaceManagerDialog.h"
#include "ui/MessageBox.h"
#include "ui/StoredQString.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <functional>

namespace cmd = corvane::cmd;

namespace {

// The width of the address box in the address band.
constexpr int kAddressBoxWidthPixels = 347;

// The main window's commands that work now.
constexpr int kMainWindowCommands[] = {
    cmd::ToolBar,   cmd::StatusBar,  cmd::AddressBar,     cmd::Tabs,
    cmd::CloseAll,  cmd::Offline,    cmd::ScanPopups,     cmd::ToolbarVariant,
    cmd::SmartNavigateToggle, cmd::Mail, cmd::Search,     cmd::MakerHomePage,
    cmd::MailMaker, cmd::AddressGo,  cmd::Close,          cmd::Exit,
    cmd::Cascade,   cmd::TileHorizontally, cmd::TileVertically,
    cmd::Navigate,  cmd::WindowSpawning, cmd::Options,    cmd::Links,
    cmd::LinksManager,
    // Favorites, the special folders, Internet Options and the version
    // check act on the active view.
    cmd::Favorites, cmd::AddToFavorites, cmd::OrganizeFavorites, cmd::ExploreCache,
    cmd::ExploreCookies, cmd::ExploreFavorites, cmd::ExploreHistory, cmd::ExplorePersonal,
    cmd::InternetOptions, cmd::CheckVersion, cmd::Workspaces,
    cmd::Split,     cmd::Lock,       cmd::Unlock,         cmd::PreviousPane,
    cmd::FocusAddress, cmd::Downloads,
};

// The commands with a check mark.
constexpr int kCheckCommands[] = {
    cmd::ToolBar,   cmd::StatusBar,  cmd::AddressBar, cmd::Tabs,      cmd::Offline,
    cmd::ScanPopups, cmd::FontsHuge, cmd::FontsLarge, cmd::FontsNormal, cmd::FontsSmall,
    cmd::FontsTiny,
};

// The commands whose images the menus show when MSMenus is on.
constexpr int kMenuIconCommands[] = {
    cmd::New,     cmd::Split,   cmd::ScanPopups, cmd::Back,     cmd::Forward,
    cmd::Navigate, cmd::Home,   cmd::Stop,       cmd::Refresh,  cmd::Mail,
    cmd::Search,  cmd::LinksManager, cmd::WindowSpawning, cmd::Workspaces, cmd::Options,
    cmd::About,   cmd::Open,    cmd::SaveAs,     cmd::Print,    cmd::Cut,
    cmd::Copy,    cmd::Paste,   cmd::CloseAll,   cmd::Find,     cmd::Undo,
    cmd::Redo,    cmd::Cascade, cmd::TileHorizontally, cmd::TileVertically, cmd::MakerHomePage,
};

template <size_t N>
bool contains(const int (&ids)[N], int id)
{
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

bool isFavorite(int id)
{
    return id >= cmd::FavoriteFirst && id <= cmd::FavoriteLast;
}

QString fromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

// A menu text without its accelerator part: "&Toolbar\tF6" gives "&Toolbar".
QString withoutAccelerator(const QString &text)
{
    const int tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

} // namespace

// --- actions, menus, toolbars ------------------------------------------------------

QAction *MainWindow::ensureAction(int id, const QString &text)
{
    Command &command = m_commands[id];
    if (!command.action) {
        auto *action = new QAction(this);
        const corvane::CommandPrompt prompt = corvane::commandPrompt(id);
        action->setStatusTip(fromStd(prompt.prompt));
        action->setToolTip(fromStd(prompt.tooltip));
        action->setCheckable(contains(kCheckCommands, id));
        action->setIcon(corvane::icons::commandIcon(id));
        action->setIconVisibleInMenu(false);
        action->setShortcutContext(Qt::WindowShortcut);
        // Keys work whichever menu bar is up, even for commands no menu shows.
        addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        command.action = action;
    }
    if (!text.isEmpty() && command.action->text().isEmpty())
        command.action->setText(text);
    return command.action;
}

void MainWindow::createActions()
{
    // The accelerator table: every key of a command on its one action.
    QHash<int, QList<QKeySequence>> keys;
    QList<int> order;
    for (const corvane::Accelerator &accelerator : corvane::acceleratorTable()) {
        if (!keys.contains(accelerator.id))
            order << accelerator.id;
        keys[accelerator.id] << QKeySequence::fromString(QString::fromStdString(accelerator.keys),
                                                         QKeySequence::PortableText);
    }
    for (int id : order)
        ensureAction(id)->setShortcuts(keys.value(id));
    // Commands reached only through the toolbar, the address box or menus
    // built later.
    for (int id : {cmd::ScanPopups, cmd::LinksManager, cmd::Lock, cmd::Unlock, cmd::AddressGo})
        ensureAction(id);
    for (const corvane::MenuEntry &entry : corvane::menuSplit().children)
        if (entry.kind == corvane::MenuEntry::Item)
            ensureAction(entry.id, fromStd(entry.text));
    // The splitter's right-click menu, "SplitMenu".
    m_splitMenu = buildMenu(corvane::menuSplit(), this);
}

QMenu *MainWindow::buildMenu(const corvane::MenuEntry &popup, QWidget *parent)
{
    auto *menu = new QMenu(fromStd(popup.text), parent);
    menu->setToolTipsVisible(false);
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandUI);
    for (const corvane::MenuEntry &entry : popup.children) {
        switch (entry.kind) {
        case corvane::MenuEntry::Separator:
            menu->addSeparator();
            break;
        case corvane::MenuEntry::Popup:
            menu->addMenu(buildMenu(entry, menu));
            break;
        case corvane::MenuEntry::Item:
            menu->addAction(ensureAction(entry.id, fromStd(entry.text)));
            break;
        }
    }
    return menu;
}

void MainWindow::buildMenus()
{
    for (const corvane::MenuEntry &popup : corvane::menuNoWindow())
        m_menusNoWindow << buildMenu(popup, this);
    for (const corvane::MenuEntry &popup : corvane::menuWithWindow()) {
        QMenu *menu = buildMenu(popup, this);
        m_menusWithWindow << menu;
        // The Window menu lists the open browser windows below its commands.
        if (!menu->actions().isEmpty() && menu->actions().first() == commandAction(cmd::Cascade))
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowList(menu); });
    }
    // The IE menu's commands keep their menu texts until it is inserted.
    const std::function<void(const corvane::MenuEntry &)> nameItems = [&](const corvane::MenuEntry &popup) {
        for (const corvane::MenuEntry &entry : popup.children) {
            if (entry.kind == corvane::MenuEntry::Item)
                ensureAction(entry.id, fromStd(entry.text));
            else if (entry.kind == corvane::MenuEntry::Popup)
                nameItems(entry);
        }
    };
    nameItems(corvane::menuIE());
    // Actions without a menu text take their tool tip as their name.
    for (auto it = m_commands.begin(); it != m_commands.end(); ++it) {
        QAction *action = it->action;
        if (action->text().isEmpty())
            action->setText(action->toolTip());
    }
}

void MainWindow::fillWindowList(QMenu *menu)
{
    for (QAction *action : menu->actions())
        if (action->property("windowListEntry").toBool())
            delete action;
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    if (windows.isEmpty())
        return;
    menu->addSeparator()->setProperty("windowListEntry", true);
    QMdiSubWindow *current = m_mdi->currentSubWindow();
    int number = 0;
    for (QMdiSubWindow *window : windows) {
        ++number;
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *entry = menu->addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                                     : QStringLiteral("%1 %2").arg(number).arg(title));
        entry->setProperty("windowListEntry", true);
        // Only the active window carries a check mark.
        entry->setCheckable(window == current);
        entry->setChecked(window == current);
        QPointer<QMdiSubWindow> target = window;
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target && m_mdi)
                m_mdi->setActiveSubWindow(target);
        });
    }
}

void MainWindow::showMenus(bool withWindow)
{
    m_windowMenuShown = withWindow;
    QMenuBar *bar = menuBar();
    bar->clear();
    for (QMenu *menu : withWindow ? m_menusWithWindow : m_menusNoWindow)
        bar->addMenu(menu);
}

QList<QMenu *> MainWindow::currentMenus() const
{
    return m_windowMenuShown ? m_menusWithWindow : m_menusNoWindow;
}

void MainWindow::createToolBars()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->toggleViewAction()->setEnabled(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // The address band: the label "Address" and the box, beside the toolbar.
    m_addressBand = new QToolBar(QStringLiteral("Address"), this);
    m_addressBand->setObjectName(QStringLiteral("addressBand"));
    m_addressBand->setMovable(false);
    m_addressBand->setFloatable(false);
    m_addressBand->setContextMenuPolicy(Qt::PreventContextMenu);
    auto *label = new QLabel(QStringLiteral("Address"), m_addressBand);
    label->setContentsMargins(4, 0, 4, 0);
    m_address = new AddressBar(m_addressBand);
    m_address->setFixedWidth(kAddressBoxWidthPixels);
    label->setBuddy(m_address);
    m_addressBand->addWidget(label);
    m_addressBand->addWidget(m_address);
    addToolBar(Qt::TopToolBarArea, m_addressBand);

    connect(m_address, &AddressBar::goRequested, this, [this] { runCommand(cmd::AddressGo); });
    connect(m_address, &AddressBar::itemPicked, this, &MainWindow::goToPickedAddress);
    connect(m_address, &AddressBar::textEditedByUser, this, &MainWindow::noteAddressTyping);
}

void MainWindow::loadToolbarImages(int toolbar)
{
    m_currentToolbar = toolbar == 156 ? 156 : 128;
    const corvane::ToolbarSlots &slots =
        m_currentToolbar == 156 ? corvane::toolbar156() : corvane::toolbar128();
    const bool dim = m_settings.dimToolBar() != 0;

    for (auto it = m_commands.begin(); it != m_commands.end(); ++it) {
        qDeleteAll(it->toolbarButtons);
        it->toolbarButtons.clear();
    }
    m_toolBar->clear();
    for (int id : slots) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction *command = ensureAction(id);
        const QIcon full = corvane::icons::commandIcon(id);
        auto *button = new QAction(dim ? corvane::icons::dimmedIcon(full) : full,
                                   withoutAccelerator(command->text()).remove(QLatin1Char('&')),
                                   m_toolBar);
        const corvane::CommandPrompt prompt = corvane::commandPrompt(id);
        button->setToolTip(fromStd(prompt.tooltip));
        button->setStatusTip(fromStd(prompt.prompt));
        button->setCheckable(command->isCheckable());
        connect(button, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_toolBar->addAction(button);
        m_commands[id].toolbarButtons << button;
    }
    updateCommandUI();
}

void MainWindow::applyMenuIcons()
{
    const bool show = m_settings.msMenus() != 0;
    for (int id : kMenuIconCommands)
        if (QAction *action = commandAction(id))
            action->setIconVisibleInMenu(show);
}

void MainWindow::applyBarVisibility()
{
    m_toolBar->setVisible(m_toolBarVisible);
    m_addressBand->setVisible(m_toolBarVisible && m_addressBarVisible);
    statusBar()->setVisible(m_statusBarVisible);
    Q_EMIT windowsChanged();
}

// --- routing -----------------------------------------------------------------------

QAction *MainWindow::commandAction(int id) const
{
    const auto it = m_commands.constFind(id);
    return it == m_commands.constEnd() ? nullptr : it->action;
}

bool MainWindow::viewHandles(int id) const
{
    return BrowserView::handlesCommand(id);
}

bool MainWindow::mainWindowHandles(int id) const
{
    return contains(kMainWindowCommands, id) || isFavorite(id);
}

bool MainWindow::applicationHandles(int id) const
{
    return id == cmd::New || id == cmd::PrintSetup || id == cmd::About;
}

bool MainWindow::isCommandEnabled(int id) const
{
    const bool haveView = activeView() != nullptr;
    const BrowserWindow *window = activeBrowserWindow();
    const PaneSplitter *splitter = window ? window->splitter() : nullptr;
    // Commands with an update rule of their own.
    switch (id) {
    case cmd::Split:
    case cmd::Lock:
        return splitter && !splitter->locked();
    case cmd::Unlock:
        return splitter && splitter->locked();
    case cmd::PreviousPane:
        return splitter && splitter->isSplit();
    case cmd::Save:
        return false;
    case cmd::Open:
        return haveView;
    case cmd::CloseAll:
    case cmd::Close:
    case cmd::Cascade:
    case cmd::TileHorizontally:
    case cmd::TileVertically:
    case cmd::Favorites:
    case cmd::AddToFavorites:
    case cmd::OrganizeFavorites:
    case cmd::ExploreCache:
    case cmd::ExploreCookies:
    case cmd::ExploreFavorites:
    case cmd::ExploreHistory:
    case cmd::ExplorePersonal:
    case cmd::InternetOptions:
    case cmd::CheckVersion:
        return haveView;
    case cmd::Mail:
        return !m_settings.mailServer().empty();
    case cmd::Search:
        return !m_settings.searchUrl().empty();
    default:
        break;
    }
    // Otherwise a command is enabled when something along the route
    // handles it: the view only while one is active.
    return (haveView && viewHandles(id)) || mainWindowHandles(id) || applicationHandles(id);
}

bool MainWindow::isCommandChecked(int id) const
{
    switch (id) {
    case cmd::ToolBar: return m_toolBarVisible;
    case cmd::StatusBar: return m_statusBarVisible;
    case cmd::AddressBar: return m_addressBarVisible;
    case cmd::Tabs: return m_tabsVisible;
    case cmd::Offline: return m_offline;
    case cmd::ScanPopups: return m_popupScanning;
    case cmd::FontsHuge:
    case cmd::FontsLarge:
    case cmd::FontsNormal:
    case cmd::FontsSmall:
    case cmd::FontsTiny: return corvane::commandForFonts(m_fontSize) == id;
    default: return false;
    }
}

void MainWindow::setCommandState(int id, bool enabled, bool checkable, bool checked)
{
    const Command &command = m_commands[id];
    auto apply = [&](QAction *action) {
        action->setEnabled(enabled);
        if (checkable)
            action->setChecked(checked);
    };
    apply(command.action);
    for (QAction *button : command.toolbarButtons)
        apply(button);
}

void MainWindow::updateCommandUI()
{
    if (m_destroying || !m_mdi)
        return;
    // The menu bar follows the browser windows: menu 129 while any exists.
    const bool haveWindows = !m_mdi->subWindowList().isEmpty();
    if (haveWindows != m_windowMenuShown)
        showMenus(haveWindows);

    for (auto it = m_commands.begin(); it != m_commands.end(); ++it) {
        const int id = it.key();
        setCommandState(id, isCommandEnabled(id), it->action->isCheckable(), isCommandChecked(id));
    }

    // The address box serves the active view only.
    const bool haveView = activeView() != nullptr;
    if (m_address && m_address->isEnabled() != haveView)
        m_address->setEnabled(haveView);
    if (!haveView && m_security != corvane::PageSecurity::NotEncrypted) {
        m_security = corvane::PageSecurity::NotEncrypted;
        updateStatusPanes();
    }
}

bool MainWindow::runCommand(int id)
{
    if (m_destroying || !isCommandEnabled(id))
        return false;
    bool handled = false;
    BrowserView *view = activeView();
    if (view && viewHandles(id))
        handled = view->runCommand(id);
    if (!handled && mainWindowHandles(id))
        handled = routeToMainWindow(id);
    if (!handled && applicationHandles(id))
        handled = routeToApplication(id);
    updateCommandUI();
    return handled;
}

bool MainWindow::routeToMainWindow(int id)
{
    if (isFavorite(id)) {
        openFavorite(id);
        return true;
    }
    switch (id) {
    case cmd::ToolBar: toggleToolBar(); return true;
    case cmd::StatusBar: toggleStatusBar(); return true;
    case cmd::AddressBar: toggleAddressBar(); return true;
    case cmd::Tabs: toggleTabs(); return true;
    case cmd::CloseAll: closeAll(); return true;
    case cmd::Offline: toggleOffline(); return true;
    case cmd::ScanPopups: togglePopupScanning(); return true;
    case cmd::ToolbarVariant: switchToolbarVariant(); return true;
    case cmd::SmartNavigateToggle: toggleSmartNavigate(); return true;
    case cmd::Mail: openMail(); return true;
    case cmd::Search: openSearch(); return true;
    case cmd::MakerHomePage: openMakerHomePage(); return true;
    case cmd::MailMaker: mailMaker(); return true;
    case cmd::AddressGo: goToTypedAddress(); return true;
    case cmd::Close: closeActiveWindow(); return true;
    case cmd::Exit: exitProgram(); return true;
    case cmd::Cascade: m_mdi->cascadeSubWindows(); return true;
    case cmd::TileHorizontally:
    case cmd::TileVertically: {
        // Horizontal tiles lie one above the other; vertical ones side by side.
        QList<QMdiSubWindow *> windows;
        for (QMdiSubWindow *w : m_mdi->subWindowList())
            if (w->isVisible() && !w->isMinimized())
                windows << w;
        if (windows.isEmpty())
            return true;
        const QRect area = m_mdi->viewport()->rect();
        const int n = int(windows.size());
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow *w = windows.at(i);
            w->showNormal();
            if (id == cmd::TileHorizontally) {
                const int top = area.height() * i / n;
                w->setGeometry(0, top, area.width(), area.height() * (i + 1) / n - top);
            } else {
                const int left = area.width() * i / n;
                w->setGeometry(left, 0, area.width() * (i + 1) / n - left, area.height());
            }
        }
        return true;
    }
    case cmd::Favorites: pickFavorite(); return true;
    case cmd::AddToFavorites: addToFavorites(); return true;
    case cmd::OrganizeFavorites: organizeFavorites(); return true;
    case cmd::ExploreCache:
    case cmd::ExploreCookies:
    case cmd::ExploreFavorites:
    case cmd::ExploreHistory:
    case cmd::ExplorePersonal: exploreFolder(id); return true;
    case cmd::InternetOptions: showInternetOptions(); return true;
    case cmd::CheckVersion: checkForNewVersion(); return true;
    case cmd::Options: showOptions(); return true;
    case cmd::Workspaces: showWorkspaceManager(); return true;
    case cmd::WindowSpawning: showWindowSpawningManager(); return true;
    case cmd::Links:
    case cmd::LinksManager: showLinksManager(); return true;
    case cmd::Navigate: showNavigateDialog(); return true;
    case cmd::Split: splitActiveWindow(); return true;
    case cmd::Lock: lockSplitter(); return true;
    case cmd::Unlock: unlockSplitter(); return true;
    case cmd::PreviousPane: activatePreviousPane(); return true;
    case cmd::FocusAddress: focusAddressBox(); return true;
    case cmd::Downloads: showDownloads(); return true;
    default: return false;
    }
}

bool MainWindow::routeToApplication(int id)
{
    switch (id) {
    case cmd::New: Q_EMIT newWindowRequested(); return true;
    case cmd::PrintSetup: printSetup(); return true;
    case cmd::About: Q_EMIT aboutRequested(); return true;
    default: return false;
    }
}

BrowserView *MainWindow::ensureView()
{
    if (BrowserView *view = activeView())
        return view;
    Q_EMIT newWindowRequested();
    return activeView();
}

// --- the main window's commands ----------------------------------------------------

void MainWindow::toggleToolBar()
{
    m_toolBarVisible = !m_toolBarVisible;
    // Hiding takes the address box along; showing brings it back only when
    // the address bar is on.
    applyBarVisibility();
}

void MainWindow::toggleStatusBar()
{
    m_statusBarVisible = !m_statusBarVisible;
    applyBarVisibility();
}

void MainWindow::toggleAddressBar()
{
    m_addressBarVisible = !m_addressBarVisible;
    m_settings.setShowAddressBar(m_addressBarVisible ? 1 : 0);
    applyBarVisibility();
}

void MainWindow::toggleTabs()
{
    if (m_tabsVisible) {
        destroyTabs();
        m_tabsVisible = false;
    } else {
        createTabs();
        m_tabsVisible = true;
    }
    Q_EMIT windowsChanged();
}

void MainWindow::closeAll()
{
    if (m_settings.msgCloseAll()
        && corvaneMessageBox(this, QMessageBox::Question, QStringLiteral("Clean up alert"),
                             QStringLiteral("Are you sure you want to close all windows?"),
                             QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    // The windows close one after another: each closed browser window asks
    // for the next while closing all is set.
    m_closingAll = true;
    closeNextWindow();
}

void MainWindow::toggleOffline()
{
    setOffline(!m_offline);
}

void MainWindow::togglePopupScanning()
{
    SettingsStore &s = m_settings;
    m_popupScanning = !m_popupScanning;
    if (s.msgWindowSpawning()) {
        if (m_popupScanning)
            corvaneMessageBox(this, QMessageBox::Information,
                              QStringLiteral("Window Spawning Manager enabled"),
                              QStringLiteral("All popups will now be scanned with the Window "
                                             "Spawning Manager."));
        else
            corvaneMessageBox(this, QMessageBox::Information,
                              QStringLiteral("Window Spawning Manager disabled"),
                              QStringLiteral("All popups will now spawn as normal."));
    }
    s.setSpawning(m_popupScanning ? 1 : 0);
}

void MainWindow::switchToolbarVariant()
{
    SettingsStore &s = m_settings;
    if (!s.ie()) {
        s.setLinksAlwaysOn(s.linksAlwaysOn());
        return;
    }
    if (s.linksAlwaysOn()) {
        s.setLinksAlwaysOn(0);
        loadToolbarImages(156);
    } else {
        s.setLinksAlwaysOn(1);
        loadToolbarImages(128);
    }
}

void MainWindow::toggleSmartNavigate()
{
    SettingsStore &s = m_settings;
    const bool on = !s.smartNavigate();
    s.setSmartNavigate(on ? 1 : 0);
    if (!s.msgSmartNavigate())
        return;
    if (on)
        corvaneMessageBox(this, QMessageBox::Information, QStringLiteral("SmartNavigate enabled"),
                          QStringLiteral("All one-word addresses will now have \"http://www.\" "
                                         "and \".com\" added when navigating to sites."));
    else
        corvaneMessageBox(this, QMessageBox::Information, QStringLiteral("SmartNavigate disabled"),
                          QStringLiteral("All URLs will now be sent without modifications."));
}

void MainWindow::openMail()
{
    const QString address = corvane::fromStoredText(m_settings.mailServer());
    if (BrowserView *view = ensureView())
        view->navigate(address);
}

void MainWindow::openSearch()
{
    const QString address = corvane::fromStoredText(m_settings.searchUrl());
    if (BrowserView *view = ensureView())
        view->navigate(address);
}

void MainWindow::openMakerHomePage()
{
    if (BrowserView *view = ensureView())
        view->navigate(QString::fromLatin1(corvane::kHelpPage));
}

void MainWindow::mailMaker()
{
    BrowserView *view = activeView();
    if (!view)
        return;
    // The mail program starts only when the page may show dialogs.
    view->setLoudOnce(true);
    view->navigate(corvane::fromStoredText(m_settings.authorMail()));
}

void MainWindow::openFavorite(int id)
{
    BrowserView *view = activeView();
    const int index = id - cmd::FavoriteFirst;
    if (view && index >= 0 && index < m_favoriteAddresses.size())
        view->navigate(m_favoriteAddresses.at(index));
}

void MainWindow::goToTypedAddress()
{
    m_addressTyping = false;
    BrowserView *view = activeView();
    if (!view)
        return;
    SettingsStore &s = m_settings;
    const QString text = fromStd(
        corvane::smartNavigate(m_address->editText().toStdString(), s.smartNavigate() != 0));
    // Nothing typed (or blanks alone): nowhere to go.
    if (text.isEmpty())
        return;
    view->navigate(text);
    if (s.saveAddressHistory()) {
        m_address->insertAtTop(text);
        saveAddressHistory();
    }
    m_log.write("User navigating to URL: [" + text.toStdString() + "]");
}

void MainWindow::goToPickedAddress(int index)
{
    m_addressTyping = false;
    BrowserView *view = activeView();
    if (!view || index < 0 || index >= m_address->count())
        return;
    const QString text = m_address->itemText(index);
    view->navigate(text);
    m_log.write("User navigating to URL: [" + text.toStdString() + "]");
}

void MainWindow::noteAddressTyping(const QString &text)
{
    // One character: the user has begun a new address.
    if (text.size() == 1)
        m_addressTyping = true;
}

void MainWindow::focusAddressBox()
{
    // Without a window, or with the box out of sight (the bar hidden, or too
    // narrow to hold it), the Navigate dialog takes the address instead.
    if (!activeView() || !m_address->isVisible() || !m_address->isEnabled()) {
        showNavigateDialog();
        return;
    }
    m_address->setFocus(Qt::ShortcutFocusReason);
    if (QLineEdit *edit = m_address->lineEdit())
        edit->selectAll();
}

void MainWindow::closeActiveWindow()
{
    if (BrowserWindow *window = activeBrowserWindow())
        window->close();
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::printSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void MainWindow::showOptions()
{
    OptionsSheet sheet(*this, this);
    sheet.exec();
    updateCommandUI();
}

// --- what the Options sheet changes at once ------------------------------------------

void MainWindow::clearAddressHistoryList()
{
    const QString text = m_address->editText();
    m_address->clear();
    m_address->setEditText(text);
}

void MainWindow::switchIeMenu(bool on)
{
    if (on) {
        loadToolbarImages(m_settings.linksAlwaysOn() ? 128 : 156);
        insertIEMenu();
    } else {
        loadToolbarImages(128);
        removeIEMenu();
    }
}

void MainWindow::removeIEMenu()
{
    if (!m_ieMenu)
        return;
    QAction *links = commandAction(cmd::Links);
    QAction *back = commandAction(cmd::Back);
    for (QList<QMenu *> *menus : {&m_menusNoWindow, &m_menusWithWindow}) {
        menus->removeOne(m_ieMenu);
        // "&Links..." goes back to fifth place in the Go menu.
        for (QMenu *menu : std::as_const(*menus)) {
            const QList<QAction *> actions = menu->actions();
            if (actions.isEmpty() || actions.first() != back)
                continue;
            if (!actions.contains(links))
                menu->insertAction(actions.value(5), links);
            break;
        }
    }
    QMenu *menu = m_ieMenu;
    m_ieMenu = nullptr;
    m_favoritesMenu = nullptr;
    showMenus(m_windowMenuShown);
    menu->deleteLater();
    updateCommandUI();
}

void MainWindow::applyTabStyle()
{
    // The tabs take their style when they are made.
    if (!m_tabsVisible)
        return;
    destroyTabs();
    createTabs();
}

void MainWindow::reloadToolbar()
{
    loadToolbarImages(corvane::useFavoritesToolbar(m_settings.ie() != 0, m_settings.linksAlwaysOn() != 0) ? 156
                                                                                                          : 128);
}

void MainWindow::applyActiveBorder()
{
    // The ActiveBorder reads its settings when it draws; the active
    // window's border is drawn again.
    if (BrowserWindow *window = activeBrowserWindow())
        window->splitter()->update();
}

void MainWindow::setProtectedIndicator(bool on)
{
    m_protected = on ? QStringLiteral("P") : QString();
    updateStatusPanes();
}

void MainWindow::showWorkspaceManager()
{
    WorkspaceManagerDialog dialog(m_settings, captureWorkspace(std::string(corvane::kDefaultWorkspaceName), 0),
                                  this);
    if (dialog.exec() != QDialog::Accepted || !dialog.workspaceToLoad())
        return;
    // The workspace chosen loads once the dialog has gone.
    loadWorkspace(*dialog.workspaceToLoad());
}

void MainWindow::showWindowSpawningManager()
{
    SpawningManagerDialog dialog(m_settings, this);
    dialog.exec();
}

void MainWindow::showLinksManager()
{
    // The view may close while the dialog is up (its page's script).
    const QPointer<BrowserView> view = ensureView();
    if (!view)
        return;
    LinksManagerDialog dialog(m_settings, view->control() ? view->control()->pageUrl() : QString(),
                              this);
    if (dialog.exec() != QDialog::Accepted || !view)
        return;
    // The chosen link goes to the window the manager was opened for.
    const QString address = dialog.chosenAddress();
    if (address.isEmpty())
        return;
    view->setPendingAddress(address);
    view->navigate(address);
}

void MainWindow::showNavigateDialog()
{
    // The view may close while the dialog is up (its page's script).
    const QPointer<BrowserView> view = ensureView();
    if (!view)
        return;
    NavigateDialog dialog(m_settings, m_log, view, this);
    if (dialog.exec() != QDialog::Accepted || !view)
        return;
    QString address = view->pendingAddress();
    if (address.isEmpty())
        return;
    if (address.startsWith(QLatin1Char('*'))) {
        address = address.toLower();
        view->setPendingAddress(address);
        if (corvane::isImageSeriesRequest(address.toStdString())) {
            view->startImageSeries(address);
            return;
        }
    }
    view->navigate(address);
}

void MainWindow::splitActiveWindow()
{
    if (BrowserWindow *window = activeBrowserWindow())
        window->splitter()->startKeyboardSplit();
}

void MainWindow::lockSplitter()
{
    if (BrowserWindow *window = activeBrowserWindow())
        window->splitter()->setLocked(true);
}

void MainWindow::unlockSplitter()
{
    if (BrowserWindow *window = activeBrowserWindow())
        window->splitter()->setLocked(false);
}

void MainWindow::activatePreviousPane()
{
    if (BrowserWindow *window = activeBrowserWindow())
        window->splitter()->activatePreviousPane();
}

void MainWindow::showSplitMenu(const QPoint &globalPos)
{
    // "Lock" and "Unlock" are the main window's commands, enabled as they apply.
    updateCommandUI();
    m_splitMenu->popup(globalPos);
}
