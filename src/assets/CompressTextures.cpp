// The compress-textures command.
#include "CompressTextures.h"

#include "AssetRegistry.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"
#include "types/TextureAsset.h"

namespace mw {
namespace {

constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kDxt5 = 3;
constexpr int kCheckedOutNow = 0;

// relative: the asset's path below the working folder.
bool ConvertTexture(IWorkspaceContext& context, AssetRegistry& registry, const std::string& relative)
{
    const std::string path = context.GetWorkingDir() + relative;
    AssetHeader header;
    Asset* asset = registry.LoadAsset(context, path, header);
    if (!asset || asset->GetTypeKey() != TextureAsset::kTypeKey)
        return false;
    auto* texture = static_cast<TextureAsset*>(asset);
    if (texture->Fields().format != kUncompressed)
        return false;
    if (context.SourceControl().CheckOutFile(relative, true) != kCheckedOutNow)
        return false;
    TextureProperties fields = texture->Fields();
    fields.format = kDxt5;
    texture->SetFields(fields);
    if (!AssetRegistry::SaveAsset(*texture, path, header))
    {
        context.Log(Format("%s: Error saving asset", path.c_str()), true, true);
        return false;
    }
    return true;
}

int ConvertFolder(IWorkspaceContext& context, AssetRegistry& registry, const std::string& relativeFolder)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(context.GetWorkingDir() + relativeFolder, entries))
        return 0;
    int converted = 0;
    for (const FolderEntry& entry : entries)
    {
        if (context.IsCancelled())
            break;
        if (entry.isFolder)
            converted += ConvertFolder(context, registry, relativeFolder + entry.name + "/");
        else if (ConvertTexture(context, registry, relativeFolder + entry.name))
            ++converted;
    }
    return converted;
}

} // namespace

int ConvertTexturesToCompressed(IWorkspaceContext& context, AssetRegistry& registry)
{
    if (context.Prompt().Show("Are you sure you want to compress the uncompressed textures?", "",
                              PromptButtons::YesNoCancel, PromptIcon::Question) != PromptAnswer::Yes)
        return -1;
    int converted = ConvertFolder(context, registry, "assets/");
    context.ResetCancel();
    return converted;
}

} // namespace mw
