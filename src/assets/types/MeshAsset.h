// A mesh compiled from the model export data of a 3ds Max scene.
#pragma once

#include "assets/Asset.h"
#include "assets/AssetProperties.h"

namespace mw {

class MeshAsset final : public Asset
{
public:
    static constexpr uint32_t kTypeKey = 1001;

    MeshAsset() : Asset("ModelBuildStatistics.csv") {}

    std::string GetName() const override { return "Mesh"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    bool Properties(IAssetPropertiesEditor* editor, bool isNew) override;
    void Reset() override;
    bool Load(AssetReader& file) override;
    bool Save(AssetWriter& file) const override;
    bool Build(IToolContext& context, const std::string& outputPath) override;
    std::string GetBuildScratchFile(const std::string& outputPath) const override;
    int GetSourceCount() const override { return 2; }
    std::optional<std::string> GetSourceFile(int index) const override;
    void GetSourceExtensions(std::vector<std::string>& list) const override;
    bool AutoCreate(const std::string& sourcePath) override;

    // The compiler command line, with exportPath the extracted export data.
    std::string CommandLine(const IToolContext& context, const std::string& exportPath,
                            const std::string& outputPath) const;

    const MeshProperties& Fields() const { return m_fields; }
    void SetFields(MeshProperties fields) { m_fields = std::move(fields); }

private:
    MeshProperties m_fields;
};

} // namespace mw
