#include "core/UserStore.h"

#include <cstdint>
#include <cstdio>

using sectioned::isBlank;
using sectioned::trim;

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void skipBlanks(std::string_view line, std::size_t &pos)
{
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && sectioned::toLowerAscii(text.substr(0, prefix.size())) == prefix;
}

bool parseStoreEntry(std::string_view line, std::string &name, StoredValue &value)
{
    std::size_t pos = 0;
    if (line.front() == '@') {
        name.clear();
        pos = 1;
    } else if (!UserStore::unquote(line, pos, name)) {
        return false;
    }
    skipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != '=')
        return false;
    ++pos;
    skipBlanks(line, pos);
    const std::string_view rest = trim(line.substr(pos));

    value = {};
    if (!rest.empty() && rest.front() == '"') {
        std::size_t at = pos;
        if (UserStore::unquote(line, at, value.text) && trim(line.substr(at)).empty()) {
            value.type = StoredValue::Type::String;
            return true;
        }
    } else if (startsWithNoCase(rest, "dword:")) {
        const std::string_view digits = rest.substr(6);
        std::uint32_t number = 0;
        bool ok = !digits.empty() && digits.size() <= 8;
        for (char c : digits) {
            const int d = hexDigit(c);
            ok = ok && d >= 0;
            number = number * 16u + std::uint32_t(d < 0 ? 0 : d);
        }
        if (ok) {
            value.type = StoredValue::Type::Dword;
            value.number = number;
            return true;
        }
    }
    // A value of a type this program does not write: kept, read as missing.
    value = {};
    value.type = StoredValue::Type::Other;
    return true;
}

std::string formatStoreEntry(std::string_view name, const StoredValue &value)
{
    std::string line = name.empty() ? std::string("@") : UserStore::quote(name);
    line += '=';
    if (value.type == StoredValue::Type::Dword) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", unsigned(value.number));
        line += digits;
    } else {
        line += UserStore::quote(value.text);
    }
    return line;
}

const SectionedFormat kStoreFormat{parseStoreEntry, formatStoreEntry, "; Corvane per-user store", 0600, true};

} // namespace

UserStore::UserStore(std::string path) : m_file(std::move(path), kStoreFormat)
{
}

UserStore::UserStore(MemoryFile memory) : m_file(std::move(memory), kStoreFormat)
{
}

std::optional<std::string> UserStore::readString(std::string_view keyPath, std::string_view name) const
{
    const StoredValue *v = m_file.find(keyPath, name);
    if (v && v->type == StoredValue::Type::String)
        return v->text;
    return std::nullopt;
}

std::optional<int> UserStore::readDword(std::string_view keyPath, std::string_view name) const
{
    const StoredValue *v = m_file.find(keyPath, name);
    if (v && v->type == StoredValue::Type::Dword)
        return static_cast<int>(v->number);
    return std::nullopt;
}

bool UserStore::keyExists(std::string_view keyPath) const
{
    return isValidKeyPath(keyPath) && m_file.hasTree(keyPath);
}

std::vector<std::string> UserStore::valueNames(std::string_view keyPath) const
{
    return m_file.entryNames(keyPath);
}

bool UserStore::writeString(std::string_view keyPath, std::string_view name, std::string_view value)
{
    return commit(Batch().writeString(keyPath, name, value));
}

bool UserStore::writeDword(std::string_view keyPath, std::string_view name, int value)
{
    return commit(Batch().writeDword(keyPath, name, value));
}

bool UserStore::deleteValue(std::string_view keyPath, std::string_view name)
{
    return commit(Batch().deleteValue(keyPath, name));
}

bool UserStore::deleteKey(std::string_view keyPath)
{
    return commit(Batch().deleteKey(keyPath));
}

bool UserStore::commit(const Batch &batch)
{
    const bool written = batch.m_changes.empty() || m_file.commit(batch.m_changes);
    return written && !batch.m_rejected;
}

namespace {

SectionedFile::Change change(SectionedFile::Change::Kind kind, std::string_view keyPath, std::string_view name)
{
    SectionedFile::Change c;
    c.kind = kind;
    c.section = std::string(keyPath);
    c.name = std::string(name);
    return c;
}

} // namespace

UserStore::Batch &UserStore::Batch::writeString(std::string_view keyPath, std::string_view name,
                                                std::string_view value)
{
    if (!isValidKeyPath(keyPath)) {
        m_rejected = true;
        return *this;
    }
    SectionedFile::Change c = change(SectionedFile::Change::Kind::Write, keyPath, name);
    c.value.type = StoredValue::Type::String;
    c.value.text = std::string(value);
    m_changes.push_back(std::move(c));
    return *this;
}

UserStore::Batch &UserStore::Batch::writeDword(std::string_view keyPath, std::string_view name, int value)
{
    if (!isValidKeyPath(keyPath)) {
        m_rejected = true;
        return *this;
    }
    SectionedFile::Change c = change(SectionedFile::Change::Kind::Write, keyPath, name);
    c.value.type = StoredValue::Type::Dword;
    c.value.number = static_cast<std::uint32_t>(value);
    m_changes.push_back(std::move(c));
    return *this;
}

UserStore::Batch &UserStore::Batch::deleteValue(std::string_view keyPath, std::string_view name)
{
    if (isValidKeyPath(keyPath))
        m_changes.push_back(change(SectionedFile::Change::Kind::DeleteEntry, keyPath, name));
    else
        m_rejected = true;
    return *this;
}

UserStore::Batch &UserStore::Batch::deleteKey(std::string_view keyPath)
{
    if (isValidKeyPath(keyPath))
        m_changes.push_back(change(SectionedFile::Change::Kind::DeleteTree, keyPath, {}));
    else
        m_rejected = true;
    return *this;
}

bool UserStore::isValidKeyPath(std::string_view keyPath)
{
    return !keyPath.empty() && !sectioned::hasLineBreak(keyPath) && trim(keyPath).size() == keyPath.size()
           && keyPath.back() != '\\';
}

std::string UserStore::quote(std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F) {
                out += "\\x";
                out += hex[u >> 4];
                out += hex[u & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

bool UserStore::unquote(std::string_view line, std::size_t &pos, std::string &text)
{
    if (pos >= line.size() || line[pos] != '"')
        return false;
    text.clear();
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\' || i + 1 >= line.size()) {
            text += c;
            continue;
        }
        const char e = line[++i];
        switch (e) {
        case 'r': text += '\r'; break;
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'x':
            if (i + 2 < line.size() && hexDigit(line[i + 1]) >= 0 && hexDigit(line[i + 2]) >= 0) {
                text += char(hexDigit(line[i + 1]) * 16 + hexDigit(line[i + 2]));
                i += 2;
            } else {
                text += 'x';
            }
            break;
        default: text += e; break; // \\, \" and anything else stand for themselves
        }
    }
    return false; // no closing quote
}
