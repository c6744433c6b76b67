// The set of files a walk found: lookups in key form, whole or in two parts.
#include "dbtools/WalkedFiles.h"

#include <gtest/gtest.h>
#include <string>

namespace mw {
namespace {

TEST(WalkedFiles, FindsNamesInAnyCaseAndWithEitherSeparatorAsTheTableGrows)
{
    WalkedFiles walked;
    EXPECT_TRUE(walked.Empty());
    EXPECT_FALSE(walked.Contains("records/a.dbr"));
    // Far more names than the first table holds, without a reserve, and
    // each twice: the second add changes nothing.
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 20000; ++i)
        {
            std::string name = "Records\\Folder" + std::to_string(i % 97) + "/Record" + std::to_string(i) + ".DBR";
            ASSERT_EQ(walked.Add(name), round == 0);
        }
    EXPECT_FALSE(walked.Empty());
    for (int i = 0; i < 20000; i += 7)
    {
        std::string folder = "records/folder" + std::to_string(i % 97) + "/";
        std::string name = "record" + std::to_string(i) + ".dbr";
        ASSERT_TRUE(walked.Contains(folder + name)) << i;
        ASSERT_TRUE(walked.Contains(folder, name)) << i;
        ASSERT_TRUE(walked.Contains("RECORDS\\FOLDER" + std::to_string(i % 97) + "\\", name)) << i;
    }
    // Near misses: another folder, a name cut short or longer, the split in
    // another place, a folder alone.
    EXPECT_FALSE(walked.Contains("records/folder1/record0.dbr"));
    EXPECT_FALSE(walked.Contains("records/folder0/record0.db"));
    EXPECT_FALSE(walked.Contains("records/folder0/record0.dbr2"));
    EXPECT_TRUE(walked.Contains("records/folder0/rec", "ord0.dbr"));
    EXPECT_FALSE(walked.Contains("records/folder0/"));
    EXPECT_FALSE(walked.Contains("records/folder0/", ""));

    WalkedFiles reserved;
    reserved.Reserve(3);
    reserved.Add("");
    reserved.Add("a");
    EXPECT_TRUE(reserved.Contains(""));
    EXPECT_TRUE(reserved.Contains("A"));
    EXPECT_FALSE(reserved.Contains("b"));
}

} // namespace
} // namespace mw
