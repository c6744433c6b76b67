// Export data embedded in 3ds Max scene files for the mesh and animation
// compilers. A scene may end with blocks, each the data followed by a
// 17-byte trailer: "ExportData", a three-letter tag and the data length
// (32-bit little-endian). The blocks chain backwards from the end of the file.
#pragma once

#include <string>
#include <string_view>

namespace mw {

class IToolContext;

// The data of the last-written block whose tag equals tag (ignoring case);
// false when the chain holds none (or is broken).
bool FindExportData(std::string_view scene, std::string_view tag, std::string_view& data);

// One block as it is appended to a scene.
std::string MakeExportBlock(std::string_view data, std::string_view tag);

enum class EmbeddedExportResult
{
    Written, // the data is in targetPath
    NotFound, // targetPath is empty
    Failed, // the scene or targetPath could not be opened; logged
};

// Copies the scene's block for tag into targetPath (truncated first).
EmbeddedExportResult ExtractEmbeddedExport(IToolContext& context, const std::string& scenePath,
                                           const std::string& targetPath, std::string_view tag);

// Where a build puts the export data it compiles: name ("temp.mdl") in the
// output's folder, which the build creates and may write. The build removes
// it after the compiler ran.
std::string ExportTempPath(const std::string& outputPath, const std::string& name);

// The export data a mesh or animation build compiles: the scene's embedded
// block or, without one, the MAX server's export. False after a logged
// reason.
bool ExportSceneData(IToolContext& context, const std::string& sceneFile, const std::string& targetPath,
                     std::string_view tag);

} // namespace mw
