// A compile with helper threads against the serial compile of the same
// generated database: the archive bytes, the build copies, the log lines,
// the error count and a cancelled run must all be the same.
#include "dbtools/DatabaseCompile.h"
#include "platform/FileSystem.h"
#include "platform/sourcecontrol/LocalSourceControlBackend.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <map>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// Source control that lists nothing, so the compile walks the disk.
class EmptyListBackend : public LocalSourceControlBackend
{
public:
    void GetFilesUnderDirectory(const std::string&, std::vector<std::string>& list) override { list.clear(); }
};

struct Outcome
{
    int errors = 0;
    std::vector<std::string> log; // text with the error flag in front
    std::string archive;
    std::map<std::string, std::string> copies; // relative path -> time and bytes
};

class ParallelCompileTest : public ::testing::TestWithParam<bool>
{
protected:
    ParallelCompileTest() : workspace(temp / "work/", temp / "build/")
    {
        if (GetParam())
        {
            workspace.SourceControl().SetBackend(std::make_unique<EmptyListBackend>());
            workspace.SourceControl().SetClientDirectory(temp / "work/");
        }
    }

    void WriteSource(const std::string& relative, const std::string& text, int64_t time)
    {
        WriteFile(temp / "work/database/" + relative, text);
        ASSERT_TRUE(SetLastWriteTime(temp / "work/database/" + relative, FileTimeFromUnix(time, 0)));
    }

    // Three templates sharing an include; records whose values repeat across
    // records (shared string ids) and differ (new ids), arrays, classes, and
    // the files that skip or fail: no template, a missing template, another
    // template's file name, a file that is not a record.
    void WriteDatabase()
    {
        std::string variables;
        const char* types[] = {"int", "real", "string", "bool", "file_dbr", "equation"};
        for (int i = 0; i < 12; ++i)
            variables += "Variable { name = \"v" + std::to_string(i) + "\" class = \"" +
                         (i % 4 == 3 ? "array" : "variable") + "\" type = \"" + types[i % 6] +
                         "\" defaultValue = \"\" }\n";
        WriteSource("Templates/common.tpl",
                    "Group { name = \"All Groups\" type = \"list\"\n" + variables +
                        "Variable { name = \"Class\" class = \"static\" type = \"string\" defaultValue = \"\" } }\n",
                    1600000000);
        for (int t = 0; t < 3; ++t)
            WriteSource("Templates/t" + std::to_string(t) + ".tpl",
                        "Group { name = \"All Groups\" type = \"list\"\n"
                        "Variable { name = \"inc\" class = \"variable\" type = \"include\" "
                        "defaultValue = \"%TEMPLATE_DIR%Database\\\\Templates\\\\common.tpl\" }\n"
                        "Variable { name = \"own" + std::to_string(t) + "\" class = \"variable\" type = \"string\" "
                        "defaultValue = \"\" } }\n",
                        1600000000);
        unsigned seed = 7;
        auto next = [&](unsigned limit) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 8) % limit;
        };
        for (int r = 0; r < 300; ++r)
        {
            std::string folder = r % 5 == 0 ? "records/" : "records/f" + std::to_string(r % 4) + "/deep" + std::to_string(r % 3) + "/";
            std::string text = "templateName,%TEMPLATE_DIR%Database\\Templates\\t" + std::to_string(r % 3) + ".tpl,\n";
            for (int i = 0; i < 12; ++i)
            {
                if (next(5) == 0)
                    continue;
                std::string value = std::to_string(next(i % 2 ? 40 : 100000));
                if (i % 4 == 3)
                    value += ";" + std::to_string(next(50)) + ";x" + std::to_string(next(9));
                text += "v" + std::to_string(i) + "," + value + ",\n";
            }
            text += "own" + std::to_string(r % 3) + ",text " + std::to_string(next(30)) + ",\n";
            text += "Class,Kind" + std::to_string(r % 7) + ",\n";
            WriteSource(folder + "r" + std::to_string(r) + ".dbr", text, 1600000000 + r);
        }
        WriteSource("records/f1/none.dbr", "v0,1,\n", 1600000000);
        WriteSource("records/f2/missing.dbr", "templateName,%TEMPLATE_DIR%nothere.tpl,\nv0,1,\n", 1600000000);
        WriteSource("records/f3/wrong.dbr", "templateName,t0.tpl,\nv0,1,\n", 1600000000);
        WriteSource("records/notes.txt", "not a record", 1600000000);
    }

    Outcome Compile(int helpers, bool force)
    {
        workspace.log.clear();
        Outcome outcome;
        outcome.errors = CompileDatabase(workspace, "database/", force, false, helpers);
        for (const test::LogLine& line : workspace.log)
            outcome.log.push_back((line.error ? "E " : "I ") + line.text);
        outcome.archive = ReadFile(temp / "build/database/database.arz");
        CollectCopies(temp / "build/database/", "", outcome.copies);
        return outcome;
    }

    static void CollectCopies(const std::string& root, const std::string& relative,
                              std::map<std::string, std::string>& copies)
    {
        std::vector<FolderEntry> entries;
        ListFolder(root + relative, entries);
        for (const FolderEntry& entry : entries)
        {
            std::string path = relative + entry.name;
            if (entry.isFolder)
                CollectCopies(root, path + "/", copies);
            else if (path != "database.arz" && path != ".database.arz.mwtmp.spare.arz")
            {
                FileTime time;
                GetLastWriteTime(root + path, time);
                copies[path] = std::to_string(time.value) + ":" + ReadFile(root + path);
            }
        }
    }

    // A first compile into a fresh build folder (every record new, so read
    // ahead), a forced one over existing copies, then an incremental one
    // after a few records changed.
    std::vector<Outcome> Scenario(int helpers)
    {
        DeleteFolderTree(temp / "work/");
        DeleteFolderTree(temp / "build/");
        WriteDatabase();
        std::vector<Outcome> outcomes;
        outcomes.push_back(Compile(helpers, false));
        outcomes.push_back(Compile(helpers, true));
        // Changed records go to the end of the archive's table, so the
        // second round of changes finds the table out of the walk's order.
        for (const std::vector<int>& changed : {std::vector<int>{3, 10, 77, 150, 299}, std::vector<int>{10, 11, 200}})
        {
            for (int r : changed)
            {
                std::string folder = r % 5 == 0 ? "records/"
                                                : "records/f" + std::to_string(r % 4) + "/deep" + std::to_string(r % 3) + "/";
                WriteSource(folder + "r" + std::to_string(r) + ".dbr",
                            "templateName,%TEMPLATE_DIR%Database\\Templates\\t" + std::to_string(r % 3) +
                                ".tpl,\nv2,changed " + std::to_string(r) + ",\n",
                            1700000000 + r + int(outcomes.size()));
            }
            outcomes.push_back(Compile(helpers, false));
        }
        return outcomes;
    }

    static void ExpectSame(const Outcome& serial, const Outcome& parallel)
    {
        EXPECT_EQ(parallel.errors, serial.errors);
        EXPECT_EQ(parallel.log, serial.log);
        EXPECT_TRUE(parallel.archive == serial.archive) << "archives differ";
        EXPECT_EQ(parallel.copies.size(), serial.copies.size());
        EXPECT_TRUE(parallel.copies == serial.copies) << "build copies differ";
    }

    TempFolder temp;
    test::FakeWorkspace workspace;
};

