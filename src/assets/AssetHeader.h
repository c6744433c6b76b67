// The review header of an asset file: status, the user it is assigned to,
// and a comment.
#pragma once

#include "AssetStatus.h"

#include <cstdint>
#include <string>

namespace mw {

struct AssetHeader
{
    uint32_t status = kAssetStatusNone;
    std::string assignedTo;
    std::string comment; // may hold line breaks

    // The header new assets are written with.
    static AssetHeader NewAsset() { return AssetHeader{kAssetStatusInProgress, {}, {}}; }

    friend bool operator==(const AssetHeader&, const AssetHeader&) = default;
};

} // namespace mw
