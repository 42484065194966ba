#include "core/SectionedFile.h"

#include "core/FileBytes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// --- shared helpers ----------------------------------------------------------

bool sectioned::isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view sectioned::trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string sectioned::toLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

bool sectioned::hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

using sectioned::toLowerAscii;
using sectioned::trim;

// --- the parsed file ------------------------------------------------------------

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kMaxFileSize = 64u << 20; // larger files are not read

// Case-insensitive (ASCII) hashing and comparison, usable with string_view
// keys so that a lookup needs no lower-cased copy.
struct NoCaseHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const
    {
        std::size_t hash = 14695981039346656037ull;
        for (char c : text) {
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        return hash;
    }
};

struct NoCaseEqual
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            char x = a[i];
            char y = b[i];
            if (x >= 'A' && x <= 'Z')
                x = char(x - 'A' + 'a');
            if (y >= 'A' && y <= 'Z')
                y = char(y - 'A' + 'a');
            if (x != y)
                return false;
        }
        return true;
    }
};

// Name -> index of its first occurrence.
using NoCaseIndex = std::unordered_map<std::string, std::size_t, NoCaseHash, NoCaseEqual>;

struct Line
{
    std::string text; // the bytes of the line, without its line end
    bool entry = false;
    std::string key;  // lower-cased entry name
    std::string name; // entry name as spelled
    StoredValue value;
};

struct Section
{
    std::string header; // the header line as it stands
    std::string name;
    std::string key; // lower-cased name
    std::vector<Line> lines;

    // Entry name -> index of its first line; built on demand.
    mutable NoCaseIndex index;
    mutable bool indexed = false;

    const Line *findEntry(std::string_view name) const
    {
        if (!indexed) {
            index.clear();
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (lines[i].entry)
                    index.emplace(lines[i].name, i); // keeps the first
            }
            indexed = true;
        }
        const auto it = index.find(name);
        return it == index.end() ? nullptr : &lines[it->second];
    }
};

bool parseHeader(std::string_view trimmed, std::string &name)
{
    if (trimmed.empty() || trimmed.front() != '[')
        return false;
    const std::size_t close = trimmed.rfind(']');
    if (close == std::string_view::npos || close == 0)
        return false;
    name = std::string(trim(trimmed.substr(1, close - 1)));
    return true;
}

bool isBlankLine(const std::string &text)
{
    return trim(text).empty();
}

} // namespace

struct SectionedFile::Document
{
    std::vector<Line> preamble; // lines before the first header
    std::vector<Section> sections;
    NoCaseIndex sectionIndex; // first section of each name

    void reindexSections()
    {
        sectionIndex.clear();
        for (std::size_t i = 0; i < sections.size(); ++i)
            sectionIndex.emplace(sections[i].name, i);
    }

