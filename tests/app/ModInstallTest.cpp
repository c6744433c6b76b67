// New mod names, deleting a mod, and installing the archives that come with
// the tool into a workspace folder.
#include "app/ArchiveInstaller.h"
#include "app/BrowsableFiles.h"
#include "app/ToolsetInstall.h"
#include "dbtext/FileValuePaths.h"
#include "app/ModManagement.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "platform/ManualResetEvent.h"
#include "platform/engine/ResourceArchiveFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#ifndef _WIN32
#include "assets/CurrentFolderGuard.h"
#endif
#include <filesystem>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <stdlib.h>
// The POSIX calls the tests use to point the trash at a folder of their own.
namespace {
int setenv(const char* name, const char* value, int) { return ::_putenv_s(name, value); }
int unsetenv(const char* name) { return ::_putenv_s(name, ""); }
} // namespace
#endif

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

const char* const kEmpty =
    "The specified New Map Name is empty.  It should not contain at least one alphanumeric character.";
const char* const kTooLong = "The specified New Map Name is too long.  It should be less than 32 characters.";
const char* const kInvalid = "The specified New Map Name is invalid.  It should not contain spaces or symbols.";
const char* const kExists = "The specified New Map Name already exists.  Please enter a different name.";

TEST(NewModName, ChecksInOrder)
{
    std::vector<std::string> mods = {"Fjord", "Tutorial_1"};
    struct Case
    {
        std::string name;
        std::string message;
    };
    const Case cases[] = {
        {"", kEmpty},
        {std::string(31, 'a'), ""},
        {std::string(32, 'a'), kTooLong},
        {std::string(40, ' '), kTooLong}, // length is checked before the characters
        {"Ice-Age_2", ""},
        {"Ice Age", kInvalid},
        {" ", kInvalid},
        {"caf\xc3\xa9", kInvalid},
        {"../x", kInvalid},
        {"fjord", kExists},
        {"TUTORIAL_1", kExists},
        {"Fjords", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckNewModName(c.name, mods), c.message);
    }
}

