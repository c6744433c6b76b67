// Error lines, statistics lines and output writes shared by the compilers.
#include "ToolOutput.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <cstdio>

namespace mw::tools {
namespace {

std::string CsvField(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

void ReportError(const char* program, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    std::fflush(stderr);
}

void ReportProgress(const std::string& line)
{
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

void AppendStatisticsLine(const char* program, const std::string& fileName, const std::string& header,
                          const std::vector<std::string>& fields)
{
    std::string existing;
    ReadWholeFile(fileName, existing);
    std::string text = existing;
    if (existing.empty())
        text = header + "\r\n";
    else if (existing.back() != '\n')
        text += "\r\n";
    for (size_t i = 0; i < fields.size(); ++i)
        text += (i ? "," : "") + CsvField(fields[i]);
    text += "\r\n";
    if (!WriteFileAtomic(fileName, text))
        ReportError(program, Format("cannot write statistics file '%s': %s", fileName.c_str(), LastErrorText().c_str()));
}

bool WriteOutput(const char* program, const std::string& path, std::string_view bytes)
{
    std::string folder = ParentPath(path);
    if (!folder.empty())
        EnsureFolders(folder + "/");
    if (WriteFileAtomic(path, bytes))
        return true;
    ReportError(program, Format("cannot write '%s': %s", path.c_str(), LastErrorText().c_str()));
    return false;
}

bool ReadInput(const char* program, const std::string& path, std::string& bytes)
{
    if (IsFolder(path))
    {
        ReportError(program, Format("cannot read '%s': it is a folder", path.c_str()));
        return false;
    }
    if (ReadWholeFile(path, bytes))
        return true;
    ReportError(program, Format("cannot read '%s': %s", path.c_str(), LastErrorText().c_str()));
    return false;
}

} // namespace mw::tools
