// Opening and closing the application's database archive.
#include "ArchiveSlot.h"

#include "ByteWriter.h"
#include "DbArchive.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {
constexpr size_t kSaveCapacity = 100000000;
} // namespace

void OpenDbArchive(IWorkspaceContext& context, const std::string& path)
{
    std::unique_ptr<DbArchive>& slot = context.ArchiveSlot();
    if (slot)
    {
        context.Log("Error - Attempt to open Database Archive while it is already open.", true, false);
        return;
    }
    slot = std::make_unique<DbArchive>();
    std::string bytes;
    if (ReadWholeFile(path, bytes))
    {
        context.Log(Format("Opened %s for reading", path.c_str()), true, false);
        slot->Load(std::move(bytes));
    }
}

bool CloseDbArchive(IWorkspaceContext& context, const std::string& path, bool save)
{
    std::unique_ptr<DbArchive>& slot = context.ArchiveSlot();
    if (!slot)
        return true;
    bool saved = true;
    if (save && (slot->HasChanges() || !IsFile(path)))
    {
        ByteWriter writer(kSaveCapacity);
        if (slot->Serialize(writer))
        {
            if (!WriteFileAtomic(path, std::string_view(writer.Data(), writer.Size())))
            {
                context.Log(Format("Couldn't open %s for writing", path.c_str()), true, true);
                saved = false;
            }
        }
        else
        {
            if (!writer.FailureText().empty())
                context.Log(writer.FailureText(), true, true);
            context.Log("Serialization Error in DbArchive.", true, false);
            saved = false;
        }
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
