// World files: a text list of the regions of a map. The format (also written
// by hand and read by MapForge) is documented in tools/README.md.
#include "WorldFile.h"

#include <set>

namespace GAME {
namespace {

constexpr std::string_view kFirstLine = "MWWORLD 1";
constexpr size_t kMaxLineLength = 4096;
constexpr size_t kMaxRegions = 4096;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A region file path must stay below the source folder.
bool IsRelativeBelow(std::string_view path)
{
    if (path.empty() || path[0] == '/' || path[0] == '\\' || path.find(':') != std::string_view::npos)
        return false;
    size_t start = 0;
    while (start <= path.size())
    {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = path.size();
        if (path.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

WorldFile::WorldFile() = default;
WorldFile::~WorldFile() = default;

bool WorldFile::Read(BinaryReader& reader)
{
    m_regions.clear();
    std::string_view text;
    if (!reader.ReadBytes(reader.Remaining(), text))
        return false;
    std::vector<Region> regions;
    std::set<std::string> names;
    size_t lineNumber = 0;
    while (!text.empty())
    {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kMaxLineLength || line.find('\0') != std::string_view::npos)
            return false;
        ++lineNumber;
        if (lineNumber == 1)
        {
            if (Trim(line) != kFirstLine)
                return false;
            continue;
        }
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        constexpr std::string_view kKeyword = "region";
        if (line.substr(0, kKeyword.size()) != kKeyword || line.size() == kKeyword.size() ||
            !IsBlank(line[kKeyword.size()]))
            return false;
        line = Trim(line.substr(kKeyword.size()));
        size_t blank = line.find_first_of(" \t");
        if (blank == std::string_view::npos)
            return false;
        Region region;
        region.name.assign(line.substr(0, blank));
        region.fileName.assign(Trim(line.substr(blank)));
        if (region.fileName.empty() || !IsRelativeBelow(region.fileName) || !names.insert(region.name).second)
            return false;
        if (regions.size() == kMaxRegions)
            return false;
        regions.push_back(std::move(region));
    }
    if (lineNumber == 0)
        return false;
    m_regions = std::move(regions);
    return true;
}

int WorldFile::GetNumRegions() const { return int(m_regions.size()); }

const Region& WorldFile::GetRegion(int index) const
{
    static const Region kNone;
    if (index < 0 || size_t(index) >= m_regions.size())
        return kNone;
    return m_regions[size_t(index)];
}

} // namespace GAME