    const Section *findSection(std::string_view name) const
    {
        const auto it = sectionIndex.find(name);
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    bool empty() const { return preamble.empty() && sections.empty(); }
};

namespace {

using Document = SectionedFile::Document;

Line makeLine(std::string text, const SectionedFormat &format, bool firstLine = false)
{
    Line line;
    line.text = std::move(text);
    std::string_view view = line.text;
    if (firstLine && view.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        view.remove_prefix(kUtf8Bom.size());
    const std::string_view trimmed = trim(view);
    if (!trimmed.empty() && format.parseEntry(trimmed, line.name, line.value)) {
        line.entry = true;
        line.key = toLowerAscii(line.name);
    } else {
        line.name.clear();
        line.value = {};
    }
    return line;
}

Document parse(std::string_view bytes, const SectionedFormat &format)
{
    Document doc;
    std::size_t pos = 0;
    bool first = true;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view text = bytes.substr(pos, end - pos);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        pos = next;

        std::string_view view = text;
        if (first && view.substr(0, kUtf8Bom.size()) == kUtf8Bom)
            view.remove_prefix(kUtf8Bom.size());
        std::string name;
        if (parseHeader(trim(view), name)) {
            Section section;
            section.header = std::string(text);
            section.key = toLowerAscii(name);
            section.name = std::move(name);
            doc.sections.push_back(std::move(section));
        } else {
            Line line = makeLine(std::string(text), format, first);
            if (doc.sections.empty())
                doc.preamble.push_back(std::move(line));
            else
                doc.sections.back().lines.push_back(std::move(line));
        }
        first = false;
    }
    doc.reindexSections();
    return doc;
}

std::string serialize(const Document &doc)
{
    std::string out;
    const auto put = [&out](const std::string &text) {
        out += text;
        out += "\r\n";
    };
    for (const Line &line : doc.preamble)
        put(line.text);
    for (const Section &section : doc.sections) {
        put(section.header);
        for (const Line &line : section.lines)
            put(line.text);
    }
    return out;
}

// Where a new entry of the section goes: after its last non-blank line.
std::size_t insertionPoint(const Section &section)
{
    std::size_t pos = section.lines.size();
    while (pos > 0 && isBlankLine(section.lines[pos - 1].text))
        --pos;
    return pos;
}

bool lastLineIsBlank(const Document &doc)
{
    if (!doc.sections.empty()) {
        const Section &last = doc.sections.back();
        return !last.lines.empty() && isBlankLine(last.lines.back().text);
    }
    return !doc.preamble.empty() && isBlankLine(doc.preamble.back().text);
}

bool isInTree(const std::string &key, const std::string &lowerRoot)
{
    return key == lowerRoot
           || (key.size() > lowerRoot.size() && key.compare(0, lowerRoot.size(), lowerRoot) == 0
               && key[lowerRoot.size()] == '\\');
}

bool writeEntry(Document &doc, const SectionedFile::Change &change, const SectionedFormat &format)
{
    const auto found = doc.sectionIndex.find(std::string_view(change.section));

    if (found == doc.sectionIndex.end()) {
        if (doc.empty() && format.firstLine)
            doc.preamble.push_back(makeLine(format.firstLine, format));
        if (!doc.empty() && !lastLineIsBlank(doc)) {
            std::vector<Line> &tail = doc.sections.empty() ? doc.preamble : doc.sections.back().lines;
            tail.push_back(makeLine(std::string(), format));
        }
        Section section;
        section.header = "[" + change.section + "]";
        section.name = change.section;
        section.key = toLowerAscii(change.section);
        section.lines.push_back(makeLine(format.formatEntry(change.name, change.value), format));
        doc.sections.push_back(std::move(section));
        doc.sectionIndex.emplace(change.section, doc.sections.size() - 1);
        return true;
    }

    Section &section = doc.sections[found->second];
    if (const Line *existing = section.findEntry(change.name)) {
        if (existing->value == change.value)
            return false;
        Line &line = section.lines[std::size_t(existing - section.lines.data())];
        // Keep the spelling the file uses for the name.
        line = makeLine(format.formatEntry(line.name, change.value), format);
        section.indexed = false;
        return true;
    }
    const std::size_t at = insertionPoint(section);
    section.lines.insert(section.lines.begin() + std::ptrdiff_t(at),
                         makeLine(format.formatEntry(change.name, change.value), format));
    section.indexed = false;
    return true;
}

// Whether the change would alter the document. A batch whose changes each
// alter nothing alters nothing as a whole.
bool wouldChange(const Document &doc, const SectionedFile::Change &change)
{
    using Kind = SectionedFile::Change::Kind;
    switch (change.kind) {
    case Kind::Write: {
        const Section *section = doc.findSection(change.section);
        const Line *line = section ? section->findEntry(change.name) : nullptr;
        return !line || !(line->value == change.value);
    }
    case Kind::DeleteEntry: {
        const std::string sectionKey = toLowerAscii(change.section);
        const std::string nameKey = toLowerAscii(change.name);
        return std::any_of(doc.sections.begin(), doc.sections.end(), [&](const Section &section) {
            return section.key == sectionKey && std::any_of(section.lines.begin(), section.lines.end(), [&](const Line &line) {
                       return line.entry && line.key == nameKey;
                   });
        });
    }
    case Kind::DeleteSection:
        return doc.findSection(change.section) != nullptr;
    case Kind::DeleteTree: {
        const std::string root = toLowerAscii(change.section);
        return std::any_of(doc.sections.begin(), doc.sections.end(),
                           [&](const Section &section) { return isInTree(section.key, root); });
    }
    }
    return true;
}

bool applyChange(Document &doc, const SectionedFile::Change &change, const SectionedFormat &format)
{
    using Kind = SectionedFile::Change::Kind;
    switch (change.kind) {
    case Kind::Write:
        return writeEntry(doc, change, format);
    case Kind::DeleteEntry: {
        const std::string sectionKey = toLowerAscii(change.section);
        const std::string nameKey = toLowerAscii(change.name);
        bool changed = false;
        for (Section &section : doc.sections) {
            if (section.key != sectionKey)
                continue;
            const auto removed = std::remove_if(section.lines.begin(), section.lines.end(),
                                                [&](const Line &line) { return line.entry && line.key == nameKey; });
            if (removed != section.lines.end()) {
                section.lines.erase(removed, section.lines.end());
                section.indexed = false;
                changed = true;
            }
        }
        return changed;
    }
    case Kind::DeleteSection:
    case Kind::DeleteTree: {
        const std::string root = toLowerAscii(change.section);
        const bool tree = change.kind == Kind::DeleteTree;
        const auto removed = std::remove_if(doc.sections.begin(), doc.sections.end(), [&](const Section &s) {
            return tree ? isInTree(s.key, root) : s.key == root;
        });
        if (removed == doc.sections.end())
            return false;
        doc.sections.erase(removed, doc.sections.end());
        doc.reindexSections();
        return true;
    }
    }
    return false;
}

// --- file access ------------------------------------------------------------------

bool readAll(int fd, std::string &out)
{
    out.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (out.size() + std::size_t(n) > kMaxFileSize)
            return false;
        out.append(buffer, std::size_t(n));
    }
}

// Opens the path only when it names a regular file (after symbolic links):
// a FIFO or a device counts as unreadable. O_NONBLOCK keeps the open of a
// FIFO from waiting for a writer; on a regular file it changes nothing. With
// O_CREAT a missing file is created. -1 for anything else, errno set.
int openRegular(const std::string &path, int flags, mode_t mode, struct stat &st)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool laterThan(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

// A new version must look newer than the one it replaces, whatever the
// clock's granularity, so that no reader mistakes it for a cached one.
// `written` is the new version's status, updated.
bool makeNewer(int fd, const struct stat &old, struct stat &written)
{
    for (long step : {1L, 1000000000L}) {
        if (laterThan(written.st_mtim, old.st_mtim))
            return true;
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1] = old.st_mtim;
        times[1].tv_nsec += step;
        while (times[1].tv_nsec >= 1000000000L) {
            times[1].tv_nsec -= 1000000000L;
            ++times[1].tv_sec;
        }
        if (::futimens(fd, times) != 0 || ::fstat(fd, &written) != 0)
            return false;
    }
    return true;
}

bool writeAllAt(int fd, std::string_view bytes)
{
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
        offset += n;
    }
    return true;
}

