// TexForge's wording of the shared Targa decoder's refusals, and the hint
// for a Photoshop file given in place of a Targa one.
#include "TargaReader.h"

#include <utility>

namespace mw::tools {

bool ReadTarga(std::string_view bytes, RgbaImage& image, std::string& error)
{
    if (bytes.size() >= 18 && bytes.substr(0, 4) == "8BPS")
    {
        error = "Photoshop images cannot be read; save the image as Targa (.tga)";
        return false;
    }
    TargaPixels pixels;
    TargaHeader header;
    switch (DecodeTarga(bytes, pixels, header))
    {
    case TargaStatus::Ok:
        image.width = pixels.width;
        image.height = pixels.height;
        image.pixels = std::move(pixels.rgba);
        return true;
    case TargaStatus::TooShort:
        error = "not a Targa image (file too short)";
        return false;
    case TargaStatus::ColourMapped:
        error = "colour-mapped Targa images are not supported";
        return false;
    case TargaStatus::UnknownType:
        error = "not a Targa image this program reads (image type " + std::to_string(header.imageType) + ")";
        return false;
    case TargaStatus::UnsupportedDepth:
        error = "unsupported Targa pixel depth " + std::to_string(header.depth);
        return false;
    case TargaStatus::SizeOutOfRange:
        error = "image size " + std::to_string(header.width) + "x" + std::to_string(header.height) + " out of range";
        return false;
    case TargaStatus::EndsEarly:
        break;
    }
    error = "Targa image ends early";
    return false;
}

} // namespace mw::tools
