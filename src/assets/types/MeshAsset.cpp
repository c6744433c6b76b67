// Mesh body ("MSH" 3; version 2 has only the two paths) and build.
#include "MeshAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "assets/SceneExportData.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"

namespace mw {

bool MeshAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    MeshProperties fields = m_fields;
    if (!editor || !editor->EditMesh(fields, isNew))
        return false;
    m_fields = std::move(fields);
    m_outputName = OutputNameFromSource(m_fields.scene, ".msh");
    return true;
}

void MeshAsset::Reset()
{
    m_fields = MeshProperties{};
    m_outputName.clear();
}

bool MeshAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag.compare(0, 3, "MSH") != 0 || (tag[3] != 2 && tag[3] != 3))
        return false;
    MeshProperties read;
    if (!file.ReadBodyString(read.scene) || !file.ReadBodyString(read.mif))
        return false;
    if (tag[3] == 3 && (!file.ReadFlag(read.tangentSpaceVectors) || !file.ReadFlag(read.vertexColors)))
        return false;
    m_fields = std::move(read);
    return true;
}

bool MeshAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("MSH\x03", 4));
    file.WriteBodyString(m_fields.scene);
    file.WriteBodyString(m_fields.mif);
    file.WriteFlag(m_fields.tangentSpaceVectors);
    file.WriteFlag(m_fields.vertexColors);
    return true;
}

std::string MeshAsset::CommandLine(const IToolContext& context, const std::string& exportPath,
                                   const std::string& outputPath) const
{
    std::string line = "\"" + context.GetToolsDir() + "MeshForge.exe\" \"" + exportPath + "\"";
    if (context.GetExportStatistics() != 0)
        line += " -stat " + m_statisticsFile + " ";
    // The MIF path goes as stored; the source folder follows with one more
    // backslash, which with its closing quote ends the argument.
    if (!m_fields.mif.empty())
        line += " -mif \"" + m_fields.mif + "\"  \"" + context.GetSourceDir() + "\\\" ";
    if (m_fields.tangentSpaceVectors)
        line += " -tangents";
    if (m_fields.vertexColors)
        line += " -vertexColors";
    line += " \"" + outputPath + "\" ";
    return line;
}

bool MeshAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath,
                             {m_fields.scene, m_fields.mif, outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    EnsureOutputFolder(outputPath);
    const std::string exportPath = ExportTempPath(outputPath, "temp.mdl");
    bool built = ExportSceneData(context, m_fields.scene, exportPath, "MDL") &&
                 RunCompiler(context, CommandLine(context, exportPath, outputPath));
    RemoveFile(exportPath);
    return built;
}

std::string MeshAsset::GetBuildScratchFile(const std::string& outputPath) const
{
    return ExportTempPath(outputPath, "temp.mdl");
}

std::optional<std::string> MeshAsset::GetSourceFile(int index) const
{
    if (index == 0)
        return m_fields.scene;
    if (index == 1)
        return m_fields.mif;
    return std::nullopt;
}

void MeshAsset::GetSourceExtensions(std::vector<std::string>& list) const { list.push_back(".max"); }

bool MeshAsset::AutoCreate(const std::string& sourcePath)
{
    Reset();
    m_fields.scene = sourcePath;
    return true;
}

} // namespace mw
