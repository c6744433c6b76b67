// Error lines, statistics lines and output writes shared by the compilers.
#include "ToolOutput.h"

#include "BinaryOutput.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"

#include <cstdio>
#include <fstream>
#include <vector>

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

// The detail lines not written yet.
std::string& PendingDetails()
{
    static std::string pending;
    return pending;
}

} // namespace

void FlushDetails()
{
    std::string& pending = PendingDetails();
    if (pending.empty())
        return;
    std::fwrite(pending.data(), 1, pending.size(), stdout);
    std::fflush(stdout);
    pending.clear();
}

void ReportDetail(const std::string& line)
{
    std::string& pending = PendingDetails();
    if (!pending.empty() && pending.size() + line.size() + 1 > ProcessRunner::kChunkSize)
        FlushDetails();
    pending += line;
    pending += '\n';
    if (pending.size() >= ProcessRunner::kChunkSize)
        FlushDetails();
}

void ReportError(const char* program, const std::string& message)
{
    FlushDetails();
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    std::fflush(stderr);
}

void ReportProgress(const std::string& line)
{
    FlushDetails();
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
    if (WriteBuiltOutput(path, bytes))
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

bool ReadBoundedFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& error)
{
    bytes.clear();
    if (IsFolder(path))
    {
        error = "it is a folder";
        return false;
    }
    std::ifstream in(ResolvePath(path), std::ios::binary);
    if (!in)
    {
        error = LastErrorText();
        return false;
    }
    // Read in pieces, so a device such as /dev/zero stops at the limit.
    constexpr size_t kPiece = 1 << 20;
    std::vector<char> piece(kPiece);
    while (in)
    {
        in.read(piece.data(), std::streamsize(kPiece));
        size_t got = size_t(in.gcount());
        if (uint64_t(bytes.size()) + got > maxBytes)
        {
            error = Format("it is larger than %llu bytes", (unsigned long long)maxBytes);
            bytes.clear();
            return false;
        }
        bytes.append(piece.data(), got);
    }
    if (in.bad())
    {
        error = LastErrorText();
        return false;
    }
    return true;
}

bool ReadInput(const char* program, const std::string& path, std::string& bytes, uint64_t maxBytes)
{
    std::string error;
    if (ReadBoundedFile(path, maxBytes, bytes, error))
        return true;
    ReportError(program, Format("cannot read '%s': %s", path.c_str(), error.c_str()));
    return false;
}

bool WriteOutput(const char* program, const std::string& path, const BinaryOutput& out)
{
    if (out.HasTooLongText())
    {
        ReportError(program, Format("a name longer than %zu bytes cannot be stored ('%s...'); nothing written to '%s'",
                                    BinaryOutput::kMaxStringLength, out.TooLongText().c_str(), path.c_str()));
        return false;
    }
    return WriteOutput(program, path, out.Data());
}

} // namespace mw::tools
