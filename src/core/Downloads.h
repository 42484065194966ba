#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

// The rules of downloads that hold without a window: the name a file is
// saved under, the texts of sizes, progress, speed and time left, the words
// of each state and of each reason a download fails, and the questions.
namespace corvane {

enum class DownloadState { Running, Completed, Cancelled, Failed };

// Why a download failed, as the engine reports it.
enum class DownloadFailure {
    Unknown,
    NoFolder,
    FileFailed,
    AccessDenied,
    NoSpace,
    NameTooLong,
    FileTooLarge,
    VirusFound,
    FileBusy,
    Blocked,
    SecurityCheckFailed,
    FileTooShort,
    FileChanged,
    NetworkFailed,
    NetworkTimeout,
    NetworkDisconnected,
    ServerDown,
    InvalidRequest,
    ServerFailed,
    ServerBadContent,
    ServerUnauthorized,
    ServerCertificate,
    ServerForbidden,
    ServerUnreachable,
};

// --- the file ------------------------------------------------------------------------
// A name fit for a file of the download folder: no folder part (a '/' or
// '\\' ends what came before it), no control characters, no leading dots or
// trailing blanks; "download" when nothing is left.
std::string safeFileName(const std::string &suggested);
// name when no file of the folder has it, else "name (1).ext", "name (2).ext"
// ..., the number before the extension (".tar.gz" and its kin count as one).
// taken tells whether a name is in use.
std::string uniqueFileName(const std::string &name, const std::function<bool(const std::string &)> &taken);

// --- texts ---------------------------------------------------------------------------
// "0 bytes", "1 byte", "900 bytes", "1.5 KB", "12.3 MB", "1.02 GB" (1024 to
// the step, three digits shown).
std::string sizeText(std::int64_t bytes);
// "12.3 MB of 50.0 MB"; "12.3 MB" while the size is unknown (total < 0).
std::string progressText(std::int64_t received, std::int64_t total);
// 0..100; -1 while the size is unknown.
int progressPercent(std::int64_t received, std::int64_t total);
// "1.2 MB/s"; empty for no speed yet.
std::string speedText(double bytesPerSecond);
// "5 s left", "3 min left", "2 h 5 min left"; empty when it cannot be told.
std::string timeLeftText(std::int64_t received, std::int64_t total, double bytesPerSecond);
// The words of a failure: "the disk is full", "the network connection was
// lost", ...
std::string failureText(DownloadFailure failure);
// The state column: "Downloading", "Complete", "Cancelled", "Failed: " and why.
std::string stateText(DownloadState state, DownloadFailure failure);
// One line for the status bar.
std::string downloadStatusText(const std::string &fileName, DownloadState state, DownloadFailure failure,
                               std::int64_t received, std::int64_t total);

// The Downloads window.
inline constexpr const char *kDownloadsTitle = "Downloads";
inline constexpr const char *kDownloadsColumns[] = {"Name", "Size", "Progress", "Speed", "State"};
inline constexpr const char *kDownloadsCancel = "&Cancel";
inline constexpr const char *kDownloadsOpen = "&Open";
inline constexpr const char *kDownloadsShowInFolder = "Show in &Folder";
inline constexpr const char *kDownloadsClearList = "C&lear List";
inline constexpr const char *kDownloadsClose = "Close";
inline constexpr const char *kDownloadsShowOnStart = "Open this window when a download starts";
inline constexpr const char *kDownloadsAskWhereToSave = "Ask where to save each file";
// "Files are saved in <folder>."
std::string downloadFolderText(const std::string &folder);
// The speed column: "1.2 MB/s, 5 s left" while running; empty otherwise.
std::string speedColumnText(std::int64_t received, std::int64_t total, double bytesPerSecond);
// The navigation log's line of a download starting or ending: "* Download
// started from URL: [url] -- saving to [path] *", "* Download complete from
// URL: [url] -- saved as [path] *", "* Download cancelled from URL: [url]
// *", "* Download failed from URL: [url] -- " and why " *".
std::string downloadLogLine(const std::string &url, const std::string &path, DownloadState state,
                            DownloadFailure failure);
// Exit with downloads running (Yes/No, question icon): No exits nothing.
inline constexpr const char *kDownloadsRunningTitle = "Downloads alert";
inline constexpr const char *kDownloadsRunningQuestion = "Downloads are still running. Cancel them and exit?";
// The log line of its answer, with the number of downloads running.
std::string downloadsExitLogLine(int running, bool cancel);

// --- speed -----------------------------------------------------------------------------
// The speed of a download over its last few seconds, from the bytes
// received so far at moments in milliseconds (any steady clock).
class SpeedMeter
{
public:
    static constexpr std::int64_t kWindowMs = 3000;
    void add(std::int64_t ms, std::int64_t receivedBytes);
    // Bytes a second over the window up to the latest sample; 0 before two
    // samples a moment apart.
    double bytesPerSecond() const;

private:
    struct Sample
    {
        std::int64_t ms;
        std::int64_t bytes;
    };
    std::deque<Sample> m_samples;
};

} // namespace corvane
