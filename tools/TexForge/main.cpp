// TexForge: compiles Targa images into .tex textures, animated textures and
// cube maps. Command lines and formats: tools/README.md.
#include "TargaReader.h"
#include "TextureEncoder.h"

#include "common/CompilerMain.h"
#include "common/BinaryOutput.h"
#include "common/ToolOutput.h"

#include "platform/PathRules.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using mw::Format;
using mw::tools::RgbaImage;
using mw::tools::TextureFormat;

const char kProgram[] = "TexForge";
constexpr uint32_t kFormatVersion = 1;
const char* const kFormatNames[] = {"none", "dxt1", "dxt3", "dxt5", "dsdt"};

struct Options
{
    std::vector<std::string> inputs;
    std::string output;
    std::string statistics;
    TextureFormat format = TextureFormat::Uncompressed;
    uint32_t fps = 20;
    bool normalMap = false;
    bool powerOfTwo = true;
    bool mipmaps = true;
    bool cubeMap = false;
    mw::tools::EncodeQuality quality = mw::tools::EncodeQuality::Best;
};

bool ParseNumber(const std::string& text, uint32_t low, uint32_t high, uint32_t& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = uint32_t(std::strtoul(text.c_str(), nullptr, 10));
    return value >= low && value <= high;
}

bool ParseArguments(const std::vector<std::string>& args, Options& options)
{
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "-stat" && hasValue)
            options.statistics = args[++i];
        else if (arg == "-fps" && hasValue)
        {
            if (!ParseNumber(args[++i], 1, 1000, options.fps))
            {
                mw::tools::ReportError(kProgram, Format("-fps '%s' is not a number from 1 to 1000", args[i].c_str()));
                return false;
            }
        }
        else if (arg == "-format" && hasValue)
        {
            const std::string name = mw::ToLowerAscii(args[++i]);
            int code = -1;
            for (int f = 1; f < 5; ++f)
                if (name == kFormatNames[f])
                    code = f;
            if (code < 0)
            {
                mw::tools::ReportError(kProgram, Format("unknown -format '%s' (dxt1, dxt3, dxt5 or dsdt)", args[i].c_str()));
                return false;
            }
            options.format = TextureFormat(code);
        }
        else if (arg == "-normalmap")
            options.normalMap = true;
        else if (arg == "-nopoweroftwo")
            options.powerOfTwo = false;
        else if (arg == "-nomipmaps")
            options.mipmaps = false;
        else if (arg == "-cubemap")
            options.cubeMap = true;
        else if (arg == "-fast")
            options.quality = mw::tools::EncodeQuality::Fast;
        else if (arg.size() > 1 && arg[0] == '-')
        {
            mw::tools::ReportError(kProgram, Format("unknown switch '%s'", arg.c_str()));
            return false;
        }
        else
            positional.push_back(arg);
    }
    if (positional.size() < 2)
    {
        mw::tools::ReportError(kProgram, "usage: TexForge [-stat FILE] SOURCE [FRAME...] OUTPUT [switches], or six faces, "
                                         "OUTPUT and -cubemap");
        return false;
    }
    options.output = positional.back();
    positional.pop_back();
    options.inputs = positional;
    if (options.cubeMap && options.inputs.size() != 6)
    {
        mw::tools::ReportError(kProgram, Format("a cube map needs six face images, not %zu", options.inputs.size()));
        return false;
    }
    if (options.cubeMap && options.format == TextureFormat::Dsdt)
    {
        mw::tools::ReportError(kProgram, "a cube map cannot use the dsdt format");
        return false;
    }
    return true;
}

bool LoadImage(const std::string& path, RgbaImage& image)
{
    std::string bytes, error;
    if (!mw::tools::ReadInput(kProgram, path, bytes))
        return false;
    if (mw::tools::ReadTarga(bytes, image, error))
        return true;
    mw::tools::ReportError(kProgram, Format("cannot read '%s': %s", path.c_str(), error.c_str()));
    return false;
}

int Run(const Options& options)
{
    std::vector<RgbaImage> images;
    for (const std::string& input : options.inputs)
    {
        RgbaImage image;
        if (!LoadImage(input, image))
            return 1;
        if (!images.empty() && (image.width != images[0].width || image.height != images[0].height))
        {
            mw::tools::ReportError(kProgram, Format("'%s' is %ux%u, not %ux%u like the first image", input.c_str(),
                                                    image.width, image.height, images[0].width, images[0].height));
            return 1;
        }
        if (options.cubeMap && image.width != image.height)
        {
            mw::tools::ReportError(kProgram, Format("cube map face '%s' is not square", input.c_str()));
            return 1;
        }
        images.push_back(std::move(image));
    }

    std::vector<std::vector<RgbaImage>> levels;
    for (RgbaImage& image : images)
    {
        if (options.powerOfTwo && (!mw::tools::IsPowerOfTwo(image.width) || !mw::tools::IsPowerOfTwo(image.height)))
            image = mw::tools::ScaleToPowerOfTwo(image);
        bool mipmaps = options.mipmaps && mw::tools::IsPowerOfTwo(image.width) && mw::tools::IsPowerOfTwo(image.height);
        levels.push_back(mipmaps ? mw::tools::MipmapChain(image) : std::vector<RgbaImage>{image});
        if (options.normalMap)
            for (RgbaImage& level : levels.back())
                mw::tools::RenormalizeNormals(level);
    }

    const uint32_t kind = options.cubeMap ? 2 : images.size() > 1 ? 1 : 0;
    const uint32_t levelCount = uint32_t(levels[0].size());
    mw::tools::BinaryOutput out;
    out.Bytes("MWTX");
    out.U32(kFormatVersion);
    out.U32(kind);
    out.U32(levels[0][0].width);
    out.U32(levels[0][0].height);
    out.U32(uint32_t(images.size()));
    out.U32(uint32_t(options.format));
    out.U32((options.normalMap ? 1u : 0u) | (levelCount > 1 ? 2u : 0u));
    out.U32(kind == 1 ? options.fps : 0);
    out.U32(levelCount);
    // Normal maps take the wider colour search, which lowers their angular
    // error at several times the encoding time.
    const mw::tools::EncodeQuality quality = options.normalMap && options.quality == mw::tools::EncodeQuality::Best
                                                 ? mw::tools::EncodeQuality::Clusters
                                                 : options.quality;
    for (const std::vector<RgbaImage>& chain : levels)
        for (const RgbaImage& level : chain)
        {
            std::string encoded = mw::tools::EncodeLevel(level, options.format, quality);
            out.U32(uint32_t(encoded.size()));
            out.Bytes(encoded);
        }
    if (!mw::tools::WriteOutput(kProgram, options.output, out.Data()))
        return 1;
    mw::tools::ReportProgress(Format("%s: %ux%u, %zu image(s), %u level(s), %s, %zu bytes", options.output.c_str(),
                                     levels[0][0].width, levels[0][0].height, images.size(), levelCount,
                                     kFormatNames[int(options.format)], out.Data().size()));
    if (!options.statistics.empty())
        mw::tools::AppendStatisticsLine(kProgram, options.statistics, "Output,Width,Height,Images,Format,Levels,Bytes",
                                        {options.output, std::to_string(levels[0][0].width),
                                         std::to_string(levels[0][0].height), std::to_string(images.size()),
                                         kFormatNames[int(options.format)], std::to_string(levelCount),
                                         std::to_string(out.Data().size())});
    return 0;
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    Options options;
    if (!ParseArguments(args, options))
        return 1;
    return Run(options);
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