class DeleteModTest : public ::testing::Test
{
protected:
    DeleteModTest()
    {
        const char* previous = getenv("XDG_DATA_HOME");
        m_hadDataHome = previous != nullptr;
        if (previous)
            m_previousDataHome = previous;
        setenv("XDG_DATA_HOME", (temp.Path() + "data").c_str(), 1);
        WriteFile(temp / "w/CustomMaps/Fjord/source/a.txt", "a");
        WriteFile(temp / "w/CustomMaps/Fjord/database/r.dbr", "r");
        WriteFile(temp / "w/CustomMaps/Other/source/b.txt", "b");
        WriteFile(temp / "b/CustomMaps/Fjord/resources/x.arc", "x");
    }
    ~DeleteModTest() override
    {
        if (m_hadDataHome)
            setenv("XDG_DATA_HOME", m_previousDataHome.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    TempFolder temp;
    test::ScriptedPrompt prompt;
    std::string m_previousDataHome;
    bool m_hadDataHome = false;
};

TEST_F(DeleteModTest, NetworkModeRemovesTheWorkingAndBuildTreesOfThatModOnly)
{
    ASSERT_TRUE(SetReadOnly(temp / "w/CustomMaps/Fjord/database/r.dbr", true));
    EXPECT_TRUE(DeleteModFolders(temp / "w/", temp / "b/", "Fjord", false, prompt));
    EXPECT_FALSE(PathExists(temp / "w/CustomMaps/Fjord"));
    EXPECT_FALSE(PathExists(temp / "b/CustomMaps/Fjord"));
    EXPECT_EQ(ReadFile(temp / "w/CustomMaps/Other/source/b.txt"), "b");
    EXPECT_FALSE(PathExists(temp / "data/Trash/files/Fjord"));

    // Names that would reach outside CustomMaps delete nothing.
    EXPECT_FALSE(DeleteModFolders(temp / "w/", temp / "b/", "..", false, prompt));
    EXPECT_FALSE(DeleteModFolders(temp / "w/", temp / "b/", "", true, prompt));
    EXPECT_TRUE(PathExists(temp / "w/CustomMaps/Other/source/b.txt"));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DeleteModTest, LocalModeSendsBothTreesToTheTrashWhereTheyCanBeRestored)
{
#ifdef _WIN32
    GTEST_SKIP() << "the trash of these tests is the desktop trash of POSIX systems";
#endif
    EXPECT_TRUE(DeleteModFolders(temp / "w/", temp / "b/", "Fjord", true, prompt));
    EXPECT_FALSE(PathExists(temp / "w/CustomMaps/Fjord"));
    EXPECT_FALSE(PathExists(temp / "b/CustomMaps/Fjord"));
    // The working tree and the build tree share a name: the second is numbered.
    EXPECT_EQ(ReadFile(temp / "data/Trash/files/Fjord/database/r.dbr"), "r");
    EXPECT_EQ(ReadFile(temp / "data/Trash/files/Fjord.2/resources/x.arc"), "x");
    EXPECT_TRUE(RestoreFromTrash(temp / "data/Trash/info/Fjord.trashinfo"));
    EXPECT_EQ(ReadFile(temp / "w/CustomMaps/Fjord/source/a.txt"), "a");
    EXPECT_TRUE(prompt.messages.empty());
}
class ArchiveInstallTest : public ::testing::Test
{
protected:
    void MakeArchive(const std::vector<std::pair<std::string, std::string>>& files)
    {
        GAME::ResourceArchiveFile archive;
        for (const auto& [name, bytes] : files)
            ASSERT_TRUE(archive.Put(name, bytes, 0, 6));
        WriteFile(archivePath, archive.Serialize());
    }

    TempFolder temp;
    std::string archivePath = temp / "Toolset/Templates.arc";
    ManualResetEvent cancel;
};

TEST_F(ArchiveInstallTest, CancelledHalfwayThenCompletedIntoAFreshFolder)
{
    MakeArchive({{"Templates/base.tpl", std::string(300, 'b')},
                 {"Templates/items/item.tpl", std::string(100, 'i')},
                 {"Templates/items/weapon.tpl", std::string(400, 'w')},
                 {"Templates/monster.tpl", std::string(200, 'm')}});
    std::string destination = temp / "Working/Database/";

    ArchiveInstaller installer;
    ASSERT_TRUE(installer.Open(archivePath));
    EXPECT_EQ(installer.TotalBytes(), 1000u);
    std::vector<std::string> shown;
    std::vector<int> percents;
    bool cancelAfterTwo = true;
    auto progress = [&](const std::string& name, uint64_t done, uint64_t total) {
        if (!name.empty())
            shown.push_back(name);
        else
            percents.push_back(ArchiveInstaller::Percent(done, total));
        if (cancelAfterTwo && shown.size() == 2 && name.empty())
            cancel.Set();
    };
    EXPECT_EQ(installer.Extract(destination, cancel, progress), ArchiveInstaller::Result::Cancelled);
    EXPECT_EQ(shown, (std::vector<std::string>{"Templates/base.tpl", "Templates/items/item.tpl"}));
    EXPECT_EQ(percents, (std::vector<int>{30, 40}));
    EXPECT_EQ(ReadFile(destination + "Templates/items/item.tpl"), std::string(100, 'i'));
    EXPECT_FALSE(PathExists(destination + "Templates/items/weapon.tpl"));

    // A second run over what the first left completes.
    cancel.Reset();
    cancelAfterTwo = false;
    shown.clear();
    percents.clear();
    ASSERT_TRUE(SetReadOnly(destination + "Templates/base.tpl", true));
    EXPECT_EQ(installer.Extract(destination, cancel, progress), ArchiveInstaller::Result::Completed);
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(ReadFile(destination + "Templates/base.tpl"), std::string(300, 'b'));
    EXPECT_EQ(ReadFile(destination + "Templates/items/weapon.tpl"), std::string(400, 'w'));
    EXPECT_EQ(ReadFile(destination + "Templates/monster.tpl"), std::string(200, 'm'));
}

TEST_F(ArchiveInstallTest, MissingOrForeignArchivesAndEmptyOnesAreHandled)
{
    ArchiveInstaller installer;
    EXPECT_FALSE(installer.Open(archivePath));
    WriteFile(archivePath, "not an archive at all, just text");
    EXPECT_FALSE(installer.Open(archivePath));
    EXPECT_FALSE(installer.LastError().empty());

    // No entries: done at once, at full progress.
    MakeArchive({});
    ASSERT_TRUE(installer.Open(archivePath));
    EXPECT_EQ(installer.Extract(temp / "out/", cancel, nullptr), ArchiveInstaller::Result::Completed);
    EXPECT_EQ(ArchiveInstaller::Percent(0, 0), 100);
}

TEST_F(ArchiveInstallTest, AnEntryThatCannotBeWrittenIsReportedAndTheRestInstalled)
{
    MakeArchive({{"a/one.txt", "1"}, {"blocked/two.txt", "2"}, {"c/three.txt", "3"}});
    // A file where the entry needs a folder.
    WriteFile(temp / "out/blocked", "a file, not a folder");
    ArchiveInstaller installer;
    ASSERT_TRUE(installer.Open(archivePath));
    EXPECT_EQ(installer.Extract(temp / "out/", cancel, nullptr), ArchiveInstaller::Result::Failed);
    ASSERT_EQ(installer.Failures().size(), 1u);
    EXPECT_EQ(installer.Failures()[0].rfind("blocked/two.txt: ", 0), 0u);
    EXPECT_EQ(ReadFile(temp / "out/a/one.txt"), "1");
    EXPECT_EQ(ReadFile(temp / "out/c/three.txt"), "3");
}

#ifndef _WIN32
TEST_F(ArchiveInstallTest, LinksPlantedInTheDestinationAreNotFollowed)
{
    MakeArchive({{"sub/a/b/x.txt", "x"}, {"file.txt", "mine"}, {"../escape.txt", "e"}, {"plain/y.txt", "y"}});
    std::string destination = temp / "dest/";
    WriteFile(temp / "outside/keep.txt", "outside");
    WriteFile(temp / "outside.txt", "read-only outside");
    ASSERT_TRUE(SetReadOnly(temp / "outside.txt", true));
    ASSERT_TRUE(EnsureFolders(destination));
    std::filesystem::create_directory_symlink(temp / "outside", destination + "sub");
    std::filesystem::create_symlink(temp / "outside.txt", destination + "file.txt");

    ArchiveInstaller installer;
    ASSERT_TRUE(installer.Open(archivePath));
    EXPECT_EQ(installer.Extract(destination, cancel, nullptr), ArchiveInstaller::Result::Failed);
    ASSERT_EQ(installer.Failures().size(), 3u);
    EXPECT_EQ(installer.Failures()[0].rfind("sub/a/b/x.txt: ", 0), 0u) << installer.Failures()[0];
    EXPECT_EQ(installer.Failures()[1].rfind("file.txt: ", 0), 0u) << installer.Failures()[1];
    EXPECT_EQ(installer.Failures()[2], "entry 3: its name would leave the destination folder; skipped");
    EXPECT_EQ(installer.Written(), 1);
    EXPECT_EQ(ReadFile(destination + "plain/y.txt"), "y");
    // Nothing was made or changed through the links, nor beside the destination.
    EXPECT_FALSE(PathExists(temp / "outside/a"));
    EXPECT_EQ(ReadFile(temp / "outside.txt"), "read-only outside");
    bool readOnly = false;
    EXPECT_TRUE(GetReadOnly(temp / "outside.txt", readOnly) && readOnly);
    EXPECT_FALSE(PathExists(temp / "escape.txt"));
}

TEST_F(ArchiveInstallTest, AOneLetterDestinationIsAFolder)
{
    MakeArchive({{"one.txt", "1"}});
    test::CurrentFolderGuard inTemp(temp.Path());
    ASSERT_TRUE(inTemp.Entered());
    ArchiveInstaller installer;
    ASSERT_TRUE(installer.Open(archivePath));
    EXPECT_EQ(installer.Extract("d", cancel, nullptr), ArchiveInstaller::Result::Completed);
    EXPECT_EQ(ReadFile(temp / "d/one.txt"), "1");
    EXPECT_FALSE(PathExists(temp / "done.txt"));
}
#endif

TEST_F(ArchiveInstallTest, ChangedFilesAreAskedAboutOnceAndReplacedOnesGoToTheTrash)
{
#ifdef _WIN32
    GTEST_SKIP() << "the trash of these tests is the desktop trash of POSIX systems";
#endif
    MakeArchive({{"Templates/base.tpl", "base v2"}, {"Templates/item.tpl", "item"}, {"Templates/new.tpl", "new"}});
    std::string destination = temp / "Working/Database/";
    WriteFile(destination + "Templates/base.tpl", "base edited by me");
    WriteFile(destination + "Templates/item.tpl", "item"); // same bytes: not asked about
    const char* previous = getenv("XDG_DATA_HOME");
    std::string previousValue = previous ? previous : "";
    setenv("XDG_DATA_HOME", (temp.Path() + "data").c_str(), 1);

    // Cancel installs nothing; the question names the changed file only.
    test::ScriptedPrompt prompt;
    prompt.answers.push_back(PromptAnswer::Cancel);
    InstallPlan cancelled = PlanToolsetInstall(archivePath, destination, prompt);
    EXPECT_TRUE(cancelled.cancelled);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].buttons, PromptButtons::OverwriteKeepMineCancel);
    EXPECT_NE(prompt.messages[0].text.find("1 files in"), std::string::npos);
    EXPECT_NE(prompt.messages[0].text.find("Templates\\base.tpl"), std::string::npos);
    EXPECT_EQ(prompt.messages[0].text.find("item.tpl"), std::string::npos);
    EXPECT_EQ(ReadFile(destination + "Templates/base.tpl"), "base edited by me");

