#include "mainframe/Icons.h"

#include "core/CommandIds.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace corvane::icons {

namespace {

struct IconSource
{
    int id;
    const char *themeName;       // freedesktop name, or nullptr
    QStyle::StandardPixmap standard; // fallback from the style, or NoStandard
    const char *resource;        // our own picture, or nullptr
};

constexpr QStyle::StandardPixmap NoStandard = QStyle::SP_CustomBase;

const IconSource kSources[] = {
    {cmd::New, "document-new", QStyle::SP_FileIcon, nullptr},
    {cmd::Open, "document-open", QStyle::SP_DialogOpenButton, nullptr},
    {cmd::SaveAs, "document-save-as", QStyle::SP_DialogSaveButton, nullptr},
    {cmd::Print, "document-print", NoStandard, nullptr},
    {cmd::Cut, "edit-cut", NoStandard, nullptr},
    {cmd::Copy, "edit-copy", NoStandard, nullptr},
    {cmd::Paste, "edit-paste", NoStandard, nullptr},
    {cmd::Undo, "edit-undo", QStyle::SP_ArrowBack, nullptr},
    {cmd::Redo, "edit-redo", QStyle::SP_ArrowForward, nullptr},
    {cmd::Find, "edit-find", QStyle::SP_FileDialogContentsView, nullptr},
    {cmd::CloseAll, "window-close", QStyle::SP_TitleBarCloseButton, nullptr},
    {cmd::Back, "go-previous", QStyle::SP_ArrowBack, nullptr},
    {cmd::Forward, "go-next", QStyle::SP_ArrowForward, nullptr},
    {cmd::Home, "go-home", QStyle::SP_DirHomeIcon, nullptr},
    {cmd::Stop, "process-stop", QStyle::SP_BrowserStop, nullptr},
    {cmd::Refresh, "view-refresh", QStyle::SP_BrowserReload, nullptr},
    {cmd::Mail, "mail-send", NoStandard, nullptr},
    {cmd::Search, "system-search", QStyle::SP_FileDialogContentsView, nullptr},
    {cmd::Options, "preferences-system", QStyle::SP_ComputerIcon, nullptr},
    {cmd::About, "help-about", QStyle::SP_MessageBoxInformation, nullptr},
    {cmd::Favorites, "user-bookmarks", QStyle::SP_DirIcon, nullptr},
    {cmd::MakerHomePage, "applications-internet", QStyle::SP_DriveNetIcon, nullptr},
    {cmd::Cascade, nullptr, NoStandard, ":/icons/cascade.svg"},
    {cmd::TileHorizontally, nullptr, NoStandard, ":/icons/tile-horizontally.svg"},
    {cmd::TileVertically, nullptr, NoStandard, ":/icons/tile-vertically.svg"},
    // Corvane's own commands.
    {cmd::Split, nullptr, NoStandard, ":/icons/split.svg"},
    {cmd::ScanPopups, nullptr, NoStandard, ":/icons/scan-popups.svg"},
    {cmd::LinksManager, nullptr, NoStandard, ":/icons/links.svg"},
    {cmd::WindowSpawning, nullptr, NoStandard, ":/icons/window-spawning.svg"},
    {cmd::Workspaces, nullptr, NoStandard, ":/icons/workspaces.svg"},
    {cmd::Navigate, nullptr, NoStandard, ":/icons/navigate.svg"},
};

// Themes with only symbolic images, or none, fall back to a full-colour
// theme installed beside them.
void ensureFallbackTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

} // namespace

QIcon commandIcon(int id)
{
    initProgramResources();
    for (const IconSource &source : kSources) {
        if (source.id != id)
            continue;
        if (source.themeName) {
            ensureFallbackTheme();
            const QIcon themed = QIcon::fromTheme(QLatin1String(source.themeName));
            if (!themed.isNull())
                return themed;
        }
        if (source.standard != NoStandard && qApp)
            return qApp->style()->standardIcon(source.standard);
        if (source.resource)
            return QIcon(QLatin1String(source.resource));
        return {};
    }
    return {};
}

namespace {

// Greyed, lightened pictures in the normal state and the full colour under the
// mouse. The grey pixmaps are made when first painted, so building a toolbar
// costs nothing until it shows.
class DimmedIconEngine : public QIconEngine
{
public:
    explicit DimmedIconEngine(const QIcon &full) : m_full(full) {}

    QIconEngine *clone() const override { return new DimmedIconEngine(m_full); }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        if (mode != QIcon::Normal)
            return m_full.pixmap(size, mode == QIcon::Disabled ? QIcon::Disabled : QIcon::Normal,
                                 state);
        const quint64 key = (quint64(quint32(size.width())) << 32) | quint32(size.height());
        const auto it = m_grey.constFind(key);
        if (it != m_grey.constEnd())
            return *it;
        QImage grey = m_full.pixmap(size, QIcon::Normal, state)
                          .toImage()
                          .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const QRgb p = line[x];
                // Desaturate and lighten a little, as shaded toolbar images are.
                const int g = qMin(255, qGray(p) + (255 - qGray(p)) / 4);
                line[x] = qRgba(g, g, g, qAlpha(p));
            }
        }
        const QPixmap result = QPixmap::fromImage(grey);
        m_grey.insert(key, result);
        return result;
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_full.actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_full.availableSizes(mode, state);
    }

private:
    QIcon m_full;
    QHash<quint64, QPixmap> m_grey;
};

} // namespace

QIcon dimmedIcon(const QIcon &full)
{
    if (full.isNull())
        return full;
    return QIcon(new DimmedIconEngine(full));
}

QIcon appIcon()
{
    initProgramResources();
    return QIcon(QStringLiteral(":/icons/corvane.svg"));
}

} // namespace corvane::icons
