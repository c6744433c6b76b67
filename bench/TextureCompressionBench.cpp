// TexForge's block compression on generated images next to libsquish's range
// fit and cluster fit in the same run: RGB PSNR of the decoded level, alpha
// PSNR for dxt5, angular error for the normal map, and processor seconds
// per megapixel on one core. Every encoder's bytes go through one decoder.
//
//   bench_texture [--quick]     (--quick: the images up to 512 pixels only)
#include "BenchSupport.h"

#include "BlockDecoder.h"
#include "TextureEncoder.h"

#include <squish.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using mw::tools::EncodeQuality;
using mw::tools::RgbaImage;
using mw::tools::TextureFormat;

// A small deterministic generator, so that every run sees the same images.
class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13, m_state ^= m_state >> 17, m_state ^= m_state << 5;
        return m_state;
    }
    int Range(int low, int high) { return low + int(Next() % uint32_t(high - low + 1)); }

private:
    uint32_t m_state;
};

RgbaImage Blank(uint32_t side)
{
    RgbaImage image;
    image.width = image.height = side;
    image.pixels.assign(size_t(side) * side * 4, 255);
    return image;
}

uint8_t Clamp(double value) { return uint8_t(std::clamp(std::lround(value), 0L, 255L)); }

// A midpoint-displacement height field in [0, 1], side a power of two.
std::vector<double> Plasma(uint32_t side, uint32_t seed, double roughness)
{
    const uint32_t n = side + 1;
    std::vector<double> h(size_t(n) * n, 0.5);
    Random random(seed);
    auto at = [&](uint32_t x, uint32_t y) -> double& { return h[size_t(y) * n + x]; };
    auto jitter = [&](double amount) { return (random.Next() / 4294967295.0 - 0.5) * amount; };
    double amount = 1.0;
    for (uint32_t step = side; step > 1; step /= 2, amount *= roughness)
    {
        const uint32_t half = step / 2;
        for (uint32_t y = 0; y < side; y += step)
            for (uint32_t x = 0; x < side; x += step)
                at(x + half, y + half) =
                    (at(x, y) + at(x + step, y) + at(x, y + step) + at(x + step, y + step)) / 4 + jitter(amount);
        for (uint32_t y = 0; y <= side; y += half)
            for (uint32_t x = (y / half) % 2 ? 0 : half; x <= side; x += step)
            {
                double sum = 0;
                int count = 0;
                if (x >= half)
                    sum += at(x - half, y), ++count;
                if (x + half <= side)
                    sum += at(x + half, y), ++count;
                if (y >= half)
                    sum += at(x, y - half), ++count;
                if (y + half <= side)
                    sum += at(x, y + half), ++count;
                at(x, y) = sum / count + jitter(amount);
            }
    }
    double low = 1e9, high = -1e9;
    for (double v : h)
        low = std::min(low, v), high = std::max(high, v);
    std::vector<double> field(size_t(side) * side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
            field[size_t(y) * side + x] = (at(x, y) - low) / (high - low);
    return field;
}

RgbaImage Gradient(uint32_t side)
{
    RgbaImage image = Blank(side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(x * 255 / (side - 1));
            p[1] = uint8_t(y * 255 / (side - 1));
            p[2] = uint8_t((x + y) * 255 / (2 * side - 2));
        }
    return image;
}

RgbaImage TwoColourGradient(uint32_t side)
{
    RgbaImage image = Blank(side);
    const double from[3] = {200, 40, 30}, to[3] = {20, 90, 220};
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            const double t = double(x + y) / (2 * side - 2);
            for (int c = 0; c < 3; ++c)
                image.At(x, y)[c] = Clamp(from[c] + (to[c] - from[c]) * t);
        }
    return image;
}

