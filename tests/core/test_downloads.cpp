#include "core/Downloads.h"

#include <gtest/gtest.h>

#include <set>

using namespace corvane;

TEST(Downloads, SafeFileNameKeepsTheNameAloneAndNeverEmpty)
{
    EXPECT_EQ(safeFileName("report.pdf"), "report.pdf");
    EXPECT_EQ(safeFileName("../../etc/passwd"), "passwd");
    EXPECT_EQ(safeFileName("C:\\Users\\x\\evil.exe"), "evil.exe");
    EXPECT_EQ(safeFileName(".bashrc"), "bashrc");
    EXPECT_EQ(safeFileName("a\nb\tc.txt"), "abc.txt");
    EXPECT_EQ(safeFileName("name. . "), "name");
    EXPECT_EQ(safeFileName(""), "download");
    EXPECT_EQ(safeFileName("dir/"), "download");
    EXPECT_EQ(safeFileName(".."), "download");
    EXPECT_EQ(safeFileName("Résumé – 2024.pdf"), "Résumé – 2024.pdf") << "UTF-8 names stay whole";
}

TEST(Downloads, AnExistingNameGetsTheNextFreeNumberBeforeItsExtension)
{
    std::set<std::string> folder = {"data.bin", "data (1).bin", "archive.tar.gz", "README", ".hidden"};
    const auto taken = [&](const std::string &n) { return folder.count(n) > 0; };
    EXPECT_EQ(uniqueFileName("new.txt", taken), "new.txt");
    EXPECT_EQ(uniqueFileName("data.bin", taken), "data (2).bin");
    EXPECT_EQ(uniqueFileName("archive.tar.gz", taken), "archive (1).tar.gz");
    EXPECT_EQ(uniqueFileName("README", taken), "README (1)");
    EXPECT_EQ(uniqueFileName(".hidden", taken), ".hidden (1)") << "a leading dot is no extension";
    folder.insert("DATA.BIN");
    EXPECT_EQ(uniqueFileName("DATA.BIN", taken), "DATA (1).BIN");
}

TEST(Downloads, SizesProgressAndSpeedRead)
{
    EXPECT_EQ(sizeText(0), "0 bytes");
    EXPECT_EQ(sizeText(1), "1 byte");
    EXPECT_EQ(sizeText(1023), "1023 bytes");
    EXPECT_EQ(sizeText(1536), "1.50 KB");
    EXPECT_EQ(sizeText(1023 * 1024 + 1000), "1.00 MB") << "never \"1024 KB\"";
    EXPECT_EQ(sizeText(50LL * 1024 * 1024), "50.0 MB");
    EXPECT_EQ(sizeText(3LL * 1024 * 1024 * 1024 / 2), "1.50 GB");
    EXPECT_EQ(sizeText(-5), "0 bytes");

    EXPECT_EQ(progressText(12 * 1024 * 1024, 50LL * 1024 * 1024), "12.0 MB of 50.0 MB");
    EXPECT_EQ(progressText(2048, -1), "2.00 KB");
    EXPECT_EQ(progressPercent(25, 100), 25);
    EXPECT_EQ(progressPercent(5, -1), -1);
    EXPECT_EQ(progressPercent(0, 0), 100) << "an empty file is whole at once";
    EXPECT_EQ(progressPercent(150, 100), 100);

    EXPECT_EQ(speedText(0), "");
    EXPECT_EQ(speedText(1.25 * 1024 * 1024), "1.25 MB/s");
    EXPECT_EQ(timeLeftText(0, 100, 0), "");
    EXPECT_EQ(timeLeftText(0, 100, 10), "10 s left");
    EXPECT_EQ(timeLeftText(0, 100, 1000), "1 s left");
    EXPECT_EQ(timeLeftText(0, 600, 2), "5 min left");
    EXPECT_EQ(timeLeftText(0, 7500, 1), "2 h 5 min left");
    EXPECT_EQ(timeLeftText(0, 7200, 1), "2 h left");
    EXPECT_EQ(timeLeftText(10, -1, 5), "");
    EXPECT_EQ(speedColumnText(0, 100, 10), "10 bytes/s, 10 s left");
    EXPECT_EQ(speedColumnText(0, -1, 10), "10 bytes/s");
    EXPECT_EQ(speedColumnText(0, 100, 0), "");
}

TEST(Downloads, StatesSayWhatHappenedAndAFailureWhy)
{
    EXPECT_EQ(stateText(DownloadState::Running, DownloadFailure::Unknown), "Downloading");
    EXPECT_EQ(stateText(DownloadState::Completed, DownloadFailure::Unknown), "Complete");
    EXPECT_EQ(stateText(DownloadState::Cancelled, DownloadFailure::Unknown), "Cancelled");
    EXPECT_EQ(stateText(DownloadState::Failed, DownloadFailure::NoSpace), "Failed: the disk is full");
    EXPECT_EQ(downloadStatusText("a.bin", DownloadState::Running, DownloadFailure::Unknown, 50, 200),
              "Downloading a.bin... 25%");
    EXPECT_EQ(downloadStatusText("a.bin", DownloadState::Running, DownloadFailure::Unknown, 2048, -1),
              "Downloading a.bin... 2.00 KB");
    EXPECT_EQ(downloadStatusText("a.bin", DownloadState::Failed, DownloadFailure::NetworkDisconnected, 0, 0),
              "Download failed: a.bin (the network connection was lost)");
    // The log names the address and, for a failure, why.
    EXPECT_EQ(downloadLogLine("http://f.example/a.bin", "/home/u/Downloads/a (1).bin", DownloadState::Running,
                              DownloadFailure::Unknown),
              "* Download started from URL: [http://f.example/a.bin] -- saving to [/home/u/Downloads/a (1).bin] *");
    EXPECT_EQ(downloadLogLine("http://f.example/a.bin", "/x", DownloadState::Failed, DownloadFailure::NoSpace),
              "* Download failed from URL: [http://f.example/a.bin] -- the disk is full *");
    EXPECT_EQ(downloadsExitLogLine(1, false), "* Exit with 1 download running -- kept, not exiting *");
    EXPECT_EQ(downloadsExitLogLine(3, true), "* Exit with 3 downloads running -- cancelled, exiting *");
    // Every reason has words of its own.
    std::set<std::string> words;
    for (int f = int(DownloadFailure::Unknown); f <= int(DownloadFailure::ServerUnreachable); ++f)
        words.insert(failureText(DownloadFailure(f)));
    EXPECT_EQ(words.size(), size_t(int(DownloadFailure::ServerUnreachable) + 1));
}

TEST(Downloads, SpeedIsTakenOverTheLastSeconds)
{
    SpeedMeter meter;
    EXPECT_EQ(meter.bytesPerSecond(), 0);
    meter.add(0, 0);
    EXPECT_EQ(meter.bytesPerSecond(), 0);
    meter.add(1000, 1000);
    EXPECT_DOUBLE_EQ(meter.bytesPerSecond(), 1000);
    // Fast at first, then slow: the old samples leave the window.
    for (int s = 2; s <= 10; ++s)
        meter.add(s * 1000, 1000 + (s - 1) * 100);
    EXPECT_NEAR(meter.bytesPerSecond(), 100, 1);
    // A download that starts again starts the meter again.
    meter.add(11000, 0);
    EXPECT_EQ(meter.bytesPerSecond(), 0);
}
