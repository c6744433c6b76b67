// Parsing, compressing and writing resource archives.
#include "ResourceArchiveFile.h"
#include "ZlibDeflater.h"

#include <algorithm>
#include <zlib.h>

namespace GAME {
namespace {

constexpr char kMagic[4] = {'M', 'W', 'R', 'A'};
// u16 name length + offset, stored size, size, checksum, time, method.
constexpr size_t kFixedRecordSize = 2 + 8 + 4 + 4 + 4 + 8 + 1;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string LowerName(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        c = Lower(c);
    return lower;
}

class Cursor
{
public:
    explicit Cursor(std::string_view bytes) : m_bytes(bytes) {}
    size_t Remaining() const { return m_bytes.size() - m_position; }
    bool Skip(size_t count)
    {
        if (Remaining() < count)
            return false;
        m_position += count;
        return true;
    }
    template <typename T> bool Read(T& value)
    {
        if (Remaining() < sizeof(T))
            return false;
        uint64_t result = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            result |= uint64_t(uint8_t(m_bytes[m_position + i])) << (8 * i);
        value = T(result);
        m_position += sizeof(T);
        return true;
    }
    bool ReadBytes(size_t count, std::string_view& bytes)
    {
        if (Remaining() < count)
            return false;
        bytes = m_bytes.substr(m_position, count);
        m_position += count;
        return true;
    }

private:
    std::string_view m_bytes;
    size_t m_position = 0;
};

template <typename T> void Append(std::string& out, T value)
{
    for (size_t i = 0; i < sizeof(T); ++i)
        out += char(uint64_t(value) >> (8 * i) & 0xFF);
}

uint32_t Adler(std::string_view bytes)
{
    uLong sum = adler32(0L, Z_NULL, 0);
    // adler32 takes a uInt length; entries are at most 1 GiB but tables of a
    // huge archive need not be, so feed it in slices.
    size_t done = 0;
    while (done < bytes.size())
    {
        size_t slice = std::min<size_t>(bytes.size() - done, 1u << 30);
        sum = adler32(sum, reinterpret_cast<const Bytef*>(bytes.data() + done), uInt(slice));
        done += slice;
    }
    return uint32_t(sum);
}

// One stream per level and thread, reset for each entry: an archive of many
// small entries spent most of its packing time setting zlib up when each
// entry had its own.
bool Deflate(std::string_view bytes, int level, std::string& compressed)
{
    thread_local std::unique_ptr<mw::ZlibDeflater> deflaters[10];
    level = std::clamp(level, 0, 9);
    std::unique_ptr<mw::ZlibDeflater>& deflater = deflaters[level];
    if (!deflater)
        deflater = std::make_unique<mw::ZlibDeflater>(level);
    return deflater->Compress(bytes.data(), bytes.size(), compressed);
}

} // namespace

bool ResourceArchiveFile::Parse(std::string_view image, std::string& error)
{
    m_entries.clear();
    m_buffers.clear();
    m_indexValid = false;
    Cursor header(image);
    std::string_view magic;
    uint32_t version = 0, count = 0, tableSize = 0, tableChecksum = 0, reserved = 0;
    uint64_t tableOffset = 0;
    if (!header.ReadBytes(4, magic) || !header.Read(version) || !header.Read(count) || !header.Read(tableSize) ||
        !header.Read(tableOffset) || !header.Read(tableChecksum) || !header.Read(reserved))
    {
        error = "file too short for an archive header";
        return false;
    }
    if (magic != std::string_view(kMagic, 4))
    {
        error = "not a resource archive (wrong magic)";
        return false;
    }
    if (version != kVersion || reserved != 0)
    {
        error = "unsupported archive version " + std::to_string(version);
        return false;
    }
    if (count > kMaxEntries)
    {
        error = "entry count " + std::to_string(count) + " out of range";
        return false;
    }
    if (tableOffset < kHeaderSize || tableOffset > image.size() || image.size() - tableOffset != tableSize)
    {
        error = "entry table outside the file";
        return false;
    }
    if (uint64_t(count) * (kFixedRecordSize + 1) > tableSize)
    {
        error = "entry table too small for its entry count";
        return false;
    }
    std::string_view table = image.substr(size_t(tableOffset), tableSize);
    if (Adler(table) != tableChecksum)
    {
        error = "entry table checksum mismatch";
        return false;
    }
    Cursor cursor(table);
    std::vector<ResourceArchiveEntry> entries;
    entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
    {
        ResourceArchiveEntry entry;
        uint16_t nameLength = 0;
        std::string_view name;
        uint64_t offset = 0;
        uint32_t storedSize = 0;
        if (!cursor.Read(nameLength) || !cursor.ReadBytes(nameLength, name) || !cursor.Read(offset) ||
            !cursor.Read(storedSize) || !cursor.Read(entry.size) || !cursor.Read(entry.checksum) ||
            !cursor.Read(entry.time) || !cursor.Read(entry.method))
        {
            error = "entry table ends inside entry " + std::to_string(i);
            return false;
        }
        if (nameLength == 0 || nameLength > kMaxNameLength)
        {
            error = "entry " + std::to_string(i) + " has a name length out of range";
            return false;
        }
        if (entry.method != kStored && entry.method != kDeflated)
        {
            error = "entry " + std::to_string(i) + " has an unknown method";
            return false;
        }
        // Deflate expands at most about 1032 times, so a larger claimed size
        // marks a damaged entry before any buffer is allocated for it.
        if (entry.size > kMaxEntrySize || (entry.method == kStored && storedSize != entry.size) ||
            (entry.method == kDeflated && uint64_t(entry.size) > uint64_t(storedSize) * 1032 + 64))
        {
            error = "entry " + std::to_string(i) + " has a size out of range";
            return false;
        }
        if (offset < kHeaderSize || offset > tableOffset || tableOffset - offset < storedSize)
        {
            error = "entry " + std::to_string(i) + " has data outside the file";
            return false;
        }
        entry.name.assign(name);
        entry.stored = image.substr(size_t(offset), storedSize);
        entries.push_back(std::move(entry));
    }
    if (cursor.Remaining() != 0)
    {
        error = "entry table has trailing bytes";
        return false;
    }
    m_entries = std::move(entries);
    m_indexValid = false;
    return true;
}

int ResourceArchiveFile::Find(std::string_view name) const
{
    if (!m_indexValid)
    {
        m_index.clear();
        for (size_t i = 0; i < m_entries.size(); ++i)
            m_index.emplace(LowerName(m_entries[i].name), i);
        m_indexValid = true;
    }
    auto found = m_index.find(LowerName(name));
    return found == m_index.end() ? -1 : int(found->second);
}

std::string_view ResourceArchiveFile::Keep(std::string bytes)
{
    m_buffers.push_back(std::make_unique<std::string>(std::move(bytes)));
    return *m_buffers.back();
}

bool ResourceArchiveFile::Put(const std::string& name, std::string_view bytes, uint64_t time, int level)
{
    if (bytes.size() > kMaxEntrySize)
        return false;
    ResourceArchiveEntry entry;
    entry.name = name;
    entry.size = uint32_t(bytes.size());
    entry.checksum = Adler(bytes);
    entry.time = time;
    std::string compressed;
    level = std::clamp(level, 0, 9);
    if (level > 0 && Deflate(bytes, level, compressed) && compressed.size() < bytes.size())
    {
        entry.method = kDeflated;
        entry.stored = Keep(std::move(compressed));
    }
    else
    {
        entry.method = kStored;
        entry.stored = Keep(std::string(bytes));
    }
    PutEntry(entry);
    return true;
}

void ResourceArchiveFile::PutEntry(const ResourceArchiveEntry& entry)
{
    int existing = Find(entry.name);
    if (existing >= 0)
    {
        // A name that differs only in letter case takes the old entry's place.
        m_entries[size_t(existing)] = entry;
        return;
    }
    m_entries.push_back(entry);
    m_index.emplace(LowerName(entry.name), m_entries.size() - 1);
}

void ResourceArchiveFile::Remove(size_t index)
{
    if (index < m_entries.size())
        m_entries.erase(m_entries.begin() + std::ptrdiff_t(index));
    m_indexValid = false;
}

void ResourceArchiveFile::SortByName()
{
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const ResourceArchiveEntry& a, const ResourceArchiveEntry& b) { return a.name < b.name; });
    m_indexValid = false;
}

