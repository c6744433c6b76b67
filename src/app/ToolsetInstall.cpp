// The question before installing over changed files, and the trash.
#include "ToolsetInstall.h"

#include "context/IUserPrompt.h"
#include "platform/FileSystem.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"
#include "platform/Trash.h"
#include "platform/engine/ResourceArchiveFile.h"

namespace mw {
namespace {

// The question lists this many files and says how many more there are.
constexpr size_t kListedFiles = 15;

bool DiffersFromEntry(const std::string& path, const GAME::ResourceArchiveEntry& entry)
{
    FileInfo info;
    if (!GetFileInfo(path, info) || info.isFolder)
        return false;
    if (info.size != entry.size)
        return true;
    std::string onDisk;
    std::string packed;
    std::string error;
    if (!ReadWholeFile(path, onDisk) || !GAME::ResourceArchiveFile::Inflate(entry, packed, error))
        return true;
    return onDisk != packed;
}

} // namespace

bool FindEditedFiles(const std::string& archivePath, const std::string& destination,
                     std::vector<std::string>& edited, std::string& error)
{
    edited.clear();
    std::string image;
    if (!ReadWholeFile(archivePath, image))
    {
        error = "cannot read the archive";
        return false;
    }
    GAME::ResourceArchiveFile archive;
    if (!archive.Parse(image, error))
        return false;
    std::string folder = WithTrailingSeparator(destination);
    for (const GAME::ResourceArchiveEntry& entry : archive.Entries())
    {
        // Entries that the installer does not extract are not compared.
        if (!GAME::ResourceArchiveFile::IsSafeName(entry.name))
            continue;
        if (DiffersFromEntry(folder + entry.name, entry))
            edited.push_back(entry.name);
    }
    return true;
}

InstallPlan PlanToolsetInstall(const std::string& archivePath, const std::string& destination,
                               IUserPrompt& prompt)
{
    InstallPlan plan;
    std::string error;
    // An archive that cannot be read is reported by the installation itself.
    if (!FindEditedFiles(archivePath, destination, plan.edited, error) || plan.edited.empty())
        return plan;
    std::string list;
    for (size_t i = 0; i < plan.edited.size() && i < kListedFiles; ++i)
        list += "\n" + ToBackslashes(plan.edited[i]);
    if (plan.edited.size() > kListedFiles)
        list += Format("\n... and %zu more", plan.edited.size() - kListedFiles);
    std::string question =
        Format("%d files in %s differ from the ones being installed:%s\n\nOverwrite them (yours go to the trash), "
               "keep yours, or cancel the installation?",
               int(plan.edited.size()), destination.c_str(), list.c_str());
    PromptAnswer answer = prompt.Show(question, "", PromptButtons::OverwriteKeepMineCancel, PromptIcon::Warning);
    if (answer == PromptAnswer::Cancel)
    {
        plan.cancelled = true;
        return plan;
    }
    std::string folder = WithTrailingSeparator(destination);
    for (const std::string& name : plan.edited)
    {
        if (answer == PromptAnswer::Yes && MoveToTrash(folder + name).result == TrashResult::Trashed)
            plan.trashed.push_back(name);
        else
            plan.keep.insert(name);
    }
    return plan;
}

std::vector<std::string> InstallReport(const InstallPlan& plan, int entriesWritten, const std::string& destination)
{
    std::vector<std::string> lines;
    lines.push_back(Format("Installed %d files into %s", entriesWritten, ToNativeSeparators(destination).c_str()));
    for (const std::string& name : plan.trashed)
        lines.push_back("Replaced " + ToNativeSeparators(name) + " (your version is in the trash)");
    for (const std::string& name : plan.keep)
        lines.push_back("Kept your " + ToNativeSeparators(name));
    return lines;
}

} // namespace mw
