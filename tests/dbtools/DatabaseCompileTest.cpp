// The database compile on real files: incremental rules, forced compiles,
// archive paths, errors, cancellation and the statistics report.
#include "../dbarchive/ArchiveImage.h"
#include "dbarchive/DbArchive.h"
#include "dbtools/DatabaseCompile.h"
#include "dbtools/WalkedFiles.h"
#include "platform/FileSystem.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::TouchFile;
using test::WriteFile;

const char* const kTemplate = "Group { name = \"All Groups\" type = \"list\"\n"
                              "Variable { name = \"a\" class = \"variable\" type = \"int\" defaultValue = \"\" }\n"
                              "Variable { name = \"s\" class = \"variable\" type = \"string\" defaultValue = \"\" }\n"
                              "Variable { name = \"Class\" class = \"static\" type = \"string\" defaultValue = \"\" }\n"
                              "}\n";

class CompileTest : public ::testing::Test
{
protected:
    CompileTest() : workspace(temp / "work/", temp / "build/")
    {
        WriteFile(temp / "work/database/Templates/t.tpl", kTemplate);
    }

    void WriteRecord(const std::string& relative, const std::string& values)
    {
        WriteFile(temp / "work/" + relative, "templateName,%TEMPLATE_DIR%Database\\Templates\\t.tpl,\n" + values);
        // Sources are a little in the past, so a touch is clearly later.
        TouchFile(temp / "work/" + relative, -100);
    }

    int Compile(const std::string& folder = "database/", bool force = false)
    {
        workspace.log.clear();
        return CompileDatabase(workspace, folder, force, false);
    }

    int Count(const std::string& prefix) const
    {
        return int(std::count_if(workspace.log.begin(), workspace.log.end(),
                                 [&](const test::LogLine& line) { return line.text.rfind(prefix, 0) == 0; }));
    }

    test::ArchiveImage Archive(const std::string& path) const
    {
        test::ArchiveImage image;
        EXPECT_TRUE(image.Parse(ReadFile(path)));
        return image;
    }

    // The archive path as the compile forms (and logs) it.
    std::string MainArchive() const { return temp / "build/database\\database.arz"; }

    TempFolder temp;
    test::FakeWorkspace workspace;
};

