// Block decoding follows the usual BC1/BC2/BC3 layouts: little-endian 5:6:5
// endpoints, 2-bit colour indexes, 4-bit explicit or 3-bit interpolated alpha.
#include "TexelDecoding.h"

#include <algorithm>

namespace mw {
namespace {

uint16_t Read16(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }
uint32_t Read32(const uint8_t* at) { return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24; }

void Expand565(uint16_t value, uint8_t rgb[3])
{
    rgb[0] = uint8_t(((value >> 11) & 31) * 255 / 31);
    rgb[1] = uint8_t(((value >> 5) & 63) * 255 / 63);
    rgb[2] = uint8_t((value & 31) * 255 / 31);
}

// A colour block into 16 RGBA texels. Alone (BC1), color0 <= color1 selects
// the three-colour mode whose fourth entry is transparent black; inside BC2
// and BC3 blocks the four-colour mode always applies.
void DecodeColorBlock(const uint8_t* block, bool alone, uint8_t texels[16][4])
{
    uint16_t color0 = Read16(block);
    uint16_t color1 = Read16(block + 2);
    uint8_t palette[4][4];
    Expand565(color0, palette[0]);
    Expand565(color1, palette[1]);
    palette[0][3] = palette[1][3] = palette[2][3] = palette[3][3] = 255;
    if (!alone || color0 > color1)
        for (int c = 0; c < 3; ++c)
        {
            palette[2][c] = uint8_t((2 * palette[0][c] + palette[1][c]) / 3);
            palette[3][c] = uint8_t((palette[0][c] + 2 * palette[1][c]) / 3);
        }
    else
    {
        for (int c = 0; c < 3; ++c)
        {
            palette[2][c] = uint8_t((palette[0][c] + palette[1][c]) / 2);
            palette[3][c] = 0;
        }
        palette[3][3] = 0;
    }
    uint32_t indexes = Read32(block + 4);
    for (int i = 0; i < 16; ++i)
        std::copy(palette[(indexes >> (2 * i)) & 3], palette[(indexes >> (2 * i)) & 3] + 4, texels[i]);
}

void DecodeExplicitAlpha(const uint8_t* block, uint8_t texels[16][4])
{
    for (int i = 0; i < 16; ++i)
    {
        int nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
        texels[i][3] = uint8_t(nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const uint8_t* block, uint8_t texels[16][4])
{
    int alpha[8];
    alpha[0] = block[0];
    alpha[1] = block[1];
    if (alpha[0] > alpha[1])
        for (int i = 1; i < 7; ++i)
            alpha[i + 1] = ((7 - i) * alpha[0] + i * alpha[1]) / 7;
    else
    {
        for (int i = 1; i < 5; ++i)
            alpha[i + 1] = ((5 - i) * alpha[0] + i * alpha[1]) / 5;
        alpha[6] = 0;
        alpha[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        texels[i][3] = uint8_t(alpha[(bits >> (3 * i)) & 7]);
}

} // namespace

std::string TexelFormatName(uint32_t code)
{
    switch (TexelFormat(code))
    {
    case TexelFormat::Rgba8:
        return "RGBA8";
    case TexelFormat::Dxt1:
        return "DXT1";
    case TexelFormat::Dxt3:
        return "DXT3";
    case TexelFormat::Dxt5:
        return "DXT5";
    case TexelFormat::Dsdt:
        return "DSDT";
    }
    return "format " + std::to_string(code);
}

uint64_t TexelLevelBytes(uint32_t code, uint32_t width, uint32_t height)
{
    uint64_t pixels = uint64_t(width) * height;
    uint64_t blocks = uint64_t((width + 3) / 4) * ((height + 3) / 4);
    switch (TexelFormat(code))
    {
    case TexelFormat::Rgba8:
        return pixels * 4;
    case TexelFormat::Dxt1:
        return blocks * 8;
    case TexelFormat::Dxt3:
    case TexelFormat::Dxt5:
        return blocks * 16;
    case TexelFormat::Dsdt:
        return pixels * 2;
    }
    return 0;
}

bool DecodeTexelLevel(uint32_t code, std::string_view bytes, uint32_t width, uint32_t height, PreviewImage& image)
{
    uint64_t expected = TexelLevelBytes(code, width, height);
    if (expected == 0 || bytes.size() != expected)
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    image.Resize(width, height);
    TexelFormat format = TexelFormat(code);
    if (format == TexelFormat::Rgba8)
    {
        std::copy(data, data + expected, image.rgba.begin());
        return true;
    }
    if (format == TexelFormat::Dsdt)
    {
        for (size_t i = 0; i < size_t(width) * height; ++i)
        {
            uint8_t* texel = &image.rgba[i * 4];
            texel[0] = uint8_t(int8_t(data[i * 2]) + 128);
            texel[1] = uint8_t(int8_t(data[i * 2 + 1]) + 128);
            texel[2] = 128;
            texel[3] = 255;
        }
        return true;
    }
    const size_t blockBytes = format == TexelFormat::Dxt1 ? 8 : 16;
    const uint32_t blocksAcross = (width + 3) / 4;
    const uint32_t blocksDown = (height + 3) / 4;
    for (uint32_t by = 0; by < blocksDown; ++by)
        for (uint32_t bx = 0; bx < blocksAcross; ++bx)
        {
            const uint8_t* block = data + (size_t(by) * blocksAcross + bx) * blockBytes;
            uint8_t texels[16][4];
            if (format == TexelFormat::Dxt1)
                DecodeColorBlock(block, true, texels);
            else
            {
                DecodeColorBlock(block + 8, false, texels);
                if (format == TexelFormat::Dxt3)
                    DecodeExplicitAlpha(block, texels);
                else
                    DecodeInterpolatedAlpha(block, texels);
            }
            // Texels past the edge of a level smaller than the block are dropped.
            for (uint32_t y = 0; y < 4 && by * 4 + y < height; ++y)
                for (uint32_t x = 0; x < 4 && bx * 4 + x < width; ++x)
                    std::copy(texels[y * 4 + x], texels[y * 4 + x] + 4, image.At(bx * 4 + x, by * 4 + y));
        }
    return true;
}

} // namespace mw
