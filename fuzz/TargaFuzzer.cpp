// Reads arbitrary bytes as a Targa image the way TexForge does and, for
// small images, builds the mipmaps and every block format.
#include "TargaReader.h"
#include "TextureEncoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mw::tools::RgbaImage image;
    std::string error;
    if (!mw::tools::ReadTarga(std::string_view(reinterpret_cast<const char*>(data), size), image, error))
        return 0;
    if (image.width > 64 || image.height > 64)
        return 0;
    mw::tools::RgbaImage scaled = mw::tools::ScaleToPowerOfTwo(image);
    for (mw::tools::RgbaImage& level : mw::tools::MipmapChain(scaled))
    {
        mw::tools::RenormalizeNormals(level);
        for (int format = 0; format <= 4; ++format)
            mw::tools::EncodeLevel(level, mw::tools::TextureFormat(format));
    }
    return 0;
}
