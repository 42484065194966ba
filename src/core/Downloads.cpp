#include "core/Downloads.h"

#include <cmath>
#include <cstdio>

namespace corvane {

namespace {

const char *const kMultiPartExtensions[] = {".tar.gz", ".tar.bz2", ".tar.xz", ".tar.zst", ".tar.lz"};

bool endsWithIgnoringCase(const std::string &s, const std::string &tail)
{
    if (tail.size() > s.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i];
        if (a >= 'A' && a <= 'Z')
            a = char(a - 'A' + 'a');
        if (a != tail[i])
            return false;
    }
    return true;
}

// Where the extension begins: the last dot not at the start, or a known
// two-part extension.
size_t extensionStart(const std::string &name)
{
    for (const char *tail : kMultiPartExtensions) {
        const std::string t(tail);
        if (name.size() > t.size() && endsWithIgnoringCase(name, t))
            return name.size() - t.size();
    }
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name.size() : dot;
}

std::string threeDigits(double value)
{
    char buffer[32];
    if (value < 10)
        std::snprintf(buffer, sizeof buffer, "%.2f", value);
    else if (value < 100)
        std::snprintf(buffer, sizeof buffer, "%.1f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
}

} // namespace

std::string safeFileName(const std::string &suggested)
{
    std::string name = suggested;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    std::string clean;
    clean.reserve(name.size());
    for (const char c : name)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
            clean += c;
    size_t first = clean.find_first_not_of(". ");
    clean.erase(0, first == std::string::npos ? clean.size() : first);
    while (!clean.empty() && (clean.back() == ' ' || clean.back() == '.'))
        clean.pop_back();
    return clean.empty() ? std::string("download") : clean;
}

std::string uniqueFileName(const std::string &name, const std::function<bool(const std::string &)> &taken)
{
    if (!taken(name))
        return name;
    const size_t ext = extensionStart(name);
    const std::string stem = name.substr(0, ext);
    const std::string tail = name.substr(ext);
    for (int n = 1;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + tail;
        if (!taken(candidate))
            return candidate;
    }
}

std::string sizeText(std::int64_t bytes)
{
    if (bytes < 0)
        bytes = 0;
    if (bytes == 1)
        return "1 byte";
    if (bytes < 1024)
        return std::to_string(bytes) + " bytes";
    static const char *const units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024.0;
    int unit = 0;
    // 1023.9 KB would show as "1024 KB": the next unit takes it.
    while (unit < 3 && value >= 999.5) {
        value /= 1024.0;
        ++unit;
    }
    return threeDigits(value) + " " + units[unit];
}

std::string progressText(std::int64_t received, std::int64_t total)
{
    if (total < 0)
        return sizeText(received);
    return sizeText(received) + " of " + sizeText(total);
}

int progressPercent(std::int64_t received, std::int64_t total)
{
    if (total < 0)
        return -1;
    if (total == 0)
        return 100;
    if (received >= total)
        return 100;
    return int(received * 100 / total);
}

std::string speedText(double bytesPerSecond)
{
    if (!(bytesPerSecond > 0))
        return {};
    return sizeText(std::int64_t(std::llround(bytesPerSecond))) + "/s";
}

std::string timeLeftText(std::int64_t received, std::int64_t total, double bytesPerSecond)
{
    if (total < 0 || !(bytesPerSecond > 0) || received > total)
        return {};
    const std::int64_t seconds = std::int64_t(std::ceil(double(total - received) / bytesPerSecond));
    if (seconds < 60)
        return std::to_string(seconds) + " s left";
    const std::int64_t minutes = (seconds + 30) / 60;
    if (minutes < 60)
        return std::to_string(minutes) + " min left";
    const std::int64_t rest = minutes % 60;
    return std::to_string(minutes / 60) + " h" + (rest ? " " + std::to_string(rest) + " min" : std::string())
           + " left";
}

std::string failureText(DownloadFailure failure)
{
    switch (failure) {
    case DownloadFailure::Unknown: return "the download could not be completed";
    case DownloadFailure::NoFolder: return "the folder to save it in cannot be made";
    case DownloadFailure::FileFailed: return "the file could not be written";
    case DownloadFailure::AccessDenied: return "the folder may not be written to";
    case DownloadFailure::NoSpace: return "the disk is full";
    case DownloadFailure::NameTooLong: return "the file name is too long";
    case DownloadFailure::FileTooLarge: return "the file is too large for the disk";
    case DownloadFailure::VirusFound: return "a virus was found in the file";
    case DownloadFailure::FileBusy: return "the file was in use; try again";
    case DownloadFailure::Blocked: return "the file is blocked";
    case DownloadFailure::SecurityCheckFailed: return "the file failed a security check";
    case DownloadFailure::FileTooShort: return "the file on the disk is shorter than expected";
    case DownloadFailure::FileChanged: return "the file changed on the server";
    case DownloadFailure::NetworkFailed: return "the network failed";
    case DownloadFailure::NetworkTimeout: return "the network did not answer in time";
    case DownloadFailure::NetworkDisconnected: return "the network connection was lost";
    case DownloadFailure::ServerDown: return "the server is down";
    case DownloadFailure::InvalidRequest: return "the request was refused as invalid";
    case DownloadFailure::ServerFailed: return "the server failed";
    case DownloadFailure::ServerBadContent: return "the server does not have the file";
    case DownloadFailure::ServerUnauthorized: return "the server asks for a login";
    case DownloadFailure::ServerCertificate: return "the server's certificate is not valid";
    case DownloadFailure::ServerForbidden: return "the server refused the file";
    case DownloadFailure::ServerUnreachable: return "the server could not be reached";
    }
    return "the download could not be completed";
}

std::string stateText(DownloadState state, DownloadFailure failure)
{
    switch (state) {
    case DownloadState::Running: return "Downloading";
    case DownloadState::Completed: return "Complete";
    case DownloadState::Cancelled: return "Cancelled";
    case DownloadState::Failed: return "Failed: " + failureText(failure);
    }
    return {};
}

std::string downloadStatusText(const std::string &fileName, DownloadState state, DownloadFailure failure,
                               std::int64_t received, std::int64_t total)
{
    switch (state) {
    case DownloadState::Running: {
        const int percent = progressPercent(received, total);
        return "Downloading " + fileName + "... "
               + (percent < 0 ? sizeText(received) : std::to_string(percent) + "%");
    }
    case DownloadState::Completed: return "Download complete: " + fileName;
    case DownloadState::Cancelled: return "Download cancelled: " + fileName;
    case DownloadState::Failed: return "Download failed: " + fileName + " (" + failureText(failure) + ")";
    }
    return {};
}

std::string downloadLogLine(const std::string &url, const std::string &path, DownloadState state,
                            DownloadFailure failure)
{
    switch (state) {
    case DownloadState::Running: return "* Download started from URL: [" + url + "] -- saving to [" + path + "] *";
    case DownloadState::Completed: return "* Download complete from URL: [" + url + "] -- saved as [" + path + "] *";
    case DownloadState::Cancelled: return "* Download cancelled from URL: [" + url + "] *";
    case DownloadState::Failed: return "* Download failed from URL: [" + url + "] -- " + failureText(failure) + " *";
    }
    return {};
}

std::string downloadsExitLogLine(int running, bool cancel)
{
    const std::string count = std::to_string(running) + (running == 1 ? " download" : " downloads");
    return "* Exit with " + count + " running -- " + (cancel ? "cancelled, exiting" : "kept, not exiting") + " *";
}

std::string downloadFolderText(const std::string &folder)
{
    return "Files are saved in " + folder + ".";
}

std::string speedColumnText(std::int64_t received, std::int64_t total, double bytesPerSecond)
{
    const std::string speed = speedText(bytesPerSecond);
    const std::string left = timeLeftText(received, total, bytesPerSecond);
    if (speed.empty())
        return {};
    return left.empty() ? speed : speed + ", " + left;
}

void SpeedMeter::add(std::int64_t ms, std::int64_t receivedBytes)
{
    // A clock that went back, or a download that started again, starts over.
    if (!m_samples.empty() && (ms < m_samples.back().ms || receivedBytes < m_samples.back().bytes))
        m_samples.clear();
    m_samples.push_back({ms, receivedBytes});
    while (m_samples.size() > 2 && ms - m_samples[1].ms >= kWindowMs)
        m_samples.pop_front();
}

double SpeedMeter::bytesPerSecond() const
{
    if (m_samples.size() < 2)
        return 0;
    const Sample &first = m_samples.front();
    const Sample &last = m_samples.back();
    const std::int64_t ms = last.ms - first.ms;
    if (ms <= 0)
        return 0;
    return double(last.bytes - first.bytes) * 1000.0 / double(ms);
}

} // namespace corvane
