#include "core/Links.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace corvane;

namespace {

const std::string S = "\xB7|\xB7"; // the link separator

} // namespace

TEST(LinksFile, WritesTheExactBytesAndReadsThemBack)
{
    EXPECT_EQ(linksFileText({}), "Links:\r\n");
    EXPECT_EQ(linksFileText({{"N", "A"}, {"B", ""}}), "Links:\r\nB\r\nN" + S + "A\r\n");

    // Names in other scripts carry B7 bytes inside their characters
    // (U+00B7, U+0437, U+3077).
    const LinkMap links{{"N", "A"},
                        {"B", ""},
                        {"a\xC2\xB7" "b", "http://x/\xD0\xB7"},
                        {"\xE3\x81\xB7", "http://y/\xC2\xB7|\xC2\xB7z"}};
    EXPECT_EQ(parseLinksFile(linksFileText(links)), links);
}

TEST(LinksFile, ReadingRules)
{
    EXPECT_FALSE(parseLinksFile(""));
    EXPECT_FALSE(parseLinksFile("Links"));
    EXPECT_FALSE(parseLinksFile("links:\r\nA\r\n")) << "the header is case-sensitive";
    EXPECT_FALSE(parseLinksFile(" Links:\r\n"));
    EXPECT_EQ(parseLinksFile("Links:"), LinkMap{});
    EXPECT_EQ(parseLinksFile("\xEF\xBB\xBFLinks:\r\nA\r\n"), (LinkMap{{"A", ""}})) << "a UTF-8 mark is fine";

    const auto links = parseLinksFile("Links: whatever\r\n"
                                      "\r\n"
                                      + S + "skipped\r\n"
                                      "name" + S + "\r\n"
                                      "dup" + S + "first\r\n"
                                      "dup" + S + "second\r\n"
                                      "two" + S + "a" + S + "b\r\n"
                                      "lf only" + S + "abc\n"
                                      "bare\n"
                                      "last" + S + "no line end");
    ASSERT_TRUE(links);
    EXPECT_EQ(*links, (LinkMap{{"name", ""},
                               {"dup", "second"},
                               {"two", "a" + S + "b"}, // the second separator is the address's own
                               {"lf only", "abc"},
                               {"bare", ""}}))
        << "lines ending in LF alone are read whole; text after the last LF is no line";

    EXPECT_EQ(parseLinkEntry("a" + S + "b" + S + "c"), std::make_pair(std::string("a"), "b" + S + "c"));
    EXPECT_EQ(parseLinkEntry("plain"), std::make_pair(std::string("plain"), std::string()));
    EXPECT_FALSE(parseLinkEntry(S + "x"));
    EXPECT_FALSE(parseLinkEntry(""));
    EXPECT_EQ(linkEntryText("n", "a"), "n" + S + "a");
    EXPECT_EQ(linkEntryText("n", ""), "n");
    // A Windows-era name that looks as if it held a separator stays whole.
    const std::string odd = "CAF\xC9" + S;
    EXPECT_EQ(parseLinkEntry(linkEntryText(odd, "")), std::make_pair(odd, std::string()));
}

TEST(LinksFile, AFileCutOffInALineKeepsTheGoodEntry)
{
    // A download broken off after the first bytes of a later line naming
    // the same link.
    const auto links = parseLinksFile("Links:\r\nGood" + S + "http://good.example/\r\nGood" + S + "http://goo");
    ASSERT_TRUE(links);
    EXPECT_EQ(*links, (LinkMap{{"Good", "http://good.example/"}}));
    // Cut in the line end: the CR is there, the LF is not.
    EXPECT_EQ(parseLinksFile("Links:\r\nA" + S + "http://a/\r\nA" + S + "http://b/\r"), (LinkMap{{"A", "http://a/"}}));
    EXPECT_EQ(parseLinksFile("Links:\r\nA\r\n" + S), (LinkMap{{"A", ""}}));
}

