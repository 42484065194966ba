// Downloads with the real engine from a loopback server: where a file goes
// and under what name, the Downloads window following a large download,
// Cancel, the exit's question, and a download that fails saying why.
#include "core/CommandIds.h"
#include "core/Downloads.h"
#include "engine/DownloadList.h"
#include "engine/EngineTest.h"
#include "engine/WebProfile.h"
#include "mainframe/DownloadsWindow.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTreeWidget>

namespace {

class DownloadsTest : public EngineTest
{
protected:
    void TearDown() override
    {
        DownloadList::instance()->cancelRunning();
        for (Download *d : DownloadList::instance()->downloads())
            DownloadList::instance()->remove(d);
        WebProfile::instance()->setSavePathChooser({});
        WebProfile::instance()->setAskWhereToSave(false);
        EngineTest::TearDown();
    }

    static LoopbackServer::Response attachment(const QByteArray &name, const QByteArray &body)
    {
        LoopbackServer::Response file;
        file.body = body;
        file.contentType = "application/octet-stream";
        file.headers.append({"Content-Disposition", "attachment; filename=" + name});
        return file;
    }

    // Starts a download from the page and waits for it to be listed.
    Download *startDownload(const QString &path)
    {
        const qsizetype before = DownloadList::instance()->downloads().size();
        control()->navigate(m_server.url(path));
        if (!waitUntil([&] { return DownloadList::instance()->downloads().size() > before; }))
            return nullptr;
        return DownloadList::instance()->downloads().last();
    }

    static QString downloadFolder()
    {
        return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    }
};

} // namespace

TEST_F(DownloadsTest, FilesGoIntoTheDownloadFolderUnderNamesOfTheirOwn)
{
    QDir(downloadFolder()).removeRecursively();
    m_server.setResponse(QStringLiteral("/data.bin"), attachment("data.bin", "downloaded bytes"));
    QSignalSpy status(WebProfile::instance(), &WebProfile::downloadStatus);

    Download *first = startDownload(QStringLiteral("/data.bin"));
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(waitUntil([&] { return first->state() == corvane::DownloadState::Completed; }));
    EXPECT_EQ(first->path(), QDir(downloadFolder()).filePath(QStringLiteral("data.bin"))) << "the folder was made";
    QFile saved(first->path());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("downloaded bytes"));
    EXPECT_EQ(status.last().at(0).toString(), QStringLiteral("Download complete: data.bin"));
    const QString url = m_server.url(QStringLiteral("/data.bin"));
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Download started from URL: [%1] -- saving to [%2] *").arg(url, first->path())));
    EXPECT_TRUE(waitUntil([&] {
        return logLines().contains(
            QStringLiteral("* Download complete from URL: [%1] -- saved as [%2] *").arg(url, first->path()));
    }));
    // The page stays; its navigation is over.
    EXPECT_TRUE(waitUntil([&] { return !m_view->navigating(); }, 3000));
    EXPECT_EQ(m_app->mainWindow()->addressText(), control()->pageUrl());

    Download *second = startDownload(QStringLiteral("/data.bin"));
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !second->isRunning(); }));
    EXPECT_EQ(second->fileName(), QStringLiteral("data (1).bin")) << "nothing is saved over";

    // Asked where to save: the user's choice, or no download at all.
    WebProfile::instance()->setAskWhereToSave(true);
    const QString target = engineHome().filePath(QStringLiteral("chosen.bin"));
    QString offered;
    WebProfile::instance()->setSavePathChooser([&](const QString &suggested) {
        offered = suggested;
        return target;
    });
    Download *chosen = startDownload(QStringLiteral("/data.bin"));
    ASSERT_NE(chosen, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !chosen->isRunning(); }));
    EXPECT_EQ(offered, QDir(downloadFolder()).filePath(QStringLiteral("data (2).bin")));
    EXPECT_EQ(chosen->path(), target);
    EXPECT_TRUE(QFile::exists(target));

    WebProfile::instance()->setSavePathChooser([](const QString &) { return QString(); });
    const qsizetype listed = DownloadList::instance()->downloads().size();
    control()->navigate(m_server.url(QStringLiteral("/data.bin")));
    const bool said = waitUntil(
        [&] { return status.last().at(0).toString() == QStringLiteral("Download cancelled: data (2).bin"); });
    ASSERT_TRUE(said) << status.last().at(0).toString().toStdString() << " of " << status.size();
    EXPECT_EQ(DownloadList::instance()->downloads().size(), listed);
}

