// MapForge and ShadeForge run for real with the Map and Shader command lines
// on sources written by the test.
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

class MapShadeTest : public ::testing::Test
{
protected:
    std::string Src() const { return temp.Path() + "source\\"; }
    test::ToolResult Run(const std::string& commandLine) { return RunToolCommand(commandLine, temp.Path()); }
    size_t ErrorLines(const test::ToolResult& result) const
    {
        return size_t(std::count(result.err.begin(), result.err.end(), '\n'));
    }

    TempFolder temp;
};

TEST_F(MapShadeTest, MapOfThreeRegionsWithStatistics)
{
    WriteFile(temp / "source/maps/world.wrl", "MWWORLD 1\r\nregion North north.rgn\r\nregion South sub\\South.rgn\r\n"
                                              "region Cave cave.rgn\r\n");
    WriteFile(temp / "source/north.rgn", "MWREGION 1\nsize 2 2\nheights\n1 2\n3 -4\nobject tree 1.5 0 2\n");
    WriteFile(temp / "source/sub/south.rgn", "MWREGION 1\nsize 3 1\nheights\n7 8 9\n");
    WriteFile(temp / "source/cave.rgn", "MWREGION 1\nsize 1 1\nheights\n-32768\nobject a 0 0 0\nobject b 1 1 1\n");
    std::string out = temp.Path() + "Build/resources/maps/world.map";
    std::string line = "\"" + ToolsFolder() + "MapForge.exe\" \"" + Src() + "maps\\world.wrl\" \"" + Src() + "\\\" \"" +
                       out + "\"";
    test::ToolResult result = Run(line + " MapBuildStatistics.csv");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string map = ReadFile(out);
    ASSERT_EQ(map.substr(0, 4), "MWMP");
    EXPECT_EQ(U32(map, 8), 3u);
    // First region: "North", "north.rgn", 2x2, heights 1 2 3 -4, one object.
    std::string first = std::string("\5\0North\x09\0north.rgn", 18) + std::string("\2\0\0\0\2\0\0\0", 8) +
                        std::string("\1\0\2\0\3\0\xFC\xFF", 8) + std::string("\1\0\0\0\4\0tree", 10);
    EXPECT_EQ(map.substr(12, first.size()), first);
    EXPECT_NE(map.find(std::string("\x0D\0sub\\South.rgn", 15)), std::string::npos);
    EXPECT_EQ(ReadFile(temp / "MapBuildStatistics.csv"),
              "Output,Regions,Cells,Objects,Bytes\r\n" + out + ",3,8,3," + std::to_string(map.size()) + "\r\n");

    ASSERT_EQ(Run(line).exitCode, 0);
    EXPECT_EQ(ReadFile(out), map);

    struct Case
    {
        const char* what;
        std::string file, text;
    };
    for (const Case& c : {Case{"region file missing", "source/cave.rgn", ""},
                          Case{"world file invalid", "source/maps/world.wrl", "MWWORLD 1\nregion North\n"},
                          Case{"short row", "source/north.rgn", "MWREGION 1\nsize 2 2\nheights\n1 2\n3\n"},
                          Case{"height out of range", "source/north.rgn", "MWREGION 1\nsize 1 1\nheights\n40000\n"},
                          Case{"size out of range", "source/north.rgn", "MWREGION 1\nsize 2000 1\n"},
                          Case{"bad object", "source/north.rgn", "MWREGION 1\nsize 1 1\nheights\n0\nobject x 1 2\n"}})
    {
        std::string saved = ReadFile(temp / c.file);
        if (c.text.empty())
            RemoveFile(temp / c.file);
        else
            WriteFile(temp / c.file, c.text);
        RemoveFile(out);
        test::ToolResult failed = Run(line);
        EXPECT_EQ(failed.exitCode, 1) << c.what;
        EXPECT_EQ(ErrorLines(failed), 1u) << c.what << ": " << failed.err;
        EXPECT_FALSE(PathExists(out)) << c.what;
        WriteFile(temp / c.file, saved);
    }
}

TEST_F(MapShadeTest, ShaderPreprocessingWithDefinesIncludesAndAsmFolder)
{
    WriteFile(temp / "source/shaders/water.ssh",
              "// water\n#include \"common.ssh\"\n#include \"lighting.ssh\"\n"
              "#ifdef HIGH\nfloat quality = LEVEL; /* high */\n#else\nfloat quality = 0;\n#endif\n"
              "#ifndef LOW\ntechnique Water { pass P0 { shade(SCALE, 1e5, LEVEL2); } }\n#endif\n");
    WriteFile(temp / "source/shaders/common.ssh", "#define SCALE 2.5\n\n   float4 tint;   \n");
    WriteFile(temp / "asm/lighting.ssh", "technique Lit { }\n#define LEVEL2 4\n#undef LEVEL2\n");
    std::string out = temp.Path() + "Build/resources/shaders/water.ssh";
    std::string line = "\"" + ToolsFolder() + "ShadeForge.exe\" \"" + Src() + "shaders\\water.ssh\" \"" + out + "\"";
    test::ToolResult result =
        Run(line + " /define \"HIGH;LEVEL=3\" -stat ShaderBuildStatistics.csv  /asmDir \"" + temp.Path() + "asm/\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string text = "float4 tint;\ntechnique Lit { }\nfloat quality = 3;\n"
                       "technique Water { pass P0 { shade(2.5, 1e5, LEVEL2); } }\n";
    std::string ssh = ReadFile(out);
    EXPECT_EQ(ssh, std::string("MWSH\1\0\0\0\2\0\0\0\3\0Lit\5\0Water", 24) + char(text.size()) + std::string(3, '\0') + text);
    EXPECT_EQ(ReadFile(temp / "ShaderBuildStatistics.csv"),
              "Output,Lines,Includes,Techniques,Bytes\r\n" + out + ",4,2,2," + std::to_string(ssh.size()) + "\r\n");

    struct Case
    {
        const char* what;
        std::string source;
        std::string switches;
    };
    for (const Case& c : {Case{"no asm folder for the include", "#include \"lighting.ssh\"\ntechnique T {}\n", ""},
                          Case{"unknown directive", "#pragma once\ntechnique T {}\n", ""},
                          Case{"include cycle", "#include \"water.ssh\"\ntechnique T {}\n", ""},
                          Case{"unbalanced braces", "technique T { pass P {\n}\n", ""},
                          Case{"unbalanced parentheses", "technique T { f(); ) }\n", ""},
                          Case{"no technique", "float x;\n", ""},
                          Case{"open #ifdef", "#ifdef A\ntechnique T {}\n", ""},
                          Case{"stray #endif", "technique T {}\n#endif\n", ""},
                          Case{"comment not ended", "technique T {} /* x\n", ""},
                          Case{"bad /define", "technique T {}\n", " /define \"1X=2\""},
                          Case{"missing /asmDir folder", "technique T {}\n", " /asmDir \"" + temp.Path() + "nowhere\""}})
    {
        WriteFile(temp / "source/shaders/water.ssh", c.source);
        RemoveFile(out);
        test::ToolResult failed = Run(line + c.switches);
        EXPECT_EQ(failed.exitCode, 1) << c.what;
        EXPECT_EQ(ErrorLines(failed), 1u) << c.what << ": " << failed.err;
        EXPECT_FALSE(PathExists(out)) << c.what;
    }
    RemoveFile(temp / "source/shaders/water.ssh");
    EXPECT_EQ(Run(line).exitCode, 1);
}

} // namespace
} // namespace mw
