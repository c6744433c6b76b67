// Feeds arbitrary bytes to the asset file loader with every type registered:
// it must never read past the end or crash, whatever the header and body say.
#include "assets/Asset.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/AssetWriter.h"
#include "context/IToolContext.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class SilentContext : public mw::IToolContext
{
public:
    bool RunTool(const std::string&, uint32_t& exitCode, const char*) override
    {
        exitCode = 0;
        return false;
    }
    void Log(const std::string&, bool, bool) override {}
    std::string GetSourceDir() const override { return "/nonexistent-source/"; }
    std::string GetToolsDir() const override { return {}; }
    std::string GetMAXServer() const override { return {}; }
    std::string GetShaderAsmDir() const override { return {}; }
    int GetExportStatistics() const override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SilentContext context;
    static mw::AssetRegistry* registry = [] {
        auto* created = new mw::AssetRegistry;
        mw::RegisterAssetTypes(*created, context);
        return created;
    }();
    mw::AssetHeader header;
    mw::Asset* asset = registry->LoadAssetBytes(
        context, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.asset", header);
    if (asset)
    {
        // What loaded must save again.
        std::string bytes;
        mw::AssetRegistry::AssetFileBytes(*asset, header, bytes);
        for (int slot = 0; slot < asset->GetSourceCount(); ++slot)
            (void)asset->GetSourceFile(slot);
    }
    return 0;
}
