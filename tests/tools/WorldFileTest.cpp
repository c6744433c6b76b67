// GAME::WorldFile on valid and invalid world files.
#include "platform/engine/WorldFile.h"

#include <gtest/gtest.h>

namespace GAME {
namespace {

bool Parse(const std::string& text, WorldFile& world)
{
    BinaryReader reader(text.data(), text.size());
    return world.Read(reader);
}

TEST(WorldFile, ReadsRegionsInOrder)
{
    WorldFile world;
    ASSERT_TRUE(Parse("MWWORLD 1\r\n# the three parts\r\n\r\nregion North  maps/north.rgn\r\n"
                      "region South maps\\south part.rgn  \r\nregion East east.rgn",
                      world));
    ASSERT_EQ(world.GetNumRegions(), 3);
    EXPECT_EQ(world.GetRegion(0).name, "North");
    EXPECT_EQ(world.GetRegion(0).fileName, "maps/north.rgn");
    EXPECT_EQ(world.GetRegion(1).fileName, "maps\\south part.rgn");
    EXPECT_EQ(world.GetRegion(2).fileName, "east.rgn");
    EXPECT_EQ(world.GetRegion(3).fileName, "");

    ASSERT_TRUE(Parse("MWWORLD 1\n", world));
    EXPECT_EQ(world.GetNumRegions(), 0);
}

TEST(WorldFile, RefusesMalformedFilesAndKeepsNoRegions)
{
    std::string tooMany = "MWWORLD 1\n";
    for (int i = 0; i <= 4096; ++i)
        tooMany += "region r" + std::to_string(i) + " r.rgn\n";
    for (const std::string& text : {std::string(), std::string("MWWORLD 2\nregion a a.rgn\n"),
                                    std::string("region a a.rgn\n"), std::string("MWWORLD 1\nregion a\n"),
                                    std::string("MWWORLD 1\nregions a a.rgn\n"), std::string("MWWORLD 1\nzone a a.rgn\n"),
                                    std::string("MWWORLD 1\nregion a a.rgn\nregion a b.rgn\n"),
                                    std::string("MWWORLD 1\nregion a ../outside.rgn\n"),
                                    std::string("MWWORLD 1\nregion a /etc/passwd\n"),
                                    std::string("MWWORLD 1\nregion a C:\\x.rgn\n"),
                                    std::string("MWWORLD 1\nregion a a\0b.rgn\n", 27),
                                    "MWWORLD 1\nregion a " + std::string(5000, 'x') + "\n", tooMany})
    {
        WorldFile world;
        ASSERT_TRUE(Parse("MWWORLD 1\nregion keep k.rgn\n", world));
        EXPECT_FALSE(Parse(text, world)) << text.substr(0, 60);
        EXPECT_EQ(world.GetNumRegions(), 0);
    }
}

} // namespace
} // namespace GAME
