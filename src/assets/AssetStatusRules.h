// The review steps of an asset's status: the order in which promote and
// demote move it, who may move it into and out of the approved states, and
// when the two buttons of the status dialog are enabled.
#pragma once

#include <cstdint>
#include <string>

namespace mw {

// True for the fixed list of source-control users who may approve assets.
// Names compare exactly (case-sensitive).
bool IsPrivilegedUser(const std::string& userName);

// The status one step further along the review order, or the status itself
// where the step is not allowed (the end of the order, a code above 7, or an
// approval step for a user who is not privileged).
uint32_t PromoteStatus(uint32_t status, bool privileged);
// The same one step back.
uint32_t DemoteStatus(uint32_t status, bool privileged);

bool CanPromote(uint32_t status, bool privileged);
bool CanDemote(uint32_t status, bool privileged);

} // namespace mw
