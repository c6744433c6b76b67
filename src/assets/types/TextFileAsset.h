// A text file copied to the build unchanged.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class TextFileAsset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1011;

    std::string GetName() const override { return "TextFile"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override { list.push_back(".txt"); }
    std::string GetOutputExtension() const override { return ".txt"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'T', 'X', 'T', 1}; }
};

} // namespace mw
