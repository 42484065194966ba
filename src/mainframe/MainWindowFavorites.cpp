// The main window's favorites: the "&IE" menu with its Favorites submenu
// built from the Favorites folder, the Favorites picker, Add to Favorites,
// Organize Favorites, the Explore commands for the special folders, Internet
// Options, and Check for New Version.
#include "mainframe/MainWindow.h"

#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/CommandTable.h"
#include "core/Favorites.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "core/UrlShortcut.h"
#include "core/VersionCheck.h"
#include "engine/WebProfile.h"
#include "mainframe/AddFavoriteDialog.h"
#include "mainframe/InternetOptionsDialog.h"
#include "mainframe/VersionChecker.h"
#include "ui/MessageBox.h"
#include "ui/StoredQString.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QStandardPaths>
#include <QUrl>

namespace cmd = corvane::cmd;

namespace {

// The submenu's text once built (the placeholder reads "Favorites...").
const char *const kFavoritesMenuText = "&Favorites...\tAlt+Z";
// Folders watched for changes at most; a larger tree is read again only
// after Add or Organize.
constexpr int kMaxWatchedFolders = 256;

QString fromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

std::string pathBytes(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// A label as a menu shows it: "&" is no mnemonic there.
QString menuLabel(const std::string &label)
{
    return corvane::fromStoredText(label).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString defaultFavoritesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Tolvek/Corvane/Favorites");
}

} // namespace

// --- the IE menu ---------------------------------------------------------------------

void MainWindow::insertIEMenu()
{
    if (!m_settings.ie() || m_ieMenu)
        return;
    // The IE menu takes over the links: the Go menu's "&Links..." goes.
    const QAction *links = commandAction(cmd::Links);
    const QAction *mail = commandAction(cmd::Mail);
    m_ieMenu = buildMenu(corvane::menuIE(), this);
    connect(m_ieMenu, &QMenu::aboutToShow, this, [this] {
        if (m_favoritesChanged)
            buildFavoritesMenu();
    });
    for (QList<QMenu *> *menus : {&m_menusNoWindow, &m_menusWithWindow}) {
        for (QMenu *menu : std::as_const(*menus)) {
            const QList<QAction *> actions = menu->actions();
            if (actions.size() > 5 && actions.at(5) == links) {
                menu->removeAction(actions.at(5));
                break;
            }
        }
        // Right after "&Tools" (the menu whose first item is Mail).
        for (int i = 0; i < menus->size(); ++i) {
            const QList<QAction *> actions = menus->at(i)->actions();
            if (!actions.isEmpty() && actions.first() == mail) {
                menus->insert(i + 1, m_ieMenu);
                break;
            }
        }
    }
    showMenus(m_windowMenuShown);
    buildFavoritesMenu();
    updateCommandUI();
}

void MainWindow::buildFavoritesMenu()
{
    if (!m_ieMenu)
        return;
    const QString folder = shellFolderPath(corvane::ShellFolder::Favorites);
    const corvane::FavoritesScan scan = corvane::scanFavorites(pathBytes(folder));
    m_favoriteAddresses.clear();
    m_favoriteAddresses.reserve(qsizetype(scan.addresses.size()));
    for (const std::string &address : scan.addresses)
        m_favoriteAddresses << corvane::fromStoredText(address);

    auto *menu = new QMenu(QString::fromLatin1(kFavoritesMenuText), m_ieMenu);
    // One connection for every entry: a menu reports the actions of its
    // submenus too.
    connect(menu, &QMenu::triggered, this, [this](QAction *action) {
        bool ok = false;
        const int id = action->data().toInt(&ok);
        if (ok && id >= cmd::FavoriteFirst && id <= cmd::FavoriteLast)
            runCommand(id);
    });
    fillFavoritesMenu(menu, scan.menu);

    // In place of item 0: the placeholder, or the previous submenu.
    QAction *first = m_ieMenu->actions().value(0);
    m_ieMenu->insertMenu(first, menu);
    if (first) {
        m_ieMenu->removeAction(first);
        if (QMenu *previous = first->menu())
            previous->deleteLater();
    }
    m_favoritesMenu = menu;
    m_favoritesChanged = false;
    watchFavoritesFolder(folder);
}

QMenu *MainWindow::favoritesMenu() const
{
    return m_favoritesMenu;
}

void MainWindow::fillFavoritesMenu(QMenu *menu, const corvane::FavoritesMenu &folder)
{
    for (const corvane::FavoritesMenu &sub : folder.submenus)
        fillFavoritesMenu(menu->addMenu(menuLabel(sub.label)), sub);
    for (const corvane::FavoriteShortcut &shortcut : folder.shortcuts) {
        QAction *action = menu->addAction(menuLabel(shortcut.label));
        action->setData(cmd::FavoriteFirst + shortcut.index);
        action->setStatusTip(m_favoriteAddresses.value(shortcut.index));
    }
    // Favorites past the menu's room: said where they are missing.
    if (folder.notShown > 0) {
        if (!menu->isEmpty())
            menu->addSeparator();
        menu->addAction(fromStd(corvane::favoritesNotShownText(folder.notShown)))->setEnabled(false);
    }
}

void MainWindow::watchFavoritesFolder(const QString &folder)
{
    if (!m_favoritesWatcher) {
        m_favoritesWatcher = new QFileSystemWatcher(this);
        connect(m_favoritesWatcher, &QFileSystemWatcher::directoryChanged, this,
                [this] { m_favoritesChanged = true; });
    }
    const QStringList watched = m_favoritesWatcher->directories();
    if (!watched.isEmpty())
        m_favoritesWatcher->removePaths(watched);
    if (!QFileInfo(folder).isDir())
        return;
    QStringList folders{folder};
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext() && folders.size() < kMaxWatchedFolders)
        folders << it.next();
    m_favoritesWatcher->addPaths(folders);
}