TEST_F(CompileTest, OneIntRecordIntoANewArchiveGivesTheDocumentedBytes)
{
    WriteFile(temp / "work/database/Templates/t.tpl",
              "Group { name = \"All Groups\" type = \"list\"\n"
              "Variable { name = \"a\" class = \"variable\" type = \"int\" defaultValue = \"\" } }\n");
    WriteRecord("database/records/one.dbr", "a,5,\n");
    EXPECT_EQ(Compile(), 0);
    test::ArchiveImage image = Archive(MainArchive());
    EXPECT_EQ(image.strings, (std::vector<std::string>{"records\\one.dbr", "templateName",
                                                       "%TEMPLATE_DIR%Database\\Templates\\t.tpl", "a"}));
    ASSERT_EQ(image.entries.size(), 1u);
    EXPECT_EQ(image.entries[0].nameId, 0u);
    const unsigned char expected[] = {0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                      0x00, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    EXPECT_EQ(image.Inflated(image.entries[0]), std::string(reinterpret_cast<const char*>(expected), 24));
    // The stored time is the source's last-write time.
    FileTime sourceTime;
    ASSERT_TRUE(GetLastWriteTime(temp / "work/database/records/one.dbr", sourceTime));
    EXPECT_EQ(image.entries[0].timeLow, sourceTime.Low());
    EXPECT_EQ(image.entries[0].timeHigh, sourceTime.High());
}

TEST_F(CompileTest, IncrementalCompilesRebuildOnlyWhatChanged)
{
    WriteRecord("database/records/a.dbr", "a,1,\ns,alpha,\nClass,Thing,\n");
    WriteRecord("database/records/b.dbr", "a,2,\ns,beta,\n");
    WriteRecord("database/records/sub/c.dbr", "a,3,\n");
    WriteFile(temp / "work/database/records/notes.txt", "not a record");
    ASSERT_EQ(Compile(), 0);
    EXPECT_EQ(Count("BinaryUpdate: "), 3);
    EXPECT_TRUE(IsFile(temp / "build/database/records/sub/c.dbr"));
    EXPECT_FALSE(PathExists(temp / "build/database/records/notes.txt"));
    EXPECT_FALSE(PathExists(temp / "build/database/Templates/t.tpl"));
    std::string first = ReadFile(MainArchive());
    test::ArchiveImage firstImage = Archive(MainArchive());
    EXPECT_EQ(firstImage.FindByName("records\\a.dbr")->className, "Thing");

    // Nothing changed: nothing copied or rebuilt, and the archive is not
    // written again: its bytes and its time stay as they are.
    FileTime old = FileTimeFromUnix(1000000000, 0);
    ASSERT_TRUE(SetLastWriteTime(MainArchive(), old));
    ASSERT_EQ(Compile(), 0);
    EXPECT_EQ(workspace.Texts(), (std::vector<std::string>{"Compiling database...",
                                                           "Opened " + MainArchive() + " for reading",
                                                           "Closed " + MainArchive(), "Done."}));
    EXPECT_EQ(ReadFile(MainArchive()), first);
    FileTime after;
    ASSERT_TRUE(GetLastWriteTime(MainArchive(), after));
    EXPECT_EQ(after.value, old.value);

    // One touched record: its target path and one BinaryUpdate.
    WriteRecord("database/records/b.dbr", "a,20,\ns,gamma,\n");
    TouchFile(temp / "work/database/records/b.dbr", 10);
    ASSERT_EQ(Compile(), 0);
    EXPECT_EQ(Count(temp / "build/database/records/b.dbr"), 1);
    EXPECT_EQ(Count("BinaryUpdate: "), 1);
    EXPECT_TRUE(workspace.HasLine("BinaryUpdate: " + temp / "work/database/records/b.dbr"));
    test::ArchiveImage second = Archive(MainArchive());
    for (const char* name : {"records\\a.dbr", "records\\sub\\c.dbr"})
        EXPECT_EQ(second.Body(*second.FindByName(name)), firstImage.Body(*firstImage.FindByName(name))) << name;
    EXPECT_NE(second.Inflated(*second.FindByName("records\\b.dbr")),
              firstImage.Inflated(*firstImage.FindByName("records\\b.dbr")));
    // A loaded string table gains the empty text; then the new value.
    std::vector<std::string> grown = firstImage.strings;
    grown.push_back("");
    grown.push_back("gamma");
    EXPECT_EQ(second.strings, grown);

    // A forced compile copies and rebuilds every record.
    ASSERT_EQ(Compile("database/", true), 0);
    EXPECT_EQ(Count(temp / "build/database/records/"), 3);
    EXPECT_EQ(Count("BinaryUpdate: "), 3);
}

TEST_F(CompileTest, AMissingBuildCopyIsCopiedAgainButNotRecompiled)
{
    WriteRecord("database/records/a.dbr", "a,1,\n");
    ASSERT_EQ(Compile(), 0);
    ASSERT_TRUE(RemoveFile(temp / "build/database/records/a.dbr"));
    ASSERT_EQ(Compile(), 0);
    EXPECT_TRUE(IsFile(temp / "build/database/records/a.dbr"));
    EXPECT_EQ(Count(temp / "build/database/records/a.dbr"), 1);
    EXPECT_EQ(Count("BinaryUpdate: "), 0);
}

TEST_F(CompileTest, ASubfolderCompileUpdatesOnlyItsRecordsInTheMainArchive)
{
    WriteRecord("database/records/a.dbr", "a,1,\n");
    WriteRecord("database/other/b.dbr", "a,2,\n");
    ASSERT_EQ(Compile(), 0);
    WriteRecord("database/records/a.dbr", "a,10,\n");
    WriteRecord("database/other/b.dbr", "a,20,\n");
    TouchFile(temp / "work/database/records/a.dbr", 10);
    TouchFile(temp / "work/database/other/b.dbr", 10);
    ASSERT_EQ(Compile("database/records/"), 0);
    EXPECT_EQ(Count("BinaryUpdate: "), 1);
    EXPECT_TRUE(workspace.HasLine("Opened " + MainArchive() + " for reading"));
    test::ArchiveImage image = Archive(MainArchive());
    EXPECT_EQ(image.entries.size(), 2u);
}

TEST_F(CompileTest, CustomMapsCompileIntoTheirOwnArchive)
{
    workspace.modName = "Frost";
    EXPECT_EQ(DatabaseArchivePath(workspace, "CustomMaps/Frost/database/"),
              temp / "build/CustomMaps/Frost\\database/Frost.arz");
    EXPECT_EQ(DatabaseArchivePath(workspace, "customMAPS/Frost/Database/records/"),
              temp / "build/customMAPS/Frost\\database/Frost.arz");
    EXPECT_EQ(DatabaseArchivePath(workspace, "database/records/"), temp / "build/database\\database.arz");
    EXPECT_EQ(CurrentDatabaseFolder(workspace), "CustomMaps/Frost/database/");

    WriteRecord("CustomMaps/Frost/database/records/ice.dbr", "a,1,\n");
    ASSERT_EQ(Compile(CurrentDatabaseFolder(workspace)), 0);
    test::ArchiveImage image = Archive(temp / "build/CustomMaps/Frost/database/Frost.arz");
    ASSERT_EQ(image.entries.size(), 1u);
    // Record names are relative to the map's own database folder.
    EXPECT_EQ(image.strings[image.entries[0].nameId], "records\\ice.dbr");
}

TEST_F(CompileTest, OnlyFailedCopiesAndRecordsWithoutTemplateCountAsErrors)
{
    WriteFile(temp / "work/database/none.dbr", "a,1,\n");
    WriteFile(temp / "work/database/missing.dbr", "templateName,%TEMPLATE_DIR%nothere.tpl,\n");
    WriteFile(temp / "work/database/other.dbr", "templateName,Database\\Templates\\other.tpl,\n");
    WriteFile(temp / "work/database/Templates/other.tpl", kTemplate);
    WriteFile(temp / "work/database/wrong.dbr", "templateName,other.tpl,\n");
    WriteFile(temp / "work/database/UPPER.DBR", "templateName,Database\\Templates\\t.tpl,\na,4,\n");
    EXPECT_EQ(Compile(), 1);
    EXPECT_TRUE(workspace.HasLine("Error building record (Record has no template)"));
    EXPECT_EQ(workspace.ErrorLineCount(), 1);
    test::ArchiveImage image = Archive(MainArchive());
    std::vector<std::string> names;
    for (const test::ImageEntry& entry : image.entries)
        names.push_back(image.strings[entry.nameId]);
    EXPECT_EQ(names, (std::vector<std::string>{"other.dbr", "upper.dbr"}));

    // A build copy that cannot be replaced is a counted error.
    WriteRecord("database/blocked.dbr", "a,1,\n");
    EnsureFolders(temp / "build/database/blocked.dbr/");
    TouchFile(temp / "work/database/blocked.dbr", 100);
    EXPECT_EQ(Compile(), 2);
    EXPECT_TRUE(workspace.HasLine("Error building record (" + temp / "work/database/blocked.dbr" + ")"));
}

// What the archive's reader refuses is never written: the record is refused
// with its name and variable, and every other record still reads back.
TEST_F(CompileTest, RecordsTheReaderCouldNotTakeBackAreRefusedAndTheRestKept)
{
    WriteFile(temp / "work/database/Templates/t.tpl",
              "Group { name = \"All Groups\" type = \"list\"\n"
              "Variable { name = \"s\" class = \"variable\" type = \"string\" defaultValue = \"\" }\n"
              "Variable { name = \"list\" class = \"array\" type = \"string\" defaultValue = \"\" }\n"
              "Variable { name = \"n1\" class = \"array\" type = \"int\" defaultValue = \"\" }\n"
              "Variable { name = \"n2\" class = \"array\" type = \"int\" defaultValue = \"\" }\n"
              "Variable { name = \"n3\" class = \"array\" type = \"int\" defaultValue = \"\" }\n"
              "Variable { name = \"n4\" class = \"array\" type = \"int\" defaultValue = \"\" }\n"
              "Variable { name = \"n5\" class = \"array\" type = \"int\" defaultValue = \"\" } }\n");
    const size_t limit = DbArchive::kMaxStringLength;
    std::string manyInts;
    for (int i = 0; i < 60000; ++i)
        manyInts += "7;";
    WriteRecord("database/atlimit.dbr", "s," + std::string(limit, 'x') + ",\n");
    WriteRecord("database/over.dbr", "s," + std::string(limit + 1, 'y') + ",\n");
    WriteRecord("database/huge.dbr", "s," + std::string(64 * limit, 'z') + ",\n");
    WriteRecord("database/element.dbr", "list,short;" + std::string(limit + 1, 'w') + ",\n");
    WriteRecord("database/wide.dbr",
                "n1," + manyInts + ",\nn2," + manyInts + ",\nn3," + manyInts + ",\nn4," + manyInts + ",\nn5," + manyInts +
                    ",\n");
    WriteRecord("database/fine.dbr", "s,after,\n");
    EXPECT_EQ(Compile(), 4);
    auto refused = [&](const std::string& file, const std::string& variable) {
        return workspace.HasLine("Error building record (" + temp / "work/database/" + file + "): variable \"" +
                                 variable + "\" has a value longer than 1048576 bytes");
    };
    EXPECT_TRUE(refused("over.dbr", "s"));
    EXPECT_TRUE(refused("huge.dbr", "s"));
    EXPECT_TRUE(refused("element.dbr", "list"));
    EXPECT_TRUE(workspace.HasLine("Error building record (" + temp / "work/database/wide.dbr" +
                                  "): its compiled body is larger than 1048576 bytes"));
    EXPECT_EQ(workspace.ErrorLineCount(), 4);

    std::string image = ReadFile(MainArchive());
    DbArchive archive;
    archive.Load(image.data(), image.size());
    EXPECT_EQ(archive.Entries().size(), 2u);
    for (const char* name : {"atlimit.dbr", "fine.dbr"})
    {
        std::string_view body;
        EXPECT_TRUE(archive.GetRecordByName(name, body)) << name;
    }
    EXPECT_TRUE(archive.Strings().Find(std::string(limit, 'x')).has_value());
    EXPECT_TRUE(archive.Strings().Find("after").has_value());

    // The next compile tries the refused records again and keeps the archive whole.
    EXPECT_EQ(Compile(), 4);
    std::string again = ReadFile(MainArchive());
    DbArchive reread;
    reread.Load(again.data(), again.size());
    EXPECT_EQ(reread.Entries().size(), 2u);
    EXPECT_TRUE(reread.Strings().Find("after").has_value());
}

TEST_F(CompileTest, ACancelledCompileSavesWhatItAddedAndResetsTheEvent)
{
    for (int i = 0; i < 5; ++i)
        WriteRecord("database/r" + std::to_string(i) + ".dbr", "a,1,\n");
    workspace.onLog = [&](const std::string& text) {
        if (text.rfind("BinaryUpdate: ", 0) == 0)
            workspace.RequestCancel();
    };
    EXPECT_EQ(Compile(), 0);
    EXPECT_FALSE(workspace.IsCancelled());
    EXPECT_EQ(workspace.Texts().back(), "Done.");
    EXPECT_EQ(Count("BinaryUpdate: "), 1);
    EXPECT_EQ(Archive(MainArchive()).entries.size(), 1u);
}

TEST_F(CompileTest, AFailedSaveLeavesThePreviousArchive)
{
    WriteRecord("database/a.dbr", "a,1,\n");
    ASSERT_EQ(Compile(), 0);
    std::string before = ReadFile(MainArchive());
    SetReadOnly(MainArchive(), true);
    WriteRecord("database/a.dbr", "a,2,\n");
    TouchFile(temp / "work/database/a.dbr", 10);
    // An archive that cannot be written is an error, and no record is
    // compiled or logged as built for it.
    EXPECT_EQ(Compile(), 1);
    EXPECT_TRUE(workspace.HasLine("Couldn't open " + MainArchive() + " for writing"));
    EXPECT_EQ(Count("BinaryUpdate: "), 0);
    EXPECT_EQ(Count(temp / "build/database/a.dbr"), 0);
    EXPECT_EQ(workspace.ErrorLineCount(), 1);
    EXPECT_EQ(ReadFile(MainArchive()), before);
    SetReadOnly(MainArchive(), false);
    EXPECT_EQ(Compile(), 0);
    EXPECT_EQ(Count("BinaryUpdate: "), 1);
}

TEST_F(CompileTest, TheStatisticsReportDescribesTheArchive)
{
    WriteRecord("database/a.dbr", "a,1,\n");
    WriteRecord("database/b.dbr", "a,2,\n");
    ASSERT_EQ(Compile(), 0);
    workspace.log.clear();
    ReportDbArchiveStatistics(workspace);
    test::ArchiveImage image = Archive(MainArchive());
    unsigned average = (image.indexOffset - 24) / 2;
    EXPECT_EQ(workspace.Texts(),
              (std::vector<std::string>{"Opened " + MainArchive() + " for reading", "Number of Records in archive: 2",
                                        "Average Record size (compressed): " + std::to_string(average),
                                        // Loading adds the empty text to the table.
                                        "Number of entries in StringMap: " + std::to_string(image.strings.size() + 1),
                                        "Closed " + MainArchive()}));
    EXPECT_FALSE(workspace.ArchiveSlot());
}

TEST_F(CompileTest, ASecondOpenKeepsTheFirstArchive)
{
    WriteRecord("database/a.dbr", "a,1,\n");
    workspace.ArchiveSlot() = std::make_unique<DbArchive>();
    DbArchive* first = workspace.ArchiveSlot().get();
    ASSERT_EQ(Compile(), 0);
    EXPECT_TRUE(workspace.HasLine("Error - Attempt to open Database Archive while it is already open."));
    // The compile used and closed the archive that was open.
    EXPECT_FALSE(workspace.ArchiveSlot());
    (void)first;
}

TEST_F(CompileTest, AFolderThatCannotBeCreatedEndsTheCompile)
{
    WriteFile(temp / "build", "a file where the build folder should be");
    EXPECT_EQ(Compile(), 1);
    EXPECT_TRUE(workspace.HasLine("Error creating directory: " + temp / "build/database/"));
}

} // namespace
} // namespace mw

