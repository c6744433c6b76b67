// TexForge's block encoders against brute force and against fixed images:
// single colours and alpha blocks as good as any endpoint choice can make
// them, blocks of two colours and of a gradient, image PSNR, and the same
// bytes from every build.
#include "AlphaBlockEncoder.h"
#include "BlockDecoder.h"
#include "BlockFormat.h"
#include "ColorBlockEncoder.h"
#include "TextureEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace mw {
namespace {

using tools::ColorBlockMode;
using tools::EncodeQuality;
using tools::RgbaImage;
using tools::TextureFormat;

struct Block
{
    uint8_t pixels[16][4];
};

Block Uniform(uint8_t r, uint8_t g, uint8_t b)
{
    Block block;
    for (auto& pixel : block.pixels)
        pixel[0] = r, pixel[1] = g, pixel[2] = b, pixel[3] = 255;
    return block;
}

int Expand(int level, int bits) { return bits == 6 ? (level << 2 | level >> 4) : (level << 3 | level >> 2); }

// The least squared error any endpoint pair gives one channel value through
// the first interpolant (endpoints alone are the pairs of equal levels).
int BestSingleChannelError(int value, int bits)
{
    int best = 1 << 30;
    for (int a = 0; a < (1 << bits); ++a)
        for (int b = 0; b < (1 << bits); ++b)
        {
            const int error = (2 * Expand(a, bits) + Expand(b, bits)) / 3 - value;
            best = std::min(best, error * error);
        }
    return best;
}

// A small generator of the tests' own, the same on every system.
uint32_t Hash(uint32_t x)
{
    x ^= x >> 16, x *= 0x7feb352du, x ^= x >> 15, x *= 0x846ca68bu, x ^= x >> 16;
    return x;
}

// 0 up to 255 and back down over 512 steps.
int Triangle(int value) { return std::min(255, std::abs((value & 511) - 256)); }

// Images made with integers only: smooth waves with grain, a two-colour ramp,
// and a picture with an alpha of soft and hard edges.
RgbaImage TestImage(int kind, uint32_t side)
{
    RgbaImage image;
    image.width = image.height = side;
    image.pixels.resize(size_t(side) * side * 4);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            uint8_t* p = image.At(x, y);
            const int grain = int(Hash(y * side + x) % 9) - 4;
            const int xi = int(x), yi = int(y);
            if (kind == 0)
            {
                p[0] = uint8_t(std::clamp(Triangle(xi * xi / 16 + yi * 3) + grain, 0, 255));
                p[1] = uint8_t(std::clamp(Triangle(xi * 5 + yi * yi / 24) + grain, 0, 255));
                p[2] = uint8_t(std::clamp(Triangle((xi + yi) * 4) / 2 + 60 + grain, 0, 255));
                p[3] = 255;
            }
            else if (kind == 1)
            {
                const int t = (xi + yi) * 256 / int(2 * side - 2);
                p[0] = uint8_t(200 - 180 * t / 256), p[1] = uint8_t(40 + 50 * t / 256), p[2] = uint8_t(30 + 190 * t / 256);
                p[3] = 255;
            }
            else
            {
                const bool inside = (xi - 24) * (xi - 24) + (yi - 40) * (yi - 40) < 300;
                p[0] = inside ? 230 : uint8_t(40 + xi * 2);
                p[1] = inside ? 200 : uint8_t(90 + grain * 3 + 12);
                p[2] = inside ? 30 : uint8_t(250 - yi * 3);
                p[3] = (x / 8 + y / 8) % 4 == 0 ? 0 : uint8_t(std::min(255, xi * 6));
            }
        }
    return image;
}

double RgbPsnr(const RgbaImage& a, const RgbaImage& b)
{
    double error = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (i % 4 != 3)
            error += double(a.pixels[i] - b.pixels[i]) * (a.pixels[i] - b.pixels[i]);
    return error == 0 ? 99.0 : 10 * std::log10(255.0 * 255 * (a.pixels.size() * 3 / 4) / error);
}

