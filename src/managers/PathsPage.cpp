#include "managers/PathsPage.h"

#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "managers/OptionsHost.h"
#include "ui/MessageBox.h"
#include "ui/StoredQString.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

namespace {

QString toQString(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace

PathsPage::PathsPage(OptionsHost &host, QWidget *parent) : OptionsPage(host, parent)
{
    // The store's texts cross to UTF-8 through the stored-text road once.
    const SettingsStore &s = host.settings();
    m_start = corvane::readPathsPage(s);
    m_start.homeUrl = corvane::fromStoredText(m_start.homeUrl).toStdString();
    m_start.searchUrl = corvane::fromStoredText(m_start.searchUrl).toStdString();
    m_start.mailServer = corvane::fromStoredText(m_start.mailServer).toStdString();

    auto makeEdit = [this](const QString &label, QGridLayout *grid, int row) {
        auto *text = new QLabel(label, this);
        auto *edit = new QLineEdit(this);
        edit->setMinimumWidth(300);
        text->setBuddy(edit);
        grid->addWidget(text, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    auto *grid = new QGridLayout(this);
    m_home = makeEdit(QStringLiteral("&Home page:"), grid, 0);
    m_default = new QPushButton(QStringLiteral("&Default"), this);
    m_blank = new QPushButton(QStringLiteral("&Blank"), this);
    auto *homeButtons = new QHBoxLayout;
    homeButtons->addStretch(1);
    homeButtons->addWidget(m_default);
    homeButtons->addWidget(m_blank);
    grid->addLayout(homeButtons, 1, 1);
    m_search = makeEdit(QStringLiteral("&Search server:"), grid, 2);
    m_mail = makeEdit(QStringLiteral("&Mail server:"), grid, 3);
    m_log = makeEdit(QStringLiteral("&Log file:"), grid, 4);
    m_folder = new QPushButton(this);
    m_folder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_folder->setIconSize(QSize(16, 16));
    m_folder->setText(QStringLiteral(">>"));
    m_folder->setToolTip(QString::fromUtf8(corvane::kLogFolderTitle));
    grid->addWidget(m_folder, 4, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);

    // "Default" and "Blank" put their address into the home page only; what
    // is typed in the other fields stays.
    connect(m_default, &QPushButton::clicked, this,
            [this] { m_home->setText(QString::fromLatin1(corvane::kDefaultStartPage)); });
    connect(m_blank, &QPushButton::clicked, this, [this] { m_home->setText(QStringLiteral("about:blank")); });
    connect(m_folder, &QPushButton::clicked, this, &PathsPage::chooseLogFolder);
}

void PathsPage::initialize()
{
    m_home->setText(toQString(m_start.homeUrl));
    m_search->setText(toQString(m_start.searchUrl));
    m_mail->setText(toQString(m_start.mailServer));
    m_log->setText(toQString(m_start.logFile));
    const bool cd = m_host.settings().cdSupport() != 0;
    m_log->setEnabled(!cd);
    m_folder->setEnabled(!cd);
}

corvane::PathsPageValues PathsPage::values() const
{
    return {m_home->text().toStdString(), m_search->text().toStdString(), m_mail->text().toStdString(),
            m_log->text().toStdString()};
}

void PathsPage::chooseLogFolder()
{
    QString start = QFileInfo(m_log->text()).absolutePath();
    if (!QFileInfo(start).isDir())
        start = QDir::homePath();
    QPointer<QFileDialog> dialog = new QFileDialog(this, QString::fromUtf8(corvane::kLogFolderTitle), start);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const bool chosen = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return;
    const QStringList folders = dialog->selectedFiles();
    delete dialog;
    if (!chosen || folders.isEmpty() || folders.first().isEmpty())
        return;
    m_log->setText(toQString(corvane::logFileInFolder(QDir::cleanPath(folders.first()).toStdString())));
}

bool PathsPage::leave()
{
    m_host.settings().setLogFile(corvane::toStoredText(m_log->text()));
    m_logFileWritten = true;
    return true;
}

void PathsPage::ok()
{
    SettingsStore &s = m_host.settings();
    corvane::PathsPageValues v = values();
    const corvane::LogFileCheck check = corvane::checkLogFile(v.logFile, s.defaultLogFile(), s.cdSupport() != 0);
    if (check.message) {
        showUserMessage(this, *check.message);
        v.logFile = check.logFile;
        m_log->setText(toQString(v.logFile));
    }
    corvane::applyPathsPage(s, v);
}

void PathsPage::cancel()
{
    // Only the log file was written before OK.
    if (m_logFileWritten)
        m_host.settings().setLogFile(m_start.logFile);
}
