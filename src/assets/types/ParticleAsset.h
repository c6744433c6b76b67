// A particle effect file copied to the build unchanged.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class ParticleAsset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1013;

    std::string GetName() const override { return "Particle"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override { list.push_back(".pfx"); }
    std::string GetOutputExtension() const override { return ".pfx"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'P', 'F', 'X', 1}; }
};

} // namespace mw
