// The asset views' commands over the registry, the prompt and source control.
#include "AssetCommands.h"

#include "Asset.h"
#include "AssetHeader.h"
#include "AssetReader.h"
#include "AssetRegistry.h"
#include "AssetStatusRules.h"
#include "BuildDriver.h"
#include "BuildStatistics.h"
#include "IAssetCommandUi.h"
#include "context/IWorkspaceContext.h"
#include "preview/TargaImage.h"
#include "types/TextureAsset.h"
#include "platform/FileSystem.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {
namespace {

void Say(IWorkspaceContext& context, const std::string& text)
{
    context.Prompt().Show(text, "", PromptButtons::Ok, PromptIcon::None);
}

// Source control says 1 for a file it does not know, which is also what a
// file that does not exist yet gives.
bool IsUnknownFile(SourceControlClient& sourceControl, const std::string& relativePath)
{
    FileStatus status;
    return sourceControl.GetFileStatus(relativePath, status) == 1;
}

// An output name that would make a file without a name ("".tex) or reach
// into another folder is no name for an asset file.
bool IsUsableFileName(const std::string& name)
{
    if (name.empty() || name[0] == '.')
        return false;
    for (char c : name)
        if (IsSeparator(c))
            return false;
    return true;
}

constexpr uint32_t kDxt5Format = 3;

// True when the source image (relative to the source folder) is a Targa
// image with an alpha channel that some pixel uses.
bool HasTranslucentPixels(IWorkspaceContext& context, const std::string& relative)
{
    if (ToLowerAscii(Extension(relative)) != "tga")
        return false;
    std::string bytes;
    PreviewImage image;
    std::string error;
    return ReadWholeFile(context.GetSourceDir() + relative, bytes) && ReadTargaImage(bytes, image, error) &&
           image.HasTranslucency();
}

// Writes a new asset file with the header new assets get and adds it to
// source control, with the message of whichever step failed.
bool WriteNewAsset(IWorkspaceContext& context, const Asset& asset, const std::string& relativePath)
{
    SourceControlClient& sourceControl = context.SourceControl();
    std::string fullPath = sourceControl.GetClientDirectory() + relativePath;
    EnsureFolders(ParentPath(fullPath));
    if (PathExists(fullPath))
        SetReadOnly(fullPath, false);
    if (!AssetRegistry::SaveAsset(asset, fullPath, AssetHeader::NewAsset()))
    {
        Say(context, "Error saving asset.");
        return false;
    }
    if (!sourceControl.AddFile(relativePath))
        Say(context, "Error adding file to source control.");
    else
        context.Log(Format("Asset created: %s", ToNativeSeparators(relativePath).c_str()), true, false);
    return true;
}

// Reads an asset file into its type's instance for editing; null after the
// message that says why.
Asset* LoadForEdit(IWorkspaceContext& context, AssetRegistry& registry, const std::string& fullPath,
                   AssetHeader& header)
{
    std::string bytes;
    if (!ReadWholeFile(fullPath, bytes))
    {
        Say(context, "Couldn't open file");
        return nullptr;
    }
    AssetReader reader(bytes);
    uint32_t typeKey = 0;
    if (!AssetRegistry::ReadAssetHeader(reader, typeKey, header))
    {
        Say(context, "Not the correct asset format.");
        return nullptr;
    }
    Asset* asset = registry.FindType(typeKey);
    if (!asset)
    {
        Say(context, "No registered factory for this type.");
        return nullptr;
    }
    if (!asset->Load(reader))
    {
        Say(context, "Error loading asset");
        return nullptr;
    }
    return asset;
}

} // namespace

std::string NewAsset(IWorkspaceContext& context, AssetRegistry& registry, IAssetCommandUi& ui, int typeIndex,
                     const std::string& folder)
{
    Asset* asset = registry.TypeAt(typeIndex);
    if (!asset)
        return std::string();
    SourceControlClient& sourceControl = context.SourceControl();
    std::string relativePath;
    asset->Reset();
    for (;;)
    {
        if (!asset->Properties(&ui.PropertiesEditor(), true))
            return std::string();
        if (!IsUsableFileName(asset->GetOutputName()))
        {
            Say(context, "Choose a source file: the asset file is named after it.");
            continue;
        }
        relativePath = folder + asset->GetOutputName();
        if (IsUnknownFile(sourceControl, relativePath))
            break;
        // The dialog comes back with what the user entered, so a new
        // source name is all it takes.
        Say(context, "File already exists");
    }
    return WriteNewAsset(context, *asset, relativePath) ? relativePath : std::string();
}

bool OpenAssetProperties(IWorkspaceContext& context, AssetRegistry& registry, IAssetCommandUi& ui,
                         const std::string& relativePath)
{
    std::string fullPath = context.SourceControl().GetClientDirectory() + relativePath;
    AssetHeader header;
    Asset* asset = LoadForEdit(context, registry, fullPath, header);
    if (!asset || !asset->Properties(&ui.PropertiesEditor(), false))
        return false;
    if (!AssetRegistry::SaveAsset(*asset, fullPath, header))
    {
        Say(context, "Error saving asset.");
        return false;
    }
    return true;
}

