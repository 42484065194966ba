#include "ui/ResizeDialog.h"

#include "core/SettingsStore.h"
#include "ui/WindowPlatform.h"

#include <QGuiApplication>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>

namespace {

Rect toRect(const QRect &r)
{
    return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

ResizeDialog::ResizeDialog(QWidget *parent) : QDialog(parent)
{
    setSizeGripEnabled(true);
}

ResizeDialog::~ResizeDialog() = default;

void ResizeDialog::setStartLayout(QLayout *layout, const QSize &atLeast)
{
    setLayout(layout);
    const QSize size = layout->totalSizeHint().expandedTo(atLeast);
    resize(size);
    layout->activate();
    layout->setGeometry(QRect(QPoint(0, 0), size));
    // The controls keep the places the layout gave them.
    delete layout;
    setStartSize(size);
}

void ResizeDialog::setStartSize(const QSize &size)
{
    m_startSize = size;
    setMinimumSize(size);
    resize(size);
}

void ResizeDialog::addAnchor(QWidget *control, corvane::AnchorPoint topLeft,
                             corvane::AnchorPoint bottomRight)
{
    if (!control)
        return;
    m_anchors.append({control, corvane::makeAnchor(toRect(control->geometry()), width(), height(),
                                                   topLeft, bottomRight)});
}

void ResizeDialog::arrangeLayout()
{
    for (const AnchoredControl &a : std::as_const(m_anchors)) {
        if (!a.control)
            continue;
        const QRect place = toQRect(corvane::anchoredRect(a.anchor, width(), height()));
        if (place != a.control->geometry())
            a.control->setGeometry(place);
    }
}

void ResizeDialog::enableSaveRestore(SettingsStore &settings, const QString &dialogName)
{
    m_settings = &settings;
    m_dialogName = dialogName;
    const std::optional<Rect> stored = settings.restoreDialogPlacement(dialogName.toStdString());
    if (!stored)
        return;
    // A record from a larger screen, or edited by hand, is kept within the
    // screen and never below the start size.
    QSize size(stored->width(), stored->height());
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size.expandedTo(m_startSize));
}

void ResizeDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    arrangeLayout();
}

void ResizeDialog::done(int result)
{
    savePlacement();
    QDialog::done(result);
}

void ResizeDialog::savePlacement()
{
    if (!m_settings || m_dialogName.isEmpty())
        return;
    // The normal rectangle, also while maximized.
    QRect normal = normalGeometry();
    if (!normal.isValid())
        normal = geometry();
    m_settings->saveDialogPlacement(m_dialogName.toStdString(), toRect(normal), platformReportsWindowPositions());
}
