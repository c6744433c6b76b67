// A cube map texture compiled from six face images.
#pragma once

#include "assets/Asset.h"
#include "assets/AssetProperties.h"

namespace mw {

class CubeMapAsset final : public Asset
{
public:
    static constexpr uint32_t kTypeKey = 1002;

    // Its statistics file is named but never passed to the compiler.
    CubeMapAsset() : Asset("CubeMapBuildStatistics.csv") {}

    std::string GetName() const override { return "Cube Map"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    bool Properties(IAssetPropertiesEditor* editor, bool isNew) override;
    void Reset() override;
    bool Load(AssetReader& file) override;
    bool Save(AssetWriter& file) const override;
    bool Build(IToolContext& context, const std::string& outputPath) override;
    int GetSourceCount() const override { return 6; }
    std::optional<std::string> GetSourceFile(int index) const override;

    std::string CommandLine(const IToolContext& context, const std::string& outputPath) const;

    const CubeMapProperties& Fields() const { return m_fields; }
    void SetFields(CubeMapProperties fields) { m_fields = std::move(fields); }

private:
    CubeMapProperties m_fields;
};

} // namespace mw
