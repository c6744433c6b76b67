// Opening and closing the application's database archive.
#include "ArchiveSlot.h"

#include "DbArchive.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

// A second open keeps the first archive; it is logged as an error.
bool RefusedAsOpen(IWorkspaceContext& context)
{
    if (!context.ArchiveSlot())
        return false;
    context.Log("Error - Attempt to open Database Archive while it is already open.", true, false);
    return true;
}

} // namespace

void OpenDbArchive(IWorkspaceContext& context, const std::string& path)
{
    // Checked before the file is read, so a refused open reads nothing.
    if (!RefusedAsOpen(context))
        InstallDbArchive(context, path, LoadDbArchiveFile(path));
}

LoadedDbArchive LoadDbArchiveFile(const std::string& path)
{
    LoadedDbArchive loaded;
    loaded.archive = std::make_unique<DbArchive>();
    std::string bytes;
    loaded.read = ReadWholeFile(path, bytes);
    if (loaded.read)
        loaded.archive->Load(std::move(bytes));
    return loaded;
}

void InstallDbArchive(IWorkspaceContext& context, const std::string& path, LoadedDbArchive loaded)
{
    if (RefusedAsOpen(context))
        return;
    if (loaded.read)
        context.Log(Format("Opened %s for reading", path.c_str()), true, false);
    context.ArchiveSlot() = std::move(loaded.archive);
}

bool CloseDbArchive(IWorkspaceContext& context, const std::string& path, bool save)
{
    std::unique_ptr<DbArchive>& slot = context.ArchiveSlot();
    if (!slot)
        return true;
    bool saved = true;
    if (save && (slot->HasChanges() || !IsFile(path)))
    {
        DbArchive::SaveImage image;
        std::string failure;
        if (!slot->PrepareSave(image, failure))
        {
            if (!failure.empty())
                context.Log(failure, true, true);
            context.Log("Serialization Error in DbArchive.", true, false);
            saved = false;
        }
        else if (!WriteBuiltFileKeepingSpare(path, image.pieces))
        {
            context.Log(Format("Couldn't open %s for writing", path.c_str()), true, true);
            saved = false;
        }
        // The archive is closed below: its table need not take the new layout.
    }
    slot.reset();
    context.Log(Format("Closed %s", path.c_str()), true, false);
    return saved;
}

bool CanSaveDbArchive(const std::string& path)
{
    bool readOnly = false;
    if (IsFile(path) && GetReadOnly(path, readOnly) && readOnly)
        return false;
    std::string folder = ParentPath(path);
    return CanCreateFileIn(folder.empty() ? std::string(".") : folder);
}

} // namespace mw
