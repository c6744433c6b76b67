// A shader compiled from its source with optional defines.
#pragma once

#include "assets/Asset.h"
#include "assets/AssetProperties.h"

namespace mw {

class ShaderAsset final : public Asset
{
public:
    static constexpr uint32_t kTypeKey = 1004;

    ShaderAsset() : Asset("ShaderBuildStatistics.csv") {}

    std::string GetName() const override { return "Shader"; }
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

    const ShaderProperties& Fields() const { return m_fields; }
    void SetFields(ShaderProperties fields) { m_fields = std::move(fields); }

private:
    ShaderProperties m_fields;
};

} // namespace mw
