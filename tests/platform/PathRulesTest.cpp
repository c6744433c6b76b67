// Path text rules: separators, trailing separators, folder prefixes, case.
#include "platform/NativePaths.h"
#include "platform/PathRules.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(PathRules, WithTrailingSeparatorAppendsOnlyToLongPathsWithoutOne)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"", ""}, {"C", "C"}, {"C:", "C:\\"}, {"/w", "/w\\"}, {"/w/", "/w/"}, {"C:\\W\\", "C:\\W\\"},
        {"tools", "tools\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithTrailingSeparator(c.in), c.out) << c.in;
}

// Folders shown and stored for the user take the system's own separator; the
// table is written in '/' form and the expectation turned for Windows.
TEST(PathRules, NativeFolderUsesTheSystemsSeparatorThroughout)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"", ""}, {"C", "C"}, {"/w", "/w/"}, {"/w\\", "/w/"}, {"/home/ann\\Working", "/home/ann/Working/"},
        {"C:\\Mods/x", "C:/Mods/x/"}, {"\\\\server\\share", "//server/share/"}, {"tools", "tools/"},
    };
    for (const Case& c : cases)
    {
        std::string expected = c.out;
#ifdef _WIN32
        for (char& ch : expected)
            ch = ch == '/' ? '\\' : ch;
#endif
        EXPECT_EQ(NativeFolder(c.in), expected) << c.in;
    }
    // Text without separators is left as it is; names never change.
    EXPECT_EQ(ToNativeSeparators("My Games - x.ini"), "My Games - x.ini");
}

TEST(PathRules, FolderPrefixesNeverCreateDriveOrUncRoots)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(FolderPrefixes("\\\\server\\share\\a\\b\\"), (V{"\\\\server\\share\\a", "\\\\server\\share\\a\\b"}));
    EXPECT_EQ(FolderPrefixes("\\\\server\\share"), V{});
    EXPECT_EQ(FolderPrefixes("\\\\server\\share\\"), V{});
    EXPECT_EQ(FolderPrefixes("C:\\W\\x/y"), (V{"C:\\W", "C:\\W\\x"}));
    EXPECT_EQ(FolderPrefixes("/tmp/a/b/"), (V{"/tmp", "/tmp/a", "/tmp/a/b"}));
    EXPECT_EQ(FolderPrefixes("rel/a//b"), (V{"rel", "rel/a"}));
}

TEST(PathRules, CaseInsensitiveHelpersIgnoreOnlyAsciiCase)
{
    EXPECT_EQ(FindNoCase("abc%Template_Dir%x", "%TEMPLATE_DIR%"), 3u);
    EXPECT_EQ(RemoveFirstNoCase("Database\\Records\\DATABASE\\x", "database\\"), "Records\\DATABASE\\x");
    EXPECT_EQ(ToLowerAscii("AbC\xC4"), "abc\xC4");
    EXPECT_TRUE(SamePathNoCase("/W/Database\\x", "/w/database/X"));
    EXPECT_FALSE(SamePathNoCase("/w/a", "/w/b"));
    bool matched = false;
    EXPECT_EQ(StripPathPrefix("/Work/CustomMaps/x.dbr", "/work\\", &matched), "CustomMaps/x.dbr");
    EXPECT_TRUE(matched);
    EXPECT_EQ(StripPathPrefix("/other/x", "/work/", &matched), "/other/x");
    EXPECT_FALSE(matched);
    EXPECT_TRUE(LessNoCase("apple", "Banana"));
    EXPECT_TRUE(LessNoCase("B", "b") || LessNoCase("b", "B"));
}

TEST(PathRules, NamesExtensionsAndTimes)
{
    EXPECT_EQ(Extension("a.b.DBR"), "DBR");
    EXPECT_EQ(Extension("noext"), "");
    EXPECT_EQ(ShortName("C:\\W\\records/x.dbr"), "x.dbr");
    EXPECT_EQ(ShortName("C:x.dbr"), "x.dbr");
    EXPECT_EQ(ParentPath("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(FormatMinutesSeconds(0), "0:00");
    EXPECT_EQ(FormatMinutesSeconds(61999), "1:01");
    EXPECT_EQ(FormatMinutesSeconds(3600000), "60:00");
    EXPECT_EQ(SplitText("a;;b;", ';'), (std::vector<std::string>{"a", "", "b", ""}));
}

} // namespace
} // namespace mw
