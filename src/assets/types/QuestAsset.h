// A trigger or quest file copied to the build unchanged.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class QuestAsset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1012;

    std::string GetName() const override { return "Trigger/Quest"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override { list.push_back(".qst"); }
    std::string GetOutputExtension() const override { return ".qst"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'Q', 'S', 'T', 1}; }
};

} // namespace mw