TEST(TextureCompression, SingleColoursComeOutAsCloseAsEndpointsAllow)
{
    int bestFive[256], bestSix[256];
    for (int v = 0; v < 256; ++v)
        bestFive[v] = BestSingleChannelError(v, 5), bestSix[v] = BestSingleChannelError(v, 6);
    std::vector<Block> blocks;
    for (int v = 0; v < 256; ++v)
        blocks.push_back(Uniform(uint8_t(v), uint8_t(v), uint8_t(v)));
    for (uint32_t i = 0; i < 300; ++i)
        blocks.push_back(Uniform(uint8_t(Hash(i)), uint8_t(Hash(i) >> 8), uint8_t(Hash(i) >> 16)));
    for (const Block& block : blocks)
    {
        const uint8_t* rgb = block.pixels[0];
        const uint32_t best = uint32_t(16 * (bestFive[rgb[0]] + bestSix[rgb[1]] + bestFive[rgb[2]]));
        for (ColorBlockMode mode : {ColorBlockMode::FourColour, ColorBlockMode::AnyMode})
        {
            uint8_t encoded[8];
            tools::EncodeColorBlock(block.pixels, mode, EncodeQuality::Best, encoded);
            EXPECT_EQ(tools::ColorBlockError(block.pixels, encoded, mode), best)
                << int(rgb[0]) << "," << int(rgb[1]) << "," << int(rgb[2]);
        }
    }
    // Mid grey, where nearest 565 endpoints alone land on (132,130,132).
    uint8_t encoded[8];
    Block grey = Uniform(128, 128, 128);
    tools::EncodeColorBlock(grey.pixels, ColorBlockMode::FourColour, EncodeQuality::Best, encoded);
    EXPECT_EQ(tools::ColorBlockError(grey.pixels, encoded, ColorBlockMode::FourColour), 0u);

    // The 1x1 and 2x1 ends of a mipmap chain are single colours too.
    for (uint32_t width : {1u, 2u})
    {
        RgbaImage level;
        level.width = width, level.height = 1;
        level.pixels = {77, 128, 201, 255, 77, 128, 201, 255};
        level.pixels.resize(width * 4);
        RgbaImage decoded;
        ASSERT_TRUE(tools::DecodeLevel(tools::EncodeLevel(level, TextureFormat::Dxt5), width, 1, TextureFormat::Dxt5, decoded));
        const int error = (decoded.pixels[0] - 77) * (decoded.pixels[0] - 77) +
                          (decoded.pixels[1] - 128) * (decoded.pixels[1] - 128) +
                          (decoded.pixels[2] - 201) * (decoded.pixels[2] - 201);
        EXPECT_EQ(error, bestFive[77] + bestSix[128] + bestFive[201]) << width;
    }
}

// The least error of a block holding count pixels of one colour and 16 -
// count of another. Each colour keeps one index, and for a given pair of
// indexes the error splits by channel, so every pair of levels is tried.
uint32_t BestTwoColourError(const uint8_t first[3], const uint8_t second[3], int count, bool anyMode)
{
    uint32_t best = ~0u;
    for (int threeColour = 0; threeColour <= (anyMode ? 1 : 0); ++threeColour)
        for (int i = 0; i < (threeColour ? 3 : 4); ++i)
            for (int j = 0; j < (threeColour ? 3 : 4); ++j)
            {
                uint32_t total = 0;
                for (int c = 0; c < 3; ++c)
                {
                    const int bits = c == 1 ? 6 : 5;
                    int channelBest = 1 << 30;
                    for (int a = 0; a < (1 << bits); ++a)
                        for (int b = 0; b < (1 << bits); ++b)
                        {
                            const int ea = Expand(a, bits), eb = Expand(b, bits);
                            const int values[4] = {ea, eb, threeColour ? (ea + eb) / 2 : (2 * ea + eb) / 3,
                                                   (ea + 2 * eb) / 3};
                            const int d1 = first[c] - values[i], d2 = second[c] - values[j];
                            channelBest = std::min(channelBest, count * d1 * d1 + (16 - count) * d2 * d2);
                        }
                    total += uint32_t(channelBest);
                }
                best = std::min(best, total);
            }
    return best;
}

struct Pair
{
    uint8_t first[3], second[3];
    int count;
};

void ExpectTwoColourBlocksAtTheirOptimum(const std::vector<Pair>& pairs);

TEST(TextureCompression, BlocksOfTwoColoursAreAsCloseAsEndpointsAllow)
{
    std::vector<Pair> pairs = {{{255, 12, 0}, {66, 243, 173}, 8},  // both exact in 565
                               {{130, 61, 77}, {19, 202, 13}, 8},  // neither
                               {{0, 0, 0}, {255, 255, 255}, 3}};
    for (uint32_t i = 0; i < 12; ++i)
        pairs.push_back(Pair{{uint8_t(Hash(i)), uint8_t(Hash(i) >> 8), uint8_t(Hash(i) >> 16)},
                             {uint8_t(Hash(i + 99)), uint8_t(Hash(i + 99) >> 8), uint8_t(Hash(i + 99) >> 16)},
                             int(Hash(i) % 15) + 1});
    ExpectTwoColourBlocksAtTheirOptimum(pairs);
}

