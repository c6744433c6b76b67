// The operations of this build. Each entry that is still empty leaves its
// commands disabled.
#include "OperationTable.h"

#include "app/CModwrightApp.h"
#include "assets/AssetHeader.h"
#include "assets/AssetReader.h"
#include "assets/AssetRegistry.h"
#include "assets/BuildDriver.h"
#include "assets/CompressTextures.h"
#include "assets/ResourceArchives.h"
#include "assets/UnassociatedFiles.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"

namespace mw {
namespace {

// Archive operations log their own lines; the window frames them as an operation.
std::function<void(IWorkspaceContext&)> Framed(std::function<void(IWorkspaceContext&)> operation)
{
    return [operation](IWorkspaceContext& context) {
        context.BeginOperation();
        operation(context);
        context.ResetCancel();
        context.EndOperation();
    };
}

bool ReadAssetReview(const std::string& path, int& status, std::string& assignedTo)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    AssetReader reader(bytes);
    uint32_t typeKey = 0;
    AssetHeader header;
    if (!AssetRegistry::ReadAssetHeader(reader, typeKey, header))
        return false;
    status = int(header.status);
    assignedTo = header.assignedTo;
    return true;
}

} // namespace

OperationTable AvailableOperations()
{
    OperationTable operations;
    operations.buildArchives = Framed([](IWorkspaceContext& context) { BuildArchives(context, false); });
    operations.rebuildArchives = Framed([](IWorkspaceContext& context) { BuildArchives(context, true); });
    operations.compactArchives = Framed([](IWorkspaceContext& context) { CompactAll(context); });
    operations.archiveStatistics = [](IWorkspaceContext& context) { ShowArchiveStatistics(context); };
    operations.resourceTree = [](IWorkspaceContext& context) { RunResView(context); };
    operations.deleteUnassociated = Framed([](IWorkspaceContext& context) {
        UnassociatedFiles(context, false).DeleteUnassociated(context.GetModPrefix());
    });
    operations.readAssetReview = ReadAssetReview;
    operations.compileAssets = [](CModwrightApp& app, const std::string& folder, bool force, bool clear) {
        return app.Builder().CompileAssets(folder, force, clear);
    };
    operations.convertTextures = [](CModwrightApp& app) {
        app.BeginOperation();
        ConvertTexturesToCompressed(app, app.Assets());
        app.ResetCancel();
        app.EndOperation();
    };
    return operations;
}

} // namespace mw