RgbaImage Noise(uint32_t side, uint32_t seed)
{
    RgbaImage image = Blank(side);
    Random random(seed);
    for (size_t i = 0; i < image.pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            image.pixels[i + size_t(c)] = uint8_t(random.Next() >> 24);
    return image;
}

RgbaImage PlasmaImage(uint32_t side, uint32_t seed)
{
    RgbaImage image = Blank(side);
    std::vector<double> fields[3] = {Plasma(side, seed, 0.55), Plasma(side, seed + 1, 0.55), Plasma(side, seed + 2, 0.55)};
    for (uint32_t i = 0; i < side * side; ++i)
        for (int c = 0; c < 3; ++c)
            image.pixels[size_t(i) * 4 + size_t(c)] = Clamp(255 * fields[c][i]);
    return image;
}

// Smooth shading, a few soft-edged shapes, fine grain and some texture: the
// statistics of a photograph more than of a synthetic pattern.
RgbaImage PhotoLike(uint32_t side, uint32_t seed)
{
    RgbaImage image = Blank(side);
    std::vector<double> light = Plasma(side, seed, 0.45), texture = Plasma(side, seed + 7, 0.8);
    Random random(seed + 3);
    struct Disc
    {
        double x, y, radius, colour[3];
    };
    std::vector<Disc> discs;
    for (int i = 0; i < 12; ++i)
        discs.push_back(Disc{random.Range(0, int(side)) * 1.0, random.Range(0, int(side)) * 1.0,
                             random.Range(int(side) / 16, int(side) / 4) * 1.0,
                             {random.Range(20, 235) * 1.0, random.Range(20, 235) * 1.0, random.Range(20, 235) * 1.0}});
    const double sky[3] = {90, 130, 190}, ground[3] = {110, 90, 60};
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            const size_t i = size_t(y) * side + x;
            double colour[3];
            const double t = double(y) / side;
            for (int c = 0; c < 3; ++c)
                colour[c] = sky[c] * (1 - t) + ground[c] * t;
            for (const Disc& disc : discs)
            {
                const double distance = std::hypot(x - disc.x, y - disc.y);
                const double cover = std::clamp((disc.radius - distance) / 1.5, 0.0, 1.0);
                for (int c = 0; c < 3; ++c)
                    colour[c] = colour[c] * (1 - cover) + disc.colour[c] * cover;
            }
            const double shade = 0.6 + 0.8 * light[i], grain = (texture[i] - 0.5) * 40;
            for (int c = 0; c < 3; ++c)
                image.pixels[i * 4 + size_t(c)] = Clamp(colour[c] * shade + grain + random.Range(-3, 3));
        }
    return image;
}

// Flat colours with anti-aliased stripes and rings, like a logo or drawing.
RgbaImage Drawing(uint32_t side)
{
    RgbaImage image = Blank(side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            const double ring = std::fmod(std::hypot(x - side / 2.0, y - side / 3.0) / 9.0, 2.0);
            const double cover = std::clamp(std::abs(ring - 1.0) * 3 - 1, 0.0, 1.0);
            const bool band = (x / 23 + y / 31) % 3 == 0;
            const double a[3] = {250, 250, 245}, b[3] = {band ? 200.0 : 30.0, band ? 30.0 : 60.0, band ? 40.0 : 150.0};
            for (int c = 0; c < 3; ++c)
                image.At(x, y)[c] = Clamp(a[c] * cover + b[c] * (1 - cover));
        }
    return image;
}

// Plasma colours under an alpha of soft falloff, hard cut-outs and full cover.
RgbaImage WithAlpha(uint32_t side, uint32_t seed)
{
    RgbaImage image = PlasmaImage(side, seed);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            const double distance = std::hypot(x - side / 2.0, y - side / 2.0) / (side / 2.0);
            double alpha = 255 * std::clamp(1.3 - distance, 0.0, 1.0);
            if ((x / 16 + y / 16) % 5 == 0)
                alpha = 0;
            image.At(x, y)[3] = Clamp(alpha);
        }
    return image;
}

// Normals of a bumpy height field, stored as 128 + 127 * n.
RgbaImage NormalMap(uint32_t side, uint32_t seed)
{
    RgbaImage image = Blank(side);
    std::vector<double> height = Plasma(side, seed, 0.6);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
        {
            auto h = [&](uint32_t u, uint32_t v) { return height[size_t(v % side) * side + u % side]; };
            const double dx = (h(x + 1, y) - h(x + side - 1, y)) * 8, dy = (h(x, y + 1) - h(x, y + side - 1)) * 8;
            const double length = std::sqrt(dx * dx + dy * dy + 1);
            uint8_t* p = image.At(x, y);
            p[0] = Clamp(128 + 127 * -dx / length);
            p[1] = Clamp(128 + 127 * -dy / length);
            p[2] = Clamp(128 + 127 / length);
        }
    return image;
}

struct TestImage
{
    std::string name;
    RgbaImage image;
    bool normalMap = false;
};

