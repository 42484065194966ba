#include "mainframe/InternetOptionsDialog.h"

#include "core/SettingsStore.h"
#include "core/SitePermissions.h"
#include "engine/WebProfile.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

InternetOptionsDialog::InternetOptionsDialog(SettingsStore &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("Internet Options"));
    WebProfile *profile = WebProfile::instance();

    auto *data = new QGroupBox(QStringLiteral("Browsing data"), this);
    m_clearCache = new QPushButton(QStringLiteral("Clear &Cache"), data);
    m_clearCookies = new QPushButton(QStringLiteral("Clear C&ookies and Site Data..."), data);
    m_result = new QLabel(data);
    m_result->setWordWrap(true);
    auto *dataText = new QLabel(QStringLiteral("Pages and pictures kept to show sites faster, and what "
                                               "sites store on this computer (cookies, local storage)."),
                                data);
    dataText->setWordWrap(true);
    m_clearPermissions = new QPushButton(QString::fromLatin1(corvane::kClearSitePermissionsText), data);
    m_clearPermissions->setToolTip(QStringLiteral("Forget what each site was allowed or denied "
                                                  "(location, camera, notifications...): sites ask again."));
    m_clearPermissions->setEnabled(!m_settings.loadSitePermissions().empty());
    auto *dataButtons = new QHBoxLayout;
    dataButtons->addWidget(m_clearCache);
    dataButtons->addWidget(m_clearCookies);
    dataButtons->addWidget(m_clearPermissions);
    dataButtons->addStretch();
    auto *dataLayout = new QVBoxLayout(data);
    dataLayout->addWidget(dataText);
    dataLayout->addLayout(dataButtons);
    dataLayout->addWidget(m_result);

    auto *content = new QGroupBox(QStringLiteral("Page content"), this);
    m_javaScript = new QCheckBox(QStringLiteral("Run &JavaScript"), content);
    m_images = new QCheckBox(QStringLiteral("Show &images"), content);
    m_javaScript->setChecked(profile->javaScriptEnabled());
    m_images->setChecked(profile->imagesEnabled());
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(m_javaScript);
    contentLayout->addWidget(m_images);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_clearCache, &QPushButton::clicked, this, &InternetOptionsDialog::clearCache);
    connect(m_clearCookies, &QPushButton::clicked, this, &InternetOptionsDialog::clearCookiesAndSiteData);
    connect(m_clearPermissions, &QPushButton::clicked, this, &InternetOptionsDialog::clearSitePermissions);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(data);
    layout->addWidget(content);
    layout->addWidget(buttons);
    resize(440, sizeHint().height());
}

QString InternetOptionsDialog::resultText() const
{
    return m_result->text();
}

void InternetOptionsDialog::clearCache()
{
    WebProfile::instance()->clearCache();
    m_result->setText(QStringLiteral("The cache is empty."));
}

void InternetOptionsDialog::clearCookiesAndSiteData()
{
    const QPointer<InternetOptionsDialog> self(this);
    const QMessageBox::StandardButton answer = corvaneMessageBox(
        this, QMessageBox::Question, QStringLiteral("Internet Options"),
        QStringLiteral("Delete all cookies and the data sites keep on this computer?\n"
                       "You will be signed out of most sites."),
        QMessageBox::Yes | QMessageBox::No);
    if (!self || answer != QMessageBox::Yes)
        return;
    WebProfile::instance()->clearCookiesAndSiteData();
    m_result->setText(QStringLiteral("The cookies are deleted. The sites' other data goes when "
                                     "Corvane next starts."));
}

void InternetOptionsDialog::clearSitePermissions()
{
    const corvane::SitePermissionList cleared = m_settings.loadSitePermissions();
    m_settings.storeSitePermissions({});
    WebProfile::instance()->forgetSitePermissions(cleared);
    m_clearPermissions->setEnabled(false);
    m_result->setText(QString::fromLatin1(corvane::kSitePermissionsClearedText));
}

void InternetOptionsDialog::accept()
{
    const bool javaScript = m_javaScript->isChecked();
    const bool images = m_images->isChecked();
    WebProfile *profile = WebProfile::instance();
    profile->setJavaScriptEnabled(javaScript);
    profile->setImagesEnabled(images);
    m_settings.setEnableJavaScript(javaScript ? 1 : 0);
    m_settings.setLoadImages(images ? 1 : 0);
    QDialog::accept();
}