// Replaces the content of the open file `before` with `after`. The room is
// taken first, so a full disk stops the rewrite before a byte changes; a
// write that fails later puts the old content back as far as it can.
bool rewriteInPlace(int fd, std::string_view before, std::string_view after)
{
    if (after.size() > before.size()) {
        const int rc = ::posix_fallocate(fd, 0, off_t(after.size()));
        if (rc != 0) {
            [[maybe_unused]] const int cut = ::ftruncate(fd, off_t(before.size()));
            return false;
        }
    }
    if (writeAllAt(fd, after) && ::ftruncate(fd, off_t(after.size())) == 0)
        return true;
    if (writeAllAt(fd, before)) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, off_t(before.size()));
    }
    return false;
}

// Removes the temp files ("." + name + ".XXXXXX", see replaceFile) that a
// writer killed in mid-rewrite left beside the file. Called under the file's
// lock: every writer makes its temp file while holding it, so any found now
// is no one's.
void removeStaleTempFiles(const std::string &path)
{
    const std::string folder = corvane::folderOf(path);
    const std::size_t slash = path.rfind('/');
    const std::string prefix = "." + path.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const struct dirent *entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() == prefix.size() + 6 && name.substr(0, prefix.size()) == prefix
            && std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Opens (read-write) and exclusively locks the regular file now at `path`,
// creating it when missing. Retries when the file was replaced while we
// waited for the lock.
int lockFile(const std::string &path, const SectionedFormat &format, struct stat &locked)
{
    bool triedFolders = false;
    for (int attempt = 0; attempt < 64; ++attempt) {
        struct stat opened;
        const int fd = openRegular(path, O_RDWR | O_CREAT, mode_t(format.newFileMode), opened);
        if (fd < 0) {
            if (errno == ENOENT && format.createFolders && !triedFolders) {
                triedFolders = true;
                if (corvane::makeFolders(corvane::folderOf(path)))
                    continue;
            }
            return -1;
        }
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        struct stat now;
        if (rc == 0 && ::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &now) == 0
            && now.st_dev == locked.st_dev && now.st_ino == locked.st_ino)
            return fd;
        ::close(fd);
        if (rc != 0)
            return -1;
    }
    return -1;
}

} // namespace

