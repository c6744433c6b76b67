// Private-profile files: the semantics Tools.ini relies on.
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
    EXPECT_EQ(ReadFile(ini), "; keep me\r\n[Login]\r\nusername=new\r\n; inside\r\nother=1\r\ndatabase=db\r\n\r\n"
                             "[Build]\r\nExportStatistics=1\r\n[SplashScreen]\r\nsplashmute=0\r\n");
}

TEST(ProfileFile, WritingCreatesAMissingFileButNotItsFolder)
{
    TempFolder temp;
    EXPECT_TRUE(WriteProfileString("Login", "username", "u", temp / "new.ini"));
    EXPECT_EQ(ReadFile(temp / "new.ini"), "[Login]\r\nusername=u\r\n");
    EXPECT_FALSE(WriteProfileString("Login", "username", "u", temp / "no/folder/new.ini"));
}

} // namespace
} // namespace mw
