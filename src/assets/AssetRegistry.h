// The registered asset types (one instance each, owned here) and the load
// and save of asset files through them.
//
// Asset file layout (little-endian):
//   0  3  "AST"
//   3  1  header version, signed; written as 2, 1 means no header record,
//         0 or below is not an asset file, 2 and above read as 2
//   4  4  type key
//   8     header record (version 2): status (32-bit), assigned-to text and
//         comment text in the archive string form
//   ...   the type body
#pragma once

#include "AssetHeader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class Asset;
class AssetReader;
class IToolContext;

class AssetRegistry
{
public:
    AssetRegistry();
    ~AssetRegistry();
    AssetRegistry(const AssetRegistry&) = delete;
    AssetRegistry& operator=(const AssetRegistry&) = delete;

    // Appends a type; its key must not be registered yet (a second one is
    // refused and false returned).
    bool Register(std::unique_ptr<Asset> asset);
    // The registered instance for a key, or null.
    Asset* FindType(uint32_t key) const;
    // The types in registration order.
    Asset* TypeAt(int index) const;
    int TypeCount() const { return int(m_types.size()); }

    // Reads the first 8 bytes and the header record at the reader's start;
    // false when the bytes are not an asset file or the record ends early.
    // On success the reader stands at the first byte of the body.
    static bool ReadAssetHeader(AssetReader& file, uint32_t& typeKey, AssetHeader& header);
    // Reads an asset file into its type's registered instance and hands that
    // out (valid until the next load of the same type); null after a logged
    // reason.
    Asset* LoadAsset(IToolContext& context, const std::string& path, AssetHeader& header);
    // The same for the bytes of an asset file already read; path names it in
    // the log lines.
    Asset* LoadAssetBytes(IToolContext& context, std::string_view bytes, const std::string& path,
                          AssetHeader& header);
    // Writes a complete asset file in one atomic replace; false when the
    // file could not be written (a read-only file included).
    static bool SaveAsset(const Asset& asset, const std::string& path, const AssetHeader& header);
    // The bytes SaveAsset writes; false when the type refuses to save.
    static bool AssetFileBytes(const Asset& asset, const AssetHeader& header, std::string& bytes);

    // Deletes every registered instance.
    void CloseAll();

private:
    std::vector<std::unique_ptr<Asset>> m_types;
    std::map<uint32_t, size_t> m_positions;
};

} // namespace mw
