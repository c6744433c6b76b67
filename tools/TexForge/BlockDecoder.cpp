// Block, pixel and signed-pair decoding of .tex levels.
#include "BlockDecoder.h"

#include "BlockFormat.h"

namespace mw::tools {
namespace {

void DecodeColor(const uint8_t* in, bool anyMode, uint8_t pixels[16][4])
{
    const uint16_t color0 = uint16_t(in[0] | in[1] << 8), color1 = uint16_t(in[2] | in[3] << 8);
    const bool threeColour = anyMode && color0 <= color1;
    int palette[4][3];
    ColorPalette(color0, color1, threeColour, palette);
    for (int i = 0; i < 16; ++i)
    {
        const int index = (in[4 + i / 4] >> (2 * (i % 4))) & 3;
        for (int c = 0; c < 3; ++c)
            pixels[i][c] = uint8_t(palette[index][c]);
        pixels[i][3] = threeColour && index == 3 ? 0 : 255;
    }
}

void DecodeExplicitAlpha(const uint8_t* in, uint8_t pixels[16][4])
{
    for (int i = 0; i < 16; ++i)
        pixels[i][3] = uint8_t(((in[i / 2] >> (4 * (i % 2))) & 15) * 17);
}

void DecodeInterpolatedAlpha(const uint8_t* in, uint8_t pixels[16][4])
{
    int palette[8];
    AlphaPalette(in[0], in[1], palette);
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= uint64_t(in[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        pixels[i][3] = uint8_t(palette[(bits >> (3 * i)) & 7]);
}

} // namespace

bool DecodeLevel(std::string_view bytes, uint32_t width, uint32_t height, TextureFormat format, RgbaImage& image)
{
    const size_t pixelCount = size_t(width) * height;
    const size_t blocksAcross = (width + 3) / 4, blocksDown = (height + 3) / 4;
    const size_t blockBytes = format == TextureFormat::Dxt1 ? 8 : 16;
    size_t expected = 0;
    switch (format)
    {
    case TextureFormat::Uncompressed: expected = pixelCount * 4; break;
    case TextureFormat::Dsdt: expected = pixelCount * 2; break;
    default: expected = blocksAcross * blocksDown * blockBytes; break;
    }
    if (bytes.size() != expected)
        return false;
    image.width = width;
    image.height = height;
    image.pixels.assign(pixelCount * 4, 0);
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
    if (format == TextureFormat::Uncompressed)
    {
        std::copy(in, in + expected, image.pixels.begin());
        return true;
    }
    if (format == TextureFormat::Dsdt)
    {
        for (size_t i = 0; i < pixelCount; ++i)
        {
            image.pixels[4 * i] = uint8_t(in[2 * i] + 128);
            image.pixels[4 * i + 1] = uint8_t(in[2 * i + 1] + 128);
            image.pixels[4 * i + 3] = 255;
        }
        return true;
    }
    uint8_t pixels[16][4];
    for (size_t by = 0; by < blocksDown; ++by)
        for (size_t bx = 0; bx < blocksAcross; ++bx, in += blockBytes)
        {
            if (format == TextureFormat::Dxt1)
                DecodeColor(in, true, pixels);
            else
            {
                DecodeColor(in + 8, false, pixels);
                if (format == TextureFormat::Dxt3)
                    DecodeExplicitAlpha(in, pixels);
                else
                    DecodeInterpolatedAlpha(in, pixels);
            }
            for (uint32_t y = 0; y < 4; ++y)
                for (uint32_t x = 0; x < 4; ++x)
                    if (bx * 4 + x < width && by * 4 + y < height)
                        std::copy(pixels[y * 4 + x], pixels[y * 4 + x] + 4, image.At(uint32_t(bx * 4 + x), uint32_t(by * 4 + y)));
        }
    return true;
}

} // namespace mw::tools
