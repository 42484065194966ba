#include "core/SectionedFile.h"

#include "core/FileBytes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
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

// A line's bytes without its line end. It points into the document's text:
// the file's bytes as read, or the lines made since (see LineStore), which
// never move. So a document of a million lines is the file's bytes and a
// pair of words a line, and reading it allocates nothing per line. What an
// entry line says (its name and value) is read when it is asked for.
using Line = std::string_view;

// The lines a document makes (new entries, changed ones, headers): appended
// to chunks that are never reallocated, so the views on them stay valid.
// Shared by the copies of a document.
class LineStore
{
public:
    std::string_view add(std::string_view text)
    {
        if (text.empty())
            return {};
        if (m_chunks.empty() || m_capacity - m_used < text.size()) {
            m_capacity = std::max(kChunkSize, text.size());
            m_chunks.push_back(std::make_unique<char[]>(m_capacity));
            m_used = 0;
        }
        char *at = m_chunks.back().get() + m_used;
        std::copy(text.begin(), text.end(), at);
        m_used += text.size();
        m_total += text.size();
        return std::string_view(at, text.size());
    }
    // The bytes of every line made so far.
    std::size_t size() const { return m_total; }

private:
    static constexpr std::size_t kChunkSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::size_t m_used = 0;
    std::size_t m_capacity = 0;
    std::size_t m_total = 0;
};

// The name and value an entry line holds; false for comments, blank lines
// and lines the format cannot read.
bool readEntry(Line line, const SectionedFormat &format, std::string &name, StoredValue &value)
{
    const std::string_view trimmed = trim(line);
    return !trimmed.empty() && format.parseEntry(trimmed, name, value);
}

struct Section
{
    Line header; // the header line as it stands
    std::string name;
    std::string key; // lower-cased name
    std::vector<Line> lines;

    // Entry name -> index of its first line: built at the first lookup
    // (one reading of every line), then kept up to date by the writes, so a
    // rewrite of a list of N entries reads each line once.
    mutable NoCaseIndex index;
    mutable bool indexed = false;

    // The index of the first entry line of that name, or npos.
    std::size_t findEntry(std::string_view entryName, const SectionedFormat &format) const
    {
        if (!indexed) {
            index.clear();
            index.reserve(lines.size());
            std::string parsed;
            StoredValue value;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (readEntry(lines[i], format, parsed, value))
                    index.emplace(parsed, i); // keeps the first
            }
            indexed = true;
        }
        const auto it = index.find(entryName);
        return it == index.end() ? std::string_view::npos : it->second;
    }

    // A new entry's line went in at `at`; only blank lines follow it (see
    // insertionPoint), so no entry moved.
    void noteInserted(const std::string &entryName, std::size_t at)
    {
        if (indexed)
            index.emplace(entryName, at);
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

bool isBlankLine(Line text)
{
    return trim(text).empty();
}

} // namespace

struct SectionedFile::Document
{
    explicit Document(const SectionedFormat &f)
        : format(&f), bytes(std::make_shared<const std::string>()), made(std::make_shared<LineStore>())
    {
    }

    const SectionedFormat *format;
    std::shared_ptr<const std::string> bytes; // the file as read; lines point into it
    std::shared_ptr<LineStore> made;          // the lines made since
    std::vector<Line> preamble;               // lines before the first header
    std::vector<Section> sections;
    NoCaseIndex sectionIndex; // first section of each name

