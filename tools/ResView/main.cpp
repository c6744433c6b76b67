// ResView: prints the resource tree of a build folder (archives with their
// entries, database archives, loose files) and keeps a copy of the text in
// its settings folder, since the tool starts it without showing its output.
#include "common/ToolOutput.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/engine/Archive.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using mw::Format;

const char kProgram[] = "ResView";
const char kReportName[] = "ResourceTree.txt";

// The tool's command line puts a backslash after a root that already ends in
// a separator; split by the quoting rules, "/build/\" swallows its closing
// quote and the names after it. Such an argument is split back apart here.
std::vector<std::string> RepairArguments(const std::vector<std::string>& args)
{
    std::vector<std::string> repaired;
    for (const std::string& arg : args)
    {
        size_t quote = arg.find('"');
        if (quote == std::string::npos)
        {
            repaired.push_back(arg);
            continue;
        }
        repaired.push_back(arg.substr(0, quote));
        for (const std::string& piece : mw::SplitText(arg.substr(quote + 1), ' '))
            if (!piece.empty())
                repaired.push_back(piece);
    }
    return repaired;
}

std::string Join(const std::string& folder, const std::string& name)
{
    return !folder.empty() && mw::IsSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

void DescribeFile(const std::string& path, const std::string& shown, const std::string& indent, std::string& report)
{
    uint64_t size = 0;
    mw::GetFileSize(path, size);
    std::string extension = mw::ToLowerAscii(mw::Extension(path));
    if (extension == "arc")
    {
        GAME::Archive archive;
        if (!archive.Open(path.c_str(), 1))
        {
            report += Format("%s%s  (resource archive, unreadable: %s)\n", indent.c_str(), shown.c_str(),
                             archive.LastError().c_str());
            return;
        }
        uint64_t total = 0;
        for (int i = 0; i < archive.GetNumFiles(); ++i)
            total += archive.GetFileEntry(i).size;
        report += Format("%s%s  (resource archive, %d files, %llu bytes unpacked, %llu on disk)\n", indent.c_str(),
                         shown.c_str(), archive.GetNumFiles(), (unsigned long long)total, (unsigned long long)size);
        for (int i = 0; i < archive.GetNumFiles(); ++i)
        {
            GAME::FileEntry entry = archive.GetFileEntry(i);
            report += Format("%s    %s  %u\n", indent.c_str(), entry.name ? entry.name : "(unsafe name, not shown)",
                             entry.size);
        }
        return;
    }
    if (extension == "arz")
    {
        report += Format("%s%s  (database archive, %llu bytes)\n", indent.c_str(), shown.c_str(), (unsigned long long)size);
        return;
    }
    report += Format("%s%s  %llu\n", indent.c_str(), shown.c_str(), (unsigned long long)size);
}

void DescribeFolder(const std::string& folder, const std::string& indent, std::string& report)
{
    std::vector<mw::FolderEntry> entries;
    if (!mw::ListFolder(folder, entries))
    {
        report += indent + "(cannot be listed)\n";
        return;
    }
    for (const mw::FolderEntry& entry : entries)
    {
        if (entry.name.empty() || entry.name[0] == '.')
            continue;
        std::string path = Join(folder, entry.name);
        if (entry.isFolder)
        {
            report += indent + entry.name + "/\n";
            DescribeFolder(path, indent + "  ", report);
        }
        else
            DescribeFile(path, entry.name, indent, report);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args = RepairArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (args.size() < 2)
    {
        mw::tools::ReportError(kProgram, "usage: ResView SETTINGS-FOLDER ROOT NAME...");
        return 1;
    }
    const std::string& settings = args[0];
    const std::string& root = args[1];
    if (!mw::IsFolder(root))
    {
        mw::tools::ReportError(kProgram, Format("build folder '%s' does not exist; build the mod first", root.c_str()));
        return 1;
    }
    std::vector<std::string> names(args.begin() + 2, args.end());
    if (names.empty())
        names = {"resources", "database", "audio"};

    std::string report = Format("Resource tree of %s\n", root.c_str());
    for (const std::string& name : names)
    {
        std::string path = Join(root, name);
        if (mw::IsFolder(path))
        {
            report += name + "/\n";
            DescribeFolder(path, "  ", report);
        }
        else if (mw::IsFile(path))
            DescribeFile(path, name, "", report);
        else
            report += name + ": not present\n";
    }
    std::fputs(report.c_str(), stdout);

    std::string reportPath = Join(settings, kReportName);
    mw::EnsureFolders(mw::WithTrailingSeparator(settings));
    if (mw::WriteTextFileAtomic(reportPath, report))
        std::printf("Written to %s\n", reportPath.c_str());
    else
        mw::tools::ReportError(kProgram, Format("cannot write '%s': %s", reportPath.c_str(), mw::LastErrorText().c_str()));
    return 0;
}
