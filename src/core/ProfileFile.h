#pragma once

#include "core/SectionedFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An INI file read and written with the profile-function rules of the
// Windows world, so that "Corvane.ini" files move between the two:
//
// - sections and keys match ignoring ASCII case; a rewrite keeps the file's
//   spelling; of duplicate sections and duplicate keys the first one counts;
// - blanks around keys and values are trimmed, and a value enclosed in a
//   matching pair of quotes (both " or both ') loses them on reading;
// - a backslash in a section name is an ordinary character
//   ("Links\Placement" is one section); lines starting with ';' are comments;
// - bytes pass through unchanged, with no encoding conversion;
// - a new key goes after the last non-blank line of its section, a new
//   section at the end of the file; lines are written with CR LF;
// - a missing file reads as empty.
//
// Values are written so that they read back exactly: a value with blanks at
// either end or with matching outer quotes is written inside a pair of
// quotes. An INI line cannot hold a line break: CR and LF in a value are
// written as spaces.
//
// Every write is an atomic, locked rewrite (see SectionedFile); a failed
// write leaves the file as it was and returns false, which callers may
// ignore. Reads see other processes' writes.
class ProfileFile
{
public:
    explicit ProfileFile(std::string path);
    // Held in memory, read from these bytes (see SectionedFile).
    explicit ProfileFile(MemoryFile memory);

    const std::string &path() const { return m_file.path(); }
    // What a file held in memory holds now.
    const std::string &contents() const { return m_file.contents(); }
    // The file is there but cannot be read (see SectionedFile::unreadable).
    bool unreadable() const { return m_file.unreadable(); }

    // The value, or nothing when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The value, or defaultValue when missing. A present empty value is "".
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;
    // The value read as an integer (see parseInt); defaultValue when the key
    // is missing or its value empty.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;

    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int value);
    bool deleteKey(std::string_view section, std::string_view key);
    bool deleteSection(std::string_view section);

    // Several changes applied in order with one rewrite.
    class Batch
    {
    public:
        Batch &writeString(std::string_view section, std::string_view key, std::string_view value);
        Batch &writeInt(std::string_view section, std::string_view key, int value);
        Batch &deleteKey(std::string_view section, std::string_view key);
        Batch &deleteSection(std::string_view section);
        bool empty() const { return m_changes.empty(); }

    private:
        friend class ProfileFile;
        std::vector<SectionedFile::Change> m_changes;
        bool m_rejected = false; // a change with an unusable name was left out
    };
    // False when the rewrite failed or a change was left out.
    bool commit(const Batch &batch);

    // Writes from here to endDeferred() are read back at once but written in
    // one rewrite by endDeferred() (see SectionedFile::beginDeferred).
    void beginDeferred() { m_file.beginDeferred(); }
    bool endDeferred() { return m_file.endDeferred(); }

    // The profile integer rule: blanks, an optional sign, then decimal digits
    // up to the first other character, wrapping at 32 bits ("12abc" is 12,
    // "abc" is 0). An empty text gives defaultValue.
    static int parseInt(std::string_view text, int defaultValue);

    // Names that a line can hold: a section name without line breaks or
    // outer blanks; a key that is also not starting with '[' or ';' and
    // holds no '='.
    static bool isValidSection(std::string_view section);
    static bool isValidKey(std::string_view key);

private:
    SectionedFile m_file;
};
