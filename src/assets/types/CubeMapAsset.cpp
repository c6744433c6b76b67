// Cube Map body ("CBM" 1) and build.
#include "CubeMapAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "context/IToolContext.h"

namespace mw {

bool CubeMapAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    CubeMapProperties fields = m_fields;
    if (!editor || !editor->EditCubeMap(fields, isNew))
        return false;
    m_fields = std::move(fields);
    m_outputName = CubeMapOutputName(m_fields.faces);
    return true;
}

void CubeMapAsset::Reset()
{
    m_fields = CubeMapProperties{};
    m_outputName.clear();
}

bool CubeMapAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag != std::string_view("CBM\x01", 4))
        return false;
    CubeMapProperties read;
    for (std::string& face : read.faces)
        if (!file.ReadBodyString(face))
            return false;
    if (!file.ReadFlag(read.createMipmaps) || !file.ReadUInt32(read.format))
        return false;
    m_fields = std::move(read);
    return true;
}

bool CubeMapAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("CBM\x01", 4));
    for (const std::string& face : m_fields.faces)
        file.WriteBodyString(face);
    file.WriteFlag(m_fields.createMipmaps);
    file.WriteUInt32(m_fields.format);
    return true;
}

std::string CubeMapAsset::CommandLine(const IToolContext& context, const std::string& outputPath) const
{
    const std::string src = context.GetSourceDir();
    std::string line = "\"" + context.GetToolsDir() + "TexForge.exe\"";
    for (const std::string& face : m_fields.faces)
        line += " \"" + src + face + "\"";
    line += " \"" + outputPath + "\" -cubemap";
    // The DSDT format is not offered for cube maps.
    if (m_fields.format <= 3)
        line += TextureFormatSwitch(m_fields.format);
    return line;
}

bool CubeMapAsset::Build(IToolContext& context, const std::string& outputPath)
{
    for (const std::string& face : m_fields.faces)
        if (!TextsFitCommandLine(context, outputPath, {face}))
            return false;
    if (!TextsFitCommandLine(context, outputPath, {outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    return RunCompiler(context, CommandLine(context, outputPath));
}

std::optional<std::string> CubeMapAsset::GetSourceFile(int index) const
{
    if (index < 0 || index >= 6)
        return std::nullopt;
    return m_fields.faces[size_t(index)];
}

} // namespace mw
