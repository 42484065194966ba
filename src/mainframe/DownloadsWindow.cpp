#include "mainframe/DownloadsWindow.h"

#include "core/Downloads.h"
#include "core/SettingsStore.h"
#include "engine/DownloadList.h"
#include "engine/WebProfile.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString fromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

// The column of the progress bar.
constexpr int kProgressColumn = 2;
// The rows follow the downloads at most this often while the window shows.
constexpr int kRefreshMs = 250;

} // namespace

DownloadsWindow::DownloadsWindow(SettingsStore &settings, DownloadList &list, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_downloads(&list)
{
    setWindowTitle(QString::fromLatin1(corvane::kDownloadsTitle));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    m_tree = new QTreeWidget(this);
    m_tree->setRootIsDecorated(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList headings;
    for (const char *column : corvane::kDownloadsColumns)
        headings << QString::fromLatin1(column);
    m_tree->setHeaderLabels(headings);
    m_tree->header()->setStretchLastSection(true);
    // The columns hold their longest usual texts in the font in use; the
    // state takes the rest.
    const QFontMetrics metrics = m_tree->fontMetrics();
    const int padding = metrics.averageCharWidth() * 3;
    const char *const widest[] = {"a-file-name-of-some-length.tar.gz", "1023 MB", "1023 MB of 1023 MB",
                                  "1023 KB/s, 59 min left", "Downloading"};
    int listWidth = 0;
    for (int column = 0; column < 5; ++column) {
        const int width = metrics.horizontalAdvance(QString::fromLatin1(widest[column])) + padding;
        if (column < 4)
            m_tree->setColumnWidth(column, width);
        listWidth += width;
    }
    m_tree->header()->setMinimumSectionSize(metrics.horizontalAdvance(QStringLiteral("Size")) + padding);

    m_folder = new QLabel(this);
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_cancel = new QPushButton(QString::fromLatin1(corvane::kDownloadsCancel), this);
    m_open = new QPushButton(QString::fromLatin1(corvane::kDownloadsOpen), this);
    m_showInFolder = new QPushButton(QString::fromLatin1(corvane::kDownloadsShowInFolder), this);
    m_clear = new QPushButton(QString::fromLatin1(corvane::kDownloadsClearList), this);
    auto *close = new QPushButton(QString::fromLatin1(corvane::kDownloadsClose), this);
    for (QPushButton *button : {m_cancel, m_open, m_showInFolder, m_clear, close})
        button->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &DownloadsWindow::cancelCurrent);
    connect(m_open, &QPushButton::clicked, this, &DownloadsWindow::openCurrent);
    connect(m_showInFolder, &QPushButton::clicked, this, &DownloadsWindow::showCurrentInFolder);
    connect(m_clear, &QPushButton::clicked, this, &DownloadsWindow::clearFinished);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    m_showOnStart = new QCheckBox(QString::fromLatin1(corvane::kDownloadsShowOnStart), this);
    m_showOnStart->setChecked(m_settings.showDownloadsOnStart() != 0);
    connect(m_showOnStart, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setShowDownloadsOnStart(on ? 1 : 0); });
    m_askWhereToSave = new QCheckBox(QString::fromLatin1(corvane::kDownloadsAskWhereToSave), this);
    m_askWhereToSave->setChecked(m_settings.askWhereToSave() != 0);
    connect(m_askWhereToSave, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setAskWhereToSave(on ? 1 : 0);
        WebProfile::instance()->setAskWhereToSave(on);
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_open);
    buttons->addWidget(m_showInFolder);
    buttons->addWidget(m_clear);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_folder);
    layout->addWidget(m_showOnStart);
    layout->addWidget(m_askWhereToSave);
    layout->addLayout(buttons);
    // Wide enough for every column without a scroll bar.
    resize(qMax(listWidth + metrics.averageCharWidth() * 6, sizeHint().width()), 320);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &DownloadsWindow::refresh);
    connect(m_downloads, &DownloadList::changed, this, &DownloadsWindow::scheduleRefresh);
    connect(m_downloads, &DownloadList::added, this, [this](Download *download) {
        // A new download shows at once, chosen.
        refresh();
        selectDownload(download);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &DownloadsWindow::updateButtons);
    connect(m_tree, &QTreeWidget::itemActivated, this, [this] { openCurrent(); });
    rebuild();
}

DownloadsWindow::~DownloadsWindow() = default;

void DownloadsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
}

void DownloadsWindow::scheduleRefresh()
{
    // Hidden, the rows wait for the window to show.
    if (isVisible() && !m_refresh.isActive())
        m_refresh.start();
}

