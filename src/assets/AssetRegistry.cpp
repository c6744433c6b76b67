// The asset type registry and the asset file header.
#include "AssetRegistry.h"

#include "Asset.h"
#include "AssetReader.h"
#include "AssetWriter.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

enum class HeaderResult
{
    Read,
    NotAnAsset,
    Truncated,
};

HeaderResult ParseAssetHeader(AssetReader& file, uint32_t& typeKey, AssetHeader& header)
{
    std::string magic;
    uint8_t version = 0;
    uint32_t key = 0;
    if (!file.ReadBytes(3, magic) || !file.ReadByte(version) || !file.ReadUInt32(key))
        return HeaderResult::NotAnAsset;
    if (magic != "AST" || int8_t(version) <= 0)
        return HeaderResult::NotAnAsset;
    typeKey = key;
    AssetHeader read;
    if (int8_t(version) >= 2)
    {
        if (!file.ReadUInt32(read.status) || !file.ReadArchiveString(read.assignedTo) ||
            !file.ReadArchiveString(read.comment))
            return HeaderResult::Truncated;
    }
    header = std::move(read);
    return HeaderResult::Read;
}

} // namespace

AssetRegistry::AssetRegistry() = default;
AssetRegistry::~AssetRegistry() = default;

bool AssetRegistry::Register(std::unique_ptr<Asset> asset)
{
    if (!asset || m_positions.count(asset->GetTypeKey()))
        return false;
    m_positions[asset->GetTypeKey()] = m_types.size();
    m_types.push_back(std::move(asset));
    return true;
}

Asset* AssetRegistry::FindType(uint32_t key) const
{
    auto found = m_positions.find(key);
    return found == m_positions.end() ? nullptr : m_types[found->second].get();
}

Asset* AssetRegistry::TypeAt(int index) const
{
    if (index < 0 || size_t(index) >= m_types.size())
        return nullptr;
    return m_types[size_t(index)].get();
}

bool AssetRegistry::ReadAssetHeader(AssetReader& file, uint32_t& typeKey, AssetHeader& header)
{
    return ParseAssetHeader(file, typeKey, header) == HeaderResult::Read;
}

Asset* AssetRegistry::LoadAsset(IToolContext& context, const std::string& path, AssetHeader& header)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
    {
        context.Log(Format("%s: Unable to open file.", path.c_str()), true, false);
        return nullptr;
    }
    return LoadAssetBytes(context, bytes, path, header);
}

Asset* AssetRegistry::LoadAssetBytes(IToolContext& context, std::string_view bytes, const std::string& path,
                                     AssetHeader& header)
{
    AssetReader file(bytes);
    uint32_t typeKey = 0;
    AssetHeader read;
    HeaderResult result = ParseAssetHeader(file, typeKey, read);
    if (result == HeaderResult::NotAnAsset)
    {
        context.Log(Format("%s: Not an asset file", path.c_str()), true, false);
        return nullptr;
    }
    Asset* asset = FindType(typeKey);
    if (!asset)
    {
        context.Log(Format("%s: No registered factory for this type", path.c_str()), true, false);
        return nullptr;
    }
    if (result == HeaderResult::Truncated || !asset->Load(file))
    {
        context.Log(Format("%s: Error loading asset", path.c_str()), true, false);
        return nullptr;
    }
    header = std::move(read);
    return asset;
}

bool AssetRegistry::AssetFileBytes(const Asset& asset, const AssetHeader& header, std::string& bytes)
{
    AssetWriter file;
    file.WriteBytes("AST");
    file.WriteByte(2);
    file.WriteUInt32(asset.GetTypeKey());
    file.WriteUInt32(header.status);
    file.WriteArchiveString(header.assignedTo);
    file.WriteArchiveString(header.comment);
    if (!asset.Save(file))
        return false;
    bytes = file.Bytes();
    return true;
}

bool AssetRegistry::SaveAsset(const Asset& asset, const std::string& path, const AssetHeader& header)
{
    std::string bytes;
    return AssetFileBytes(asset, header, bytes) && WriteFileAtomic(path, bytes);
}

void AssetRegistry::CloseAll()
{
    m_types.clear();
    m_positions.clear();
}

} // namespace mw
