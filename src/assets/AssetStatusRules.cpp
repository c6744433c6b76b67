// Review order of asset statuses and the privileged users.
#include "AssetStatusRules.h"

#include "AssetStatus.h"

#include <array>

namespace mw {
namespace {

// Legacy, none, In Progress, Waiting for Review, Revise, Revised Waiting for
// Review, Approved, Final Approval: the order promote walks to the right.
constexpr std::array<uint32_t, 8> kReviewOrder = {
    kAssetStatusLegacy,   kAssetStatusNone,     kAssetStatusInProgress, kAssetStatusWaitingForReview,
    kAssetStatusRevise,   kAssetStatusRevisedWaitingForReview, kAssetStatusApproved, kAssetStatusFinalApproval,
};

constexpr std::array<const char*, 5> kPrivilegedUsers = {"leadartist", "artdirector", "leaddesigner", "producer",
                                                         "buildmaster"};

int PositionOf(uint32_t status)
{
    for (size_t i = 0; i < kReviewOrder.size(); ++i)
        if (kReviewOrder[i] == status)
            return int(i);
    return -1;
}

// Only privileged users move into or out of Approved and Final Approval.
bool StepNeedsPrivilege(uint32_t from, uint32_t to)
{
    auto approved = [](uint32_t status) {
        return status == kAssetStatusApproved || status == kAssetStatusFinalApproval;
    };
    return approved(from) || approved(to);
}

} // namespace

bool IsPrivilegedUser(const std::string& userName)
{
    for (const char* name : kPrivilegedUsers)
        if (userName == name)
            return true;
    return false;
}

bool CanPromote(uint32_t status, bool privileged)
{
    int position = PositionOf(status);
    if (position < 0 || position + 1 >= int(kReviewOrder.size()))
        return false;
    return privileged || !StepNeedsPrivilege(status, kReviewOrder[size_t(position + 1)]);
}

bool CanDemote(uint32_t status, bool privileged)
{
    int position = PositionOf(status);
    if (position <= 0)
        return false;
    return privileged || !StepNeedsPrivilege(status, kReviewOrder[size_t(position - 1)]);
}

uint32_t PromoteStatus(uint32_t status, bool privileged)
{
    return CanPromote(status, privileged) ? kReviewOrder[size_t(PositionOf(status) + 1)] : status;
}

uint32_t DemoteStatus(uint32_t status, bool privileged)
{
    return CanDemote(status, privileged) ? kReviewOrder[size_t(PositionOf(status) - 1)] : status;
}

} // namespace mw
