// The cost of the sectioned files' reads and rewrites: a rewrite of a list of
// N entries reads each line a few times, never once per entry written, and
// what it writes is what a fresh read of the file gives.

#include "core/SectionedFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "name=value" lines; every reading of a line is counted.
long g_lineReads = 0;

bool parseCounted(std::string_view line, std::string &name, StoredValue &value)
{
    ++g_lineReads;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return false;
    name = std::string(line.substr(0, equals));
    value = {};
    value.text = std::string(line.substr(equals + 1));
    return true;
}

std::string formatCounted(std::string_view name, const StoredValue &value)
{
    return std::string(name) + "=" + value.text;
}

const SectionedFormat kCounted{parseCounted, formatCounted, nullptr, 0600, false};

SectionedFile::Change write(const std::string &section, const std::string &name, const std::string &text)
{
    SectionedFile::Change change;
    change.section = section;
    change.name = name;
    change.value.text = text;
    return change;
}

SectionedFile::Change deleteSection(const std::string &section)
{
    SectionedFile::Change change;
    change.kind = SectionedFile::Change::Kind::DeleteSection;
    change.section = section;
    return change;
}

// A list stored as "Item1" ... "ItemN", each value marked with the round.
std::vector<SectionedFile::Change> list(int count, const std::string &round)
{
    std::vector<SectionedFile::Change> changes;
    for (int i = 1; i <= count; ++i)
        changes.push_back(write("List", "Item" + std::to_string(i), round + std::to_string(i)));
    return changes;
}

class SectionedFileCost : public ::testing::TestWithParam<bool>
{
protected:
    std::unique_ptr<SectionedFile> open(const std::string &bytes = {})
    {
        if (GetParam())
            return std::make_unique<SectionedFile>(MemoryFile{bytes}, kCounted);
        writeFile(m_dir.file("list.ini"), bytes);
        return std::make_unique<SectionedFile>(m_dir.file("list.ini"), kCounted);
    }
    std::string contents(const SectionedFile &file) const
    {
        return GetParam() ? file.contents() : readFile(m_dir.file("list.ini"));
    }

    TempFolder m_dir;
};

TEST_P(SectionedFileCost, RewritingALongListReadsEachLineAFewTimes)
{
    constexpr int kCount = 5000;
    auto file = open("[Other]\r\nkept=1\r\n");

    // Written into a new section, then every value replaced, then the
    // section dropped and written again: a store of a list in each of the
    // ways the settings store does it.
    const std::vector<std::vector<SectionedFile::Change>> stores = {
        list(kCount, "a"),
        list(kCount, "b"),
        [] {
            std::vector<SectionedFile::Change> changes{deleteSection("List")};
            for (auto &change : list(kCount, "c"))
                changes.push_back(change);
            return changes;
        }(),
    };
    for (std::size_t round = 0; round < stores.size(); ++round) {
        SCOPED_TRACE(round);
        g_lineReads = 0;
        ASSERT_TRUE(file->commit(stores[round]));
        EXPECT_LE(g_lineReads, 6L * kCount) << "each line is read a few times, not once per entry written";

        // What the file holds reads back the same, through the object that
        // wrote it and through a fresh one.
        const std::string expected = std::string(1, "abc"[round]) + "777";
        ASSERT_NE(file->find("list", "item777"), nullptr);
        EXPECT_EQ(file->find("list", "item777")->text, expected);
        SectionedFile fresh(MemoryFile{contents(*file)}, kCounted);
        ASSERT_NE(fresh.find("List", "Item777"), nullptr);
        EXPECT_EQ(fresh.find("List", "Item777")->text, expected);
        EXPECT_EQ(fresh.entryNames("List").size(), std::size_t(kCount));
        ASSERT_NE(fresh.find("Other", "kept"), nullptr);
    }

    // Reading the stored list back, entry by entry, reads each line once
    // more and no more.
    SectionedFile reader(MemoryFile{contents(*file)}, kCounted);
    g_lineReads = 0;
    for (int i = 1; i <= kCount; ++i)
        ASSERT_NE(reader.find("List", "Item" + std::to_string(i)), nullptr);
    EXPECT_LE(g_lineReads, 2L * kCount + 10);
}

INSTANTIATE_TEST_SUITE_P(BothPlaces, SectionedFileCost, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "InMemory" : "OnDisk"; });

} // namespace