// Two colours one step apart in each channel: the least error puts both on
// the one interpolant that lands on the majority colour, from endpoints far
// from either.
TEST(TextureCompression, BlocksOfTwoNearColoursAreAsCloseAsEndpointsAllow)
{
    ExpectTwoColourBlocksAtTheirOptimum({{{128, 128, 128}, {129, 127, 130}, 15}});
}

void ExpectTwoColourBlocksAtTheirOptimum(const std::vector<Pair>& pairs)
{
    for (const Pair& pair : pairs)
    {
        Block block;
        for (int i = 0; i < 16; ++i)
        {
            // Scattered, so that the order of pixels gives nothing away.
            const uint8_t* colour = (i * 7) % 16 < pair.count ? pair.first : pair.second;
            std::copy(colour, colour + 3, block.pixels[i]);
            block.pixels[i][3] = 255;
        }
        for (ColorBlockMode mode : {ColorBlockMode::FourColour, ColorBlockMode::AnyMode})
        {
            uint8_t encoded[8];
            tools::EncodeColorBlock(block.pixels, mode, EncodeQuality::Best, encoded);
            EXPECT_EQ(tools::ColorBlockError(block.pixels, encoded, mode),
                      BestTwoColourError(pair.first, pair.second, pair.count, mode == ColorBlockMode::AnyMode))
                << int(pair.first[0]) << "," << int(pair.first[1]) << "," << int(pair.first[2]) << " x" << pair.count
                << " and " << int(pair.second[0]) << "," << int(pair.second[1]) << "," << int(pair.second[2])
                << (mode == ColorBlockMode::AnyMode ? " any mode" : " four colours");
        }
    }
}

