// Texture level encoding. Block formats take 4x4 pixel blocks left to right,
// top to bottom; pixels past the edge repeat the edge pixel.
#include "TextureEncoder.h"

#include "AlphaBlockEncoder.h"

#include <algorithm>
#include <cmath>

namespace mw::tools {
namespace {

// The 16 pixels of the block at (bx, by), edge pixels repeated.
void GatherBlock(const RgbaImage& image, uint32_t bx, uint32_t by, uint8_t block[16][4])
{
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
        {
            const uint8_t* pixel = image.At(std::min(bx * 4 + x, image.width - 1), std::min(by * 4 + y, image.height - 1));
            std::copy(pixel, pixel + 4, block[y * 4 + x]);
        }
}

uint32_t NextPowerOfTwo(uint32_t value)
{
    uint32_t result = 1;
    while (result < value)
        result <<= 1;
    return result;
}

} // namespace

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

RgbaImage ScaleToPowerOfTwo(const RgbaImage& image)
{
    RgbaImage scaled;
    scaled.width = NextPowerOfTwo(image.width);
    scaled.height = NextPowerOfTwo(image.height);
    scaled.pixels.resize(size_t(scaled.width) * scaled.height * 4);
    for (uint32_t y = 0; y < scaled.height; ++y)
        for (uint32_t x = 0; x < scaled.width; ++x)
        {
            const uint8_t* source =
                image.At(uint32_t(uint64_t(x) * image.width / scaled.width), uint32_t(uint64_t(y) * image.height / scaled.height));
            std::copy(source, source + 4, scaled.At(x, y));
        }
    return scaled;
}

std::vector<RgbaImage> MipmapChain(const RgbaImage& image)
{
    std::vector<RgbaImage> levels{image};
    while (levels.back().width > 1 || levels.back().height > 1)
    {
        const RgbaImage& above = levels.back();
        RgbaImage level;
        level.width = std::max(1u, above.width / 2);
        level.height = std::max(1u, above.height / 2);
        level.pixels.resize(size_t(level.width) * level.height * 4);
        for (uint32_t y = 0; y < level.height; ++y)
            for (uint32_t x = 0; x < level.width; ++x)
                for (int c = 0; c < 4; ++c)
                {
                    uint32_t x0 = std::min(2 * x, above.width - 1), x1 = std::min(2 * x + 1, above.width - 1);
                    uint32_t y0 = std::min(2 * y, above.height - 1), y1 = std::min(2 * y + 1, above.height - 1);
                    int sum = above.At(x0, y0)[c] + above.At(x1, y0)[c] + above.At(x0, y1)[c] + above.At(x1, y1)[c];
                    level.At(x, y)[c] = uint8_t((sum + 2) / 4);
                }
        levels.push_back(std::move(level));
    }
    return levels;
}

void RenormalizeNormals(RgbaImage& image)
{
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4)
    {
        double v[3];
        for (int c = 0; c < 3; ++c)
            v[c] = (image.pixels[i + size_t(c)] - 128.0) / 127.0;
        double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length < 1e-6)
        {
            v[0] = v[1] = 0.0;
            v[2] = length = 1.0;
        }
        for (int c = 0; c < 3; ++c)
            image.pixels[i + size_t(c)] = uint8_t(std::clamp(std::lround(128.0 + 127.0 * v[c] / length), 0L, 255L));
    }
}

std::string EncodeLevel(const RgbaImage& image, TextureFormat format, EncodeQuality quality)
{
    std::string out;
    if (format == TextureFormat::Uncompressed)
        return std::string(image.pixels.begin(), image.pixels.end());
    if (format == TextureFormat::Dsdt)
    {
        for (size_t i = 0; i + 3 < image.pixels.size(); i += 4)
        {
            out += char(int8_t(int(image.pixels[i]) - 128));
            out += char(int8_t(int(image.pixels[i + 1]) - 128));
        }
        return out;
    }
    const uint32_t blocksAcross = (image.width + 3) / 4, blocksDown = (image.height + 3) / 4;
    const size_t blockBytes = format == TextureFormat::Dxt1 ? 8 : 16;
    out.resize(size_t(blocksAcross) * blocksDown * blockBytes);
    auto* at = reinterpret_cast<uint8_t*>(out.data());
    uint8_t block[16][4];
    for (uint32_t by = 0; by < blocksDown; ++by)
        for (uint32_t bx = 0; bx < blocksAcross; ++bx, at += blockBytes)
        {
            GatherBlock(image, bx, by, block);
            if (format == TextureFormat::Dxt1)
            {
                EncodeColorBlock(block, ColorBlockMode::AnyMode, quality, at);
                continue;
            }
            if (format == TextureFormat::Dxt3)
                EncodeExplicitAlphaBlock(block, at);
            else
                EncodeInterpolatedAlphaBlock(block, at);
            EncodeColorBlock(block, ColorBlockMode::FourColour, quality, at + 8);
        }
    return out;
}

} // namespace mw::tools
