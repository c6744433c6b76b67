// Mod folder skeletons and recursive adds.
#include "WorkspaceOperations.h"

#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {

bool NewModFolders(IWorkspaceContext& context, const std::string& modName)
{
    SourceControlClient& sourceControl = context.SourceControl();
    std::string base;
    if (!modName.empty())
    {
        sourceControl.CreateDirectoryA("CustomMaps");
        base = "CustomMaps/" + modName + "/";
        sourceControl.CreateDirectoryA(base);
    }
    else
        sourceControl.CreateDirectoryA("");
    for (const char* folder : {"source/", "assets/", "database/", "source/Quests/", "source/Maps/", "source/Text/"})
        sourceControl.CreateDirectoryA(base + folder);
    bool ok = true;
    for (const char* file : {"source/Quests/Tokens.bin", "source/Text/ModStrings.txt"})
    {
        std::string relative = base + file;
        std::string local = context.GetWorkingDir() + relative;
        if (!PathExists(local) && !WriteFileAtomic(local, ""))
        {
            ok = false;
            continue;
        }
        sourceControl.AddFile(relative);
    }
    return ok;
}

void AddFolderRecursively(IWorkspaceContext& context, const std::string& relativeFolder)
{
    SourceControlClient& sourceControl = context.SourceControl();
    sourceControl.CreateDirectoryA(relativeFolder);
    std::vector<FolderEntry> entries;
    ListFolder(context.GetWorkingDir() + relativeFolder, entries);
    for (const FolderEntry& entry : entries)
    {
        if (context.IsCancelled())
            return;
        std::string relative = relativeFolder + entry.name;
        if (entry.isFolder)
        {
            if (entry.name[0] != '.')
                AddFolderRecursively(context, relative + "/");
            continue;
        }
        FileStatus status;
        if (sourceControl.GetFileStatus(relative, status) == 1)
            sourceControl.AddFile(relative);
    }
}

} // namespace mw