TEST(TextureCompression, GradientBlocksComeNearTheEvenSplit)
{
    // Sixteen evenly spaced colours p0 + i * d: four groups of four around
    // four evenly spaced palette colours leave 20 * d^2 per channel, the
    // least any four-colour palette can. 565 rounding may add a little.
    struct Case
    {
        int start[3], step[3];
    };
    for (const Case& c : {Case{{30, 200, 90}, {11, -9, 3}}, Case{{100, 50, 10}, {1, 2, 0}}, Case{{0, 0, 0}, {17, 17, 17}},
                          Case{{240, 16, 128}, {-4, 6, -5}}})
    {
        Block block;
        uint32_t even = 0;
        for (int ch = 0; ch < 3; ++ch)
            even += uint32_t(20 * c.step[ch] * c.step[ch]);
        for (int i = 0; i < 16; ++i)
        {
            for (int ch = 0; ch < 3; ++ch)
                block.pixels[i][ch] = uint8_t(c.start[ch] + i * c.step[ch]);
            block.pixels[i][3] = 255;
        }
        uint8_t encoded[8];
        tools::EncodeColorBlock(block.pixels, ColorBlockMode::FourColour, EncodeQuality::Best, encoded);
        EXPECT_LE(tools::ColorBlockError(block.pixels, encoded, ColorBlockMode::FourColour), even + even / 10 + 16 * 6)
            << c.start[0] << "," << c.start[1] << "," << c.start[2];
    }
    // Four steps that are exactly the palette of one endpoint pair come out exact.
    Block ramp;
    int palette[4][3];
    tools::ColorPalette(uint16_t(28 << 11 | 50 << 5 | 3), uint16_t(4 << 11 | 9 << 5 | 27), false, palette);
    const int order[4] = {0, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        for (int ch = 0; ch < 3; ++ch)
            ramp.pixels[i][ch] = uint8_t(palette[order[i % 4]][ch]), ramp.pixels[i][3] = 255;
    uint8_t encoded[8];
    tools::EncodeColorBlock(ramp.pixels, ColorBlockMode::FourColour, EncodeQuality::Best, encoded);
    EXPECT_EQ(tools::ColorBlockError(ramp.pixels, encoded, ColorBlockMode::FourColour), 0u);
}

// Every pair of 8-bit endpoints in both modes, to know the least error a block allows.
uint32_t BestAlphaError(const Block& block)
{
    uint32_t best = ~0u;
    for (int a0 = 0; a0 < 256; ++a0)
        for (int a1 = 0; a1 < 256; ++a1)
        {
            int palette[8];
            tools::AlphaPalette(a0, a1, palette);
            uint32_t error = 0;
            for (const auto& pixel : block.pixels)
            {
                int nearest = 1 << 30;
                for (int value : palette)
                    nearest = std::min(nearest, (pixel[3] - value) * (pixel[3] - value));
                error += uint32_t(nearest);
            }
            best = std::min(best, error);
        }
    return best;
}

// Encodes each block with alpha from alphaOf(seed, pixel) and expects the
// least error any endpoint pair gives; returns which modes were chosen.
template <typename AlphaOf>
void ExpectAlphaAtItsOptimum(const std::vector<uint32_t>& seeds, AlphaOf alphaOf, bool& sawSix, bool& sawFour)
{
    for (uint32_t seed : seeds)
    {
        Block block = Uniform(0, 0, 0);
        for (int i = 0; i < 16; ++i)
            block.pixels[i][3] = uint8_t(alphaOf(seed, i));
        uint8_t encoded[8];
        tools::EncodeInterpolatedAlphaBlock(block.pixels, encoded);
        EXPECT_EQ(tools::InterpolatedAlphaError(block.pixels, encoded), BestAlphaError(block))
            << int(block.pixels[0][3]) << "," << int(block.pixels[1][3]) << "," << int(block.pixels[2][3]);
        (encoded[0] > encoded[1] ? sawSix : sawFour) = true;
    }
}

TEST(TextureCompression, InterpolatedAlphaMatchesTheBestEndpointsOfEitherMode)
{
    bool sawSix = false, sawFour = false;
    ExpectAlphaAtItsOptimum({0, 1, 2, 3, 4}, [](uint32_t kind, int i) {
        switch (kind)
        {
        case 0: return 20 + i * 13;                          // ramp
        case 1: return i < 5 ? 0 : i < 11 ? 255 : 100 + i;   // cut-out with a soft part
        case 2: return i % 2 ? 0 : 128 + i * 3;              // half transparent
        case 3: return i < 8 ? 37 : 201;                     // two values
        default: return 250 + i % 6;                         // nearly opaque
        }
    }, sawSix, sawFour);
    EXPECT_TRUE(sawSix && sawFour) << "both modes should be chosen for some of these blocks";
}

TEST(TextureCompression, InterpolatedAlphaOfNoiseMatchesTheBestEndpoints)
{
    bool sawSix = false, sawFour = false;
    ExpectAlphaAtItsOptimum({1, 2, 3, 4}, [](uint32_t seed, int i) { return int(Hash(seed * 16 + uint32_t(i)) % 256); },
                            sawSix, sawFour);
}

TEST(TextureCompression, InterpolatedAlphaReachesEndpointsFarOutsideTheValues)
{
    // Blocks whose best endpoints lie beyond one interpolant step outside
    // their values: six interpolants over a wide spread, four between 0 and
    // 255, and a narrow spread whose steps are shorter than the truncation.
    static constexpr uint8_t kBlocks[3][16] = {
        {114, 112, 39, 150, 80, 66, 140, 62, 111, 14, 84, 144, 163, 96, 3, 126},
        {255, 255, 121, 103, 0, 163, 0, 0, 255, 0, 139, 155, 0, 0, 102, 118},
        {191, 187, 194, 190, 197, 184, 187, 189, 185, 188, 195, 194, 193, 184, 197, 181}};
    bool sawSix = false, sawFour = false;
    ExpectAlphaAtItsOptimum({0, 1, 2}, [](uint32_t block, int i) { return int(kBlocks[block][i]); }, sawSix, sawFour);
    EXPECT_TRUE(sawSix && sawFour);
}

TEST(TextureCompression, FixedImagesDecodeWithinTheirPsnrAndKeepModesApart)
{
    struct Case
    {
        const char* what;
        int kind;
        TextureFormat format;
        double leastPsnr;
    };
    // Each floor is 0.3 dB under what an exhaustive cluster-fit encoder
    // reaches on the image.
    for (const Case& c : {Case{"waves dxt1", 0, TextureFormat::Dxt1, 39.05}, Case{"waves dxt5", 0, TextureFormat::Dxt5, 39.05},
                          Case{"ramp dxt1", 1, TextureFormat::Dxt1, 44.55}, Case{"picture dxt1", 2, TextureFormat::Dxt1, 39.38},
                          Case{"picture dxt3", 2, TextureFormat::Dxt3, 39.37}})
    {
        const RgbaImage image = TestImage(c.kind, 64);
        const std::string bytes = tools::EncodeLevel(image, c.format);
        RgbaImage decoded;
        ASSERT_TRUE(tools::DecodeLevel(bytes, 64, 64, c.format, decoded)) << c.what;
        EXPECT_GE(RgbPsnr(image, decoded), c.leastPsnr) << c.what;
        const size_t blockBytes = c.format == TextureFormat::Dxt1 ? 8 : 16;
        for (size_t at = 0; at < bytes.size(); at += blockBytes)
        {
            const auto* colour = reinterpret_cast<const uint8_t*>(bytes.data() + at + blockBytes - 8);
            const int color0 = colour[0] | colour[1] << 8, color1 = colour[2] | colour[3] << 8;
            const uint32_t indexes = uint32_t(colour[4]) | uint32_t(colour[5]) << 8 | uint32_t(colour[6]) << 16 |
                                     uint32_t(colour[7]) << 24;
            // Opaque BC1: the three-colour mode never uses its transparent
            // index. BC2/BC3 colour blocks read the same whether or not a
            // decoder honours the endpoint order.
            if (c.format == TextureFormat::Dxt1 && color0 <= color1)
            {
                for (int i = 0; i < 16; ++i)
                    ASSERT_NE((indexes >> (2 * i)) & 3, 3u) << c.what << " block at " << at;
            }
            else if (c.format != TextureFormat::Dxt1)
            {
                ASSERT_TRUE(color0 > color1 || (color0 == color1 && indexes == 0)) << c.what << " block at " << at;
            }
        }
    }
}

// The mean angle in degrees between the normals of two images stored as 128 + 127 * n.
double MeanAngle(const RgbaImage& a, const RgbaImage& b)
{
    double total = 0;
    for (size_t i = 0; i + 3 < a.pixels.size(); i += 4)
    {
        double dot = 0, lengthA = 0, lengthB = 0;
        for (size_t c = 0; c < 3; ++c)
        {
            const double u = (a.pixels[i + c] - 128) / 127.0, v = (b.pixels[i + c] - 128) / 127.0;
            dot += u * v, lengthA += u * u, lengthB += v * v;
        }
        total += std::acos(std::clamp(dot / std::sqrt(lengthA * lengthB), -1.0, 1.0));
    }
    return total / double(a.pixels.size() / 4) * 180 / std::numbers::pi;
}

TEST(TextureCompression, TheClusterSearchLowersTheAngleOfNormalMaps)
{
    for (TextureFormat format : {TextureFormat::Dxt1, TextureFormat::Dxt5})
    {
        RgbaImage normals = TestImage(2, 64);
        tools::RenormalizeNormals(normals);
        RgbaImage best, clusters;
        ASSERT_TRUE(tools::DecodeLevel(tools::EncodeLevel(normals, format, EncodeQuality::Best), 64, 64, format, best));
        ASSERT_TRUE(tools::DecodeLevel(tools::EncodeLevel(normals, format, EncodeQuality::Clusters), 64, 64, format, clusters));
        // About a hundredth of a degree on this image, as on the benchmark's.
        EXPECT_LT(MeanAngle(normals, clusters), MeanAngle(normals, best) - 0.005) << int(format);
    }
}

TEST(TextureCompression, EveryBuildWritesTheSameBytes)
{
    // FNV-1a of the encoded levels of fixed images; the Windows build runs
    // this test too, so both must give these values.
    auto fnv = [](const std::string& bytes) {
        uint64_t hash = 1469598103934665603ull;
        for (char c : bytes)
            hash = (hash ^ uint8_t(c)) * 1099511628211ull;
        return hash;
    };
    std::string all;
    for (TextureFormat format : {TextureFormat::Dxt1, TextureFormat::Dxt3, TextureFormat::Dxt5})
        for (int kind = 0; kind < 3; ++kind)
            for (EncodeQuality quality : {EncodeQuality::Best, EncodeQuality::Fast})
                all += tools::EncodeLevel(TestImage(kind, 32), format, quality);
    RgbaImage normals = TestImage(0, 16);
    tools::RenormalizeNormals(normals);
    all += tools::EncodeLevel(normals, TextureFormat::Dxt5, EncodeQuality::Clusters);
    EXPECT_EQ(all.size(), 3u * 2 * 64 * 8 + 2u * 3 * 2 * 64 * 16 + 16 * 16);
    EXPECT_EQ(fnv(all), 0x85001a5eb8bb0a34ull) << std::hex << fnv(all);
}

} // namespace
} // namespace mw