bool ResourceArchiveFile::Recompress(std::string& error)
{
    for (ResourceArchiveEntry& entry : m_entries)
    {
        std::string bytes;
        if (!Inflate(entry, bytes, error))
        {
            error = "'" + entry.name + "': " + error;
            return false;
        }
        std::string compressed;
        if (Deflate(bytes, 9, compressed) && compressed.size() < entry.stored.size())
        {
            entry.method = kDeflated;
            entry.stored = Keep(std::move(compressed));
        }
    }
    return true;
}

std::string ResourceArchiveFile::Serialize() const
{
    std::string table;
    uint64_t offset = kHeaderSize;
    for (const ResourceArchiveEntry& entry : m_entries)
    {
        Append(table, uint16_t(entry.name.size()));
        table += entry.name;
        Append(table, offset);
        Append(table, uint32_t(entry.stored.size()));
        Append(table, entry.size);
        Append(table, entry.checksum);
        Append(table, entry.time);
        Append(table, entry.method);
        offset += entry.stored.size();
    }
    std::string out;
    out.reserve(size_t(offset) + table.size());
    out.append(kMagic, 4);
    Append(out, kVersion);
    Append(out, uint32_t(m_entries.size()));
    Append(out, uint32_t(table.size()));
    Append(out, offset);
    Append(out, Adler(table));
    Append(out, uint32_t(0));
    for (const ResourceArchiveEntry& entry : m_entries)
        out += entry.stored;
    out += table;
    return out;
}