// --- the special folders -----------------------------------------------------------

QString MainWindow::shellFolderPath(corvane::ShellFolder folder) const
{
    corvane::ShellFolderDefaults defaults;
    defaults.favorites = defaultFavoritesFolder().toStdString();
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    defaults.personal = (documents.isEmpty() ? QDir::homePath() : documents).toStdString();
    defaults.cache = WebProfile::cachePath().toStdString();
    defaults.cookies = WebProfile::storagePath().toStdString();
    defaults.history = WebProfile::storagePath().toStdString();

    std::optional<std::string> stored = m_settings.userShellFolder(folder);
    if (stored)
        stored = corvane::fromStoredText(*stored).toStdString();
    const auto lookup = [](const std::string &name) -> std::optional<std::string> {
        if (!qEnvironmentVariableIsSet(name.c_str()))
            return std::nullopt;
        return qEnvironmentVariable(name.c_str()).toStdString();
    };
    return fromStd(corvane::shellFolderPath(folder, stored, defaults, lookup));
}

QString MainWindow::existingShellFolder(corvane::ShellFolder folder)
{
    const QString path = shellFolderPath(folder);
    // Our own Favorites folder is there from its first use.
    if (folder == corvane::ShellFolder::Favorites && path == defaultFavoritesFolder())
        QDir().mkpath(path);
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        corvaneMessageBox(this, QMessageBox::Critical, QString::fromLatin1(corvane::kFolderNotFoundTitle),
                          fromStd(corvane::folderNotFoundText(folder)));
        return {};
    }
    return path;
}

// --- the commands --------------------------------------------------------------------

