#pragma once

#include "core/SectionedFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The per-user store: what the registry's HKEY_CURRENT_USER holds for the
// program, kept in one readable text file.
//
//     [Software\Tolvek\Corvane\Settings]
//     "HomeURL"="http://example.org/"
//     "Fonts"=dword:00000003
//
// A section is a key, named by its full path (matched ignoring ASCII case,
// spelling kept). A key's values follow as "Name"="text" (a string) or
// "Name"=dword:XXXXXXXX (a 32-bit number in hex); @ stands for the unnamed
// value. In quoted texts \\ is a backslash, \" a quote, \r \n \t and \xHH
// control bytes; other bytes, UTF-8 included, are written as they are, so
// any byte string round-trips. Lines the store cannot read are skipped and
// kept; values of other types are kept and read as missing.
//
// Reads see other processes' writes; every write is an atomic, locked
// rewrite (see SectionedFile). The file and its folder are created at the
// first write that changes something; a failed write is reported only by
// the return value.
class UserStore
{
public:
    explicit UserStore(std::string path);
    // Held in memory, read from these bytes (see SectionedFile).
    explicit UserStore(MemoryFile memory);

    const std::string &path() const { return m_file.path(); }
    // What a file held in memory holds now.
    const std::string &contents() const { return m_file.contents(); }
    // The file is there but cannot be read (see SectionedFile::unreadable).
    bool unreadable() const { return m_file.unreadable(); }

    // A string value; nothing when missing or not a string.
    std::optional<std::string> readString(std::string_view keyPath, std::string_view name) const;
    // A number value; nothing when missing or not a number.
    std::optional<int> readDword(std::string_view keyPath, std::string_view name) const;
    // True when the key or any key below it exists.
    bool keyExists(std::string_view keyPath) const;
    // The names of the key's values, in file order.
    std::vector<std::string> valueNames(std::string_view keyPath) const;

    bool writeString(std::string_view keyPath, std::string_view name, std::string_view value);
    bool writeDword(std::string_view keyPath, std::string_view name, int value);
    bool deleteValue(std::string_view keyPath, std::string_view name);
    // Removes the key with every key below it. A missing key is no error.
    bool deleteKey(std::string_view keyPath);

    // Several changes applied in order with one rewrite.
    class Batch
    {
    public:
        Batch &writeString(std::string_view keyPath, std::string_view name, std::string_view value);
        Batch &writeDword(std::string_view keyPath, std::string_view name, int value);
        Batch &deleteValue(std::string_view keyPath, std::string_view name);
        Batch &deleteKey(std::string_view keyPath);
        bool empty() const { return m_changes.empty(); }

    private:
        friend class UserStore;
        std::vector<SectionedFile::Change> m_changes;
        bool m_rejected = false; // a change with an unusable key path was left out
    };
    // False when the rewrite failed or a change was left out.
    bool commit(const Batch &batch);

    // Writes from here to endDeferred() are read back at once but written in
    // one rewrite by endDeferred() (see SectionedFile::beginDeferred).
    void beginDeferred() { m_file.beginDeferred(); }
    bool endDeferred() { return m_file.endDeferred(); }

    // A key path a section header can hold: not empty, no line breaks, no
    // blanks at either end, no trailing backslash.
    static bool isValidKeyPath(std::string_view keyPath);

    // The quoted-text form used in the file, and its reverse (which stops
    // at the closing quote and reports where it ended).
    static std::string quote(std::string_view text);
    static bool unquote(std::string_view line, std::size_t &pos, std::string &text);

private:
    SectionedFile m_file;
};