bool ResourceArchiveFile::Inflate(const ResourceArchiveEntry& entry, std::string& bytes, std::string& error)
{
    if (entry.method == kStored)
    {
        if (entry.stored.size() != entry.size)
        {
            error = "stored size differs from the entry size";
            return false;
        }
        bytes.assign(entry.stored);
    }
    else
    {
        bytes.assign(entry.size, '\0');
        uLongf length = entry.size;
        int result = uncompress(reinterpret_cast<Bytef*>(bytes.data()), &length,
                                reinterpret_cast<const Bytef*>(entry.stored.data()), uLong(entry.stored.size()));
        if (result != Z_OK || length != entry.size)
        {
            error = "compressed data is damaged";
            bytes.clear();
            return false;
        }
    }
    if (Adler(bytes) != entry.checksum)
    {
        error = "checksum mismatch";
        bytes.clear();
        return false;
    }
    return true;
}

std::string ResourceArchiveFile::NormalizeName(std::string_view name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return std::string();
    std::string result;
    size_t start = 0;
    while (start <= name.size())
    {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = name.size();
        std::string_view part = name.substr(start, end - start);
        if (part == "." || (part.empty() && end < name.size()))
        {
            // "./" prefixes and doubled separators carry no meaning.
        }
        else
        {
            if (!result.empty())
                result += '/';
            result += part;
        }
        start = end + 1;
    }
    return IsSafeName(result) ? result : std::string();
}

bool ResourceArchiveFile::IsSafeName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    size_t start = 0;
    for (;;)
    {
        size_t end = name.find('/', start);
        std::string_view part = name.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        for (char c : part)
            if (c == '\\' || c == ':' || (unsigned char)c < 0x20 || c == 0x7F)
                return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

} // namespace GAME
