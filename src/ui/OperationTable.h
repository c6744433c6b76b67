// The operations of other layers that the main window starts, in one place:
// a command whose operation is missing here stays disabled, and wiring an
// operation that lands later is one line in OperationTable.cpp.
#pragma once

#include "app/StatusReport.h"

#include <functional>
#include <string>

namespace mw {

class CModwrightApp;
class IWorkspaceContext;

struct OperationTable
{
    // Build Assets of a folder (folder relative to the working folder, force, clear the pane).
    std::function<int(CModwrightApp&, const std::string&, bool, bool)> compileAssets;
    // Compresses the textures of the current mod's texture assets.
    std::function<void(CModwrightApp&)> convertTextures;
    // Resource archives: build, rebuild, compact, and the statistics report.
    std::function<void(IWorkspaceContext&)> buildArchives;
    std::function<void(IWorkspaceContext&)> rebuildArchives;
    std::function<void(IWorkspaceContext&)> compactArchives;
    std::function<void(IWorkspaceContext&)> archiveStatistics;
    // Starts the resource tree viewer.
    std::function<void(IWorkspaceContext&)> resourceTree;
    // Deleting build output that no input produces any more.
    std::function<void(IWorkspaceContext&)> deleteUnassociated;
    // The review header of an asset file, for the Status Report.
    AssetReviewReader readAssetReview;
    // Opens a record or template in the Database Editor; false when it could not.
    std::function<bool(const std::string& fullPath)> openInDatabaseEditor;
    // The number of open Database Editor windows, and closing them all.
    std::function<int()> openEditorCount;
    std::function<void()> closeAllEditors;
};

// The operations this build has.
OperationTable AvailableOperations();

} // namespace mw
