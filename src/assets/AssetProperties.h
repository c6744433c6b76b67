// The fields of each asset type that its properties dialog edits. A type
// hands a copy to IAssetPropertiesEditor and takes it back on OK, so the
// dialogs never reach into the types.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mw {

// Paths are relative to the source folder, as the user typed or picked them.

struct TextureProperties
{
    std::string source;
    bool createMipmaps = true;
    uint32_t format = 1; // 0 uncompressed, 1 DXT1, 2 DXT3, 3 DXT5, 4 DSDT
    bool normalMap = false;
    uint32_t framesPerSecond = 20;
    std::vector<std::string> frames; // additional frames, in order
};

struct CubeMapProperties
{
    // Left, Right, Up, Down, Front, Back.
    std::array<std::string, 6> faces;
    bool createMipmaps = true;
    uint32_t format = 0; // 0 uncompressed, 1 DXT1, 2 DXT3, 3 DXT5
};

struct MeshProperties
{
    std::string scene;
    std::string mif;
    bool tangentSpaceVectors = true;
    bool vertexColors = false;
};

struct AnimationProperties
{
    std::string scene;
    std::string aif;
};

struct ShaderProperties
{
    std::string source;
    std::string defines;
};

struct FontProperties
{
    std::string source;
    uint32_t size = 100;
};

struct MapProperties
{
    std::string world;
};

// The one field of the plain copy types.
struct CopyProperties
{
    std::string source;
};

} // namespace mw
