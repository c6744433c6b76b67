// A WAV sound copied to the build unchanged.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class WaveAsset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1017;

    std::string GetName() const override { return "Wave"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override { list.push_back(".wav"); }
    std::string GetOutputExtension() const override { return ".wav"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'W', 'A', 'V', 1}; }
};

} // namespace mw
