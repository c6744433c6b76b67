// Mod folder skeletons and recursive adds.
#include "WorkspaceOperations.h"

#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
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

int AddFolderRecursively(IWorkspaceContext& context, const std::string& relativeFolder)
{
    if (context.IsCancelled())
        return 0;
    // One change for the whole folder, whatever its size.
    int added = context.SourceControl().AddFolder(relativeFolder, nullptr);
    if (added < 0)
        context.Log(Format("Error adding the files of %s", relativeFolder.c_str()), true, true);
    else
        context.Log(Format("%d file(s) added", added), true, false);
    return added;
}

} // namespace mw
