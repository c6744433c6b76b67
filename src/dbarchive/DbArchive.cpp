// Loading, updating and saving database archives.
#include "DbArchive.h"

#include "Adler32.h"
#include "BodyCompressor.h"
#include "ByteWriter.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <zlib.h>

namespace mw {
namespace {

constexpr int kMaxInflateGrowths = 100;

uint32_t ReadU32(const char* bytes)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// True when [offset, offset + length) lies inside an image of size bytes.
bool Inside(uint64_t offset, uint64_t length, uint64_t size) { return offset <= size && length <= size - offset; }

} // namespace

DbArchive::DbArchive()
    : m_scratch(new char[kInitialScratchCapacity]), m_scratchCapacity(kInitialScratchCapacity)
{
}

DbArchive::~DbArchive() = default;

std::string DbArchive::NormaliseRecordName(const std::string& name) { return ToLowerAscii(ToBackslashes(name)); }

void DbArchive::Load(const char* bytes, size_t size)
{
    if (!LoadSections(bytes, size))
        return;
    m_dataBlock.assign(bytes + ArchiveHeader::kSize, m_dataSize);
    m_dataStart = 0;
    // Only the bodies were kept.
    m_loadedStrings.reset();
}

void DbArchive::Load(std::string&& image)
{
    if (!LoadSections(image.data(), image.size()))
        return;
    m_dataBlock = std::move(image);
    m_dataStart = ArchiveHeader::kSize;
}

bool DbArchive::LoadSections(const char* bytes, size_t size)
{
    if (size < ArchiveHeader::kSize)
        return false;
    uint32_t first = ReadU32(bytes);
    if ((first & 0xFFFF) < ArchiveHeader::kVersion)
        return false;
    m_header.version = uint16_t(first & 0xFFFF);
    m_header.flags = uint16_t(first >> 16);
    m_header.indexOffset = ReadU32(bytes + 4);
    m_header.indexSize = ReadU32(bytes + 8);
    m_header.recordCount = ReadU32(bytes + 12);
    m_header.stringTableOffset = ReadU32(bytes + 16);
    m_header.stringTableSize = ReadU32(bytes + 20);

    if (m_header.indexOffset <= ArchiveHeader::kSize || m_header.indexOffset > size)
        return false;
    m_dataSize = m_header.indexOffset - ArchiveHeader::kSize;
    m_hasDataBlock = true;

    if (m_header.stringTableSize > 0 && Inside(m_header.stringTableOffset, m_header.stringTableSize, size))
    {
        const char* section = bytes + m_header.stringTableOffset;
        uint64_t sectionSize = m_header.stringTableSize;
        uint64_t at = 4;
        uint32_t count = sectionSize >= 4 ? ReadU32(section) : 0;
        // Each string takes at least its 4-byte length, so a damaged count
        // reserves no more than the section could hold.
        m_strings.Reserve(uint32_t(std::min<uint64_t>(count, sectionSize / 4) + 1));
        bool inOrder = true;
        uint32_t taken = 0;
        for (; taken < count && at + 4 <= sectionSize; ++taken)
        {
            uint32_t length = ReadU32(section + at);
            if (length > DbArchive::kMaxStringLength || length > sectionSize - at - 4)
                break;
            inOrder = m_strings.FindOrAdd(std::string_view(section + at + 4, length)) == taken && inOrder;
            at += 4 + uint64_t(length);
        }
        // Every string of the table taken, each as the next id: a save
        // writes these bytes again unchanged.
        if (inOrder && taken == count)
            m_loadedStrings = LoadedStrings{m_header.stringTableOffset + 4, size_t(at - 4), count};
        m_strings.FindOrAdd("");
    }

    if (m_header.indexSize > 0 && Inside(m_header.indexOffset, m_header.indexSize, size))
    {
        const char* section = bytes + m_header.indexOffset;
        uint64_t sectionSize = m_header.indexSize;
        uint64_t at = 0;
        m_entryIndex.Reset(EntryIndexLimit());
        for (uint32_t i = 0; i < m_header.recordCount; ++i)
        {
            if (sectionSize - at < 8)
                break;
            RecordEntry entry;
            entry.nameId = ReadU32(section + at);
            uint32_t classLength = ReadU32(section + at + 4);
            if (classLength > DbArchive::kMaxStringLength || sectionSize - at - 8 < uint64_t(classLength) + 16)
                break;
            entry.className.assign(section + at + 8, classLength);
            at += 8 + uint64_t(classLength);
            entry.bodyOffset = ReadU32(section + at);
            entry.bodySize = ReadU32(section + at + 4);
            entry.fileTimeLow = ReadU32(section + at + 8);
            entry.fileTimeHigh = ReadU32(section + at + 12);
            at += 16;
            // An entry whose body lies outside the bodies region is dropped, so
            // the record is compiled anew instead of failing every save.
            if (!Inside(entry.bodyOffset, entry.bodySize, m_dataSize))
                continue;
            size_t existing = m_entryIndex.Find(entry.nameId);
            if (existing != RecordEntryIndex::kNone)
                m_entries[existing] = std::move(entry);
            else
            {
                m_entryIndex.Set(entry.nameId, m_entries.size());
                m_entries.push_back(std::move(entry));
            }
        }
    }

    if ((m_header.flags & ArchiveHeader::kFlagChecksums) && size >= ArchiveChecksums::kSize)
    {
        const char* footer = bytes + size - ArchiveChecksums::kSize;
        m_storedChecksums.wholeFile = ReadU32(footer);
        m_storedChecksums.stringTable = ReadU32(footer + 4);
        m_storedChecksums.recordBodies = ReadU32(footer + 8);
        m_storedChecksums.recordIndex = ReadU32(footer + 12);
    }
    return true;
}

const RecordEntry* DbArchive::FindEntry(uint32_t nameId) const
{
    std::optional<size_t> place = EntryPlace(nameId);
    return place ? &m_entries[*place] : nullptr;
}

bool DbArchive::EnsureScratch(size_t capacity)
{
    if (capacity <= m_scratchCapacity)
        return true;
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity]);
    if (!bigger)
        return false;
    m_scratch = std::move(bigger);
    m_scratchCapacity = capacity;
    return true;
}

