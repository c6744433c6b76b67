// Embedded export blocks of scene files, and the fallback to the MAX server.
#include "SceneExportData.h"

#include "MaxServerExport.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

constexpr std::string_view kTrailerMark = "ExportData";
constexpr size_t kTrailerSize = 17;

uint32_t ReadUInt32(std::string_view bytes, size_t at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

bool FindExportData(std::string_view scene, std::string_view tag, std::string_view& data)
{
    size_t end = scene.size();
    while (end >= kTrailerSize)
    {
        size_t trailer = end - kTrailerSize;
        if (scene.substr(trailer, kTrailerMark.size()) != kTrailerMark)
            return false;
        std::string_view blockTag = scene.substr(trailer + kTrailerMark.size(), 3);
        uint32_t length = ReadUInt32(scene, trailer + kTrailerMark.size() + 3);
        if (length > trailer)
            return false;
        size_t start = trailer - length;
        if (EqualsNoCase(blockTag, tag))
        {
            data = scene.substr(start, length);
            return true;
        }
        end = start;
    }
    return false;
}

std::string MakeExportBlock(std::string_view data, std::string_view tag)
{
    std::string block(data);
    block += kTrailerMark;
    block += tag.substr(0, 3);
    uint32_t length = uint32_t(data.size());
    for (int shift = 0; shift < 32; shift += 8)
        block.push_back(char(length >> shift));
    return block;
}

EmbeddedExportResult ExtractEmbeddedExport(IToolContext& context, const std::string& scenePath,
                                           const std::string& targetPath, std::string_view tag)
{
    std::string scene;
    if (!ReadWholeFile(scenePath, scene))
    {
        context.Log(Format("Error loading '%s'", scenePath.c_str()), true, true);
        return EmbeddedExportResult::Failed;
    }
    if (!WriteFileAtomic(targetPath, ""))
    {
        context.Log(Format("Error opening temporary file '%s' for writing", targetPath.c_str()), true, true);
        return EmbeddedExportResult::Failed;
    }
    std::string_view data;
    if (!FindExportData(scene, tag, data))
        return EmbeddedExportResult::NotFound;
    if (!WriteFileAtomic(targetPath, data))
    {
        context.Log(Format("Error opening temporary file '%s' for writing", targetPath.c_str()), true, true);
        return EmbeddedExportResult::Failed;
    }
    return EmbeddedExportResult::Written;
}

std::string ExportTempPath(const std::string& outputPath, const std::string& name)
{
    std::string folder = ParentPath(outputPath);
    return folder.empty() ? name : folder + "/" + name;
}

bool ExportSceneData(IToolContext& context, const std::string& sceneFile, const std::string& targetPath,
                     std::string_view tag)
{
    switch (ExtractEmbeddedExport(context, context.GetSourceDir() + sceneFile, targetPath, tag))
    {
    case EmbeddedExportResult::Written:
        return true;
    case EmbeddedExportResult::Failed:
        return false;
    case EmbeddedExportResult::NotFound:
        break;
    }
    context.Log("WARNING: MAX file does not contain embedded export data; reverting to MAX server for export", true,
                false);
    return ExportViaMaxServer(context, sceneFile, targetPath, std::string(tag));
}

} // namespace mw
