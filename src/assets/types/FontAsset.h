// A font compiled from a TrueType file at one size.
#pragma once

#include "assets/Asset.h"
#include "assets/AssetProperties.h"

namespace mw {

class FontAsset final : public Asset
{
public:
    static constexpr uint32_t kTypeKey = 1008;

    std::string GetName() const override { return "Font"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    bool Properties(IAssetPropertiesEditor* editor, bool isNew) override;
    void Reset() override;
    bool Load(AssetReader& file) override;
    bool Save(AssetWriter& file) const override;
    bool Build(IToolContext& context, const std::string& outputPath) override;
    int GetSourceCount() const override { return 1; }
    std::optional<std::string> GetSourceFile(int index) const override;
    void GetSourceExtensions(std::vector<std::string>& list) const override;
    bool AutoCreate(const std::string& sourcePath) override;

    std::string CommandLine(const IToolContext& context, const std::string& outputPath) const;

    const FontProperties& Fields() const { return m_fields; }
    void SetFields(FontProperties fields) { m_fields = std::move(fields); }

private:
    FontProperties m_fields;
};

} // namespace mw
