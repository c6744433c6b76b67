// An MP3 sound copied to the build unchanged.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class Mp3Asset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1018;

    std::string GetName() const override { return "MP3"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override { list.push_back(".mp3"); }
    std::string GetOutputExtension() const override { return ".mp3"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'M', 'P', '3', 1}; }
};

} // namespace mw
