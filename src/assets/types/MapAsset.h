// A map compiled from a world file and the region files it lists.
#pragma once

#include "assets/Asset.h"
#include "assets/AssetProperties.h"

namespace mw {

class MapAsset final : public Asset
{
public:
    static constexpr uint32_t kTypeKey = 1014;

    // context gives the source folder the world file is read from.
    explicit MapAsset(const IToolContext& context) : Asset("MapBuildStatistics.csv"), m_context(context) {}

    std::string GetName() const override { return "Map"; }
    uint32_t GetTypeKey() const override { return kTypeKey; }
    bool Properties(IAssetPropertiesEditor* editor, bool isNew) override;
    void Reset() override;
    // Reads the body, then the region list from the world file.
    bool Load(AssetReader& file) override;
    bool Save(AssetWriter& file) const override;
    bool Build(IToolContext& context, const std::string& outputPath) override;
    // The world file, then each region file.
    int GetSourceCount() const override { return 1 + int(m_regions.size()); }
    std::optional<std::string> GetSourceFile(int index) const override;
    void GetSourceExtensions(std::vector<std::string>& list) const override;
    bool AutoCreate(const std::string& sourcePath) override;

    std::string CommandLine(const IToolContext& context, const std::string& outputPath) const;

    const MapProperties& Fields() const { return m_fields; }
    void SetFields(MapProperties fields);
    const std::vector<std::string>& Regions() const { return m_regions; }

private:
    // The region paths of the world file; empty when it cannot be read.
    void ReadRegions();

    const IToolContext& m_context;
    MapProperties m_fields;
    std::vector<std::string> m_regions;
};

} // namespace mw