std::vector<TestImage> TestImages(bool quick)
{
    std::vector<TestImage> images;
    images.push_back({"gradient", Gradient(256)});
    images.push_back({"two-colour gradient", TwoColourGradient(256)});
    images.push_back({"noise", Noise(128, 1)});
    images.push_back({"small plasma", PlasmaImage(64, 5)});
    images.push_back({"plasma", PlasmaImage(512, 9)});
    images.push_back({"drawing", Drawing(256)});
    images.push_back({"photo-like", PhotoLike(512, 11)});
    images.push_back({"alpha plasma", WithAlpha(256, 13)});
    images.push_back({"normal map", NormalMap(256, 17), true});
    if (!quick)
    {
        images.push_back({"photo-like 1024", PhotoLike(1024, 19)});
        images.push_back({"plasma 1024", PlasmaImage(1024, 23)});
        images.push_back({"photo-like 2048", PhotoLike(2048, 29)});
    }
    return images;
}

// The 16 pixels of a block, edge pixels repeated, as TexForge gathers them.
void Gather(const RgbaImage& image, uint32_t bx, uint32_t by, bool opaque, uint8_t block[64])
{
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
        {
            const uint8_t* p = image.At(std::min(bx * 4 + x, image.width - 1), std::min(by * 4 + y, image.height - 1));
            std::memcpy(block + (y * 4 + x) * 4, p, 4);
            if (opaque)
                block[(y * 4 + x) * 4 + 3] = 255;
        }
}

// libsquish block by block on this thread, in TexForge's block order.
std::string SquishLevel(const RgbaImage& image, TextureFormat format, int fit)
{
    const bool dxt1 = format == TextureFormat::Dxt1;
    const size_t blockBytes = dxt1 ? 8 : 16;
    const uint32_t across = (image.width + 3) / 4, down = (image.height + 3) / 4;
    std::string out(size_t(across) * down * blockBytes, '\0');
    uint8_t block[64];
    char* at = out.data();
    for (uint32_t by = 0; by < down; ++by)
        for (uint32_t bx = 0; bx < across; ++bx, at += blockBytes)
        {
            // BC1 here carries no alpha: the pixels go in opaque so that no
            // block turns to the transparent mode.
            Gather(image, bx, by, dxt1, block);
            squish::Compress(block, at, fit | (dxt1 ? squish::kDxt1 : squish::kDxt5));
        }
    return out;
}

double Psnr(double squaredError, double samples)
{
    if (squaredError == 0)
        return 99.0;
    return 10 * std::log10(255.0 * 255.0 * samples / squaredError);
}

struct Quality
{
    double rgbPsnr = 0, alphaPsnr = 0, angleDegrees = 0;
};

Quality Measure(const RgbaImage& source, const RgbaImage& decoded)
{
    double rgb = 0, alpha = 0, angle = 0;
    const size_t pixels = size_t(source.width) * source.height;
    for (size_t i = 0; i < pixels; ++i)
    {
        const uint8_t* s = &source.pixels[i * 4];
        const uint8_t* d = &decoded.pixels[i * 4];
        double dot = 0, sourceLength = 0, decodedLength = 0;
        for (int c = 0; c < 3; ++c)
        {
            const double difference = double(s[c]) - d[c];
            rgb += difference * difference;
            const double a = (s[c] - 128) / 127.0, b = (d[c] - 128) / 127.0;
            dot += a * b, sourceLength += a * a, decodedLength += b * b;
        }
        alpha += (double(s[3]) - d[3]) * (double(s[3]) - d[3]);
        if (sourceLength > 0 && decodedLength > 0)
            angle += std::acos(std::clamp(dot / std::sqrt(sourceLength * decodedLength), -1.0, 1.0));
    }
    return Quality{Psnr(rgb, 3.0 * pixels), Psnr(alpha, double(pixels)), angle / pixels * 180 / M_PI};
}

struct Encoder
{
    const char* name;
    std::function<std::string(const RgbaImage&, TextureFormat, bool normalMap)> encode;
};

struct Totals
{
    double psnr = 0, seconds = 0, megapixels = 0, worstBelowCluster = -1e9;
    double ordinarySeconds = 0, ordinaryMegapixels = 0; // without the normal map, which takes a wider search

};

} // namespace

