// The Bitmap build: one texture compiler call.
#include "BitmapAsset.h"

#include "assets/CompilerRun.h"
#include "context/IToolContext.h"

namespace mw {

void BitmapAsset::GetSourceExtensions(std::vector<std::string>& list) const
{
    list.push_back(".psd");
    list.push_back(".tga");
}

std::string BitmapAsset::CommandLine(const IToolContext& context, const std::string& outputPath) const
{
    return "\"" + context.GetToolsDir() + "TexForge.exe\" \"" + context.GetSourceDir() + m_source + "\" \"" +
           outputPath + "\" -nopoweroftwo -nomipmaps";
}

bool BitmapAsset::Build(IToolContext& context, const std::string& outputPath)
{
    if (!TextsFitCommandLine(context, outputPath, {m_source, outputPath, context.GetSourceDir(), context.GetToolsDir()}))
        return false;
    return RunCompiler(context, CommandLine(context, outputPath));
}

} // namespace mw
