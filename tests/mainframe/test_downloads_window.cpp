// The Downloads window over downloads the test carries out itself: what each
// row says, Cancel, Open, Show in Folder, Clear List and the two switches.
#include "core/CommandIds.h"
#include "core/Downloads.h"
#include "core/SettingsStore.h"
#include "engine/DownloadList.h"
#include "engine/WebProfile.h"
#include "mainframe/DownloadsWindow.h"
#include "mainframe/MainWindow.h"
#include "support/AppHarness.h"
#include "support/Eventually.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace cmd = corvane::cmd;

namespace {

// Receives what the window opens through the desktop.
class Opened : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

class DownloadsWindowTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) { s.setBiPassDefault(1); });
        ASSERT_TRUE(start());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        for (Download *d : DownloadList::instance()->downloads())
            DownloadList::instance()->remove(d);
    }

    Download *addDownload(const QString &name, qint64 received, qint64 total)
    {
        auto *d = new Download(QUrl(QStringLiteral("http://files.example/") + name), home.filePath(name));
        d->setCanceller([c = m_cancels, name] { *c << name; });
        d->setProgress(received, total);
        DownloadList::instance()->add(d);
        return d;
    }
    DownloadsWindow *window() const { return mainWindow()->downloadsWindow(); }

    Opened m_opened;
    std::shared_ptr<QStringList> m_cancels = std::make_shared<QStringList>();
};

} // namespace

TEST_F(DownloadsWindowTest, ADownloadOpensTheWindowAndItsRowFollowsIt)
{
    Download *big = addDownload(QStringLiteral("big.iso"), 1024, 4096);
    ASSERT_NE(window(), nullptr) << "a download that starts opens the window";
    EXPECT_TRUE(window()->isVisible());
    EXPECT_TRUE(window()->testAttribute(Qt::WA_ShowWithoutActivating)) << "without taking the page's focus";
    EXPECT_EQ(window()->windowTitle(), QStringLiteral("Downloads"));
    QStringList row = window()->rowTexts(window()->rowOf(big));
    EXPECT_EQ(row.mid(0, 3), (QStringList{QStringLiteral("big.iso"), QStringLiteral("4.00 KB"),
                                           QStringLiteral("1.00 KB of 4.00 KB")}));
    EXPECT_EQ(row.at(4), QStringLiteral("Downloading"));
    EXPECT_EQ(window()->currentDownload(), big) << "the new download is chosen";
    // Every column in view at the window's first size.
    QTest::qWait(50);
    EXPECT_EQ(window()->list()->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(window()->cancelButton()->isEnabled());
    EXPECT_FALSE(window()->openButton()->isEnabled());

    // Progress shows within a quarter second or so, not at every byte.
    big->setProgress(2048, 4096);
    EXPECT_EVENTUALLY_EQ(window()->rowTexts(0).at(2), QStringLiteral("2.00 KB of 4.00 KB"));

    QTest::mouseClick(window()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(*m_cancels, QStringList{QStringLiteral("big.iso")});
    EXPECT_EQ(window()->rowTexts(0).at(4), QStringLiteral("Cancelled"));
    EXPECT_FALSE(window()->cancelButton()->isEnabled());
    EXPECT_TRUE(window()->rowTexts(0).at(3).isEmpty()) << "no speed once it ended";
}

TEST_F(DownloadsWindowTest, AFinishedFileOpensAndShowsInItsFolderAFailedOneSaysWhy)
{
    QFile file(home.filePath(QStringLiteral("report.pdf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("pdf");
    file.close();
    Download *report = addDownload(QStringLiteral("report.pdf"), 3, 3);
    report->finish(corvane::DownloadState::Completed);
    Download *broken = addDownload(QStringLiteral("broken.zip"), 10, 100);
    broken->finish(corvane::DownloadState::Failed, corvane::DownloadFailure::NetworkDisconnected);
    window()->refresh();
    EXPECT_EQ(window()->rowTexts(1).at(4), QStringLiteral("Failed: the network connection was lost"));

    window()->selectDownload(report);
    EXPECT_EQ(window()->rowTexts(0).at(4), QStringLiteral("Complete"));
    ASSERT_TRUE(window()->openButton()->isEnabled());
    QTest::mouseClick(window()->openButton(), Qt::LeftButton);
    QTest::mouseClick(window()->showInFolderButton(), Qt::LeftButton);
    EXPECT_EQ(m_opened.urls, (QList<QUrl>{QUrl::fromLocalFile(home.filePath(QStringLiteral("report.pdf"))),
                                          QUrl::fromLocalFile(home.home())}));

    // Clear List takes the ended ones off; a running one stays.
    Download *running = addDownload(QStringLiteral("more.bin"), 1, -1);
    EXPECT_EQ(window()->rowTexts(window()->rowOf(running)).at(1), QStringLiteral("1 byte"));
    QTest::mouseClick(window()->clearButton(), Qt::LeftButton);
    EXPECT_EQ(window()->list()->topLevelItemCount(), 1);
    EXPECT_EQ(window()->rowOf(running), 0);
    EXPECT_TRUE(QFile::exists(home.filePath(QStringLiteral("report.pdf")))) << "the files stay";
}

TEST_F(DownloadsWindowTest, TheSwitchesAreStoredAndTheWindowStaysAwayWhenAsked)
{
    mainWindow()->runCommand(cmd::Downloads);
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_TRUE(window()->showOnStartBox()->isChecked());
    EXPECT_FALSE(window()->askWhereToSaveBox()->isChecked());
    window()->showOnStartBox()->click();
    window()->askWhereToSaveBox()->click();
    EXPECT_EQ(store()->showDownloadsOnStart(), 0);
    EXPECT_EQ(store()->askWhereToSave(), 1);
    EXPECT_TRUE(WebProfile::instance()->askWhereToSave());
    window()->close();

    addDownload(QStringLiteral("quiet.bin"), 0, 10);
    QTest::qWait(20);
    EXPECT_FALSE(window()->isVisible());
    window()->askWhereToSaveBox()->click();
    EXPECT_FALSE(WebProfile::instance()->askWhereToSave());
}

#include "test_downloads_window.moc"
