// MeshForge and AnimForge run for real with the Mesh and Animation command
// lines on export data written by the test.
#include "ToolRun.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <cstring>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::RunToolCommand;
using test::TempFolder;
using test::ToolsFolder;
using test::WriteFile;

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

float F32(const std::string& bytes, size_t at)
{
    float value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// A unit quad in the z = 0 plane, u along x and v along y, with colours.
const char kQuad[] = "MDL 1\r\n# a quad\r\nvertices 4 colors\r\n0 0 0 0 0 255 0 0 255\r\n2 0 0 1 0 0 255 0 255\r\n"
                     "2 2 0 1 1 0 0 255 255\r\n0 2 0 0 1 9 9 9 9\r\ntriangles 2\r\n0 1 2 0\r\n0 2 3 1\r\n";

class ForgeTest : public ::testing::Test
{
protected:
    std::string Src() const { return temp.Path() + "source\\"; }
    test::ToolResult Run(const std::string& commandLine) { return RunToolCommand(commandLine, temp.Path()); }

    TempFolder temp;
};

TEST_F(ForgeTest, MeshWithMaterialsTangentsColoursAndStatistics)
{
    WriteFile(temp / "temp.mdl", kQuad);
    WriteFile(temp / "source/meshes/ogre.mif", "MIF 1\nmaterial skin creatures/ogre/skin.tga\nmaterial eyes\n");
    std::string out = temp.Path() + "Build/resources/creatures/ogre.msh";
    // Statistics and MIF parts both present; the line ends with a blank.
    test::ToolResult result = Run("\"" + ToolsFolder() + "MeshForge.exe\" \"" + temp.Path() +
                                  "temp.mdl\" -stat ModelBuildStatistics.csv  -mif \"meshes\\ogre.mif\"  \"" + Src() +
                                  "\\\" -tangents -vertexColors \"" + out + "\" ");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("4 vertices, 2 triangles, 2 material(s)"), std::string::npos) << result.out;

    std::string msh = ReadFile(out);
    ASSERT_EQ(msh.substr(0, 4), "MWMS");
    EXPECT_EQ(U32(msh, 8), 3u); // tangents and colours
    EXPECT_EQ(U32(msh, 12), 4u);
    EXPECT_EQ(U32(msh, 16), 2u);
    EXPECT_EQ(U32(msh, 20), 2u);
    EXPECT_EQ(F32(msh, 36), 2.0f); // bounds max x
    size_t at = 48;
    std::string names;
    for (int i = 0; i < 4; ++i)
    {
        uint32_t length = uint8_t(msh[at]) | uint8_t(msh[at + 1]) << 8;
        names += msh.substr(at + 2, length) + "|";
        at += 2 + length;
    }
    EXPECT_EQ(names, "skin|creatures/ogre/skin.tga|eyes||");
    // First vertex: position, normal (0,0,1), uv, tangent (1,0,0), bitangent (0,1,0), colour.
    const float expected[] = {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0};
    for (size_t i = 0; i < 14; ++i)
        EXPECT_NEAR(F32(msh, at + 4 * i), expected[i], 1e-6) << "float " << i;
    EXPECT_EQ(msh.substr(at + 56, 4), std::string("\xFF\0\0\xFF", 4));
    size_t triangles = at + 4 * 60;
    EXPECT_EQ(U32(msh, triangles + 16 + 12), 1u); // second triangle's material
    EXPECT_EQ(msh.size(), triangles + 32);

    std::string statistics = ReadFile(temp / "ModelBuildStatistics.csv");
    EXPECT_EQ(statistics, "Output,Vertices,Triangles,Materials,Bytes\r\n" + out + ",4,2,2," + std::to_string(msh.size()) + "\r\n");

    // The plainest line: no statistics, no MIF, no switches.
    ASSERT_EQ(Run("\"" + ToolsFolder() + "MeshForge.exe\" \"" + temp.Path() + "temp.mdl\" \"" + out + "\" ").exitCode, 1)
        << "material 1 needs a MIF file";
    WriteFile(temp / "temp.mdl", "MDL 1\nvertices 3\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\ntriangles 1\n0 1 2\n");
    test::ToolResult plain = Run("\"" + ToolsFolder() + "MeshForge.exe\" \"" + temp.Path() + "temp.mdl\" \"" + out + "\" ");
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(U32(ReadFile(out), 8), 0u);
}