void DownloadsWindow::refresh()
{
    m_folder->setText(fromStd(corvane::downloadFolderText(
        QDir::toNativeSeparators(WebProfile::downloadFolder()).toStdString())));
    if (!m_downloads)
        return;
    // Rows come and go with the list; the others are filled anew.
    const QList<Download *> downloads = m_downloads->downloads();
    bool same = downloads.size() == m_rows.size();
    for (int i = 0; same && i < downloads.size(); ++i)
        same = m_rows.value(downloads.at(i)) == m_tree->topLevelItem(i);
    if (!same) {
        rebuild();
        return;
    }
    for (Download *download : downloads)
        fillRow(m_rows.value(download), download);
    updateButtons();
}

void DownloadsWindow::rebuild()
{
    const Download *current = currentDownload();
    m_tree->clear();
    m_rows.clear();
    if (!m_downloads)
        return;
    for (Download *download : m_downloads->downloads()) {
        auto *item = new QTreeWidgetItem(m_tree);
        auto *bar = new QProgressBar(m_tree);
        bar->setRange(0, 100);
        bar->setTextVisible(true);
        m_tree->setItemWidget(item, kProgressColumn, bar);
        m_rows.insert(download, item);
        fillRow(item, download);
    }
    // The one chosen stays chosen; else the newest.
    if (current && m_rows.contains(current))
        selectDownload(current);
    else if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(m_tree->topLevelItemCount() - 1));
    updateButtons();
}

void DownloadsWindow::fillRow(QTreeWidgetItem *item, Download *download)
{
    if (!item || !download)
        return;
    const qint64 received = download->receivedBytes();
    const qint64 total = download->totalBytes();
    item->setText(0, download->fileName());
    item->setToolTip(0, QDir::toNativeSeparators(download->path()));
    item->setText(1, fromStd(corvane::sizeText(total >= 0 ? total : received)));
    item->setText(kProgressColumn, fromStd(corvane::progressText(received, total)));
    item->setText(3, download->isRunning()
                         ? fromStd(corvane::speedColumnText(received, total, download->bytesPerSecond()))
                         : QString());
    item->setText(4, fromStd(corvane::stateText(download->state(), download->failure())));
    if (auto *bar = qobject_cast<QProgressBar *>(m_tree->itemWidget(item, kProgressColumn))) {
        const int percent = corvane::progressPercent(received, total);
        // An unknown size: a busy bar while it runs.
        if (percent < 0 && download->isRunning()) {
            bar->setRange(0, 0);
        } else {
            bar->setRange(0, 100);
            bar->setValue(percent < 0 ? 0 : percent);
        }
        bar->setFormat(item->text(kProgressColumn));
    }
}

int DownloadsWindow::rowOf(const Download *download) const
{
    QTreeWidgetItem *item = m_rows.value(download);
    return item ? m_tree->indexOfTopLevelItem(item) : -1;
}

Download *DownloadsWindow::currentDownload() const
{
    QTreeWidgetItem *item = m_tree->currentItem();
    for (auto it = m_rows.constBegin(); it != m_rows.constEnd(); ++it)
        if (it.value() == item)
            return const_cast<Download *>(it.key());
    return nullptr;
}

void DownloadsWindow::selectDownload(const Download *download)
{
    if (QTreeWidgetItem *item = m_rows.value(download))
        m_tree->setCurrentItem(item);
}

QStringList DownloadsWindow::rowTexts(int row) const
{
    QStringList texts;
    if (QTreeWidgetItem *item = m_tree->topLevelItem(row))
        for (int column = 0; column < m_tree->columnCount(); ++column)
            texts << item->text(column);
    return texts;
}

void DownloadsWindow::updateButtons()
{
    const Download *download = currentDownload();
    const bool running = download && download->isRunning();
    const bool done = download && download->state() == corvane::DownloadState::Completed;
    m_cancel->setEnabled(running);
    m_open->setEnabled(done && QFileInfo::exists(download->path()));
    m_showInFolder->setEnabled(download && QFileInfo::exists(QFileInfo(download->path()).absolutePath()));
    bool ended = false;
    if (m_downloads)
        for (const Download *d : m_downloads->downloads())
            ended = ended || !d->isRunning();
    m_clear->setEnabled(ended);
}

void DownloadsWindow::cancelCurrent()
{
    if (Download *download = currentDownload())
        download->cancel();
    refresh();
}

void DownloadsWindow::openCurrent()
{
    Download *download = currentDownload();
    if (!download || download->state() != corvane::DownloadState::Completed || !QFileInfo::exists(download->path()))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(download->path()));
}

void DownloadsWindow::showCurrentInFolder()
{
    if (Download *download = currentDownload())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(download->path()).absolutePath()));
}

void DownloadsWindow::clearFinished()
{
    if (m_downloads)
        m_downloads->removeFinished();
    refresh();
}
