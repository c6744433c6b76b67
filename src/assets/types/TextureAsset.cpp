// Texture body ("TEX" 2; version 1 has no frame part) and build.
#include "TextureAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "context/IToolContext.h"

namespace mw {

bool TextureAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    TextureProperties fields = m_fields;
    if (!editor || !editor->EditTexture(fields, isNew))
        return false;
    m_fields = std::move(fields);
    m_outputName = OutputNameFromSource(m_fields.source, ".tex");
    return true;
}

void TextureAsset::Reset()
{
    m_fields = TextureProperties{};
    m_outputName.clear();
}

bool TextureAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag.compare(0, 3, "TEX") != 0 || (tag[3] != 1 && tag[3] != 2))
        return false;
    TextureProperties read;
    if (!file.ReadBodyString(read.source) || !file.ReadFlag(read.createMipmaps) || !file.ReadUInt32(read.format) ||
        !file.ReadFlag(read.normalMap))
        return false;
    if (tag[3] == 2)
    {
        uint32_t frameCount = 0;
        if (!file.ReadUInt32(read.framesPerSecond) || !file.ReadUInt32(frameCount))
            return false;
        // Each frame takes at least its 4-byte length: a count beyond that is corrupt.
        if (frameCount > file.Remaining() / 4)
            return false;
        read.frames.resize(frameCount);
        for (std::string& frame : read.frames)
            if (!file.ReadBodyString(frame))
                return false;
    }
    m_fields = std::move(read);
    return true;
}

bool TextureAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("TEX\x02", 4));
    file.WriteBodyString(m_fields.source);
    file.WriteFlag(m_fields.createMipmaps);
    file.WriteUInt32(m_fields.format);
    file.WriteFlag(m_fields.normalMap);
    file.WriteUInt32(m_fields.framesPerSecond);
    file.WriteUInt32(uint32_t(m_fields.frames.size()));
    for (const std::string& frame : m_fields.frames)
        file.WriteBodyString(frame);
    return true;
}

std::string TextureAsset::CommandLine(const IToolContext& context, const std::string& outputPath) const
{
    const std::string src = context.GetSourceDir();
    std::string line = "\"" + context.GetToolsDir() + "TexForge.exe\" ";
    if (context.GetExportStatistics() != 0)
        line += " -stat " + m_statisticsFile + " ";
    line += "\"" + src + m_fields.source + "\"";
    for (const std::string& frame : m_fields.frames)
        line += " \"" + src + frame + "\"";
    line += " \"" + outputPath + "\"";
    if (!m_fields.frames.empty())
        line += " -fps " + std::to_string(m_fields.framesPerSecond);
    line += TextureFormatSwitch(m_fields.format);
    if (m_fields.normalMap)
        line += " -normalmap";
    return line;
}

bool TextureAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath, {m_fields.source, outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    for (const std::string& frame : m_fields.frames)
        if (!TextsFitCommandLine(context, outputPath, {frame}))
            return false;
    return RunCompiler(context, CommandLine(context, outputPath));
}

std::optional<std::string> TextureAsset::GetSourceFile(int index) const
{
    if (index != 0)
        return std::nullopt;
    return m_fields.source;
}

void TextureAsset::GetSourceExtensions(std::vector<std::string>& list) const
{
    list.push_back(".psd");
    list.push_back(".tga");
}

bool TextureAsset::AutoCreate(const std::string& sourcePath)
{
    Reset();
    m_fields.source = sourcePath;
    return true;
}

} // namespace mw
