// One database archive in memory: the loaded record bodies (kept compressed),
// the record index, records added since the load, and the string table.
// Saving writes the whole file anew; unchanged bodies are written as stored,
// straight from the loaded image.
#pragma once

#include "ArchiveChecksums.h"
#include "ArchiveHeader.h"
#include "RecordEntry.h"
#include "RecordEntryIndex.h"
#include "StringMap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mw {

class BodyCompressor;
class ByteWriter;

class DbArchive
{
public:
    // The largest body the archive inflates, and the longest string the
    // string table and the index take: the compiler refuses records beyond
    // either, since what it wrote could not be read back.
    static constexpr size_t kMaxBodySize = 1048576;
    static constexpr size_t kMaxStringLength = 1048576;
    static constexpr size_t kInitialScratchCapacity = 10240;

    DbArchive();
    virtual ~DbArchive();
    DbArchive(const DbArchive&) = delete;
    DbArchive& operator=(const DbArchive&) = delete;

    // Reads a whole archive image into an empty archive. Offsets and lengths
    // are checked against the image: what does not fit is not taken.
    void Load(const char* bytes, size_t size);
    // The same for an image the archive may keep: its bodies are not copied.
    void Load(std::string&& image);

    // The (inflated) body of the main-table record with this name id; false
    // when there is none or it cannot be inflated (see LastError). The view
    // stays valid until the next GetRecord or AddRecord.
    bool GetRecord(uint32_t nameId, std::string_view& body);
    // Turns the name into the stored form ('/' to '\', lower case) first.
    bool GetRecordByName(const std::string& name, std::string_view& body);
    // The stored file time of a main-table record, or 0.
    uint64_t RecordTime(uint32_t nameId) const;
    // Where the main-table record of that name id is in Entries(), if any.
    std::optional<size_t> EntryPlace(uint32_t nameId) const;
    // Stores a new body (compressed) for the record, replacing any stored
    // body of that name at the next save. Adding a name twice keeps the later body.
    void AddRecord(const char* body, size_t size, const std::string& name, const std::string& className,
                   uint32_t fileTimeLow, uint32_t fileTimeHigh);
    // The same with the body already compressed as AddRecord would (see
    // BodyCompressor), so bodies can be compressed elsewhere and added in order.
    void AddCompressedRecord(std::string compressedBody, const std::string& name, const std::string& className,
                             uint32_t fileTimeLow, uint32_t fileTimeHigh);
    void RemoveRecord(uint32_t nameId);
    // True once a record was added or removed since the load: a save would
    // write other bytes than the loaded file's.
    bool HasChanges() const { return !m_pending.empty() || m_removedRecords; }

    // Iterates the names of the main table in table order; empty after the last.
    void BeginNames();
    std::string NextName();

    // A save's bytes in order: the header, the unchanged bodies as runs of
    // the loaded image, the new bodies, then the index, the string table and
    // the checksums. The pieces point into the archive and into this object,
    // and stay valid until the archive changes.
    struct SaveImage
    {
        SaveImage();
        ~SaveImage();
        std::vector<std::string_view> pieces;
        std::string header;
        std::unique_ptr<ByteWriter> tail;
        size_t Size() const;
    };
    // Lays out a save without copying the bodies; false (with the reason in
    // failure, which may be empty) when the archive cannot be written.
    bool PrepareSave(SaveImage& image, std::string& failure);
    // After the prepared image was written: pending records move into the
    // main table, and the loaded image, whose offsets no longer hold, is freed.
    void FinishSave();

    // Writes the complete file into a memory writer: PrepareSave, the
    // pieces, FinishSave.
    bool Serialize(ByteWriter& writer);
    void WriteStatistics(std::vector<std::string>& lines) const;

    StringMap& Strings() { return m_strings; }
    const StringMap& Strings() const { return m_strings; }
    const ArchiveHeader& Header() const { return m_header; }
    const ArchiveChecksums& StoredChecksums() const { return m_storedChecksums; }
    // The main table, in table order.
    const std::vector<RecordEntry>& Entries() const { return m_entries; }
    // "Error decompressing database record: %d" after a failed GetRecord.
    const std::string& LastError() const { return m_lastError; }

    // The stored form of a record name: '/' becomes '\', letters lower-cased.
    static std::string NormaliseRecordName(const std::string& name);

private:
    struct PendingRecord
    {
        RecordEntry entry;
        std::string body; // compressed
    };

    const RecordEntry* FindEntry(uint32_t nameId) const;
    // Parses the image; the bodies region is taken by the caller.
    bool LoadSections(const char* bytes, size_t size);
    const char* DataBlock() const { return m_dataBlock.data() + m_dataStart; }
    void ReindexEntries();
    // Name ids below this have a string: the entry index keeps them in its array.
    size_t EntryIndexLimit() const { return size_t(m_strings.Count()) + 1; }
    bool EnsureScratch(size_t capacity);

    ArchiveHeader m_header;
    ArchiveChecksums m_storedChecksums;
    // The loaded image (or a copy of its bodies region); the bodies region
    // starts at m_dataStart and is m_dataSize bytes long.
    std::string m_dataBlock;
    size_t m_dataStart = 0;
    size_t m_dataSize = 0;
    // The loaded string table's strings in the kept image, when they became
    // ids 0 to count - 1 in order (no string twice, none cut off).
    struct LoadedStrings
    {
        size_t offset = 0;
        size_t size = 0;
        uint32_t count = 0;
    };
    std::optional<LoadedStrings> m_loadedStrings;
    bool m_hasDataBlock = false;
    // Main table in file (then adding) order, with an index by name id.
    std::vector<RecordEntry> m_entries;
    RecordEntryIndex m_entryIndex;
    std::vector<PendingRecord> m_pending;
    // What a prepared save writes, taken by FinishSave: for each record of
    // the new table in order, its entry (an index into m_entries, or
    // m_entries.size() plus an index into m_pending) and its new offset.
    std::vector<std::pair<size_t, uint32_t>> m_savedOrder;
    ArchiveHeader m_savedHeader;
    std::unordered_map<uint32_t, size_t> m_pendingIndex;
    StringMap m_strings;
    // Made on the first AddRecord: archives that are only read need none.
    std::unique_ptr<BodyCompressor> m_compressor;
    std::unique_ptr<char[]> m_scratch;
    size_t m_scratchCapacity = 0;
    size_t m_scratchSize = 0;
    size_t m_nameCursor = 0;
    bool m_removedRecords = false;
    bool m_namesBegun = false;
    std::string m_lastError;
};

} // namespace mw
