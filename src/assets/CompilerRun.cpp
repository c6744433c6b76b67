// Compiler runs of the asset builds.
#include "CompilerRun.h"

#include "context/IToolContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

bool RunCompiler(IToolContext& context, const std::string& commandLine, uint32_t successCode)
{
    uint32_t exitCode = 0;
    if (!context.RunTool(commandLine, exitCode, nullptr))
    {
        context.Log("Couldn't execute \"" + commandLine + "\"", true, true);
        return false;
    }
    return exitCode == successCode;
}

bool TextsFitCommandLine(IToolContext& context, const std::string& outputPath,
                         std::initializer_list<std::string_view> texts)
{
    for (std::string_view text : texts)
    {
        if (text.find('"') == std::string_view::npos)
            continue;
        context.Log(Format("%s: the compiler is not run because '%.*s' contains a double quote", outputPath.c_str(),
                           int(text.size()), text.data()),
                    true, true);
        return false;
    }
    return true;
}

bool EnsureOutputFolder(const std::string& outputPath)
{
    std::string folder = ParentPath(outputPath);
    return folder.empty() || EnsureFolders(folder);
}

std::string TextureFormatSwitch(uint32_t format)
{
    switch (format)
    {
    case 1:
        return " -format dxt1";
    case 2:
        return " -format dxt3";
    case 3:
        return " -format dxt5";
    case 4:
        return " -format dsdt";
    default:
        return {};
    }
}

} // namespace mw