// --- SectionedFile ------------------------------------------------------------------

SectionedFile::SectionedFile(std::string path, const SectionedFormat &format)
    : m_path(std::move(path)), m_format(format)
{
}

SectionedFile::SectionedFile(MemoryFile memory, const SectionedFormat &format)
    : m_inMemory(true), m_memory(std::move(memory.bytes)), m_format(format)
{
}

SectionedFile::~SectionedFile()
{
    // Deferred changes are not lost with the object.
    if (!m_pending.empty())
        commitNow(m_pending);
}

namespace {

template<typename StampT>
StampT stampOf(const struct stat &st)
{
    StampT s;
    s.valid = true;
    s.exists = true;
    s.dev = std::uint64_t(st.st_dev);
    s.ino = std::uint64_t(st.st_ino);
    s.size = std::int64_t(st.st_size);
    s.sec = std::int64_t(st.st_mtim.tv_sec);
    s.nsec = std::int64_t(st.st_mtim.tv_nsec);
    return s;
}

} // namespace

const SectionedFile::Document &SectionedFile::current() const
{
    const Document &file = stored();
    if (m_pending.empty())
        return file;
    if (!m_overlay || !(m_overlayStamp == m_stamp)) {
        // Another process rewrote the file meanwhile: the changes still to
        // be written go onto its new content.
        m_overlay = std::make_unique<Document>(file);
        for (const Change &change : m_pending)
            applyChange(*m_overlay, change, m_format);
        m_overlayStamp = m_stamp;
    }
    return *m_overlay;
}

const SectionedFile::Document &SectionedFile::stored() const
{
    if (m_inMemory) {
        // Parsed once; a commit replaces the cache with what it wrote.
        if (!m_cache) {
            m_cache = std::make_unique<Document>(parse(m_memory, m_format));
            m_stamp.valid = true;
        }
        return *m_cache;
    }
    Stamp now;
    struct stat st;
    if (::stat(m_path.c_str(), &st) == 0)
        now = stampOf<Stamp>(st);
    else
        now.valid = true; // missing (or unreachable): reads as empty

    if (m_cache && m_stamp == now)
        return *m_cache;

    auto doc = std::make_unique<Document>();
    Stamp stamp;
    if (!now.exists || !S_ISREG(st.st_mode)) {
        // Missing, or a FIFO, a device, a folder: unreadable, so empty. Not
        // tried again while it stays as it is.
        stamp = now;
    } else {
        struct stat opened;
        const int fd = openRegular(m_path, O_RDONLY, 0, opened);
        std::string bytes;
        if (fd >= 0) {
            // A rewrite in place holds the lock: read what it leaves.
            int rc;
            do {
                rc = ::flock(fd, LOCK_SH);
            } while (rc != 0 && errno == EINTR);
            if (::fstat(fd, &opened) == 0) {
                if (std::uint64_t(opened.st_size) > kMaxFileSize) {
                    // Too large to be ours: reads as empty, and is not read
                    // again (for every setting) while it stays as it is.
                    stamp = stampOf<Stamp>(opened);
                } else if (readAll(fd, bytes)) {
                    stamp = stampOf<Stamp>(opened);
                    *doc = parse(bytes, m_format);
                }
            }
            ::close(fd);
        }
        // On a read error nothing is remembered: the next call tries again.
    }
    m_cache = std::move(doc);
    m_stamp = stamp;
    return *m_cache;
}

const StoredValue *SectionedFile::find(std::string_view section, std::string_view name) const
{
    const Section *s = current().findSection(section);
    if (!s)
        return nullptr;
    const Line *line = s->findEntry(name);
    return line ? &line->value : nullptr;
}

bool SectionedFile::hasSection(std::string_view section) const
{
    return current().findSection(section) != nullptr;
}

bool SectionedFile::hasTree(std::string_view section) const
{
    const std::string root = toLowerAscii(section);
    const Document &doc = current();
    return std::any_of(doc.sections.begin(), doc.sections.end(),
                       [&](const Section &s) { return isInTree(s.key, root); });
}

