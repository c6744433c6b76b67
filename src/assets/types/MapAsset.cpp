// Map body ("MAP" 1: the world file and a 32-bit zero) and build. The region
// list is not stored: it comes from the world file after every load and edit.
#include "MapAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"
#include "platform/engine/BinaryReader.h"
#include "platform/engine/WorldFile.h"

namespace mw {

bool MapAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    MapProperties fields = m_fields;
    if (!editor || !editor->EditMap(fields, isNew))
        return false;
    SetFields(std::move(fields));
    m_outputName = OutputNameFromSource(m_fields.world, ".map");
    return true;
}

void MapAsset::Reset()
{
    m_fields = MapProperties{};
    m_regions.clear();
    m_outputName.clear();
}

void MapAsset::SetFields(MapProperties fields)
{
    m_fields = std::move(fields);
    ReadRegions();
}

void MapAsset::ReadRegions()
{
    m_regions.clear();
    std::string bytes;
    if (m_fields.world.empty() || !ReadWholeFile(m_context.GetSourceDir() + m_fields.world, bytes))
        return;
    GAME::BinaryReader reader(bytes.data(), bytes.size());
    GAME::WorldFile world;
    if (!world.Read(reader))
        return;
    for (int i = 0; i < world.GetNumRegions(); ++i)
        m_regions.push_back(world.GetRegion(i).fileName);
}

bool MapAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag != std::string_view("MAP\x01", 4))
        return false;
    MapProperties read;
    uint32_t unused = 0;
    if (!file.ReadBodyString(read.world) || !file.ReadUInt32(unused))
        return false;
    SetFields(std::move(read));
    return true;
}

bool MapAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("MAP\x01", 4));
    file.WriteBodyString(m_fields.world);
    file.WriteUInt32(0);
    return true;
}

std::string MapAsset::CommandLine(const IToolContext& context, const std::string& outputPath) const
{
    const std::string src = context.GetSourceDir();
    // The source folder goes with one more backslash, which with its closing
    // quote ends the argument.
    std::string line = "\"" + context.GetToolsDir() + "MapForge.exe\" \"" + src + m_fields.world + "\" \"" + src +
                       "\\\" \"" + outputPath + "\"";
    if (context.GetExportStatistics() != 0)
        line += " " + m_statisticsFile;
    return line;
}

bool MapAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath,
                             {m_fields.world, outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    return RunCompiler(context, CommandLine(context, outputPath));
}

std::optional<std::string> MapAsset::GetSourceFile(int index) const
{
    if (index == 0)
        return m_fields.world;
    if (index > 0 && size_t(index) <= m_regions.size())
        return m_regions[size_t(index) - 1];
    return std::nullopt;
}

void MapAsset::GetSourceExtensions(std::vector<std::string>& list) const { list.push_back(".wrl"); }

bool MapAsset::AutoCreate(const std::string& sourcePath)
{
    Reset();
    SetFields(MapProperties{sourcePath});
    return true;
}

} // namespace mw