bool DbArchive::GetRecord(uint32_t nameId, std::string_view& body)
{
    m_lastError.clear();
    const RecordEntry* entry = FindEntry(nameId);
    if (!entry || !m_hasDataBlock)
        return false;
    const char* stored = DataBlock() + entry->bodyOffset;
    if (!(m_header.flags & ArchiveHeader::kFlagCompressed))
    {
        body = std::string_view(stored, entry->bodySize);
        return true;
    }
    int growths = 0;
    for (;;)
    {
        uLongf produced = uLongf(m_scratchCapacity);
        int result = uncompress(reinterpret_cast<Bytef*>(m_scratch.get()), &produced,
                                reinterpret_cast<const Bytef*>(stored), uLong(entry->bodySize));
        if (result == Z_OK)
        {
            m_scratchSize = produced;
            body = std::string_view(m_scratch.get(), m_scratchSize);
            return true;
        }
        if (result != Z_BUF_ERROR || m_scratchCapacity >= kMaxBodySize || growths >= kMaxInflateGrowths)
        {
            m_lastError = Format("Error decompressing database record: %d", result);
            return false;
        }
        // The buffer at least doubles, so any body up to the cap is reached in
        // a few attempts, whatever its compression ratio.
        size_t capacity = std::max({m_scratchCapacity * 2, m_scratchCapacity + 1024, size_t(entry->bodySize) * 3});
        capacity = std::min((capacity + 1023) / 1024 * 1024, kMaxBodySize);
        // The old buffer is freed before the larger one is allocated.
        m_scratch.reset();
        m_scratchCapacity = 0;
        m_scratch.reset(new (std::nothrow) char[capacity]);
        if (!m_scratch)
        {
            m_lastError = Format("Memory allocation of %dkb failed", int(capacity / 1024));
            return false;
        }
        m_scratchCapacity = capacity;
        ++growths;
    }
}