TEST_F(DownloadsTest, ALargeDownloadIsListedWithProgressAndCanBeCancelled)
{
    LoopbackServer::Response big = attachment("big.bin", QByteArray(50 * 1024 * 1024, 'x'));
    big.chunkBytes = 256 * 1024;
    big.chunkIntervalMs = 20;
    m_server.setResponse(QStringLiteral("/big.bin"), big);
    Download *download = startDownload(QStringLiteral("/big.bin"));
    ASSERT_NE(download, nullptr);
    DownloadsWindow *window = m_app->mainWindow()->downloadsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible()) << "a download opens the window";

    ASSERT_TRUE(waitUntil([&] { return download->receivedBytes() > 2 * 1024 * 1024; }));
    ASSERT_TRUE(download->isRunning());
    EXPECT_EQ(download->totalBytes(), 50 * 1024 * 1024);
    EXPECT_GT(download->bytesPerSecond(), 0);
    ASSERT_TRUE(waitUntil([&] {
        const QStringList row = window->rowTexts(window->rowOf(download));
        return row.size() == 5 && row.at(2).endsWith(QStringLiteral(" of 50.0 MB")) && row.at(3).contains(QStringLiteral("/s"))
               && row.at(4) == QStringLiteral("Downloading");
    }));
    EXPECT_EQ(window->rowTexts(window->rowOf(download)).at(1), QStringLiteral("50.0 MB"));

    // Stop is the page's: the download goes on.
    m_view->runCommand(corvane::cmd::Stop);
    const qint64 stoppedAt = download->receivedBytes();
    EXPECT_TRUE(waitUntil([&] { return download->receivedBytes() > stoppedAt + 1024 * 1024; }));
    EXPECT_TRUE(download->isRunning());

    window->selectDownload(download);
    window->cancelCurrent();
    EXPECT_EQ(download->state(), corvane::DownloadState::Cancelled);
    EXPECT_EQ(window->rowTexts(window->rowOf(download)).at(4), QStringLiteral("Cancelled"));
    // The engine lets the file go.
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(download->path()); }));
}

TEST_F(DownloadsTest, ExitDuringADownloadAsksAndNoKeepsItRunning)
{
    LoopbackServer::Response big = attachment("exit.bin", QByteArray(50 * 1024 * 1024, 'y'));
    big.chunkBytes = 128 * 1024;
    big.chunkIntervalMs = 20;
    m_server.setResponse(QStringLiteral("/exit.bin"), big);
    Download *download = startDownload(QStringLiteral("/exit.bin"));
    ASSERT_NE(download, nullptr);
    ASSERT_TRUE(waitUntil([&] { return download->receivedBytes() > 0; }));

    QStringList asked;
    QMessageBox::StandardButton reply = QMessageBox::No;
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon, const QString &, const QString &text,
                          QMessageBox::StandardButtons) {
        asked << text;
        return text == QStringLiteral("Are you sure you want to exit?") ? QMessageBox::Yes : reply;
    });
    EXPECT_FALSE(m_app->mainWindow()->close());
    EXPECT_TRUE(asked.contains(QStringLiteral("Downloads are still running. Cancel them and exit?")));
    const qint64 before = download->receivedBytes();
    EXPECT_TRUE(waitUntil([&] { return download->receivedBytes() > before; })) << "it goes on";
    EXPECT_TRUE(download->isRunning());
    EXPECT_TRUE(m_app->mainWindow()->isVisible());

    // Yes: the page is asked, then the exit goes on and the download ends.
    reply = QMessageBox::Yes;
    bool closed = false;
    QObject::connect(m_app->mainWindow(), &MainWindow::closed, [&closed] { closed = true; });
    m_app->mainWindow()->close();
    EXPECT_TRUE(waitUntil([&] { return closed; }));
    EXPECT_EQ(download->state(), corvane::DownloadState::Cancelled);
}

TEST_F(DownloadsTest, ADownloadThatCannotBeSavedSaysWhy)
{
    m_server.setResponse(QStringLiteral("/cut.bin"), attachment("cut.bin", QByteArray(64 * 1024, 'z')));
    // The user chose a folder that cannot be: its place holds a file.
    QFile blocker(engineHome().filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    WebProfile::instance()->setAskWhereToSave(true);
    WebProfile::instance()->setSavePathChooser(
        [](const QString &) { return engineHome().filePath(QStringLiteral("not-a-folder/cut.bin")); });
    QSignalSpy status(WebProfile::instance(), &WebProfile::downloadStatus);
    Download *download = startDownload(QStringLiteral("/cut.bin"));
    ASSERT_NE(download, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !download->isRunning(); }));
    EXPECT_EQ(download->state(), corvane::DownloadState::Failed);
    const QString why = QString::fromStdString(corvane::stateText(download->state(), download->failure()));
    EXPECT_TRUE(why.startsWith(QStringLiteral("Failed: the "))) << why.toStdString();
    EXPECT_EQ(why, QStringLiteral("Failed: the folder to save it in cannot be made"));
    EXPECT_TRUE(status.last().at(0).toString().startsWith(QStringLiteral("Download failed: cut.bin (the ")));
    DownloadsWindow *window = m_app->mainWindow()->downloadsWindow();
    ASSERT_NE(window, nullptr);
    window->refresh();
    EXPECT_EQ(window->rowTexts(window->rowOf(download)).at(4), why);
}