void MainWindow::pickFavorite()
{
    QPointer<BrowserView> view = activeView();
    if (!view)
        return;
    const QString folder = existingShellFolder(corvane::ShellFolder::Favorites);
    if (folder.isEmpty())
        return;
    QFileDialog dialog(this, QString::fromLatin1(corvane::kFavoritesPickerPrompt), folder,
                       QStringLiteral("Favorites (*.url *.htm)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    if (dialog.exec() != QDialog::Accepted || !view || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();

    switch (corvane::favoritePick(path.toStdString())) {
    case corvane::FavoritePick::Shortcut: {
        const corvane::UrlShortcutResult shortcut = corvane::readUrlShortcut(pathBytes(path));
        if (!shortcut.found) {
            corvaneMessageBox(this, QMessageBox::Critical, QString::fromLatin1(corvane::kFavoriteNoSiteTitle),
                              QString::fromLatin1(corvane::kFavoriteNoSiteText));
            return;
        }
        view->navigate(corvane::fromStoredText(shortcut.address));
        return;
    }
    case corvane::FavoritePick::Page:
        view->navigate(path);
        return;
    case corvane::FavoritePick::Invalid:
        corvaneMessageBox(this, QMessageBox::Critical, QString::fromLatin1(corvane::kFavoriteInvalidTitle),
                          QString::fromLatin1(corvane::kFavoriteInvalidText));
        return;
    }
}

void MainWindow::addToFavorites()
{
    BrowserView *view = activeView();
    if (!view || !view->control())
        return;
    const QString title = view->control()->pageTitle();
    const QString address = view->control()->pageUrl();
    const QString folder = existingShellFolder(corvane::ShellFolder::Favorites);
    if (folder.isEmpty())
        return;
    AddFavoriteDialog dialog(title, address, folder, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!corvane::writeFavorite(pathBytes(folder), dialog.name().toStdString(),
                                dialog.address().toStdString()))
        corvaneMessageBox(this, QMessageBox::Critical, QStringLiteral("Add to Favorites"),
                          QStringLiteral("The favorite could not be saved in %1.")
                              .arg(QDir::toNativeSeparators(folder)));
    buildFavoritesMenu();
}

void MainWindow::organizeFavorites()
{
    const QString folder = existingShellFolder(corvane::ShellFolder::Favorites);
    if (folder.isEmpty())
        return;
    // The file manager organizes; the menu follows the folder's changes
    // when it next opens.
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    buildFavoritesMenu();
}

void MainWindow::exploreFolder(int id)
{
    const std::optional<corvane::ShellFolder> folder = corvane::shellFolderForCommand(id);
    if (!folder)
        return;
    const QString path = existingShellFolder(*folder);
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::showInternetOptions()
{
    InternetOptionsDialog dialog(m_settings, this);
    dialog.exec();
}

// --- Check for New Version ------------------------------------------------------------

void MainWindow::checkForNewVersion()
{
    BrowserView *view = activeView();
    if (!view)
        return;
    if (!m_versionChecker) {
        m_versionChecker = new VersionChecker(this);
        connect(m_versionChecker, &VersionChecker::finished, this,
                [this](corvane::VersionCheckOutcome outcome) { onVersionCheckFinished(int(outcome)); });
    }
    if (m_versionChecker->running())
        return;
    m_versionCheckView = view;
    m_versionChecker->start(QUrl(corvane::fromStoredText(m_settings.versionUrl())), m_versionCheckTimeoutMs);
}

void MainWindow::onVersionCheckFinished(int outcome)
{
    switch (corvane::VersionCheckOutcome(outcome)) {
    case corvane::VersionCheckOutcome::OfferDownload:
        if (corvaneMessageBox(this, QMessageBox::Question, QString::fromLatin1(corvane::kVersionCheckTitle),
                              QString::fromLatin1(corvane::kNewerVersionQuestion),
                              QMessageBox::Yes | QMessageBox::No)
                == QMessageBox::Yes
            && m_versionCheckView)
            m_versionCheckView->navigate(QString::fromLatin1(corvane::kDownloadPage));
        break;
    case corvane::VersionCheckOutcome::UpToDate:
        corvaneMessageBox(this, QMessageBox::Information, QString::fromLatin1(corvane::kVersionCheckTitle),
                          QString::fromLatin1(corvane::kCurrentVersionText));
        break;
    case corvane::VersionCheckOutcome::Failed:
        corvaneMessageBox(this, QMessageBox::Critical, QString::fromLatin1(corvane::kVersionCheckFailedTitle),
                          QString::fromLatin1(corvane::kVersionCheckFailedText));
        break;
    }
}