bool DbArchive::GetRecordByName(const std::string& name, std::string_view& body)
{
    return GetRecord(m_strings.FindOrAdd(NormaliseRecordName(name)), body);
}

std::optional<size_t> DbArchive::EntryPlace(uint32_t nameId) const
{
    size_t place = m_entryIndex.Find(nameId);
    return place == RecordEntryIndex::kNone ? std::nullopt : std::optional<size_t>(place);
}

uint64_t DbArchive::RecordTime(uint32_t nameId) const
{
    const RecordEntry* entry = FindEntry(nameId);
    return entry ? (uint64_t(entry->fileTimeHigh) << 32) | entry->fileTimeLow : 0;
}

void DbArchive::AddRecord(const char* body, size_t size, const std::string& name, const std::string& className,
                          uint32_t fileTimeLow, uint32_t fileTimeHigh)
{
    if (!m_compressor)
        m_compressor = std::make_unique<BodyCompressor>();
    // A body zlib cannot compress is stored empty, as before.
    std::string compressed;
    m_compressor->Compress(body, size, compressed);
    AddCompressedRecord(std::move(compressed), name, className, fileTimeLow, fileTimeHigh);
}

void DbArchive::AddCompressedRecord(std::string compressedBody, const std::string& name, const std::string& className,
                                    uint32_t fileTimeLow, uint32_t fileTimeHigh)
{
    PendingRecord pending;
    pending.entry.nameId = m_strings.FindOrAdd(ToLowerAscii(name));
    pending.entry.className = className;
    pending.entry.fileTimeLow = fileTimeLow;
    pending.entry.fileTimeHigh = fileTimeHigh;
    pending.entry.bodySize = uint32_t(compressedBody.size());
    pending.body = std::move(compressedBody);

    auto existing = m_pendingIndex.find(pending.entry.nameId);
    if (existing != m_pendingIndex.end())
    {
        pending.entry.bodyOffset = uint32_t(existing->second);
        m_pending[existing->second] = std::move(pending);
        return;
    }
    pending.entry.bodyOffset = uint32_t(m_pending.size());
    m_pendingIndex.emplace(pending.entry.nameId, m_pending.size());
    m_pending.push_back(std::move(pending));
}

void DbArchive::ReindexEntries()
{
    m_entryIndex.Reset(EntryIndexLimit());
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entryIndex.Set(m_entries[i].nameId, i);
}

void DbArchive::RemoveRecord(uint32_t nameId)
{
    size_t place = m_entryIndex.Find(nameId);
    if (place == RecordEntryIndex::kNone)
        return;
    m_entries.erase(m_entries.begin() + long(place));
    m_removedRecords = true;
    if (m_nameCursor > place)
        --m_nameCursor;
    ReindexEntries();
}

void DbArchive::BeginNames()
{
    m_nameCursor = 0;
    m_namesBegun = true;
}

std::string DbArchive::NextName()
{
    if (!m_namesBegun)
        BeginNames();
    while (m_nameCursor < m_entries.size())
    {
        if (std::optional<std::string_view> name = m_strings.GetString(m_entries[m_nameCursor++].nameId))
            return std::string(*name);
    }
    return std::string();
}

DbArchive::SaveImage::SaveImage() = default;
DbArchive::SaveImage::~SaveImage() = default;

size_t DbArchive::SaveImage::Size() const
{
    size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    return size;
}