TEST(LinksFile, ASeparatorInAnAddressKeepsItsBytes)
{
    // A Windows-era address holding the separator itself, among accents of
    // its own: the separator comes back byte for byte, in the file and in
    // the stored list; the accents as UTF-8.
    const std::string file = "Links:\r\nN" + S + "http://a/x" + S + "y\r\nW" + S + "http://h/M\xFC" + S + "\xE9\r\n";
    const auto links = parseLinksFile(file);
    ASSERT_TRUE(links);
    EXPECT_EQ(*links, (LinkMap{{"N", "http://a/x" + S + "y"}, {"W", "http://h/M\xC3\xBC" + S + "\xC3\xA9"}}));
    EXPECT_EQ(linksFileText(*links), "Links:\r\nN" + S + "http://a/x" + S + "y\r\nW" + S + "http://h/M\xC3\xBC" + S + "\xC3\xA9\r\n");
    const std::string utf8File = linksFileText(*links);
    EXPECT_EQ(linksFileText(*parseLinksFile(utf8File)), utf8File);

    const LinkMap stored{{"N", "http://a/x" + S + "y"}};
    EXPECT_EQ(encodeStoredLinks(decodeStoredLinks(stored)), stored);

    // What the user sees of it, and an edit that leaves it as shown.
    EXPECT_EQ(linkAddressShown("http://a/x" + S + "y"), "http://a/x\xC2\xB7|\xC2\xB7y");
    EXPECT_EQ(linkAddressShown("http://h/M\xC3\xBC" + S + "\xC3\xA9"), "http://h/M\xC3\xBC\xC2\xB7|\xC2\xB7\xC3\xA9");
    LinkList list(*links);
    const LinkList::Edit edit = list.beginEdit("N", "");
    list.finishEdit(edit, "N", linkAddressShown(edit.address));
    EXPECT_EQ(list.links().at("N"), "http://a/x" + S + "y");
    list.finishEdit(list.beginEdit("N", ""), "N", "http://a/x\xC2\xB7|\xC2\xB7z");
    EXPECT_EQ(list.links().at("N"), "http://a/x\xC2\xB7|\xC2\xB7z") << "what the user typed, as typed";
}

TEST(LinksFile, WindowsFilesKeepTheirAccents)
{
    // "CAF\xC9" ends in a letter that forms a UTF-8 character with the
    // separator's first byte; 0x80 is the euro sign; 0x81 is unassigned.
    const auto links = parseLinksFile("Links:\r\n"
                                      "CAF\xC9" + S + "http://h/M\xFCnchen\r\n"
                                      "Preis \x80" "5\r\n"
                                      "odd\x81\r\n"
                                      "Gr\xC3\xBC\xC3\x9F" + S + "http://utf8/\r\n");
    ASSERT_TRUE(links);
    EXPECT_EQ(*links, (LinkMap{{"CAF\xC3\x89", "http://h/M\xC3\xBCnchen"},
                               {"Preis \xE2\x82\xAC" "5", ""},
                               {"odd\xC2\x81", ""},
                               {"Gr\xC3\xBC\xC3\x9F", "http://utf8/"}}));

    // A Windows-era entry of the stored list is exported as UTF-8, so the
    // file never mixes encodings.
    EXPECT_EQ(linksFileText({{"CAF\xC9", "x"}}), "Links:\r\nCAF\xC3\x89" + S + "x\r\n");
}

TEST(LinksFile, StoredListReadsWindowsEntriesAndStoresUtf8)
{
    // A Windows-era stored entry shows its accents and goes back as UTF-8;
    // a UTF-8 one passes both ways unchanged.
    const LinkMap stored{{"CAF\xC9", "http://h/M\xFCnchen"}, {"Gr\xC3\xBC\xC3\x9F", ""}};
    const LinkMap shown = decodeStoredLinks(stored);
    EXPECT_EQ(shown, (LinkMap{{"CAF\xC3\x89", "http://h/M\xC3\xBCnchen"}, {"Gr\xC3\xBC\xC3\x9F", ""}}));
    EXPECT_EQ(encodeStoredLinks(shown), shown);
    EXPECT_EQ(encodeStoredLinks(stored), shown) << "raw bytes handed to the writer are read first";
}

TEST(LinksFile, ExportPath)
{
    EXPECT_EQ(linksExportPath("/home/u/links"), "/home/u/links.lks");
    EXPECT_EQ(linksExportPath("/home/u/links.lks"), "/home/u/links.lks");
    EXPECT_EQ(linksExportPath("/home/u/links.txt"), "/home/u/links.txt");
    EXPECT_EQ(linksExportPath("/home/u/links.html"), "/home/u/links.html.lks");
    EXPECT_EQ(linksExportPath("/home/u.d/ab"), "/home/u.d/ab.lks");
    EXPECT_EQ(linksExportPath("abc"), "abc.lks");
    EXPECT_EQ(linksExportPath("/x/a.\xC3\xA9\xC3\xA9\xC3\xA9"), "/x/a.\xC3\xA9\xC3\xA9\xC3\xA9") << "characters, not bytes";
}