int main(int argc, char** argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const std::vector<TestImage> images = TestImages(quick);
    const std::vector<Encoder> encoders = {
        // TexForge as its -normalmap option runs it for the normal map.
        {"TexForge", [](const RgbaImage& i, TextureFormat f, bool normalMap) {
             return mw::tools::EncodeLevel(i, f, normalMap ? EncodeQuality::Clusters : EncodeQuality::Best);
         }},
        {"TexForge fast", [](const RgbaImage& i, TextureFormat f, bool) { return mw::tools::EncodeLevel(i, f, EncodeQuality::Fast); }},
        {"squish range", [](const RgbaImage& i, TextureFormat f, bool) { return SquishLevel(i, f, squish::kColourRangeFit); }},
        {"squish cluster", [](const RgbaImage& i, TextureFormat f, bool) { return SquishLevel(i, f, squish::kColourClusterFit); }},
    };
    const size_t cluster = 3;

    for (TextureFormat format : {TextureFormat::Dxt1, TextureFormat::Dxt5})
    {
        const bool dxt5 = format == TextureFormat::Dxt5;
        std::printf("== %s: RGB PSNR of level 0 in dB%s (per encoder), then s/MP on one core\n", dxt5 ? "dxt5" : "dxt1",
                    dxt5 ? " / alpha PSNR" : "");
        std::printf("%-22s %9s", "image", "size");
        for (const Encoder& encoder : encoders)
            std::printf(" %*s", dxt5 ? 22 : 15, encoder.name);
        std::printf(" %9s\n", "vs clust");
        std::vector<Totals> totals(encoders.size());
        for (const TestImage& test : images)
        {
            std::printf("%-22s %4ux%-4u", test.name.c_str(), test.image.width, test.image.height);
            std::vector<Quality> qualities;
            for (size_t e = 0; e < encoders.size(); ++e)
            {
                const double start = mw::bench::ThreadCpuSeconds();
                const std::string bytes = encoders[e].encode(test.image, format, test.normalMap);
                const double seconds = mw::bench::ThreadCpuSeconds() - start;
                RgbaImage decoded;
                if (!mw::tools::DecodeLevel(bytes, test.image.width, test.image.height, format, decoded))
                {
                    std::fprintf(stderr, "%s gave %zu bytes for %s\n", encoders[e].name, bytes.size(), test.name.c_str());
                    return 1;
                }
                qualities.push_back(Measure(test.image, decoded));
                totals[e].psnr += qualities.back().rgbPsnr;
                totals[e].seconds += seconds;
                totals[e].megapixels += test.image.width * double(test.image.height) / 1e6;
                if (!test.normalMap)
                {
                    totals[e].ordinarySeconds += seconds;
                    totals[e].ordinaryMegapixels += test.image.width * double(test.image.height) / 1e6;
                }
                if (dxt5)
                    std::printf(" %7.2f/%5.2f %6.3fs", qualities.back().rgbPsnr, qualities.back().alphaPsnr,
                                seconds);
                else
                    std::printf(" %7.2f %6.3fs", qualities.back().rgbPsnr, seconds);
            }
            const double belowCluster = qualities[cluster].rgbPsnr - qualities[0].rgbPsnr;
            totals[0].worstBelowCluster = std::max(totals[0].worstBelowCluster, belowCluster);
            std::printf(" %+8.2f\n", -belowCluster);
            if (test.normalMap)
            {
                std::printf("%-22s %9s", "  mean angle (deg)", "");
                for (const Quality& quality : qualities)
                    std::printf(" %*.3f", dxt5 ? 22 : 15, quality.angleDegrees);
                std::printf("\n");
            }
        }
        std::printf("%-22s %9s", "average PSNR", "");
        for (const Totals& total : totals)
            std::printf(" %*.2f", dxt5 ? 22 : 15, total.psnr / images.size());
        std::printf(" %+8.2f\n", (totals[0].psnr - totals[cluster].psnr) / images.size());
        std::printf("%-22s %9s", "seconds per MP", "");
        for (const Totals& total : totals)
            std::printf(" %*.3f", dxt5 ? 22 : 15, total.seconds / total.megapixels);
        std::printf("\n");
        std::printf("%-22s %9s", "  without normal map", "");
        for (const Totals& total : totals)
            std::printf(" %*.3f", dxt5 ? 22 : 15, total.ordinarySeconds / total.ordinaryMegapixels);
        std::printf("\n");
        std::printf("TexForge vs squish cluster (%s): average %+.2f dB, worst image %+.2f dB, %.1fx the speed\n\n",
                    dxt5 ? "dxt5" : "dxt1", (totals[0].psnr - totals[cluster].psnr) / images.size(),
                    -totals[0].worstBelowCluster, totals[cluster].seconds / totals[0].seconds);
    }
    return 0;
}