bool DbArchive::PrepareSave(SaveImage& image, std::string& failure)
{
    image.pieces.clear();
    image.header.clear();
    image.tail.reset();
    failure.clear();
    m_savedOrder.clear();
    ArchiveHeader header = m_header;
    image.pieces.push_back(std::string_view()); // the header, once its fields are known

    // A loaded record with a pending body of the same name is written with
    // the pending one, at the end.
    std::vector<bool> replaced(m_strings.Count());
    for (const PendingRecord& pending : m_pending)
        if (pending.entry.nameId < replaced.size())
            replaced[pending.entry.nameId] = true;

    // Unchanged bodies keep their order; consecutive ones are one piece.
    m_savedOrder.reserve(m_entries.size() + m_pending.size());
    uint64_t position = 0;
    const char* runStart = nullptr;
    size_t runSize = 0;
    uint32_t bodiesSum = 1;
    auto endRun = [&] {
        if (runSize == 0)
            return;
        image.pieces.emplace_back(runStart, runSize);
        bodiesSum = Adler32(bodiesSum, runStart, runSize);
        runSize = 0;
    };
    for (size_t i = 0; i < m_entries.size(); ++i)
    {
        const RecordEntry& entry = m_entries[i];
        if (entry.nameId < replaced.size() && replaced[entry.nameId])
            continue;
        if (!m_hasDataBlock || !Inside(entry.bodyOffset, entry.bodySize, m_dataSize))
            return false;
        const char* body = DataBlock() + entry.bodyOffset;
        if (runSize > 0 && runStart + runSize != body)
            endRun();
        if (runSize == 0)
            runStart = body;
        runSize += entry.bodySize;
        m_savedOrder.emplace_back(i, uint32_t(position));
        position += entry.bodySize;
    }
    endRun();
    for (size_t i = 0; i < m_pending.size(); ++i)
    {
        const std::string& body = m_pending[i].body;
        image.pieces.emplace_back(body);
        bodiesSum = Adler32(bodiesSum, body.data(), body.size());
        m_savedOrder.emplace_back(m_entries.size() + i, uint32_t(position));
        position += body.size();
    }
    // Offsets are 32 bits wide: a larger archive could not be read back.
    if (ArchiveHeader::kSize + position > UINT32_MAX)
    {
        failure = "The database archive would be larger than 4 GB";
        return false;
    }
    auto savedEntry = [&](size_t index) -> const RecordEntry& {
        return index < m_entries.size() ? m_entries[index] : m_pending[index - m_entries.size()].entry;
    };

    // The index and the string table, sized exactly: the writer grows in
    // small steps.
    size_t tailSize = 4 + ArchiveChecksums::kSize;
    for (const auto& [index, offset] : m_savedOrder)
        tailSize += 24 + savedEntry(index).className.size();
    // The strings of a table loaded in order are written as loaded, from the image.
    uint32_t firstWritten = m_loadedStrings ? m_loadedStrings->count : 0;
    for (uint32_t id = firstWritten; id < m_strings.Count(); ++id)
        tailSize += 4 + m_strings.GetString(id)->size();
    image.tail = std::make_unique<ByteWriter>(tailSize);
    ByteWriter& tail = *image.tail;
    header.indexOffset = uint32_t(ArchiveHeader::kSize + position);
    for (const auto& [index, offset] : m_savedOrder)
    {
        const RecordEntry& entry = savedEntry(index);
        tail.WriteUInt32(entry.nameId);
        tail.WriteText(entry.className);
        tail.WriteUInt32(offset);
        tail.WriteUInt32(entry.bodySize);
        tail.WriteUInt32(entry.fileTimeLow);
        tail.WriteUInt32(entry.fileTimeHigh);
    }
    header.recordCount = uint32_t(m_savedOrder.size());
    header.indexSize = uint32_t(tail.Tell());
    header.stringTableOffset = header.indexOffset + header.indexSize;
    tail.WriteUInt32(m_strings.Count());
    size_t keptAt = tail.Tell();
    std::string_view kept = m_loadedStrings
                                ? std::string_view(m_dataBlock.data() + m_loadedStrings->offset, m_loadedStrings->size)
                                : std::string_view();
    for (uint32_t id = firstWritten; id < m_strings.Count(); ++id)
        tail.WriteText(*m_strings.GetString(id));
    if (tail.Failed())
    {
        failure = tail.FailureText();
        return false;
    }
    if (uint64_t(header.indexOffset) + tail.Tell() + kept.size() > UINT32_MAX)
    {
        failure = "The database archive would be larger than 4 GB";
        return false;
    }
    header.stringTableSize = uint32_t(tail.Tell() - header.indexSize + kept.size());
    header.version = ArchiveHeader::kVersion;
    header.flags = ArchiveHeader::kFlagCompressed | ArchiveHeader::kFlagChecksums;

    ByteWriter head(ArchiveHeader::kSize);
    head.WriteUInt32(uint32_t(header.version) | uint32_t(header.flags) << 16);
    for (uint32_t field : {header.indexOffset, header.indexSize, header.recordCount, header.stringTableOffset,
                           header.stringTableSize})
        head.WriteUInt32(field);
    image.header.assign(head.Data(), head.Size());

    // Each section is summed once; the whole file's sum is combined from them.
    ArchiveChecksums sums;
    sums.recordBodies = bodiesSum;
    sums.recordIndex = Adler32(1, tail.Data(), header.indexSize);
    sums.stringTable = Adler32(1, tail.Data() + header.indexSize, keptAt - header.indexSize);
    sums.stringTable = Adler32(sums.stringTable, kept.data(), kept.size());
    sums.stringTable = Adler32(sums.stringTable, tail.Data() + keptAt, tail.Tell() - keptAt);
    uLong whole = Adler32(1, image.header.data(), image.header.size());
    whole = adler32_combine(whole, sums.recordBodies, z_off_t(position));
    whole = adler32_combine(whole, sums.recordIndex, z_off_t(header.indexSize));
    sums.wholeFile = uint32_t(adler32_combine(whole, sums.stringTable, z_off_t(header.stringTableSize)));
    for (uint32_t sum : {sums.wholeFile, sums.stringTable, sums.recordBodies, sums.recordIndex})
        tail.WriteUInt32(sum);
    if (tail.Failed())
    {
        failure = tail.FailureText();
        return false;
    }
    image.pieces.front() = image.header;
    image.pieces.emplace_back(tail.Data(), keptAt);
    image.pieces.push_back(kept);
    image.pieces.emplace_back(tail.Data() + keptAt, tail.Size() - keptAt);
    m_savedHeader = header;
    return true;
}

