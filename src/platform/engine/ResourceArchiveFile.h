// The resource archive (.arc) format shared by the ArcPack tool and
// GAME::Archive: parsing with every size checked, compression of entries and
// writing a whole archive anew. The byte layout is documented in tools/README.md.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace GAME {

struct ResourceArchiveEntry
{
    std::string name;      // relative path with '/' separators
    uint32_t size = 0;     // original bytes
    uint32_t checksum = 0; // Adler-32 of the original bytes
    uint64_t time = 0;     // last-write time, 100 ns units since 1601
    uint8_t method = 0;    // kStored or kDeflated
    // The stored (possibly compressed) bytes: a view into the parsed image or
    // into a buffer the archive owns.
    std::string_view stored;
};

class ResourceArchiveFile
{
public:
    static constexpr uint8_t kStored = 0;
    static constexpr uint8_t kDeflated = 1;
    static constexpr uint32_t kVersion = 1;
    static constexpr size_t kHeaderSize = 32;
    static constexpr uint32_t kMaxEntries = 1000000;
    static constexpr uint32_t kMaxEntrySize = 1u << 30;
    static constexpr size_t kMaxNameLength = 1024;

    // Reads an archive image. Entries keep views into image, which the caller
    // keeps alive as long as this object. False with a reason on any
    // inconsistency; the object is then empty.
    bool Parse(std::string_view image, std::string& error);

    const std::vector<ResourceArchiveEntry>& Entries() const { return m_entries; }
    // Index of the entry with that name, compared ignoring ASCII case; -1 when absent.
    int Find(std::string_view name) const;

    // Adds or replaces the entry of that name with the bytes compressed at
    // level (0 stores them). False when the bytes are too large.
    bool Put(const std::string& name, std::string_view bytes, uint64_t time, int level);
    // Adds or replaces an entry whose stored bytes are already in hand.
    void PutEntry(const ResourceArchiveEntry& entry);
    void Remove(size_t index);
    void SortByName();
    // Re-deflates every entry at the best level, keeping the smaller form.
    // False with a reason when an entry does not inflate to its checksum.
    bool Recompress(std::string& error);

    // The whole archive as bytes.
    std::string Serialize() const;

    // The original bytes of an entry, checked against its size and checksum.
    static bool Inflate(const ResourceArchiveEntry& entry, std::string& bytes, std::string& error);
    // Canonical form of a relative name: '\' becomes '/', "./" components
    // vanish. Empty when the name is unsafe (see IsSafeName).
    static std::string NormalizeName(std::string_view name);
    // Relative, no empty, "." or ".." components, no ':' and no control
    // characters, at most kMaxNameLength bytes, only '/' separators.
    static bool IsSafeName(std::string_view name);

private:
    std::string_view Keep(std::string bytes);

    std::vector<ResourceArchiveEntry> m_entries;
    std::vector<std::unique_ptr<std::string>> m_buffers;
    // Lower-cased name -> first index, built when first needed, so that
    // adding thousands of files does not compare every pair of names.
    mutable std::unordered_map<std::string, size_t> m_index;
    mutable bool m_indexValid = false;
};

} // namespace GAME
