// Texture file layout: "MWTX", then u32 version 1, kind, width, height,
// images, format code, flags, frames per second and levels (little-endian),
// then for each image and each level, largest first, a u32 byte count and
// the level's bytes.
#include "TextureFile.h"

#include "TexelDecoding.h"
#include "platform/FileSystem.h"

namespace mw {
namespace {

constexpr size_t kHeaderBytes = 40;

uint32_t Read32(std::string_view bytes, size_t at)
{
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

uint32_t FullChainLength(uint32_t width, uint32_t height)
{
    uint32_t levels = 1;
    while (width > 1 || height > 1)
    {
        width = std::max<uint32_t>(1, width / 2);
        height = std::max<uint32_t>(1, height / 2);
        ++levels;
    }
    return levels;
}

} // namespace

bool TextureFile::ReadFile(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
    {
        error = "cannot read " + path;
        return false;
    }
    return Read(std::move(bytes), error);
}

bool TextureFile::Read(std::string bytes, std::string& error)
{
    m_levelOffsets.clear();
    m_bytes.clear();
    if (bytes.size() < kHeaderBytes || bytes.compare(0, 4, "MWTX") != 0)
    {
        error = "not a texture file";
        return false;
    }
    if (Read32(bytes, 4) != 1)
    {
        error = "texture file version " + std::to_string(Read32(bytes, 4)) + " is not supported";
        return false;
    }
    uint32_t kind = Read32(bytes, 8);
    m_width = Read32(bytes, 12);
    m_height = Read32(bytes, 16);
    m_images = Read32(bytes, 20);
    m_format = Read32(bytes, 24);
    m_flags = Read32(bytes, 28);
    m_fps = Read32(bytes, 32);
    m_levels = Read32(bytes, 36);
    if (kind > 2)
    {
        error = "unknown texture kind " + std::to_string(kind);
        return false;
    }
    m_kind = Kind(kind);
    if (m_width == 0 || m_height == 0 || m_width > kMaxSide || m_height > kMaxSide)
    {
        error = "texture size " + std::to_string(m_width) + "x" + std::to_string(m_height) + " out of range";
        return false;
    }
    bool imagesFit = m_kind == Kind::CubeMap ? m_images == 6
                     : m_kind == Kind::Texture ? m_images == 1
                                                : m_images >= 1 && m_images <= kMaxImages;
    if (!imagesFit)
    {
        error = "a texture of this kind cannot hold " + std::to_string(m_images) + " images";
        return false;
    }
    if (TexelLevelBytes(m_format, 1, 1) == 0)
    {
        error = "unknown texture format code " + std::to_string(m_format);
        return false;
    }
    if (m_levels == 0 || m_levels > FullChainLength(m_width, m_height))
    {
        error = "texture with " + std::to_string(m_levels) + " mipmap levels";
        return false;
    }
    // Every count is checked against the level's size before it is trusted,
    // so a hostile count can neither run past the end nor take memory.
    size_t at = kHeaderBytes;
    for (uint32_t image = 0; image < m_images; ++image)
        for (uint32_t level = 0; level < m_levels; ++level)
        {
            uint64_t expected = TexelLevelBytes(m_format, LevelWidth(level), LevelHeight(level));
            if (bytes.size() - at < 4)
            {
                error = "texture file ends early";
                return false;
            }
            uint32_t count = Read32(bytes, at);
            at += 4;
            if (count != expected)
            {
                error = "level " + std::to_string(level) + " holds " + std::to_string(count) + " bytes instead of " +
                        std::to_string(expected);
                return false;
            }
            if (bytes.size() - at < count)
            {
                error = "texture file ends early";
                return false;
            }
            m_levelOffsets.push_back(at);
            at += count;
        }
    if (at != bytes.size())
    {
        error = "texture file has " + std::to_string(bytes.size() - at) + " bytes after its last level";
        m_levelOffsets.clear();
        return false;
    }
    m_bytes = std::move(bytes);
    return true;
}

std::string_view TextureFile::LevelBytes(uint32_t image, uint32_t level) const
{
    if (image >= m_images || level >= m_levels || m_levelOffsets.empty())
        return {};
    size_t offset = m_levelOffsets[size_t(image) * m_levels + level];
    return std::string_view(m_bytes).substr(offset, TexelLevelBytes(m_format, LevelWidth(level), LevelHeight(level)));
}

bool TextureFile::Decode(uint32_t image, uint32_t level, PreviewImage& picture) const
{
    if (image >= m_images || level >= m_levels || m_levelOffsets.empty())
        return false;
    return DecodeTexelLevel(m_format, LevelBytes(image, level), LevelWidth(level), LevelHeight(level), picture);
}

std::string TextureFile::ImageName(uint32_t image) const
{
    static const char* const kFaces[6] = {"Left", "Right", "Up", "Down", "Front", "Back"};
    if (m_kind == Kind::CubeMap && image < 6)
        return kFaces[image];
    if (m_kind == Kind::Animated)
        return "Frame " + std::to_string(image + 1);
    return std::string();
}

} // namespace mw
