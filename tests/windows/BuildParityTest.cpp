// The sample workspace built by the Linux programs and by the Windows build
// under Wine: the database archive must come out byte for byte the same, and
// so must every resource archive apart from the times its entries record
// (the moment each build wrote its compiled files).
#include "e2e/Run.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProfileFile.h"
#include "platform/engine/ResourceArchiveFile.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace mw::test {
namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Wine sees the Linux root as drive Z:.
std::string WindowsPath(const std::string& path) { return "Z:" + ToBackslashes(path); }

// Every file below folder, by its relative name with '/'.
void ListFiles(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& files)
{
    std::vector<FolderEntry> entries;
    ListFolder(folder + relative, entries);
    for (const FolderEntry& entry : entries)
    {
        std::string name = relative + entry.name;
        if (entry.isFolder)
            ListFiles(folder, name + "/", files);
        else
            files[name] = ReadFile(folder + name);
    }
}

// The archive's bytes with every entry's time set to zero, after checking
// that each time is the last-write time of the compiled file it came from.
std::string WithoutTimes(const std::string& image, const std::string& resourceFolder, const std::string& label)
{
    GAME::ResourceArchiveFile archive;
    std::string error;
    EXPECT_TRUE(archive.Parse(image, error)) << label << ": " << error;
    EXPECT_EQ(archive.Serialize(), image) << label << ": the archive does not read back to its own bytes";
    GAME::ResourceArchiveFile timeless;
    for (GAME::ResourceArchiveEntry entry : archive.Entries())
    {
        FileTime written;
        EXPECT_TRUE(GetLastWriteTime(resourceFolder + entry.name, written)) << label << ": " << entry.name;
        EXPECT_EQ(entry.time, written.value) << label << ": " << entry.name;
        entry.time = 0;
        timeless.PutEntry(entry);
    }
    return timeless.Serialize();
}

TEST(WindowsBuildParity, SampleWorkspaceBuildsToTheSameArchivesOnBothSystems)
{
    const std::string windowsBin = Environment("MW_WINDOWS_BIN");
    const std::string wine = Environment("MW_WINE");
    if (windowsBin.empty() || wine.empty())
        GTEST_SKIP() << "MW_WINDOWS_BIN (the Windows build's programs) and MW_WINE are not set; "
                        "scripts/test-windows.sh sets them";

    TempFolder linuxCopy;
    std::string linuxIni = CopyExampleWorkspace(linuxCopy.Path());
    RunResult linuxRun = RunProgram(MODWRIGHT_EXE, {"-quiet", "-ini", linuxIni}, linuxCopy.Path());
    ASSERT_EQ(linuxRun.exitStatus, 0) << linuxRun.out << linuxRun.err;

    // The same sources with the same times, built by modwright.exe with the
    // Windows compilers, every folder given in Windows form.
    TempFolder windowsCopy;
    std::string windowsIni = CopyExampleWorkspace(windowsCopy.Path());
    WriteProfileString("Login", "localdir", WindowsPath(windowsCopy / "Working/"), windowsIni);
    WriteProfileString("Login", "builddir", WindowsPath(windowsCopy / "Build/"), windowsIni);
    WriteProfileString("Login", "toolsdir", WindowsPath(WithTrailingSeparator(windowsBin)), windowsIni);
    RunResult windowsRun = RunProgram(wine, {WithTrailingSeparator(windowsBin) + "modwright.exe", "-quiet", "-ini",
                                             WindowsPath(windowsIni)},
                                      windowsCopy.Path());
    ASSERT_EQ(windowsRun.exitStatus, 0) << windowsRun.out << windowsRun.err;

    std::map<std::string, std::string> linuxFiles;
    std::map<std::string, std::string> windowsFiles;
    ListFiles(linuxCopy / "Build/", "", linuxFiles);
    ListFiles(windowsCopy / "Build/", "", windowsFiles);
    ASSERT_TRUE(linuxFiles.count("database/database.arz"));
    ASSERT_EQ(linuxFiles.size(), windowsFiles.size());
    size_t archives = 0;
    for (const auto& [name, linuxBytes] : linuxFiles)
    {
        ASSERT_TRUE(windowsFiles.count(name)) << name << " is missing from the Windows build";
        const std::string& windowsBytes = windowsFiles[name];
        if (Extension(name) != "arc")
        {
            EXPECT_TRUE(linuxBytes == windowsBytes) << name << " differs";
            continue;
        }
        ++archives;
        std::string folder = "resources/" + ShortName(name).substr(0, ShortName(name).size() - 4) + "/";
        EXPECT_TRUE(WithoutTimes(linuxBytes, linuxCopy / "Build/" + folder, "Linux " + name) ==
                    WithoutTimes(windowsBytes, windowsCopy / "Build/" + folder, "Windows " + name))
            << name << " differs in more than its entry times";
    }
    EXPECT_GE(archives, 10u);
}

} // namespace
} // namespace mw::test