std::vector<std::string> SectionedFile::sectionNames() const
{
    std::vector<std::string> names;
    const Document &doc = current();
    for (std::size_t i = 0; i < doc.sections.size(); ++i) {
        const auto first = doc.sectionIndex.find(doc.sections[i].name);
        if (first != doc.sectionIndex.end() && first->second == i)
            names.push_back(doc.sections[i].name);
    }
    return names;
}

std::vector<std::string> SectionedFile::entryNames(std::string_view section) const
{
    std::vector<std::string> names;
    const Section *s = current().findSection(section);
    if (!s)
        return names;
    for (const Line &line : s->lines) {
        if (line.entry && s->findEntry(line.name) == &line)
            names.push_back(line.name);
    }
    return names;
}

bool SectionedFile::commit(const std::vector<Change> &changes)
{
    // Decide on the content at hand first: a commit that alters nothing must
    // not create, lock or rewrite the file.
    const Document &now = current();
    if (std::none_of(changes.begin(), changes.end(),
                     [&](const Change &change) { return wouldChange(now, change); }))
        return true;

    if (m_deferDepth > 0) {
        // Kept for endDeferred(); readers of this object see it at once.
        if (m_pending.empty()) {
            m_overlay = std::make_unique<Document>(now);
            m_overlayStamp = m_stamp;
        }
        for (const Change &change : changes) {
            applyChange(*m_overlay, change, m_format);
            m_pending.push_back(change);
        }
        return true;
    }
    return commitNow(changes);
}

void SectionedFile::beginDeferred()
{
    ++m_deferDepth;
}

bool SectionedFile::endDeferred()
{
    if (m_deferDepth == 0 || --m_deferDepth > 0)
        return true;
    std::vector<Change> changes = std::move(m_pending);
    m_pending.clear();
    m_overlay.reset();
    return changes.empty() || commitNow(changes);
}

bool SectionedFile::commitNow(const std::vector<Change> &changes)
{
    if (m_inMemory) {
        Document doc = stored();
        bool changed = false;
        for (const Change &change : changes)
            changed = applyChange(doc, change, m_format) || changed;
        if (changed) {
            m_memory = serialize(doc);
            m_cache = std::make_unique<Document>(parse(m_memory, m_format));
            m_stamp.valid = true;
        }
        return true;
    }
    const std::string target = corvane::linkTarget(m_path);
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0
        && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return false; // a read-only file stays as it is; a FIFO or device is not ours

    struct stat locked;
    const int lockFd = lockFile(target, m_format, locked);
    if (lockFd < 0)
        return false;
    const auto unlock = [lockFd] { ::close(lockFd); }; // closing releases the lock

    removeStaleTempFiles(target);

    // The changes go onto the file as it is now, under the lock: what
    // another process wrote since we last read it stays.
    std::string before;
    if (!readAll(lockFd, before)) {
        unlock();
        return false;
    }
    Document doc = parse(before, m_format);
    bool changed = false;
    for (const Change &change : changes)
        changed = applyChange(doc, change, m_format) || changed;
    if (!changed) {
        unlock();
        return true;
    }
    const std::string after = serialize(doc);

    // A new version is written to a temp file, synced and renamed into place
    // (see replaceFile). A folder that refuses the temp file (a portable
    // install under /opt whose INI file the user may write) gets the file
    // rewritten where it stands, under the lock we hold.
    struct stat written;
    bool ok = false;
    switch (corvane::replaceFile(target, after, locked.st_mode & 07777, [&](int fd) {
        return ::fstat(fd, &written) == 0 && makeNewer(fd, locked, written);
    })) {
    case corvane::ReplaceOutcome::Replaced:
        ok = true;
        break;
    case corvane::ReplaceOutcome::Failed:
        break;
    case corvane::ReplaceOutcome::NoTempFile:
        ok = rewriteInPlace(lockFd, before, after) && ::fstat(lockFd, &written) == 0
             && makeNewer(lockFd, locked, written) && ::fdatasync(lockFd) == 0;
        break;
    }
    if (!ok) {
        unlock();
        return false;
    }

    m_cache = std::make_unique<Document>(parse(after, m_format));
    m_stamp = stampOf<Stamp>(written);
    unlock();
    return true;
}
