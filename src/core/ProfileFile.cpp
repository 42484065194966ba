#include "core/ProfileFile.h"

#include <cstdint>

using sectioned::isBlank;
using sectioned::trim;

namespace {

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

bool parseIniEntry(std::string_view line, std::string &name, StoredValue &value)
{
    if (line.front() == ';')
        return false;
    const std::size_t equals = line.find('=');
    const std::string_view key = trim(line.substr(0, equals));
    if (key.empty())
        return false;
    std::string_view text;
    if (equals != std::string_view::npos) {
        text = trim(line.substr(equals + 1));
        if (text.size() >= 2 && isQuote(text.front()) && text.back() == text.front())
            text = text.substr(1, text.size() - 2);
    }
    name = std::string(key);
    value.type = StoredValue::Type::String;
    value.text = std::string(text);
    value.number = 0;
    return true;
}

// An INI line holds no line break: a value's CR or LF is stored as a space.
std::string withoutLineBreaks(std::string_view value)
{
    std::string text(value);
    for (char &c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

// The value comes without line breaks (Batch::writeString takes them out).
std::string formatIniEntry(std::string_view name, const StoredValue &value)
{
    const std::string &text = value.text;
    const bool quote = !text.empty()
                       && (isBlank(text.front()) || isBlank(text.back())
                           || (text.size() >= 2 && isQuote(text.front()) && text.back() == text.front()));
    std::string line(name);
    line += '=';
    if (quote)
        line += '"';
    line += text;
    if (quote)
        line += '"';
    return line;
}

const SectionedFormat kIniFormat{parseIniEntry, formatIniEntry, nullptr, 0666, false};

SectionedFile::Change stringChange(std::string_view section, std::string_view key, std::string_view value)
{
    SectionedFile::Change change;
    change.kind = SectionedFile::Change::Kind::Write;
    change.section = std::string(section);
    change.name = std::string(key);
    change.value.text = std::string(value);
    return change;
}

} // namespace

ProfileFile::ProfileFile(std::string path) : m_file(std::move(path), kIniFormat)
{
}

ProfileFile::ProfileFile(MemoryFile memory) : m_file(std::move(memory), kIniFormat)
{
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const
{
    if (const StoredValue *v = m_file.find(section, key))
        return v->text;
    return std::nullopt;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const
{
    if (const StoredValue *v = m_file.find(section, key))
        return v->text;
    return std::string(defaultValue);
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const StoredValue *v = m_file.find(section, key);
    return v ? parseInt(v->text, defaultValue) : defaultValue;
}

std::vector<std::string> ProfileFile::sectionNames() const
{
    return m_file.sectionNames();
}

std::vector<std::string> ProfileFile::keyNames(std::string_view section) const
{
    return m_file.entryNames(section);
}

bool ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    return commit(Batch().writeString(section, key, value));
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, int value)
{
    return commit(Batch().writeInt(section, key, value));
}

bool ProfileFile::deleteKey(std::string_view section, std::string_view key)
{
    return commit(Batch().deleteKey(section, key));
}

bool ProfileFile::deleteSection(std::string_view section)
{
    return commit(Batch().deleteSection(section));
}

bool ProfileFile::commit(const Batch &batch)
{
    const bool written = batch.m_changes.empty() || m_file.commit(batch.m_changes);
    return written && !batch.m_rejected;
}

ProfileFile::Batch &ProfileFile::Batch::writeString(std::string_view section, std::string_view key,
                                                    std::string_view value)
{
    // The value as the line will hold it, so that a hand-edited line with a
    // lone CR that holds the same value is written anew too: every value
    // written comes back as it will stay.
    if (isValidSection(section) && isValidKey(key))
        m_changes.push_back(stringChange(section, key, withoutLineBreaks(value)));
    else
        m_rejected = true;
    return *this;
}

ProfileFile::Batch &ProfileFile::Batch::writeInt(std::string_view section, std::string_view key, int value)
{
    return writeString(section, key, std::to_string(value));
}

ProfileFile::Batch &ProfileFile::Batch::deleteKey(std::string_view section, std::string_view key)
{
    if (isValidSection(section) && isValidKey(key)) {
        SectionedFile::Change change = stringChange(section, key, {});
        change.kind = SectionedFile::Change::Kind::DeleteEntry;
        m_changes.push_back(std::move(change));
    } else {
        m_rejected = true;
    }
    return *this;
}

ProfileFile::Batch &ProfileFile::Batch::deleteSection(std::string_view section)
{
    if (isValidSection(section)) {
        SectionedFile::Change change = stringChange(section, {}, {});
        change.kind = SectionedFile::Change::Kind::DeleteSection;
        m_changes.push_back(std::move(change));
    } else {
        m_rejected = true;
    }
    return *this;
}

int ProfileFile::parseInt(std::string_view text, int defaultValue)
{
    text = trim(text);
    if (text.empty())
        return defaultValue;
    std::size_t i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t result = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        result = result * 10u + std::uint32_t(text[i] - '0');
    if (negative)
        result = 0u - result;
    return static_cast<int>(result);
}

bool ProfileFile::isValidSection(std::string_view section)
{
    return !section.empty() && !sectioned::hasLineBreak(section) && trim(section).size() == section.size();
}

bool ProfileFile::isValidKey(std::string_view key)
{
    return isValidSection(key) && key.front() != '[' && key.front() != ';'
           && key.find('=') == std::string_view::npos;
}
