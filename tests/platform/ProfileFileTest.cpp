// Private-profile files: the semantics Tools.ini relies on.
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

TEST(ProfileFile, SectionsAndKeysIgnoreCaseAndMissingKeysGiveDefaults)
{
    TempFolder temp;
    std::string ini = temp / "Tools.ini";
    WriteFile(ini, "; comment\r\n[Login]\r\nUserName = alice \r\nlocaldir=\"/w/\"\r\n[build]\nExportStatistics=0\n");
    EXPECT_EQ(ReadProfileString("LOGIN", "username", "x", ini), "alice");
    EXPECT_EQ(ReadProfileString("Login", "localdir", "", ini), "/w/");
    EXPECT_EQ(ReadProfileString("Login", "missing", "dflt", ini), "dflt");
    EXPECT_EQ(ReadProfileString("Nope", "username", "dflt", ini), "dflt");
    EXPECT_EQ(ReadProfileInt("Build", "exportstatistics", 1, ini), 0);
    EXPECT_EQ(ReadProfileInt("Build", "missing", 7, ini), 7);
    EXPECT_EQ(ReadProfileString("Login", "username", "d", temp / "missing.ini"), "d");
}

TEST(ProfileFile, ValuesAreReadIntoA1024ByteBuffer)
{
    TempFolder temp;
    std::string ini = temp / "t.ini";
    WriteProfileString("S", "k", std::string(2000, 'v'), ini);
    EXPECT_EQ(ReadProfileString("S", "k", "", ini).size(), 1023u);
}

TEST(ProfileFile, WritingAKeyKeepsEveryOtherLine)
{
    TempFolder temp;
    std::string ini = temp / "t.ini";
    WriteFile(ini, "; keep me\n[Login]\nusername=old\n; inside\nother=1\n\n[Build]\nExportStatistics=1\n");
    ASSERT_TRUE(WriteProfileString("login", "USERNAME", "new", ini));
    ASSERT_TRUE(WriteProfileString("Login", "database", "db", ini));
    ASSERT_TRUE(WriteProfileString("SplashScreen", "splashmute", "0", ini));
    // The file's own line ends (LF here) are kept.
    EXPECT_EQ(ReadFile(ini), "; keep me\n[Login]\nusername=new\n; inside\nother=1\ndatabase=db\n\n"
                             "[Build]\nExportStatistics=1\n[SplashScreen]\nsplashmute=0\n");
}

TEST(ProfileFile, WritingCreatesAMissingFileButNotItsFolder)
{
    TempFolder temp;
    EXPECT_TRUE(WriteProfileString("Login", "username", "u", temp / "new.ini"));
    EXPECT_EQ(ReadFile(temp / "new.ini"), "[Login]\r\nusername=u\r\n");
    EXPECT_FALSE(WriteProfileString("Login", "username", "u", temp / "no/folder/new.ini"));
}

TEST(ProfileFile, AByteOrderMarkIsIgnoredAndTheFileKeepsItAndItsLineEnds)
{
    TempFolder temp;
    std::string lf = temp / "lf.ini";
    WriteFile(lf, "\xEF\xBB\xBF[Login]\nlocaldir=/w/\n");
    EXPECT_EQ(ReadProfileString("Login", "localdir", "", lf), "/w/");
    ASSERT_TRUE(WriteProfileString("Login", "username", "bob", lf));
    EXPECT_EQ(ReadFile(lf), "\xEF\xBB\xBF[Login]\nlocaldir=/w/\nusername=bob\n");

    std::string crlf = temp / "crlf.ini";
    WriteFile(crlf, "[Login]\r\nlocaldir=/w/\r\n");
    ASSERT_TRUE(WriteProfileString("Build", "ExportStatistics", "0", crlf));
    EXPECT_EQ(ReadFile(crlf), "[Login]\r\nlocaldir=/w/\r\n[Build]\r\nExportStatistics=0\r\n");
    // A new file is written in text mode.
    std::string fresh = temp / "new.ini";
    ASSERT_TRUE(WriteProfileString("Login", "username", "", fresh));
    EXPECT_EQ(ReadFile(fresh), "[Login]\r\nusername=\r\n");
}

TEST(ProfileFile, FilesThatCannotServeAsSettingsAreNamed)
{
    TempFolder temp;
    EXPECT_EQ(ProfileFileProblem(temp / "missing.ini"), "");
    WriteFile(temp / "empty.ini", "");
    EXPECT_EQ(ProfileFileProblem(temp / "empty.ini"), "");
    WriteFile(temp / "good.ini", "; settings\n\n[Login]\nlocaldir=/w/\n");
    EXPECT_EQ(ProfileFileProblem(temp / "good.ini"), "");
    WriteFile(temp / "utf16.ini", std::string("\xFF\xFE[\0L\0]\0", 8));
    EXPECT_NE(ProfileFileProblem(temp / "utf16.ini").find("zero bytes"), std::string::npos);
    WriteFile(temp / "prose.ini", "this is not\nan ini file\n");
    EXPECT_NE(ProfileFileProblem(temp / "prose.ini").find("no [section] line"), std::string::npos);
    EnsureFolders(temp / "folder.ini/");
    EXPECT_EQ(ProfileFileProblem(temp / "folder.ini"), "is a folder");
}

} // namespace
} // namespace mw
