// The Status Report rows and page texts.
#include "StatusReport.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

void WalkAssets(const std::string& folder, const std::string& relative, const std::string& userName,
                const AssetReviewReader& reader, std::vector<StatusReportRow>& rows)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder + relative, entries))
        return;
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder || entry.name == "." || entry.name == "..")
            continue;
        int status = 0;
        std::string assignedTo;
        if (!reader(folder + relative + entry.name, status, assignedTo))
            continue;
        if (assignedTo == userName && (status == 2 || status == 3))
            rows.push_back(StatusReportRow{relative + entry.name, ReviewStatusText(status)});
    }
    for (const FolderEntry& entry : entries)
        if (entry.isFolder && entry.name != "." && entry.name != "..")
            WalkAssets(folder, relative + entry.name + "/", userName, reader, rows);
}

} // namespace

std::string ReviewStatusText(int status)
{
    switch (status)
    {
    case 1:
        return "In Progress";
    case 2:
        return "Waiting for Review";
    case 3:
        return "Revise";
    case 4:
        return "Approved";
    case 5:
        return "Final Approval";
    default:
        return std::string();
    }
}

std::vector<StatusReportRow> CollectStatusReport(const std::string& workingFolder, const std::string& userName,
                                                 const AssetReviewReader& reader)
{
    std::vector<StatusReportRow> rows;
    if (reader)
        WalkAssets(WithTrailingSeparator(workingFolder) + "assets/", "", userName, reader, rows);
    return rows;
}

std::string PrintDateText(int day, int month, int year, int hours, int minutes, int seconds)
{
    return Format("%02d/%02d/%04d  %02d:%02d:%02d", day, month, year, hours, minutes, seconds);
}

std::string PageNumberText(int page) { return Format("Page : %d", page); }

} // namespace mw
