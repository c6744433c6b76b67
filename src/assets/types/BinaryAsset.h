// Binary data copied to the build unchanged; its body tag is four zero bytes.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class BinaryAsset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1016;

    std::string GetName() const override { return "Binary"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override { list.push_back(".bin"); }
    std::string GetOutputExtension() const override { return ".bin"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'\0', '\0', '\0', '\0'}; }
};

} // namespace mw