void DbArchive::FinishSave()
{
    std::vector<RecordEntry> entries;
    entries.reserve(m_savedOrder.size());
    for (const auto& [index, offset] : m_savedOrder)
    {
        RecordEntry& entry = index < m_entries.size() ? m_entries[index] : m_pending[index - m_entries.size()].entry;
        entries.push_back(std::move(entry));
        entries.back().bodyOffset = offset;
    }
    m_entries = std::move(entries);
    m_savedOrder.clear();
    m_header = m_savedHeader;
    m_pending.clear();
    m_pendingIndex.clear();
    m_removedRecords = false;
    ReindexEntries();
    std::string().swap(m_dataBlock);
    m_loadedStrings.reset();
    m_hasDataBlock = false;
    m_dataStart = 0;
    m_dataSize = 0;
}

bool DbArchive::Serialize(ByteWriter& writer)
{
    SaveImage image;
    std::string failure;
    if (!PrepareSave(image, failure))
        return false;
    for (std::string_view piece : image.pieces)
        if (!writer.WriteBytes(piece))
            return false;
    FinishSave();
    return true;
}

void DbArchive::WriteStatistics(std::vector<std::string>& lines) const
{
    // The records actually loaded: a damaged header may claim any count.
    uint32_t recordCount = uint32_t(m_entries.size());
    lines.push_back(Format("Number of Records in archive: %u", recordCount));
    if (recordCount != 0)
    {
        uint32_t bodies = m_header.indexOffset > ArchiveHeader::kSize ? m_header.indexOffset - ArchiveHeader::kSize : 0;
        uint32_t average = bodies / recordCount;
        if (m_header.flags & ArchiveHeader::kFlagCompressed)
            lines.push_back(Format("Average Record size (compressed): %u", average));
        else
            lines.push_back(Format("Average Record size: %u", average));
    }
    lines.push_back(Format("Number of entries in StringMap: %u", m_strings.Count()));
}

} // namespace mw