    Line makeLine(std::string_view text) { return made->add(text); }

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

// Calls visit(text, header) for each line of the bytes, in order: text
// without its line end, header the section name when the line is a header
// (nullptr otherwise).
template<typename Visit>
void forEachLine(std::string_view all, Visit &&visit)
{
    std::size_t pos = 0;
    bool first = true;
    std::string name;
    while (pos < all.size()) {
        std::size_t end = all.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view text = all.substr(pos, end - pos);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        pos = next;

        std::string_view view = text;
        if (first && view.substr(0, kUtf8Bom.size()) == kUtf8Bom)
            view.remove_prefix(kUtf8Bom.size());
        first = false;
        const std::string_view trimmed = trim(view);
        const bool header = !trimmed.empty() && trimmed.front() == '[' && parseHeader(trimmed, name);
        visit(text, header ? &name : nullptr);
    }
}

Document parse(std::string bytes, const SectionedFormat &format)
{
    Document doc(format);
    doc.bytes = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view all = *doc.bytes;
    // Two passes: the first counts each part's lines, so that the second
    // fills lists of their final size (a list grown by doubling would hold
    // up to twice the room for a moment).
    std::vector<std::size_t> counts(1, 0);
    forEachLine(all, [&counts](std::string_view, const std::string *header) {
        if (header)
            counts.push_back(0);
        else
            ++counts.back();
    });
    doc.sections.reserve(counts.size() - 1);
    doc.preamble.reserve(counts.front());
    std::size_t part = 0;
    forEachLine(all, [&](std::string_view text, const std::string *header) {
        if (header) {
            Section section;
            section.header = text;
            section.key = toLowerAscii(*header);
            section.name = *header;
            section.lines.reserve(counts[++part]);
            doc.sections.push_back(std::move(section));
        } else if (doc.sections.empty()) {
            doc.preamble.push_back(text);
        } else {
            doc.sections.back().lines.push_back(text);
        }
    });
    doc.reindexSections();
    return doc;
}

// Each line of the document in file order: the preamble, then each
// section's header and lines.
template <typename F>
void forEachLine(const Document &doc, F &&f)
{
    for (const Line &line : doc.preamble)
        f(line);
    for (const Section &section : doc.sections) {
        f(section.header);
        for (const Line &line : section.lines)
            f(line);
    }
}

std::string serialize(const Document &doc)
{
    std::size_t size = 0;
    forEachLine(doc, [&size](Line text) { size += text.size() + 2; });
    std::string out;
    out.reserve(size);
    forEachLine(doc, [&out](Line text) {
        out += text;
        out += "\r\n";
    });
    return out;
}

// The document's bytes, as serialize() gives them, written to fd through a
// buffer: a large file is never held twice.
bool writeDocument(int fd, const Document &doc)
{
    constexpr std::size_t kBuffer = 256 * 1024;
    std::string buffer;
    buffer.reserve(kBuffer);
    bool ok = true;
    const auto put = [&](Line text) {
        if (buffer.size() + text.size() + 2 > kBuffer) {
            ok = ok && corvane::writeAll(fd, buffer);
            buffer.clear();
        }
        if (text.size() + 2 > kBuffer) {
            ok = ok && corvane::writeAll(fd, text) && corvane::writeAll(fd, "\r\n");
            return;
        }
        buffer += text;
        buffer += "\r\n";
    };
    forEachLine(doc, put);
    return ok && corvane::writeAll(fd, buffer);
}

// Where a new entry of the section goes: after its last non-blank line.
std::size_t insertionPoint(const Section &section)
{
    std::size_t pos = section.lines.size();
    while (pos > 0 && isBlankLine(section.lines[pos - 1]))
        --pos;
    return pos;
}

bool lastLineIsBlank(const Document &doc)
{
    if (!doc.sections.empty()) {
        const Section &last = doc.sections.back();
        return !last.lines.empty() && isBlankLine(last.lines.back());
    }
    return !doc.preamble.empty() && isBlankLine(doc.preamble.back());
}

bool isInTree(const std::string &key, const std::string &lowerRoot)
{
    return key == lowerRoot
           || (key.size() > lowerRoot.size() && key.compare(0, lowerRoot.size(), lowerRoot) == 0
               && key[lowerRoot.size()] == '\\');
}

// Whether a line is an entry of that name (ASCII case ignored).
bool isEntryNamed(Line line, std::string_view name, const SectionedFormat &format)
{
    std::string parsed;
    StoredValue value;
    return readEntry(line, format, parsed, value) && NoCaseEqual()(parsed, name);
}

bool writeEntry(Document &doc, const SectionedFile::Change &change)
{
    const SectionedFormat &format = *doc.format;
    const auto found = doc.sectionIndex.find(std::string_view(change.section));

    if (found == doc.sectionIndex.end()) {
        if (doc.empty() && format.firstLine)
            doc.preamble.push_back(doc.makeLine(format.firstLine));
        if (!doc.empty() && !lastLineIsBlank(doc)) {
            std::vector<Line> &tail = doc.sections.empty() ? doc.preamble : doc.sections.back().lines;
            tail.push_back(Line());
        }
        Section section;
        section.header = doc.makeLine("[" + change.section + "]");
        section.name = change.section;
        section.key = toLowerAscii(change.section);
        section.lines.push_back(doc.makeLine(format.formatEntry(change.name, change.value)));
        doc.sections.push_back(std::move(section));
        doc.sectionIndex.emplace(change.section, doc.sections.size() - 1);
        return true;
    }

    Section &section = doc.sections[found->second];
    const std::size_t existing = section.findEntry(change.name, format);
    if (existing != std::string_view::npos) {
        std::string name;
        StoredValue value;
        readEntry(section.lines[existing], format, name, value);
        if (value == change.value)
            return false;
        // Keep the spelling the file uses for the name; the line keeps its
        // place, so the index holds.
        section.lines[existing] = doc.makeLine(format.formatEntry(name, change.value));
        return true;
    }
    const std::size_t at = insertionPoint(section);
    section.lines.insert(section.lines.begin() + std::ptrdiff_t(at),
                         doc.makeLine(format.formatEntry(change.name, change.value)));
    section.noteInserted(change.name, at);
    return true;
}

// Whether the change would alter the document. A batch whose changes each
// alter nothing alters nothing as a whole.
bool wouldChange(const Document &doc, const SectionedFile::Change &change)
{
    using Kind = SectionedFile::Change::Kind;
    const SectionedFormat &format = *doc.format;
    switch (change.kind) {
    case Kind::Write: {
        const Section *section = doc.findSection(change.section);
        const std::size_t line = section ? section->findEntry(change.name, format) : std::string_view::npos;
        if (line == std::string_view::npos)
            return true;
        std::string name;
        StoredValue value;
        readEntry(section->lines[line], format, name, value);
        return !(value == change.value);
    }
    case Kind::DeleteEntry: {
        const std::string sectionKey = toLowerAscii(change.section);
        return std::any_of(doc.sections.begin(), doc.sections.end(), [&](const Section &section) {
            return section.key == sectionKey && std::any_of(section.lines.begin(), section.lines.end(), [&](Line line) {
                       return isEntryNamed(line, change.name, format);
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

bool applyChange(Document &doc, const SectionedFile::Change &change)
{
    using Kind = SectionedFile::Change::Kind;
    switch (change.kind) {
    case Kind::Write:
        return writeEntry(doc, change);
    case Kind::DeleteEntry: {
        const std::string sectionKey = toLowerAscii(change.section);
        bool changed = false;
        for (Section &section : doc.sections) {
            if (section.key != sectionKey)
                continue;
            const auto removed = std::remove_if(section.lines.begin(), section.lines.end(), [&](Line line) {
                return isEntryNamed(line, change.name, *doc.format);
            });
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

// The whole file from its start (whatever the descriptor's offset), read
// straight into a string of the file's size. False beyond kMaxFileSize.
bool readAll(int fd, std::string &out)
{
    out.clear();
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        if (std::uint64_t(st.st_size) > kMaxFileSize)
            return false;
        out.reserve(std::size_t(st.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, off_t(out.size()));
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
            applyChange(*m_overlay, change);
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

    // The old version goes before the new one is read: a large file is
    // never held twice.
    m_cache.reset();
    auto doc = std::make_unique<Document>(m_format);
    Stamp stamp;
    m_unreadable = false;
    if (!now.exists || !S_ISREG(st.st_mode)) {
        // Missing, or a FIFO, a device, a folder: unreadable, so empty. Not
        // tried again while it stays as it is.
        stamp = now;
    } else {
        struct stat opened;
        const int fd = openRegular(m_path, O_RDONLY, 0, opened);
        std::string bytes;
        m_unreadable = true;
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
                    *doc = parse(std::move(bytes), m_format);
                    m_unreadable = false;
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

bool SectionedFile::unreadable() const
{
    stored();
    return m_unreadable;
}

const StoredValue *SectionedFile::find(std::string_view section, std::string_view name) const
{
    const Section *s = current().findSection(section);
    if (!s)
        return nullptr;
    const std::size_t line = s->findEntry(name, m_format);
    if (line == std::string_view::npos)
        return nullptr;
    std::string spelled;
    m_found = {};
    readEntry(s->lines[line], m_format, spelled, m_found);
    return &m_found;
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
    std::string name;
    StoredValue value;
    for (std::size_t i = 0; i < s->lines.size(); ++i) {
        if (readEntry(s->lines[i], m_format, name, value) && s->findEntry(name, m_format) == i)
            names.push_back(name);
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
            applyChange(*m_overlay, change);
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
            changed = applyChange(doc, change) || changed;
        if (changed) {
            // The document changed in place is the new version, as on the
            // disk (so what a fresh read of contents() gives must equal it).
            m_memory = serialize(doc);
            m_cache = std::make_unique<Document>(std::move(doc));
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
    // another process wrote since we last read it stays. The version we
    // hold is that file while its identity is unchanged; otherwise (or
    // with nothing held) it is read again. The held version goes first
    // either way: a large file is never held twice, and a failed rewrite
    // leaves nothing stale behind. (A file too large to read is not ours to
    // replace: it stays as it is.)
    const bool heldIsCurrent = m_cache && !m_unreadable && m_stamp == stampOf<Stamp>(locked);
    std::unique_ptr<Document> held = std::move(m_cache);
    m_stamp = Stamp();
    if (!heldIsCurrent) {
        held.reset();
        std::string bytes;
        if (!readAll(lockFd, bytes)) {
            unlock();
            return false;
        }
        held = std::make_unique<Document>(parse(std::move(bytes), m_format));
    }
    Document &doc = *held;
    bool changed = false;
    for (const Change &change : changes)
        changed = applyChange(doc, change) || changed;
    if (!changed) {
        if (!heldIsCurrent) {
            m_cache = std::move(held);
            m_stamp = stampOf<Stamp>(locked);
        }
        unlock();
        return true;
    }

    // A new version is written to a temp file, synced and renamed into place
    // (see replaceFile). A folder that refuses the temp file (a portable
    // install under /opt whose INI file the user may write) gets the file
    // rewritten where it stands, under the lock we hold.
    struct stat written;
    bool ok = false;
    switch (corvane::replaceFileWith(
        target, [&doc](int fd) { return writeDocument(fd, doc); }, locked.st_mode & 07777,
        [&](int fd) { return ::fstat(fd, &written) == 0 && makeNewer(fd, locked, written); })) {
    case corvane::ReplaceOutcome::Replaced:
        ok = true;
        break;
    case corvane::ReplaceOutcome::Failed:
        break;
    case corvane::ReplaceOutcome::NoTempFile: {
        // The old content, to put back should the rewrite fail halfway.
        std::string before;
        ok = readAll(lockFd, before) && rewriteInPlace(lockFd, before, serialize(doc))
             && ::fstat(lockFd, &written) == 0 && makeNewer(lockFd, locked, written) && ::fdatasync(lockFd) == 0;
        break;
    }
    }
    if (!ok) {
        unlock();
        return false;
    }

    // The document is the new version. It keeps the old bytes its lines
    // point into: when most of them were replaced (a long list stored
    // anew), the file is read again at the next lookup instead, so that no
    // more than the file's size is kept.
    if (doc.made->size() <= doc.bytes->size() / 2) {
        m_cache = std::move(held);
        m_stamp = stampOf<Stamp>(written);
    }
    unlock();
    return true;
}
