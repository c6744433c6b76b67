// The Status Report: the assets assigned to the user that wait for the
// user's attention (waiting for review, or to be revised), and the texts of
// its printed pages.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mw {

struct StatusReportRow
{
    std::string name;   // relative to the assets folder
    std::string status; // the review status text
};

// "In Progress", "Waiting for Review", "Revise", "Approved", "Final
// Approval" for 1 to 5; "" otherwise.
std::string ReviewStatusText(int status);

// Reads an asset file's review status and assigned user; false when the
// file is not an asset file.
using AssetReviewReader = std::function<bool(const std::string& path, int& status, std::string& assignedTo)>;

// Walks working folder + "assets/" (files in name order, folders after the
// files of their parent) and lists every asset assigned to userName (exact
// comparison) whose status is 2 or 3. Files that cannot be read are skipped.
std::vector<StatusReportRow> CollectStatusReport(const std::string& workingFolder, const std::string& userName,
                                                 const AssetReviewReader& reader);

// "%02d/%02d/%04d  %02d:%02d:%02d": day, month, year, hours, minutes, seconds.
std::string PrintDateText(int day, int month, int year, int hours, int minutes, int seconds);
// "Page : %d".
std::string PageNumberText(int page);

} // namespace mw