bool EditAssetStatus(IWorkspaceContext& context, AssetRegistry& registry, IAssetCommandUi& ui,
                     const std::string& relativePath)
{
    SourceControlClient& sourceControl = context.SourceControl();
    std::string fullPath = sourceControl.GetClientDirectory() + relativePath;
    AssetHeader header;
    Asset* asset = LoadForEdit(context, registry, fullPath, header);
    if (!asset)
        return false;
    FileStatus status;
    if (sourceControl.GetFileStatus(relativePath, status) != 0)
    {
        Say(context, "Asset not under source control.");
        return false;
    }
    const std::string& user = sourceControl.GetUserName();
    bool readOnly = !(status.outToUser && status.userName == user);
    AssetHeader edited = header;
    if (!ui.EditStatus(edited, readOnly, IsPrivilegedUser(user)) || readOnly)
        return false;
    if (!AssetRegistry::SaveAsset(*asset, fullPath, edited))
    {
        Say(context, "Error saving asset.");
        return false;
    }
    return true;
}

int BuildSelectedAssets(IWorkspaceContext& context, AssetRegistry& registry, BuildDriver& builder,
                        const std::string& assetRoot, const std::vector<std::string>& relativePaths)
{
    DeleteStatisticsFiles(context, registry);
    std::string outputFolder = builder.OutputFolder(assetRoot);
    int errors = 0;
    for (const std::string& path : relativePaths)
    {
        if (context.IsCancelled())
            break;
        bool inside = false;
        std::string belowRoot = StripPathPrefix(path, assetRoot, &inside);
        if (!inside)
            belowRoot = ShortName(path);
        if (!builder.CompileAsset(context.GetWorkingDir() + path, outputFolder + belowRoot, true))
            ++errors;
    }
    return errors;
}

std::vector<int> AssetTypeCandidates(const AssetRegistry& registry, const std::string& sourcePath)
{
    std::vector<int> candidates;
    size_t dot = sourcePath.rfind('.');
    if (dot == std::string::npos)
        return candidates;
    std::string extension = sourcePath.substr(dot);
    for (int i = 0; i < registry.TypeCount(); ++i)
    {
        std::vector<std::string> extensions;
        registry.TypeAt(i)->GetSourceExtensions(extensions);
        for (const std::string& accepted : extensions)
            if (accepted == extension)
            {
                candidates.push_back(i);
                break;
            }
    }
    return candidates;
}

std::vector<std::string> CreateAssetsFromSources(IWorkspaceContext& context, AssetRegistry& registry,
                                                 IAssetCommandUi& ui, const std::vector<std::string>& sourcePaths)
{
    SourceControlClient& sourceControl = context.SourceControl();
    std::string sourceRoot = context.GetModPrefix() + "source/";
    std::vector<std::string> created;
    for (const std::string& path : sourcePaths)
    {
        std::string relative = ToBackslashes(StripPathPrefix(path, sourceRoot));
        std::vector<int> candidates = AssetTypeCandidates(registry, relative);
        int chosen = -1;
        if (candidates.empty())
        {
            Say(context, Format("Can not automatically generate asset file for:\r\n%s\r\nThis file-type does not "
                                "support auto-create.",
                                ShortName(path).c_str()));
            continue;
        }
        if (candidates.size() == 1)
            chosen = candidates.front();
        else
        {
            std::vector<std::string> names;
            for (int index : candidates)
                names.push_back(registry.TypeAt(index)->GetName());
            int picked = ui.ChooseAssetType(names);
            if (picked < 0 || picked >= int(candidates.size()))
                continue;
            chosen = candidates[size_t(picked)];
        }
        Asset* asset = registry.TypeAt(chosen);
        if (!asset->AutoCreate(relative))
            continue;
        // A texture of an image with transparent pixels keeps them: DXT1
        // would drop its alpha, so it starts as DXT5.
        if (auto* texture = dynamic_cast<TextureAsset*>(asset); texture && HasTranslucentPixels(context, relative))
        {
            TextureProperties fields = texture->Fields();
            fields.format = kDxt5Format;
            texture->SetFields(std::move(fields));
        }
        if (!asset->Properties(&ui.PropertiesEditor(), true))
            continue;
        if (!IsUsableFileName(asset->GetOutputName()))
        {
            Say(context, "Choose a source file: the asset file is named after it.");
            continue;
        }
        // The asset goes into the assets folder that mirrors the source's
        // folder, so its output lands in that folder's resource archive.
        std::string sourceFolder = ParentPath(ToForwardSlashes(relative));
        std::string assetPath = context.GetModPrefix() + "assets/" +
                                (sourceFolder.empty() ? std::string() : sourceFolder + "/") + asset->GetOutputName();
        if (!IsUnknownFile(sourceControl, assetPath))
        {
            Say(context, Format("Asset file:\r\n%s\r\nAlready exists.", assetPath.c_str()));
            continue;
        }
        // The folders along the path, not a folder named after the file.
        sourceControl.CreateAllDirectories(ParentPath(assetPath) + "/");
        if (WriteNewAsset(context, *asset, assetPath))
            created.push_back(assetPath);
    }
    return created;
}

} // namespace mw
