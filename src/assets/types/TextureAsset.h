// A texture compiled from an image, optionally animated by additional frames.
#pragma once

#include "assets/Asset.h"
#include "assets/AssetProperties.h"

namespace mw {

class TextureAsset final : public Asset
{
public:
    static constexpr uint32_t kTypeKey = 1000;

    TextureAsset() : Asset("TextureBuildStatistics.csv") {}

    std::string GetName() const override { return "Texture"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    bool Properties(IAssetPropertiesEditor* editor, bool isNew) override;
    void Reset() override;
    bool Load(AssetReader& file) override;
    bool Save(AssetWriter& file) const override;
    bool Build(IToolContext& context, const std::string& outputPath) override;
    // Only the first image: additional frames are not tested for changes.
    int GetSourceCount() const override { return 1; }
    std::optional<std::string> GetSourceFile(int index) const override;
    void GetSourceExtensions(std::vector<std::string>& list) const override;
    bool AutoCreate(const std::string& sourcePath) override;

    std::string CommandLine(const IToolContext& context, const std::string& outputPath) const;

    const TextureProperties& Fields() const { return m_fields; }
    void SetFields(TextureProperties fields) { m_fields = std::move(fields); }

private:
    TextureProperties m_fields;
};

} // namespace mw
