// Encoding and checking of build cache entries.
#include "CacheEntry.h"

#include "Sha256.h"

#include <charconv>

namespace mw {
namespace {

constexpr std::string_view kMagic = "MWCACHE 1\n";
// A header is a few short lines; anything longer is not an entry.
constexpr size_t kMaxHeader = 256;

// Reads "name VALUE\n" at pos; the value in value.
bool ReadField(std::string_view header, size_t& pos, std::string_view name, std::string_view& value)
{
    if (header.substr(pos, name.size()) != name || pos + name.size() >= header.size() ||
        header[pos + name.size()] != ' ')
        return false;
    size_t start = pos + name.size() + 1;
    size_t end = header.find('\n', start);
    if (end == std::string_view::npos)
        return false;
    value = header.substr(start, end - start);
    pos = end + 1;
    return true;
}

bool ParseNumber(std::string_view text, uint64_t& number)
{
    if (text.empty())
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string EncodeCacheEntry(std::string_view payload, uint32_t exitCode)
{
    std::string bytes(kMagic);
    bytes += "size " + std::to_string(payload.size()) + "\n";
    bytes += "sha256 " + Sha256::HexOf(payload) + "\n";
    bytes += "exit " + std::to_string(exitCode) + "\n\n";
    bytes += payload;
    return bytes;
}

bool DecodeCacheEntry(std::string_view bytes, CacheEntry& entry, std::string& problem)
{
    size_t headerEnd = bytes.substr(0, kMaxHeader).find("\n\n");
    if (bytes.substr(0, kMagic.size()) != kMagic || headerEnd == std::string_view::npos)
    {
        problem = "not a cache entry";
        return false;
    }
    std::string_view header = bytes.substr(0, headerEnd + 1);
    size_t pos = kMagic.size();
    std::string_view sizeText, hashText, exitText;
    uint64_t size = 0, exitCode = 0;
    if (!ReadField(header, pos, "size", sizeText) || !ReadField(header, pos, "sha256", hashText) ||
        !ReadField(header, pos, "exit", exitText) || pos != header.size() || !ParseNumber(sizeText, size) ||
        !ParseNumber(exitText, exitCode) || exitCode > UINT32_MAX || hashText.size() != 64)
    {
        problem = "malformed header";
        return false;
    }
    std::string_view payload = bytes.substr(headerEnd + 2);
    if (payload.size() != size)
    {
        problem = payload.size() < size ? "truncated" : "longer than its size";
        return false;
    }
    if (Sha256::HexOf(payload) != hashText)
    {
        problem = "content does not match its hash";
        return false;
    }
    entry.payload.assign(payload);
    entry.exitCode = uint32_t(exitCode);
    return true;
}

} // namespace mw
