#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The machinery shared by the INI file (ProfileFile) and the per-user store
// (UserStore): a text file of "[section]" headers, each followed by entry
// lines, read through a cache and rewritten atomically.
//
// Only regular files are read or written: a FIFO, a device or a folder at
// the path reads as empty (without waiting for a writer) and is never
// written through.
//
// Reading: the parsed content is cached together with the file's identity
// (device, inode, size, modification time); a lookup costs one stat() while
// the file is unchanged, and sees another process's write at the next call.
// A read takes a shared flock(), so it never sees half a rewrite in place.
// The parsed content is the file's bytes with the place of each line: what
// an entry holds is read when it is looked up, and a section's names are
// indexed at its first lookup. A file larger than 64 MiB is not read: it
// reads as empty and is never rewritten (unreadable() says so).
//
// Cost: a read, and a rewrite of a list of N entries, are linear in the
// size of the file; the lines a rewrite makes are kept by the index it
// builds once.
//
// Writing: every commit takes an exclusive flock() on the file itself, reads
// the current content, applies the changes, writes a temp file in the same
// folder, syncs it and renames it over the file, then syncs the folder
// (replaceFile in FileBytes), so a crash or a kill at any moment leaves the
// old version or the new one, whole. Commits can be deferred and written
// together in one rewrite (beginDeferred). A writer that waited for the lock
// on a file that was renamed away meanwhile notices the new inode and locks
// again.
// When the folder refuses a temp file (a portable install in a read-only
// folder whose file the user may write), the file is rewritten in place
// under the lock, after taking the room it needs. Each new version gets a
// modification time later than the one it replaces, so a reused inode number
// can never pass for a cached version. A commit that changes nothing touches
// nothing (it does not even create a missing file). Failures (a read-only
// file, no permission, full disk) leave the old file as it was and are
// reported only through the return value.
//
// A file can also be held in memory (MemoryFile): it is read from the bytes
// given, and commits rewrite those bytes (contents()) instead of a file, with
// the same parser and the same writer; nothing on the disk is touched. The
// fuzz targets run the formats that way, thousands of times a second.
//
// Lines keep their bytes: comments, unknown lines and the spelling of names
// survive a rewrite. Section and entry names match ignoring ASCII case; of
// duplicates the first one counts. Lines are written with CR LF; LF-only
// files read as well. Not thread-safe: one object per thread.

// A value as a sectioned file holds it.
struct StoredValue
{
    enum class Type : std::uint8_t { String, Dword, Other };
    Type type = Type::String;
    std::string text;         // Type::String
    std::uint32_t number = 0; // Type::Dword

    bool operator==(const StoredValue &) const = default;
};

// How one kind of file spells its entries.
struct SectionedFormat
{
    // Reads an entry from a line that is not a section header (already
    // trimmed, never empty). False for comments and lines it cannot read.
    bool (*parseEntry)(std::string_view line, std::string &name, StoredValue &value);
    // The line for an entry; parseEntry must read it back.
    std::string (*formatEntry)(std::string_view name, const StoredValue &value);
    const char *firstLine; // put at the top of a new file, or nullptr
    unsigned newFileMode;  // permission bits of a new file (umask applies)
    bool createFolders;    // create missing parent folders when writing
};

// The contents of a sectioned file kept in memory instead of on the disk.
struct MemoryFile
{
    std::string bytes;
};

class SectionedFile
{
public:
    struct Change
    {
        enum class Kind : std::uint8_t {
            Write,         // section, name, value
            DeleteEntry,   // section, name
            DeleteSection, // section
            DeleteTree,    // section and every "section\..." below it
        };
        Kind kind = Kind::Write;
        std::string section;
        std::string name;
        StoredValue value;
    };

    SectionedFile(std::string path, const SectionedFormat &format);
    // Held in memory: path() is empty, commits rewrite contents().
    SectionedFile(MemoryFile memory, const SectionedFormat &format);
    ~SectionedFile();
    SectionedFile(const SectionedFile &) = delete;
    SectionedFile &operator=(const SectionedFile &) = delete;

    const std::string &path() const { return m_path; }
    bool inMemory() const { return m_inMemory; }
    // The bytes of a file held in memory, as its last commit wrote them
    // (empty for a file on the disk).
    const std::string &contents() const { return m_memory; }

    // The first entry of that name in the first section of that name, or
    // null. The pointer is valid until the next call on this object.
    const StoredValue *find(std::string_view section, std::string_view name) const;
    // True when the file is there but could not be read (too large, a read
    // error): it reads as empty and no commit replaces it.
    bool unreadable() const;
    bool hasSection(std::string_view section) const;
    // True when the section or any section below it ("section\...") exists.
    bool hasTree(std::string_view section) const;
    // Section names in file order (spelling as in the file, duplicates once).
    std::vector<std::string> sectionNames() const;
    // Entry names of the first section of that name, in file order.
    std::vector<std::string> entryNames(std::string_view section) const;

    // Applies the changes in order, in one locked rewrite. True when the
    // file holds the result afterwards (also when nothing had to change).
    // While deferred, the changes are kept instead (and read back at once
    // through this object) and true is returned.
    bool commit(const std::vector<Change> &changes);

    // Deferred commits: from beginDeferred() to its endDeferred() every
    // commit is kept, and endDeferred() writes them all in one locked
    // rewrite, applied in order onto the file as it is then (so what another
    // process wrote meanwhile stays). Pairs nest; the outermost end writes.
    // False when that rewrite failed. The destructor writes what is still
    // deferred.
    void beginDeferred();
    bool endDeferred();
    bool deferred() const { return m_deferDepth > 0; }

    struct Document;

private:
    struct Stamp
    {
        bool valid = false; // false: never matches (nothing cached yet)
        bool exists = false;
        std::uint64_t dev = 0;
        std::uint64_t ino = 0;
        std::int64_t size = 0;
        std::int64_t sec = 0;
        std::int64_t nsec = 0;
        bool operator==(const Stamp &) const = default;
    };

    // The content as this object sees it: the file's, with the deferred
    // changes applied.
    const Document &current() const;
    // The file's own content, through the cache.
    const Document &stored() const;
    bool commitNow(const std::vector<Change> &changes);

    std::string m_path;
    bool m_inMemory = false;
    std::string m_memory; // the contents when m_inMemory
    const SectionedFormat &m_format;
    mutable std::unique_ptr<Document> m_cache;
    mutable Stamp m_stamp;
    mutable bool m_unreadable = false;
    mutable StoredValue m_found; // what find() hands out

    int m_deferDepth = 0;
    std::vector<Change> m_pending;
    mutable std::unique_ptr<Document> m_overlay; // the file's content with m_pending applied
    mutable Stamp m_overlayStamp;                // the file version m_overlay was built on
};

// Helpers shared by the formats.
namespace sectioned {
// Blanks as the profile functions trim them: space, tab, CR, VT, FF.
bool isBlank(char c);
std::string_view trim(std::string_view text);
std::string toLowerAscii(std::string_view text);
bool hasLineBreak(std::string_view text);
} // namespace sectioned
