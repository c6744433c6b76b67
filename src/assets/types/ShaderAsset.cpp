// Shader body ("SSH" 3; version 2 has only the source) and build.
#include "ShaderAsset.h"

#include "assets/AssetNames.h"
#include "assets/AssetReader.h"
#include "assets/AssetWriter.h"
#include "assets/CompilerRun.h"
#include "assets/IAssetPropertiesEditor.h"
#include "context/IToolContext.h"

namespace mw {

bool ShaderAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    ShaderProperties fields = m_fields;
    if (!editor || !editor->EditShader(fields, isNew))
        return false;
    m_fields = std::move(fields);
    m_outputName = OutputNameFromSource(m_fields.source, ".ssh");
    return true;
}

void ShaderAsset::Reset()
{
    m_fields = ShaderProperties{};
    m_outputName.clear();
}

bool ShaderAsset::Load(AssetReader& file)
{
    std::string tag;
    if (!file.ReadBytes(4, tag) || tag.compare(0, 3, "SSH") != 0 || (tag[3] != 2 && tag[3] != 3))
        return false;
    ShaderProperties read;
    if (!file.ReadBodyString(read.source))
        return false;
    if (tag[3] == 3 && !file.ReadBodyString(read.defines))
        return false;
    m_fields = std::move(read);
    return true;
}

bool ShaderAsset::Save(AssetWriter& file) const
{
    file.WriteBytes(std::string_view("SSH\x03", 4));
    file.WriteBodyString(m_fields.source);
    file.WriteBodyString(m_fields.defines);
    return true;
}

std::string ShaderAsset::CommandLine(const IToolContext& context, const std::string& outputPath) const
{
    std::string line = "\"" + context.GetToolsDir() + "ShadeForge.exe\" \"" + context.GetSourceDir() +
                       m_fields.source + "\" \"" + outputPath + "\"";
    if (!m_fields.defines.empty())
        line += " /define \"" + m_fields.defines + "\"";
    if (context.GetExportStatistics() != 0)
        line += " -stat " + m_statisticsFile + " ";
    const std::string asmDir = context.GetShaderAsmDir();
    if (!asmDir.empty())
        line += " /asmDir \"" + asmDir + "\"";
    return line;
}

bool ShaderAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath,
                             {m_fields.source, m_fields.defines, outputPath, context.GetSourceDir(),
                              context.GetToolsDir(), context.GetShaderAsmDir()}))
        return false;
    return RunCompiler(context, CommandLine(context, outputPath));
}

std::optional<std::string> ShaderAsset::GetSourceFile(int index) const
{
    if (index != 0)
        return std::nullopt;
    return m_fields.source;
}

void ShaderAsset::GetSourceExtensions(std::vector<std::string>& list) const { list.push_back(".ssh"); }

bool ShaderAsset::AutoCreate(const std::string& sourcePath)
{
    Reset();
    m_fields.source = sourcePath;
    return true;
}

} // namespace mw
