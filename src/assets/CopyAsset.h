// The base of the asset types whose build is a plain copy of one source file
// (or one simple compiler call on it).
#pragma once

#include "Asset.h"

#include <array>

namespace mw {

class CopyAsset : public Asset
{
public:
    bool Properties(IAssetPropertiesEditor* editor, bool isNew) override;
    void Reset() override;
    bool Load(AssetReader& file) override;
    bool Save(AssetWriter& file) const override;
    // Copies the source file to outputPath and gives the copy the current
    // time, so that it counts as newer than the asset and its source.
    bool Build(IToolContext& context, const std::string& outputPath) override;
    int GetSourceCount() const override { return 1; }
    std::optional<std::string> GetSourceFile(int index) const override;
    bool AutoCreate(const std::string& sourcePath) override;

    // The output extension with its dot.
    virtual std::string GetOutputExtension() const = 0;
    // The 4-byte body tag: three letters and the body version.
    virtual void GetTag(std::array<char, 4>& out) const = 0;

    const std::string& GetSource() const { return m_source; }
    void SetSource(std::string source) { m_source = std::move(source); }

protected:
    using Asset::Asset;

    std::string m_source;
};

} // namespace mw
