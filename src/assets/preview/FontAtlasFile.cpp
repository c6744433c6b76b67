// Font file layout: "MWFN", u32 version 1, u32 size, i32 ascent, descent and
// line gap, u32 atlas width and height, u32 glyph count, 18 bytes per glyph,
// then one coverage byte per atlas pixel, rows top to bottom.
#include "FontAtlasFile.h"

namespace mw {
namespace {

constexpr size_t kHeaderBytes = 36;
constexpr size_t kGlyphBytes = 18;
constexpr uint32_t kMaxAtlasSide = 4096;

uint32_t Read32(const std::string& bytes, size_t at)
{
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

} // namespace

bool FontAtlasFile::Read(const std::string& bytes, std::string& error)
{
    if (bytes.size() < kHeaderBytes || bytes.compare(0, 4, "MWFN") != 0 || Read32(bytes, 4) != 1)
    {
        error = "not a font file";
        return false;
    }
    size = Read32(bytes, 8);
    ascent = int32_t(Read32(bytes, 12));
    descent = int32_t(Read32(bytes, 16));
    uint32_t width = Read32(bytes, 24);
    uint32_t height = Read32(bytes, 28);
    glyphCount = Read32(bytes, 32);
    if (width == 0 || height == 0 || width > kMaxAtlasSide || height > kMaxAtlasSide)
    {
        error = "font atlas size " + std::to_string(width) + "x" + std::to_string(height) + " out of range";
        return false;
    }
    uint64_t atlasAt = kHeaderBytes + uint64_t(glyphCount) * kGlyphBytes;
    if (atlasAt + uint64_t(width) * height != bytes.size())
    {
        error = "font file size does not match its glyphs and atlas";
        return false;
    }
    atlas.Resize(width, height);
    for (size_t i = 0; i < size_t(width) * height; ++i)
    {
        uint8_t* pixel = &atlas.rgba[i * 4];
        // Dark glyphs: the preview paints transparency as a light checkerboard.
        pixel[0] = pixel[1] = pixel[2] = 0;
        pixel[3] = uint8_t(bytes[size_t(atlasAt) + i]);
    }
    fileBytes = bytes.size();
    return true;
}

} // namespace mw
