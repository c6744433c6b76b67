// The review status codes of an asset file's header and their texts.
#pragma once

#include <cstdint>

namespace mw {

enum AssetStatus : uint32_t
{
    kAssetStatusNone = 0,
    kAssetStatusInProgress = 1,
    kAssetStatusWaitingForReview = 2,
    kAssetStatusRevise = 3,
    kAssetStatusApproved = 4,
    kAssetStatusFinalApproval = 5,
    kAssetStatusLegacy = 6,
    kAssetStatusRevisedWaitingForReview = 7,
};

// The text shown for a status; empty for 0 and for codes above 7.
inline const char* AssetStatusText(uint32_t status)
{
    switch (status)
    {
    case kAssetStatusInProgress:
        return "In Progress";
    case kAssetStatusWaitingForReview:
        return "Waiting for Review";
    case kAssetStatusRevise:
        return "Revise";
    case kAssetStatusApproved:
        return "Approved";
    case kAssetStatusFinalApproval:
        return "Final Approval";
    case kAssetStatusLegacy:
        return "Legacy";
    case kAssetStatusRevisedWaitingForReview:
        return "Revised Waiting for Review";
    default:
        return "";
    }
}

} // namespace mw
