// A built texture file (.tex) read for viewing: its header, and each image's
// mipmap levels decoded on request.
#pragma once

#include "PreviewImage.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class TextureFile
{
public:
    enum class Kind : uint32_t
    {
        Texture = 0,
        Animated = 1,
        CubeMap = 2,
    };

    // Largest side and image count a texture file may announce.
    static constexpr uint32_t kMaxSide = 8192;
    static constexpr uint32_t kMaxImages = 4096;

    // Reads the whole file; false with a one-line reason for anything that is
    // not a complete, consistent texture file (levels of the wrong size,
    // bytes missing or left over, an unknown format).
    bool Read(std::string bytes, std::string& error);
    bool ReadFile(const std::string& path, std::string& error);

    Kind GetKind() const { return m_kind; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    uint32_t ImageCount() const { return m_images; }
    uint32_t LevelCount() const { return m_levels; }
    uint32_t FormatCode() const { return m_format; }
    uint32_t FramesPerSecond() const { return m_fps; }
    bool IsNormalMap() const { return (m_flags & 1) != 0; }
    size_t FileBytes() const { return m_bytes.size(); }
    uint32_t LevelWidth(uint32_t level) const { return std::max<uint32_t>(1, m_width >> level); }
    uint32_t LevelHeight(uint32_t level) const { return std::max<uint32_t>(1, m_height >> level); }
    // The stored bytes of one level of one image.
    std::string_view LevelBytes(uint32_t image, uint32_t level) const;

    // Decodes one level of one image; false when either is out of range.
    bool Decode(uint32_t image, uint32_t level, PreviewImage& picture) const;

    // "Left", "Right", "Up", "Down", "Front", "Back" for cube-map faces,
    // "Frame N" for animation frames, "" for a plain texture.
    std::string ImageName(uint32_t image) const;

private:
    std::string m_bytes;
    Kind m_kind = Kind::Texture;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_images = 0;
    uint32_t m_format = 0;
    uint32_t m_flags = 0;
    uint32_t m_fps = 0;
    uint32_t m_levels = 0;
    // Where each level's bytes start, image by image, largest level first.
    std::vector<size_t> m_levelOffsets;
};

} // namespace mw