    // Keep Mine installs the rest around the user's file.
    prompt.answers.push_back(PromptAnswer::No);
    InstallPlan kept = PlanToolsetInstall(archivePath, destination, prompt);
    ArchiveInstaller installer;
    ASSERT_TRUE(installer.Open(archivePath));
    installer.SetSkipped(kept.keep);
    EXPECT_EQ(installer.Extract(destination, cancel, nullptr), ArchiveInstaller::Result::Completed);
    EXPECT_EQ(installer.Written(), 2);
    EXPECT_EQ(ReadFile(destination + "Templates/base.tpl"), "base edited by me");
    EXPECT_EQ(ReadFile(destination + "Templates/new.tpl"), "new");
    EXPECT_EQ(InstallReport(kept, installer.Written(), destination),
              (std::vector<std::string>{"Installed 2 files into " + destination, "Kept your Templates/base.tpl"}));

    // Overwrite replaces it and keeps the user's version in the trash.
    prompt.answers.push_back(PromptAnswer::Yes);
    InstallPlan replaced = PlanToolsetInstall(archivePath, destination, prompt);
    EXPECT_TRUE(replaced.keep.empty());
    installer.SetSkipped(replaced.keep);
    EXPECT_EQ(installer.Extract(destination, cancel, nullptr), ArchiveInstaller::Result::Completed);
    EXPECT_EQ(ReadFile(destination + "Templates/base.tpl"), "base v2");
    EXPECT_EQ(ReadFile(temp / "data/Trash/files/base.tpl"), "base edited by me");
    EXPECT_EQ(InstallReport(replaced, installer.Written(), destination)[1],
              "Replaced Templates/base.tpl (your version is in the trash)");

