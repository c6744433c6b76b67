// A 2D image compiled to a texture without power-of-two scaling and without
// mipmaps.
#pragma once

#include "assets/CopyAsset.h"

namespace mw {

class BitmapAsset final : public CopyAsset
{
public:
    static constexpr uint32_t kTypeKey = 1005;

    std::string GetName() const override { return "Bitmap"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    void GetSourceExtensions(std::vector<std::string>& list) const override;
    std::string GetOutputExtension() const override { return ".tex"; }
    void GetTag(std::array<char, 4>& out) const override { out = {'B', 'I', 'T', 1}; }
    bool Build(IToolContext& context, const std::string& outputPath) override;

    // The compiler command line for outputPath.
    std::string CommandLine(const IToolContext& context, const std::string& outputPath) const;
};

} // namespace mw
