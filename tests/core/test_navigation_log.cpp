#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/Stopwatch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A temp folder standing for the user's home, with a settings store inside it
// and the local time zone pinned to UTC so timestamps are predictable.
class NavigationLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/corvane-log-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;

        if (const char *tz = std::getenv("TZ"))
            m_oldTz = tz;
        ::setenv("TZ", "UTC0", 1);
        ::tzset();

        m_settings = std::make_unique<SettingsStore>(SettingsStore::Locations{
            (m_dir / "Corvane.ini").string(), (m_dir / "user-store").string(), m_dir.string()});
        m_settings->openBackingStore();
        m_settings->setLogging(1);
        m_settings->setLogFile(logPath().string());
        m_log = std::make_unique<NavigationLog>(*m_settings);
        m_log->setClock([this] { return m_now; });
    }

    void TearDown() override
    {
        m_log.reset();
        m_settings.reset();
        if (m_oldTz)
            ::setenv("TZ", m_oldTz->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    fs::path logPath() const { return m_dir / "nav.log"; }

    fs::path m_dir;
    std::optional<std::string> m_oldTz;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<NavigationLog> m_log;
    std::time_t m_now = 1709802302; // 2024-03-07 09:05:02 UTC
};

} // namespace

TEST(NavigationLogFormat, TimestampPadsEveryFieldAndEndsInABlank)
{
    std::tm t{};
    t.tm_year = 905 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 2;
    EXPECT_EQ(NavigationLog::timestamp(t), "[03/07/0905-09:05:02] ");
    EXPECT_EQ(NavigationLog::banner(), std::string(135, '='));
}

TEST(StopwatchText, HoursMinutesSecondsWithDaysDropped)
{
    EXPECT_EQ(Stopwatch::format(0), "00:00:00");
    EXPECT_EQ(Stopwatch::format(3 * 3600 + 4 * 60 + 5), "03:04:05");
    EXPECT_EQ(Stopwatch::format(10 * 3600 + 10 * 60 + 10), "10:10:10");
    EXPECT_EQ(Stopwatch::format(25 * 3600), "01:00:00");
    EXPECT_EQ(Stopwatch::format(-5), "00:00:00"); // clock set back
}

TEST(StopwatchText, MeasuresFromTheLatestStart)
{
    std::time_t now = 1000;
    Stopwatch watch([&] { return now; });
    now += 3 * 3600 + 4 * 60 + 5;
    EXPECT_EQ(watch.elapsedText(), "03:04:05"); // from construction
    watch.start();
    now += 9;
    EXPECT_EQ(watch.elapsedText(), "00:00:09");
}

TEST_F(NavigationLogTest, AppendsTimestampedCrLfLinesInOrder)
{
    {
        std::ofstream(logPath(), std::ios::binary) << "kept\r\n";
    }
    m_log->write("first");
    m_now += 61;
    m_log->write(std::string("two\nlines"));
    m_log->write(static_cast<const char *>(nullptr));
    EXPECT_EQ(readFile(logPath()), "kept\r\n"
                                   "[03/07/2024-09:05:02] first\r\n"
                                   "[03/07/2024-09:06:03] two\nlines\r\n"
                                   "[03/07/2024-09:06:03] \r\n");
}

TEST_F(NavigationLogTest, UsesTheLocalTimeOfTheClock)
{
    ::setenv("TZ", "XST-2", 1); // two hours east of UTC, no daylight saving
    ::tzset();
    m_now = 946684799; // 1999-12-31 23:59:59 UTC
    m_log->write("x");
    EXPECT_EQ(readFile(logPath()), "[01/01/2000-01:59:59] x\r\n");
}

TEST_F(NavigationLogTest, LoggingOffCreatesNoFileAndChangesApplyAtOnce)
{
    m_settings->setLogging(0);
    m_log->write("lost");
    EXPECT_FALSE(fs::exists(logPath()));

    m_settings->setLogging(1);
    // A new log records where the user browsed: it is the user's alone,
    // whatever the umask lets through.
    const mode_t umask = ::umask(0);
    m_log->write("Logging enabled");
    ::umask(umask);
    struct stat st {};
    ASSERT_EQ(::stat(logPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const fs::path other = m_dir / "other.log";
    m_settings->setLogFile(other.string());
    m_log->write("moved");
    EXPECT_EQ(readFile(logPath()), "[03/07/2024-09:05:02] Logging enabled\r\n");
    EXPECT_EQ(readFile(other), "[03/07/2024-09:05:02] moved\r\n");
}

TEST_F(NavigationLogTest, ReadOnlyFileOrMissingFolderWritesNothing)
{
    {
        std::ofstream(logPath(), std::ios::binary) << "old\r\n";
    }
    ASSERT_EQ(::chmod(logPath().c_str(), 0444), 0);
    m_log->write("lost");
    EXPECT_EQ(readFile(logPath()), "old\r\n");

    const fs::path missing = m_dir / "no-such-folder" / "nav.log";
    m_settings->setLogFile(missing.string());
    m_log->write("lost");
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    m_settings->setLogFile(m_dir.string()); // a folder, not a file
    m_log->write("lost");
    EXPECT_TRUE(fs::is_directory(m_dir));
}

TEST_F(NavigationLogTest, LineIsLostWhileAnotherWriterHoldsTheFile)
{
    const int holder = ::open(logPath().c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    m_log->write("lost");
    EXPECT_EQ(readFile(logPath()), "");

    ::flock(holder, LOCK_UN);
    m_log->write("after");
    ::close(holder);
    EXPECT_EQ(readFile(logPath()), "[03/07/2024-09:05:02] after\r\n");
}
