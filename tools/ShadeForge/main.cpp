// ShadeForge: preprocesses and checks a shader source and writes it as a
// .ssh with its technique list. Command line and formats: tools/README.md.
#include "ShaderPreprocessor.h"

#include "common/CompilerMain.h"
#include "common/BinaryOutput.h"
#include "common/ToolOutput.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using mw::Format;

const char kProgram[] = "ShadeForge";
constexpr uint32_t kFormatVersion = 1;

struct Options
{
    std::string source;
    std::string output;
    std::string defines;
    std::string statistics;
    std::string asmDir;
};

bool ParseArguments(const std::vector<std::string>& args, Options& options)
{
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "/define" && hasValue)
            options.defines = args[++i];
        else if (arg == "-stat" && hasValue)
            options.statistics = args[++i];
        else if (arg == "/asmDir" && hasValue)
            options.asmDir = args[++i];
        else if (arg.size() > 1 && arg[0] == '-')
        {
            mw::tools::ReportError(kProgram, Format("unknown switch '%s'", arg.c_str()));
            return false;
        }
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2)
    {
        mw::tools::ReportError(kProgram, "usage: ShadeForge SOURCE OUTPUT [/define \"A;B=1\"] [-stat FILE] [/asmDir FOLDER]");
        return false;
    }
    options.source = positional[0];
    options.output = positional[1];
    return true;
}

// The names declared as "technique NAME"; empty text when the braces and
// parentheses balance, else the reason they do not.
std::string CheckStructure(const std::string& text, std::vector<std::string>& techniques)
{
    int braces = 0, parentheses = 0;
    std::vector<std::string> words;
    std::string word;
    auto endWord = [&] {
        if (!word.empty())
        {
            if (!words.empty() && words.back() == "technique")
                techniques.push_back(word);
            words.push_back(word);
            word.clear();
        }
    };
    for (char c : text)
    {
        bool wordChar = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (wordChar)
        {
            word += c;
            continue;
        }
        endWord();
        if (c != ' ' && c != '\t' && c != '\n')
            words.push_back(std::string(1, c));
        braces += c == '{' ? 1 : c == '}' ? -1 : 0;
        parentheses += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (braces < 0)
            return "a '}' closes nothing";
        if (parentheses < 0)
            return "a ')' closes nothing";
    }
    endWord();
    if (braces != 0)
        return Format("%d '{' not closed", braces);
    if (parentheses != 0)
        return Format("%d '(' not closed", parentheses);
    return std::string();
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    Options options;
    if (!ParseArguments(args, options))
        return 1;
    if (!options.asmDir.empty() && !mw::IsFolder(options.asmDir))
    {
        mw::tools::ReportError(kProgram, Format("/asmDir folder '%s' does not exist", options.asmDir.c_str()));
        return 1;
    }
    mw::tools::ShaderPreprocessor preprocessor(options.asmDir);
    for (const std::string& definition : mw::SplitText(options.defines, ';'))
    {
        if (definition.find_first_not_of(" \t") == std::string::npos)
            continue;
        if (!preprocessor.Define(definition))
        {
            mw::tools::ReportError(kProgram, Format("/define '%s' does not start with a name", definition.c_str()));
            return 1;
        }
    }
    if (!preprocessor.Run(options.source))
    {
        mw::tools::ReportError(kProgram, preprocessor.Error());
        return 1;
    }
    const std::string& text = preprocessor.Output();
    std::vector<std::string> techniques;
    std::string problem = CheckStructure(text, techniques);
    if (!problem.empty())
    {
        mw::tools::ReportError(kProgram, Format("'%s': %s", options.source.c_str(), problem.c_str()));
        return 1;
    }
    if (techniques.empty())
    {
        mw::tools::ReportError(kProgram, Format("'%s' declares no technique", options.source.c_str()));
        return 1;
    }

    mw::tools::BinaryOutput out;
    out.Bytes("MWSH");
    out.U32(kFormatVersion);
    out.U32(uint32_t(techniques.size()));
    for (const std::string& technique : techniques)
        out.String(technique);
    out.U32(uint32_t(text.size()));
    out.Bytes(text);
    if (!mw::tools::WriteOutput(kProgram, options.output, out))
        return 1;
    size_t lines = size_t(std::count(text.begin(), text.end(), '\n'));
    mw::tools::ReportProgress(Format("%s: %zu line(s), %d include(s), %zu technique(s), %zu bytes", options.output.c_str(),
                                     lines, preprocessor.IncludeCount(), techniques.size(), out.Data().size()));
    if (!options.statistics.empty())
        mw::tools::AppendStatisticsLine(kProgram, options.statistics, "Output,Lines,Includes,Techniques,Bytes",
                                        {options.output, std::to_string(lines), std::to_string(preprocessor.IncludeCount()),
                                         std::to_string(techniques.size()), std::to_string(out.Data().size())});
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