TEST_F(ForgeTest, MeshInputsThatAreWrongFailWithOneLine)
{
    struct Case
    {
        const char* what;
        std::string mdl;
        std::string switches;
    };
    std::string triangle = "MDL 1\nvertices 3\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\ntriangles 1\n";
    for (const Case& c : {Case{"wrong first line", "MESH 1\n", ""}, Case{"index out of range", triangle + "0 1 3\n", ""},
                          Case{"too few triangles", triangle, ""}, Case{"not a number", triangle + "0 1 x\n", ""},
                          Case{"colours asked for", triangle + "0 1 2\n", " -vertexColors"},
                          Case{"missing MIF", triangle + "0 1 2\n", " -mif \"none.mif\"  \"" + Src() + "\\\""},
                          Case{"vertex count too large", "MDL 1\nvertices 99999999\n", ""},
                          Case{"missing export data", "", ""}})
    {
        RemoveFile(temp / "temp.mdl");
        if (!c.mdl.empty())
            WriteFile(temp / "temp.mdl", c.mdl);
        test::ToolResult result = Run("\"" + ToolsFolder() + "MeshForge.exe\" \"" + temp.Path() + "temp.mdl\"" + c.switches +
                                      " \"" + temp.Path() + "out.msh\" ");
        EXPECT_EQ(result.exitCode, 1) << c.what;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.what << ": " << result.err;
        EXPECT_FALSE(PathExists(temp / "out.msh")) << c.what;
    }
}

TEST_F(ForgeTest, AnimationWithAndWithoutAif)
{
    WriteFile(temp / "temp.anm", "ANM 1\nfps 30\nbones 2\nbone root -1\nbone arm 0\nframes 2\n"
                                 "0 0 0 0 0 0 2\n1 0 0 0 0 0 1\n0 1 0 0 0 0 1\n1 1 0 0 0 3 4\n");
    WriteFile(temp / "source/anims/walk.aif", "AIF 1\nloop yes\nevent 1 footstep\n");
    std::string out = temp.Path() + "Build/resources/creatures/walk.anm";
    test::ToolResult result = Run("\"" + ToolsFolder() + "AnimForge.exe\" \"" + temp.Path() + "temp.anm\" \"" + Src() +
                                  "anims\\walk.aif\" \"" + out + "\" ");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string anm = ReadFile(out);
    ASSERT_EQ(anm.substr(0, 4), "MWAN");
    EXPECT_EQ(U32(anm, 8), 30u);
    EXPECT_EQ(U32(anm, 12), 2u);
    EXPECT_EQ(U32(anm, 16), 2u);
    EXPECT_EQ(U32(anm, 20), 1u);
    EXPECT_EQ(U32(anm, 24), 1u);
    size_t keys = 28 + (2 + 4 + 4) + (2 + 3 + 4);
    EXPECT_EQ(F32(anm, keys + 24), 1.0f); // qw of (0,0,0,2) normalised
    EXPECT_NEAR(F32(anm, keys + 3 * 28 + 20), 0.6f, 1e-6);
    EXPECT_EQ(anm.substr(keys + 4 * 28), std::string("\1\0\0\0\x08\0footstep", 14));

    test::ToolResult plain = Run("\"" + ToolsFolder() + "AnimForge.exe\" \"" + temp.Path() + "temp.anm\" \"" + out + "\" ");
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(U32(ReadFile(out), 20), 0u);

    struct Case
    {
        const char* what;
        std::string anm, aif;
    };
    std::string good = "ANM 1\nfps 30\nbones 1\nbone root -1\nframes 1\n0 0 0 0 0 0 1\n";
    for (const Case& c : {Case{"parent not earlier", "ANM 1\nfps 30\nbones 2\nbone a 1\n", ""},
                          Case{"zero quaternion", "ANM 1\nfps 30\nbones 1\nbone a -1\nframes 1\n0 0 0 0 0 0 0\n", ""},
                          Case{"keys missing", "ANM 1\nfps 30\nbones 2\nbone a -1\nbone b 0\nframes 1\n0 0 0 0 0 0 1\n", ""},
                          Case{"event past the end", good, "AIF 1\nevent 1 late\n"},
                          Case{"unknown AIF line", good, "AIF 1\nspeed 2\n"}})
    {
        WriteFile(temp / "temp.anm", c.anm);
        WriteFile(temp / "source/x.aif", c.aif.empty() ? "AIF 1\n" : c.aif);
        test::ToolResult failed = Run("\"" + ToolsFolder() + "AnimForge.exe\" \"" + temp.Path() + "temp.anm\" \"" + Src() +
                                      "x.aif\" \"" + temp.Path() + "bad.anm\" ");
        EXPECT_EQ(failed.exitCode, 1) << c.what;
        EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << c.what << ": " << failed.err;
        EXPECT_FALSE(PathExists(temp / "bad.anm")) << c.what;
    }
}

} // namespace
} // namespace mw
