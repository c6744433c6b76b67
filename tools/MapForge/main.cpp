// MapForge: compiles a world file and the region files it lists into a .map.
// The world file is read by the engine library's own reader, so the tool and
// the compiler agree on it. Command line and formats: tools/README.md.
#include "common/CompilerMain.h"
#include "common/BinaryOutput.h"
#include "common/TextLines.h"
#include "common/ToolOutput.h"

#include "platform/PathRules.h"
#include "platform/engine/WorldFile.h"

#include <map>
#include <string>
#include <vector>

namespace {

using mw::Format;
using mw::tools::TextLines;

const char kProgram[] = "MapForge";
constexpr uint32_t kFormatVersion = 1;
constexpr int64_t kMaxRegionSide = 1024;
// Region files beyond this are refused unread.
constexpr uint64_t kMaxInputSize = 256u << 20;
// The whole map is held in memory: its cells and objects are bounded.
constexpr size_t kMaxMapCells = size_t(64) << 20;
constexpr size_t kMaxMapObjects = size_t(4) << 20;

struct MapObject
{
    std::string name;
    float position[3] = {0, 0, 0};
};

// What a region file holds; a world may name one file for several regions,
// which then share one read of it.
struct RegionData
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<int16_t> heights;
    std::vector<MapObject> objects;
};

bool Fail(const std::string& message)
{
    mw::tools::ReportError(kProgram, message);
    return false;
}

bool ReadRegion(const std::string& path, RegionData& region)
{
    std::string text;
    if (!mw::tools::ReadInput(kProgram, path, text, kMaxInputSize))
        return false;
    TextLines lines(text, path);
    std::vector<std::string_view> t;
    if (!lines.Next(t) || t.size() != 2 || t[0] != "MWREGION" || t[1] != "1")
        return Fail(lines.Error("expected \"MWREGION 1\""));
    int64_t width = 0, height = 0;
    if (!lines.Next(t) || t.size() != 3 || t[0] != "size" || !TextLines::ToInt(t[1], 1, kMaxRegionSide, width) ||
        !TextLines::ToInt(t[2], 1, kMaxRegionSide, height))
        return Fail(lines.Error("expected \"size W H\" with W and H from 1 to 1024"));
    if (!lines.Next(t) || t.size() != 1 || t[0] != "heights")
        return Fail(lines.Error("expected \"heights\""));
    region.width = uint32_t(width);
    region.height = uint32_t(height);
    region.heights.reserve(size_t(width * height));
    for (int64_t row = 0; row < height; ++row)
    {
        if (!lines.Next(t) || int64_t(t.size()) != width)
            return Fail(lines.Error(Format("expected a row of %lld heights", (long long)width)));
        for (std::string_view token : t)
        {
            int64_t value = 0;
            if (!TextLines::ToInt(token, -32768, 32767, value))
                return Fail(lines.Error(Format("'%.*s' is not a height from -32768 to 32767", int(token.size()), token.data())));
            region.heights.push_back(int16_t(value));
        }
    }
    while (lines.Next(t))
    {
        MapObject object;
        if (t.size() != 5 || t[0] != "object" || !TextLines::ToFloat(t[2], object.position[0]) ||
            !TextLines::ToFloat(t[3], object.position[1]) || !TextLines::ToFloat(t[4], object.position[2]))
            return Fail(lines.Error("expected \"object NAME X Y Z\""));
        object.name.assign(t[1]);
        region.objects.push_back(std::move(object));
    }
    return true;
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    if (args.size() != 3 && args.size() != 4)
    {
        mw::tools::ReportError(kProgram, "usage: MapForge WORLD SOURCEFOLDER OUTPUT [STATISTICS]");
        return 1;
    }
    const std::string& worldPath = args[0];
    std::string sourceFolder = args[1];
    const std::string& output = args[2];
    if (!sourceFolder.empty() && !mw::IsSeparator(sourceFolder.back()))
        sourceFolder += '/';

    std::string worldText;
    if (!mw::tools::ReadInput(kProgram, worldPath, worldText, kMaxInputSize))
        return 1;
    GAME::WorldFile world;
    GAME::BinaryReader reader(worldText.data(), worldText.size());
    if (!world.Read(reader))
    {
        Fail(Format("'%s' is not a valid world file (see the world file format)", worldPath.c_str()));
        return 1;
    }
    // Each region names its file; each distinct file is read once.
    std::vector<RegionData> bodies;
    std::map<std::string, size_t> bodyOfFile;
    std::vector<size_t> regionBody(size_t(world.GetNumRegions()));
    size_t cells = 0, objects = 0;
    for (int i = 0; i < world.GetNumRegions(); ++i)
    {
        std::string path = sourceFolder + world.GetRegion(i).fileName;
        std::string key = mw::ToLowerAscii(mw::ToForwardSlashes(path));
        auto found = bodyOfFile.find(key);
        if (found == bodyOfFile.end())
        {
            RegionData body;
            if (!ReadRegion(path, body))
                return 1;
            found = bodyOfFile.emplace(key, bodies.size()).first;
            bodies.push_back(std::move(body));
        }
        regionBody[size_t(i)] = found->second;
        cells += bodies[found->second].heights.size();
        objects += bodies[found->second].objects.size();
        if (cells > kMaxMapCells || objects > kMaxMapObjects)
        {
            Fail(Format("'%s': the map's regions hold more than %zu cells or %zu objects", worldPath.c_str(),
                        kMaxMapCells, kMaxMapObjects));
            return 1;
        }
    }

    mw::tools::BinaryOutput out;
    out.Bytes("MWMP");
    out.U32(kFormatVersion);
    out.U32(uint32_t(regionBody.size()));
    for (size_t i = 0; i < regionBody.size(); ++i)
    {
        const RegionData& region = bodies[regionBody[i]];
        out.String(world.GetRegion(int(i)).name);
        out.String(world.GetRegion(int(i)).fileName);
        out.U32(region.width);
        out.U32(region.height);
        for (int16_t value : region.heights)
            out.I16(value);
        out.U32(uint32_t(region.objects.size()));
        for (const MapObject& object : region.objects)
        {
            out.String(object.name);
            for (float value : object.position)
                out.F32(value);
        }
    }
    if (!mw::tools::WriteOutput(kProgram, output, out))
        return 1;
    mw::tools::ReportProgress(Format("%s: %zu region(s), %zu cells, %zu object(s), %zu bytes", output.c_str(),
                                     regionBody.size(), cells, objects, out.Data().size()));
    if (args.size() == 4)
        mw::tools::AppendStatisticsLine(kProgram, args[3], "Output,Regions,Cells,Objects,Bytes",
                                        {output, std::to_string(regionBody.size()), std::to_string(cells),
                                         std::to_string(objects), std::to_string(out.Data().size())});
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
