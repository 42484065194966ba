#include "mainframe/NavigateDialog.h"

#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/SmartNavigate.h"
#include "mainframe/Icons.h"
#include "ui/StoredQString.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NavigateDialog::NavigateDialog(SettingsStore &settings, NavigationLog &log, BrowserView *view,
                               QWidget *parent)
    : QDialog(parent), m_settings(settings), m_log(log), m_view(view)
{
    setWindowTitle(QStringLiteral("Navigate"));

    auto *label = new QLabel(QStringLiteral("Site address:"), this);
    m_address = new QLineEdit(this);
    m_address->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    label->setBuddy(m_address);
    m_useFilter = new QCheckBox(QStringLiteral("Use filter"), this);
    m_useSallyport = new QCheckBox(QStringLiteral("Use sallyport"), this);

    auto *icon = new QLabel(this);
    icon->setPixmap(corvane::icons::commandIcon(corvane::cmd::WindowSpawning).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto *explanation = new QLabel(
        QStringLiteral("Adding words to the filter means avoiding popups that contain those words in "
                       "its address.  Adding sites to the sallyport means all popups will be allowed "
                       "only for those sites."),
        this);
    explanation->setWordWrap(true);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_setAsHome = new QPushButton(QStringLiteral("Set as home"), this);
    m_addToFilter = new QPushButton(QStringLiteral("Add to filter"), this);
    m_addToSallyport = new QPushButton(QStringLiteral("Add to sallyport"), this);

    auto *switches = new QHBoxLayout;
    switches->addWidget(m_useFilter);
    switches->addWidget(m_useSallyport);
    switches->addStretch();
    auto *note = new QHBoxLayout;
    note->addWidget(icon);
    note->addWidget(explanation, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(m_address);
    left->addLayout(switches);
    left->addSpacing(6);
    left->addLayout(note);
    left->addStretch();
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {ok, cancel, m_setAsHome, m_addToFilter, m_addToSallyport})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &NavigateDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &NavigateDialog::reject);
    connect(m_setAsHome, &QPushButton::clicked, this, &NavigateDialog::setAsHome);
    connect(m_addToFilter, &QPushButton::clicked, this, &NavigateDialog::addToFilter);
    connect(m_addToSallyport, &QPushButton::clicked, this, &NavigateDialog::addToSallyport);

    // The page shown, and the lists' switches as stored.
    if (m_view && m_view->control())
        m_address->setText(m_view->control()->pageUrl());
    m_useFilter->setChecked(m_settings.spawningFilter() != 0);
    m_useSallyport->setChecked(m_settings.spawningSallyport() != 0);
    // Without popup scanning the lists are out of play.
    const bool scanning = m_settings.spawning() != 0;
    for (QWidget *w : {static_cast<QWidget *>(m_addToFilter), static_cast<QWidget *>(m_addToSallyport),
                       static_cast<QWidget *>(m_useSallyport), static_cast<QWidget *>(m_useFilter)})
        w->setEnabled(scanning);
}

void NavigateDialog::setPendingAddress(const QString &address)
{
    if (m_view)
        m_view->setPendingAddress(address);
}

void NavigateDialog::storeSwitches()
{
    m_settings.setSpawningFilter(m_useFilter->isChecked() ? 1 : 0);
    m_settings.setSpawningSallyport(m_useSallyport->isChecked() ? 1 : 0);
}

void NavigateDialog::accept()
{
    const std::string address =
        corvane::smartNavigate(m_address->text().toStdString(), m_settings.smartNavigate() != 0);
    setPendingAddress(QString::fromStdString(address));
    storeSwitches();
    // An empty address goes nowhere (the main window navigates none).
    if (!address.empty())
        m_log.write("User navigating to URL: [" + address + "]");
    QDialog::accept();
}

void NavigateDialog::setAsHome()
{
    // As typed: no SmartNavigate, and the switches stay as stored.
    m_settings.setHomeUrl(corvane::toStoredText(m_address->text()));
    setPendingAddress(QString());
    QDialog::accept();
}

void NavigateDialog::addToFilter()
{
    storeSwitches();
    // Appended as typed; an entry already there stays, so one may come twice.
    // An empty text adds nothing: it would end the stored list.
    if (!m_address->text().isEmpty()) {
        std::vector<std::string> words = m_settings.loadFilter();
        words.push_back(corvane::toStoredText(m_address->text()));
        m_settings.storeFilter(words);
    }
    setPendingAddress(QString());
    QDialog::accept();
}

void NavigateDialog::addToSallyport()
{
    storeSwitches();
    if (!m_address->text().isEmpty()) {
        std::vector<std::string> sites = m_settings.loadSallyport();
        sites.push_back(corvane::toStoredText(m_address->text()));
        m_settings.storeSallyport(sites);
    }
    setPendingAddress(QString());
    QDialog::accept();
}
