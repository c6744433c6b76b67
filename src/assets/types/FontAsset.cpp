// Font body ("FNT" 1) and build. The font compiler reports success with the
// exit code 1.
#include "FontAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "context/IToolContext.h"

namespace mw {
namespace {
constexpr uint32_t kFontCompilerSuccess = 1;
} // namespace

bool FontAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    FontProperties fields = m_fields;
    if (!editor || !editor->EditFont(fields, isNew))
        return false;
    m_fields = std::move(fields);
    m_outputName = OutputNameFromSource(m_fields.source, ".fnt");
    return true;
}

void FontAsset::Reset()
{
    m_fields = FontProperties{};
    m_outputName.clear();
}

bool FontAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag != std::string_view("FNT\x01", 4))
        return false;
    FontProperties read;
    if (!file.ReadBodyString(read.source) || !file.ReadUInt32(read.size))
        return false;
    m_fields = std::move(read);
    return true;
}

bool FontAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("FNT\x01", 4));
    file.WriteBodyString(m_fields.source);
    file.WriteUInt32(m_fields.size);
    return true;
}

std::string FontAsset::CommandLine(const IToolContext& context, const std::string& outputPath) const
{
    return "\"" + context.GetToolsDir() + "GlyphForge.exe\" \"" + context.GetSourceDir() + m_fields.source + "\" \"" +
           outputPath + "\" " + std::to_string(m_fields.size);
}

bool FontAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath,
                             {m_fields.source, outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    return RunCompiler(context, CommandLine(context, outputPath), kFontCompilerSuccess);
}

std::optional<std::string> FontAsset::GetSourceFile(int index) const
{
    if (index != 0)
        return std::nullopt;
    return m_fields.source;
}

void FontAsset::GetSourceExtensions(std::vector<std::string>& list) const { list.push_back(".ttf"); }

bool FontAsset::AutoCreate(const std::string& sourcePath)
{
    Reset();
    m_fields.source = sourcePath;
    return true;
}

} // namespace mw