TEST(LinkList, ImportAndExportFiles)
{
    TempFolder dir;
    LinkList list(LinkMap{{"kept", "http://kept/"}});

    // Export appends the extension, replaces an older file, and says so
    // only when asked to.
    writeFile(dir.file("out.lks"), "old content that is longer than the new one");
    EXPECT_EQ(list.exportFile(dir.file("out"), true), linksSavedMessage());
    EXPECT_EQ(readFile(dir.file("out.lks")), "Links:\r\nkept" + S + "http://kept/\r\n");
    EXPECT_EQ(list.exportFile(dir.file("out.lks"), false), std::nullopt);
    EXPECT_EQ(list.exportFile(dir.file("no/such/folder/x"), true), linksNotSavedMessage());
    ASSERT_EQ(::mkdir(dir.file("folder.lks").c_str(), 0700), 0);
    EXPECT_EQ(list.exportFile(dir.file("folder.lks"), true), linksNotSavedMessage()) << "a folder is not replaced";

    // A failed import leaves the list as it was.
    writeFile(dir.file("bad.lks"), "Favorites:\r\nA\r\n");
    const UserMessage notLinks{"The file you are trying to open is not a links file.", "Invalid file format",
                               UserMessage::Icon::Stop};
    EXPECT_EQ(list.importFile(dir.file("bad.lks")), notLinks);
    EXPECT_EQ(list.importFile(dir.file("missing.lks")), linksUnreadableMessage());
    EXPECT_EQ(list.importFile(dir.path()), linksUnreadableMessage());
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(list.importFile(dir.file("fifo")), linksUnreadableMessage()) << "and does not hang";
    EXPECT_EQ(list.links(), (LinkMap{{"kept", "http://kept/"}}));

    // A good import replaces the list; a header-only file empties it.
    writeFile(dir.file("new.lks"), "Links:\r\nfresh" + S + "http://fresh/\r\n");
    EXPECT_EQ(list.importFile(dir.file("new.lks")), std::nullopt);
    EXPECT_EQ(list.links(), (LinkMap{{"fresh", "http://fresh/"}}));
    writeFile(dir.file("empty.lks"), "Links:\r\n");
    EXPECT_EQ(list.importFile(dir.file("empty.lks")), std::nullopt);
    EXPECT_TRUE(list.links().empty());
}

TEST(LinkList, ManagerRules)
{
    LinkList list({{"beta", "http://b/"}, {"Alpha", "http://a/"}, {"http://bare/", ""}});
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Alpha", "beta", "http://bare/"}));
    EXPECT_EQ(list.targetOf("beta"), "http://b/");
    EXPECT_EQ(list.targetOf("http://bare/"), "http://bare/") << "an address-only entry opens its name";
    EXPECT_EQ(list.targetOf(""), "");

    // Add with nothing selected starts from the current page; OK with only
    // the address stores an address-only entry.
    LinkList::Edit add = list.beginEdit("", "http://current/");
    EXPECT_EQ(add.name, "");
    EXPECT_EQ(add.address, "http://current/");
    list.finishEdit(add, "", "http://current/");
    EXPECT_EQ(list.links().at("http://current/"), "");

    // Naming an address-only entry turns it into a named one.
    LinkList::Edit edit = list.beginEdit("http://current/", "ignored");
    EXPECT_EQ(edit.name, "");
    EXPECT_EQ(edit.address, "http://current/");
    list.finishEdit(edit, "Current", "http://current/");
    EXPECT_FALSE(list.links().count("http://current/"));
    EXPECT_EQ(list.links().at("Current"), "http://current/");

    // Renaming replaces; clearing the address removes the entry.
    edit = list.beginEdit("Current", "");
    EXPECT_EQ(edit.name, "Current");
    list.finishEdit(edit, "Now", "http://current/");
    EXPECT_FALSE(list.links().count("Current"));
    list.finishEdit(list.beginEdit("Now", ""), "Now", "");
    EXPECT_FALSE(list.links().count("Now"));

    // Editing an address-only entry's address replaces it instead of adding
    // a second entry.
    list.finishEdit(list.beginEdit("http://bare/", ""), "", "http://bare2/");
    EXPECT_FALSE(list.links().count("http://bare/"));
    EXPECT_EQ(list.links().at("http://bare2/"), "");

    // A named link whose name is the new address stays.
    list.finishEdit(list.beginEdit("", ""), "B", "beta");
    EXPECT_EQ(list.links().at("beta"), "http://b/");
    EXPECT_EQ(list.links().at("B"), "beta");

    // Both fields empty: nothing added.
    const LinkMap before = list.links();
    list.finishEdit(list.beginEdit("", "x"), "", "");
    EXPECT_EQ(list.links(), before);

    list.remove("beta");
    EXPECT_FALSE(list.links().count("beta"));
    list.reset();
    EXPECT_TRUE(list.links().empty());
}