namespace mw {
namespace {

TEST_F(CompileTest, BuildCopiesAreFoundWhateverTheirLetterCase)
{
    WriteRecord("database/Records/a.dbr", "a,1,\n");
    ASSERT_EQ(Compile(), 0);
    // Another program renamed the build copy and its folder to other letter cases.
    ASSERT_EQ(::rename((temp / "build/database/Records/a.dbr").c_str(), (temp / "build/database/Records/A.DBR").c_str()), 0);
    ASSERT_EQ(::rename((temp / "build/database/Records").c_str(), (temp / "build/database/RECORDS").c_str()), 0);
    std::vector<FolderEntry> entries;
    // Wine keeps a name's letter case through such a rename; Windows and Linux change it.
    ASSERT_TRUE(ListFolder(temp / "build/database", entries));
    if (entries.size() == 2 && entries[1].name != "RECORDS")
        GTEST_SKIP() << "this file system does not rename a folder to another letter case";
    ASSERT_EQ(Compile(), 0);
    EXPECT_EQ(Count(temp / "build/"), 0);
    ASSERT_TRUE(ListFolder(temp / "build/database/RECORDS", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "A.DBR");
    // A changed source is copied over the copy that exists, under its own name.
    WriteRecord("database/Records/a.dbr", "a,2,\n");
    TouchFile(temp / "work/database/Records/a.dbr", 10);
    ASSERT_EQ(Compile(), 0);
    EXPECT_EQ(ReadFile(temp / "build/database/RECORDS/A.DBR"), ReadFile(temp / "work/database/Records/a.dbr"));
    // No second folder of another case was made next to it (the archive's
    // spare goes when the program ends).
    RemoveSpareFiles();
    ASSERT_TRUE(ListFolder(temp / "build/database", entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "database.arz");
    EXPECT_EQ(entries[1].name, "RECORDS");
}

// The compile's word to the unassociated-files scan: the records of its
// archive that the walk did not find. None when every one was walked;
// a record listed twice in two letter cases is still one record.
TEST_F(CompileTest, TheWalkNamesTheArchivedRecordsItDidNotFind)
{
    WriteRecord("database/Records/a.dbr", "a,1,\n");
    WriteRecord("database/Records/b.dbr", "a,2,\n");
    WriteRecord("database/Records/gone.dbr", "a,3,\n");
    ASSERT_EQ(Compile(), 0);
    auto notWalked = [&]() {
        WalkedFiles walked;
        int errors = CompileDatabase(workspace, "database/", false, false, DefaultCompileHelperThreads(), &walked);
        EXPECT_EQ(errors, 0);
        EXPECT_TRUE(walked.ArchiveRecordsNotWalked().has_value());
        return walked.ArchiveRecordsNotWalked().value_or(std::vector<std::string>{"(unset)"});
    };
    EXPECT_EQ(notWalked(), std::vector<std::string>{});

    ASSERT_TRUE(RemoveFile(temp / "work/database/Records/gone.dbr"));
    // Written past the case-insensitive lookup, which would find a.dbr (on
    // a file system that ignores case, it is a.dbr rewritten).
    std::string record = ReadFile(temp / "work/database/Records/a.dbr");
    std::ofstream(temp / "work/database/Records/A.dbr", std::ios::binary) << record;
    WriteRecord("database/Records/new.dbr", "a,5,\n");
    EXPECT_EQ(notWalked(), std::vector<std::string>{"records\\gone.dbr"});
}

} // namespace
} // namespace mw