    // Nothing changed: nothing is asked.
    size_t asked = prompt.messages.size();
    EXPECT_FALSE(PlanToolsetInstall(archivePath, destination, prompt).cancelled);
    EXPECT_EQ(prompt.messages.size(), asked);
    if (previous)
        setenv("XDG_DATA_HOME", previousValue.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(BrowsableFiles, AResourceEntryIsNamedBelowItsArchiveFolderAsOnDisk)
{
    EXPECT_EQ((BrowsableFile{"/b/CustomMaps/M/Resources/textures.arc", "rose.tex"}.GamePath()), "textures/rose.tex");
    EXPECT_EQ((BrowsableFile{"/b/Resources/Textures.arc", "items/rose.tex"}.GamePath()), "Textures/items/rose.tex");
    EXPECT_EQ((BrowsableFile{"/b/Resources/XPack/gear.arc", "x.msh"}.GamePath()), "XPack/gear/x.msh");
    // Records keep their record names.
    EXPECT_EQ((BrowsableFile{"/b/Database/database.arz", "records\\a.dbr"}.GamePath()), "records\\a.dbr");
    EXPECT_EQ(ArchiveEntryValue(BrowsableFile{"/b/Resources/textures.arc", "rose.tex"}.GamePath()),
              "textures\\rose.tex");
}

} // namespace
} // namespace mw
