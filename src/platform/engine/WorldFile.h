// Reads world files of map assets.
#pragma once

#include "BinaryReader.h"

#include <string>
#include <vector>

namespace GAME {

struct Region
{
    std::string name;
    std::string fileName;
};

class WorldFile
{
public:
    WorldFile();
    ~WorldFile();

    bool Read(BinaryReader& reader);
    int GetNumRegions() const;
    const Region& GetRegion(int index) const;

private:
    std::vector<Region> m_regions;
};

} // namespace GAME
