// The previews' wording of the shared Targa decoder's refusals.
#include "TargaImage.h"

#include <utility>

namespace mw {

bool ReadTargaImage(std::string_view bytes, PreviewImage& image, std::string& error)
{
    TargaPixels pixels;
    TargaHeader header;
    switch (DecodeTarga(bytes, pixels, header))
    {
    case TargaStatus::Ok:
        image.width = pixels.width;
        image.height = pixels.height;
        image.rgba = std::move(pixels.rgba);
        return true;
    case TargaStatus::TooShort:
        error = "not a Targa image (file too short)";
        return false;
    case TargaStatus::ColourMapped:
        error = "colour-mapped Targa images cannot be shown";
        return false;
    case TargaStatus::UnknownType:
        error = "not a Targa image (image type " + std::to_string(header.imageType) + ")";
        return false;
    case TargaStatus::UnsupportedDepth:
        error = "Targa pixel depth " + std::to_string(header.depth) + " cannot be shown";
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

} // namespace mw
