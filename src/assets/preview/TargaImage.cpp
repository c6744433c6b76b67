// Targa layout: an 18-byte header, the image ID, then pixels in BGR(A) order,
// raw or in run-length packets (which may run across rows).
#include "TargaImage.h"

#include <algorithm>

namespace mw {
namespace {

uint16_t Read16(std::string_view bytes, size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); }

} // namespace

bool ReadTargaImage(std::string_view bytes, PreviewImage& image, std::string& error)
{
    constexpr size_t kHeaderBytes = 18;
    if (bytes.size() < kHeaderBytes)
    {
        error = "not a Targa image (file too short)";
        return false;
    }
    const size_t idLength = uint8_t(bytes[0]);
    const int colorMapType = uint8_t(bytes[1]);
    const int imageType = uint8_t(bytes[2]);
    const uint32_t width = Read16(bytes, 12);
    const uint32_t height = Read16(bytes, 14);
    const int depth = uint8_t(bytes[16]);
    const int descriptor = uint8_t(bytes[17]);
    if (colorMapType != 0 || imageType == 1 || imageType == 9)
    {
        error = "colour-mapped Targa images cannot be shown";
        return false;
    }
    const bool grey = imageType == 3 || imageType == 11;
    const bool rle = imageType == 10 || imageType == 11;
    if (imageType != 2 && imageType != 3 && imageType != 10 && imageType != 11)
    {
        error = "not a Targa image (image type " + std::to_string(imageType) + ")";
        return false;
    }
    if ((grey && depth != 8) || (!grey && depth != 24 && depth != 32))
    {
        error = "Targa pixel depth " + std::to_string(depth) + " cannot be shown";
        return false;
    }
    if (width == 0 || height == 0 || width > kMaxTargaSide || height > kMaxTargaSide)
    {
        error = "image size " + std::to_string(width) + "x" + std::to_string(height) + " out of range";
        return false;
    }
    const size_t pixelBytes = size_t(depth) / 8;
    const size_t pixelCount = size_t(width) * height;
    size_t at = kHeaderBytes + idLength;
    // A run packet covers at most 128 pixels: a file too short even for runs
    // all the way is refused before any pixel memory is taken.
    const size_t leastBytes = rle ? (pixelCount + 127) / 128 * (1 + pixelBytes) : pixelCount * pixelBytes;
    if (at > bytes.size() || bytes.size() - at < leastBytes)
    {
        error = "Targa image ends early";
        return false;
    }
    std::string raw;
    if (!rle)
        raw.assign(bytes.substr(at, pixelCount * pixelBytes));
    else
    {
        raw.reserve(pixelCount * pixelBytes);
        while (raw.size() < pixelCount * pixelBytes)
        {
            if (at >= bytes.size())
            {
                error = "Targa image ends early";
                return false;
            }
            const uint8_t packet = uint8_t(bytes[at++]);
            const size_t count = std::min<size_t>((packet & 0x7F) + 1, pixelCount - raw.size() / pixelBytes);
            const bool run = (packet & 0x80) != 0;
            const size_t needed = run ? pixelBytes : count * pixelBytes;
            if (bytes.size() - at < needed)
            {
                error = "Targa image ends early";
                return false;
            }
            for (size_t i = 0; i < count; ++i)
                raw.append(bytes.substr(run ? at : at + i * pixelBytes, pixelBytes));
            at += needed;
        }
    }
    const bool topDown = (descriptor & 0x20) != 0;
    const bool rightToLeft = (descriptor & 0x10) != 0;
    image.Resize(width, height);
    for (uint32_t row = 0; row < height; ++row)
        for (uint32_t column = 0; column < width; ++column)
        {
            const auto* source = reinterpret_cast<const uint8_t*>(&raw[(size_t(row) * width + column) * pixelBytes]);
            uint8_t* target = image.At(rightToLeft ? width - 1 - column : column, topDown ? row : height - 1 - row);
            if (grey)
            {
                target[0] = target[1] = target[2] = source[0];
                target[3] = 255;
                continue;
            }
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
            target[3] = pixelBytes == 4 ? source[3] : 255;
        }
    return true;
}

} // namespace mw
