// The source-control facade with the local backend.
#include "platform/FileSystem.h"
#include "platform/sourcecontrol/SourceControlClient.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::TempFolder;
using test::WriteFile;

TEST(LocalSourceControl, ExistingFilesAreUnderControlAndMissingOnesAreNot)
{
    TempFolder temp;
    SourceControlClient client;
    client.SetClientDirectory(temp.Path());
    WriteFile(temp / "database/records/a.dbr", "x");
    FileStatus status;
    status.outToUser = true;
    EXPECT_EQ(client.GetFileStatus("Database\\Records\\A.dbr", status), 0);
    EXPECT_FALSE(status.outToUser);
    EXPECT_EQ(status.serverVersion, 1);
    EXPECT_EQ(client.GetFileStatus("database/records/missing.dbr", status), 1);
    EXPECT_EQ(client.GetClientFileVersion("database/records/a.dbr").version, 1);

    SetReadOnly(temp / "database/records/a.dbr", true);
    EXPECT_FALSE(client.IsFileWriteable("database/records/a.dbr"));
    EXPECT_EQ(client.CheckOutFile("database/records/a.dbr", true), 0);
    EXPECT_TRUE(client.IsFileWriteable("database/records/a.dbr"));
    EXPECT_TRUE(client.CheckInFile("database/records/a.dbr"));
    EXPECT_TRUE(client.AddFile("database/records/a.dbr"));
    EXPECT_EQ(client.SyncPath(nullptr, false, nullptr), 0);
}

TEST(LocalSourceControl, FolderAndFileCallsActOnDisk)
{
    TempFolder temp;
    SourceControlClient client;
    client.SetClientDirectory(temp.Path());
    EXPECT_TRUE(client.CreateDirectoryA("CustomMaps"));
    EXPECT_TRUE(client.CreateAllDirectories("CustomMaps/Frost/database/records"));
    EXPECT_TRUE(client.CreateDirectoryA("CustomMaps/Alpine"));
    WriteFile(temp / "CustomMaps/Frost/database/records/b.dbr", "b");
    WriteFile(temp / "CustomMaps/Frost/database/a.dbr", "a");

    std::vector<std::string> list;
    client.GetFolders("custommaps/", list);
    EXPECT_EQ(list, (std::vector<std::string>{"Alpine", "Frost"}));
    client.GetFilesUnderDirectory("CustomMaps/Frost/database/", list);
    EXPECT_EQ(list, (std::vector<std::string>{"a.dbr", "records/b.dbr"}));
    client.GetFiles("CustomMaps/Frost/database/", list, 1, false, "");
    EXPECT_EQ(list, (std::vector<std::string>{"a.dbr"}));
    client.GetFiles("CustomMaps/Frost/database/", list, 1, true, "me");
    EXPECT_TRUE(list.empty());

    EXPECT_EQ(client.RenameFile("CustomMaps/Frost/database/a.dbr", "CustomMaps/Frost/database/c.dbr"), 0);
    EXPECT_TRUE(IsFile(temp / "CustomMaps/Frost/database/c.dbr"));
    EXPECT_EQ(client.DeleteFileA("CustomMaps/Frost/database/c.dbr"), 0);
    EXPECT_NE(client.DeleteFileA("CustomMaps/Frost/database/c.dbr"), 0);
    EXPECT_EQ(client.DeleteDirectory("CustomMaps/Frost"), 0);
    EXPECT_FALSE(PathExists(temp / "CustomMaps/Frost"));
}

TEST(LocalSourceControl, ConnectFailsWithoutANetworkBackend)
{
    SourceControlClient client;
    EXPECT_FALSE(client.Connect("svn://127.0.0.1:1/none"));
    client.SetNetworkBackendFactory([](const std::string&) { return nullptr; });
    EXPECT_FALSE(client.Connect("db"));
}

} // namespace
} // namespace mw
