// The commands of the asset views: a new asset of a chosen type, an asset's
// properties, its review status, the build of selected assets, and assets
// made automatically from selected source files. Paths are relative to the
// source-control client folder and use "/"; messages go to the context's
// prompt, dialogs to the command UI.
#pragma once

#include <string>
#include <vector>

namespace mw {

class AssetRegistry;
class BuildDriver;
class IAssetCommandUi;
class IWorkspaceContext;

// New asset of the type at typeIndex in folder (ending in "/"): the type's
// properties dialog, then the file is written and added to source control.
// Returns the new file's relative path, or "" when nothing was created.
std::string NewAsset(IWorkspaceContext& context, AssetRegistry& registry, IAssetCommandUi& ui, int typeIndex,
                     const std::string& folder);

// Shows the properties of the asset file at relativePath and saves it on OK.
// True when the file was saved.
bool OpenAssetProperties(IWorkspaceContext& context, AssetRegistry& registry, IAssetCommandUi& ui,
                         const std::string& relativePath);

// Edits the review header of the asset file at relativePath. True when the
// file was saved with a new header.
bool EditAssetStatus(IWorkspaceContext& context, AssetRegistry& registry, IAssetCommandUi& ui,
                     const std::string& relativePath);

// Compiles the assets (forced), after deleting the statistics files; their
// outputs land where a build of assetRoot puts them. The number that failed.
int BuildSelectedAssets(IWorkspaceContext& context, AssetRegistry& registry, BuildDriver& builder,
                        const std::string& assetRoot, const std::vector<std::string>& relativePaths);

// The positions of the registered types whose source extensions contain the
// extension of sourcePath (from its last ".", compared exactly).
std::vector<int> AssetTypeCandidates(const AssetRegistry& registry, const std::string& sourcePath);

// Makes an asset file below the mod's "assets/" folder for each source file
// (relative paths below the mod's "source/" folder). Returns the relative
// paths of the asset files created.
std::vector<std::string> CreateAssetsFromSources(IWorkspaceContext& context, AssetRegistry& registry,
                                                 IAssetCommandUi& ui, const std::vector<std::string>& sourcePaths);

} // namespace mw
