// Animation body ("ANM" 1) and build.
#include "AnimationAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "assets/SceneExportData.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"

namespace mw {

bool AnimationAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    AnimationProperties fields = m_fields;
    if (!editor || !editor->EditAnimation(fields, isNew))
        return false;
    m_fields = std::move(fields);
    m_outputName = OutputNameFromSource(m_fields.scene, ".anm");
    return true;
}

void AnimationAsset::Reset()
{
    m_fields = AnimationProperties{};
    m_outputName.clear();
}

bool AnimationAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag != std::string_view("ANM\x01", 4))
        return false;
    AnimationProperties read;
    if (!file.ReadBodyString(read.scene) || !file.ReadBodyString(read.aif))
        return false;
    m_fields = std::move(read);
    return true;
}

bool AnimationAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("ANM\x01", 4));
    file.WriteBodyString(m_fields.scene);
    file.WriteBodyString(m_fields.aif);
    return true;
}

std::string AnimationAsset::CommandLine(const IToolContext& context, const std::string& exportPath,
                                        const std::string& outputPath) const
{
    std::string line = "\"" + context.GetToolsDir() + "AnimForge.exe\" \"" + exportPath + "\" ";
    if (!m_fields.aif.empty())
        line += "\"" + context.GetSourceDir() + m_fields.aif + "\" ";
    line += "\"" + outputPath + "\" ";
    return line;
}

bool AnimationAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath,
                             {m_fields.scene, m_fields.aif, outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    EnsureOutputFolder(outputPath);
    const std::string exportPath = ExportTempPath(outputPath, "temp.anm");
    bool built = ExportSceneData(context, m_fields.scene, exportPath, "ANM") &&
                 RunCompiler(context, CommandLine(context, exportPath, outputPath));
    RemoveFile(exportPath);
    return built;
}

std::string AnimationAsset::GetBuildScratchFile(const std::string& outputPath) const
{
    return ExportTempPath(outputPath, "temp.anm");
}

std::optional<std::string> AnimationAsset::GetSourceFile(int index) const
{
    if (index == 0)
        return m_fields.scene;
    if (index == 1)
        return m_fields.aif;
    return std::nullopt;
}

void AnimationAsset::GetSourceExtensions(std::vector<std::string>& list) const { list.push_back(".max"); }

bool AnimationAsset::AutoCreate(const std::string& sourcePath)
{
    Reset();
    m_fields.scene = sourcePath;
    return true;
}

} // namespace mw
