// Texture level encoding. Block formats take 4x4 pixel blocks left to right,
// top to bottom; pixels past the edge repeat the edge pixel.
#include "TextureEncoder.h"

#include <algorithm>
#include <cmath>

namespace mw::tools {
namespace {

void Put16(std::string& out, uint16_t value)
{
    out += char(value & 0xFF);
    out += char(value >> 8);
}

void Put32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

uint16_t To565(const int rgb[3])
{
    return uint16_t(((rgb[0] * 31 + 127) / 255) << 11 | ((rgb[1] * 63 + 127) / 255) << 5 | ((rgb[2] * 31 + 127) / 255));
}

void From565(uint16_t value, int rgb[3])
{
    rgb[0] = ((value >> 11) & 31) * 255 / 31;
    rgb[1] = ((value >> 5) & 63) * 255 / 63;
    rgb[2] = (value & 31) * 255 / 31;
}

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

// A four-colour BC1 block: the bounding box corners of the block's colours
// as endpoints, each pixel given the nearest of the four palette colours.
void EncodeColorBlock(const uint8_t block[16][4], std::string& out)
{
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
        {
            low[c] = std::min<int>(low[c], block[i][c]);
            high[c] = std::max<int>(high[c], block[i][c]);
        }
    uint16_t color0 = To565(high), color1 = To565(low);
    if (color0 < color1)
        std::swap(color0, color1);
    uint32_t indexes = 0;
    if (color0 != color1)
    {
        int palette[4][3];
        From565(color0, palette[0]);
        From565(color1, palette[1]);
        for (int c = 0; c < 3; ++c)
        {
            palette[2][c] = (2 * palette[0][c] + palette[1][c]) / 3;
            palette[3][c] = (palette[0][c] + 2 * palette[1][c]) / 3;
        }
        for (int i = 0; i < 16; ++i)
        {
            int best = 0, bestDistance = 1 << 30;
            for (int p = 0; p < 4; ++p)
            {
                int distance = 0;
                for (int c = 0; c < 3; ++c)
                    distance += (block[i][c] - palette[p][c]) * (block[i][c] - palette[p][c]);
                if (distance < bestDistance)
                    best = p, bestDistance = distance;
            }
            indexes |= uint32_t(best) << (2 * i);
        }
    }
    Put16(out, color0);
    Put16(out, color1);
    Put32(out, indexes);
}

// BC2 alpha: sixteen 4-bit values.
void EncodeExplicitAlpha(const uint8_t block[16][4], std::string& out)
{
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint64_t((block[i][3] * 15 + 127) / 255) << (4 * i);
    for (int i = 0; i < 8; ++i)
        out += char((bits >> (8 * i)) & 0xFF);
}

// BC3 alpha: the block's largest and smallest alpha as endpoints (eight-value
// mode), sixteen 3-bit indexes of the nearest value.
void EncodeInterpolatedAlpha(const uint8_t block[16][4], std::string& out)
{
    int high = 0, low = 255;
    for (int i = 0; i < 16; ++i)
    {
        high = std::max<int>(high, block[i][3]);
        low = std::min<int>(low, block[i][3]);
    }
    uint64_t bits = 0;
    if (high != low)
    {
        int palette[8] = {high, low};
        for (int k = 1; k <= 6; ++k)
            palette[k + 1] = ((7 - k) * high + k * low) / 7;
        for (int i = 0; i < 16; ++i)
        {
            int best = 0, bestDistance = 1 << 30;
            for (int p = 0; p < 8; ++p)
            {
                int distance = std::abs(block[i][3] - palette[p]);
                if (distance < bestDistance)
                    best = p, bestDistance = distance;
            }
            bits |= uint64_t(best) << (3 * i);
        }
    }
    out += char(high);
    out += char(low);
    for (int i = 0; i < 6; ++i)
        out += char((bits >> (8 * i)) & 0xFF);
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

std::string EncodeLevel(const RgbaImage& image, TextureFormat format)
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
    uint8_t block[16][4];
    for (uint32_t by = 0; by < blocksDown; ++by)
        for (uint32_t bx = 0; bx < blocksAcross; ++bx)
        {
            GatherBlock(image, bx, by, block);
            if (format == TextureFormat::Dxt3)
                EncodeExplicitAlpha(block, out);
            else if (format == TextureFormat::Dxt5)
                EncodeInterpolatedAlpha(block, out);
            EncodeColorBlock(block, out);
        }
    return out;
}

} // namespace mw::tools