TEST_P(ParallelCompileTest, HelperThreadsWriteTheSerialArchiveCopiesAndLog)
{
    std::vector<Outcome> serial = Scenario(0);
    // The serial compile did real work: every record, one counted error.
    ASSERT_EQ(serial.size(), 4u);
    EXPECT_EQ(serial[0].errors, 1);
    EXPECT_EQ(serial[0].copies.size(), 303u);
    EXPECT_GT(serial[0].archive.size(), 10000u);
    for (int helpers : {1, 3})
    {
        SCOPED_TRACE("helpers: " + std::to_string(helpers));
        std::vector<Outcome> parallel = Scenario(helpers);
        for (size_t i = 0; i < serial.size(); ++i)
            ExpectSame(serial[i], parallel[i]);
    }
}

TEST_P(ParallelCompileTest, ACancelledParallelCompileStopsWhereTheSerialOneStops)
{
    auto cancelledRun = [&](int helpers) {
        DeleteFolderTree(temp / "work/");
        DeleteFolderTree(temp / "build/");
        WriteDatabase();
        int updates = 0;
        workspace.onLog = [&](const std::string& text) {
            if (text.rfind("BinaryUpdate: ", 0) == 0 && ++updates == 37)
                workspace.RequestCancel();
        };
        Outcome outcome = Compile(helpers, true);
        workspace.onLog = nullptr;
        EXPECT_FALSE(workspace.IsCancelled());
        EXPECT_EQ(updates, 37);
        return outcome;
    };
    Outcome serial = cancelledRun(0);
    EXPECT_EQ(serial.log.back(), "I Done.");
    // Files after the cancel were neither copied nor compiled.
    EXPECT_LT(serial.copies.size(), 50u);
    ExpectSame(serial, cancelledRun(2));
}

INSTANTIATE_TEST_SUITE_P(Walks, ParallelCompileTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Disk" : "List"; });

} // namespace
} // namespace mw
