// Typed paths read against a root folder: what they name below it, and what
// is refused for leaving it.
#include "app/RootedPath.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(RootedPath, TypedPathsResolveBelowTheRootAndNeverAboveIt)
{
    struct Case { const char* folder; const char* typed; bool below; const char* relative; };
    const char* root = "/w/Source/";
    const Case cases[] = {
        {"/w/Source", "textures/rock.tga", true, "textures/rock.tga"},
        {"/w/Source/textures", "rock.tga", true, "textures/rock.tga"},
        {"/w/Source/textures", "..\\maps\\a.tga", true, "maps/a.tga"},
        {"/w/Source", "./textures//rock.tga", true, "textures/rock.tga"},
        {"/w/Source/x", "/W/source/textures/rock.tga", true, "textures/rock.tga"},
        {"/w/Source", "../Tools.ini", false, ""},
        {"/w/Source/textures", "../../database/a.dbr", false, ""},
        {"/w/Source", "textures/../../Source2/a.tga", false, ""},
        {"/w/Source", "/etc/passwd", false, ""},
        {"/w/Source", "../../../../../../x", false, ""},
        {"/w/Source/textures", "..", false, ""},
        {"/w/Source", "", false, ""},
        {"/w/Source", "C:\\w\\Source\\a.tga", false, ""},
    };
    for (const Case& c : cases)
    {
        std::string relative = "stale";
        EXPECT_EQ(RelativeBelowRoot(root, c.folder, c.typed, relative), c.below) << c.folder << " + " << c.typed;
        EXPECT_EQ(relative, c.relative) << c.folder << " + " << c.typed;
    }
    std::string relative;
    EXPECT_TRUE(RelativeBelowRoot("C:\\Mods\\source\\", "C:\\Mods\\source", "C:/mods/Source/t/a.tga", relative));
    EXPECT_EQ(relative, "t/a.tga");
}

} // namespace
} // namespace mw
