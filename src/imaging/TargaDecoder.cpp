// Targa layout: an 18-byte header, the image ID, then pixels in BGR(A) order,
// raw or in run-length packets (which may run across rows).
#include "TargaDecoder.h"

#include <algorithm>

namespace mw {
namespace {

uint16_t Read16(std::string_view bytes, size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); }

} // namespace

TargaStatus DecodeTarga(std::string_view bytes, TargaPixels& pixels, TargaHeader& header)
{
    constexpr size_t kHeaderBytes = 18;
    if (bytes.size() < kHeaderBytes)
        return TargaStatus::TooShort;
    const size_t idLength = uint8_t(bytes[0]);
    const int colorMapType = uint8_t(bytes[1]);
    header.imageType = uint8_t(bytes[2]);
    header.width = Read16(bytes, 12);
    header.height = Read16(bytes, 14);
    header.depth = uint8_t(bytes[16]);
    const int descriptor = uint8_t(bytes[17]);
    const int imageType = header.imageType, depth = header.depth;
    const uint32_t width = header.width, height = header.height;
    if (colorMapType != 0 || imageType == 1 || imageType == 9)
        return TargaStatus::ColourMapped;
    const bool grey = imageType == 3 || imageType == 11;
    const bool rle = imageType == 10 || imageType == 11;
    if (imageType != 2 && imageType != 3 && imageType != 10 && imageType != 11)
        return TargaStatus::UnknownType;
    if ((grey && depth != 8) || (!grey && depth != 24 && depth != 32))
        return TargaStatus::UnsupportedDepth;
    if (width == 0 || height == 0 || width > kMaxTargaSide || height > kMaxTargaSide)
        return TargaStatus::SizeOutOfRange;
    const size_t pixelBytes = size_t(depth) / 8;
    const size_t pixelCount = size_t(width) * height;
    size_t at = kHeaderBytes + idLength;
    // A run packet covers at most 128 pixels: a file too short even for runs
    // all the way is refused before any pixel memory is taken.
    const size_t leastBytes = rle ? (pixelCount + 127) / 128 * (1 + pixelBytes) : pixelCount * pixelBytes;
    if (at > bytes.size() || bytes.size() - at < leastBytes)
        return TargaStatus::EndsEarly;
    std::vector<uint8_t> raw(pixelCount * pixelBytes);
    if (!rle)
        std::copy(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + raw.size()), raw.begin());
    else
    {
        size_t done = 0;
        while (done < pixelCount)
        {
            if (at >= bytes.size())
                return TargaStatus::EndsEarly;
            const uint8_t packet = uint8_t(bytes[at++]);
            const size_t count = std::min<size_t>((packet & 0x7F) + 1, pixelCount - done);
            const bool run = (packet & 0x80) != 0;
            const size_t needed = run ? pixelBytes : count * pixelBytes;
            if (bytes.size() - at < needed)
                return TargaStatus::EndsEarly;
            for (size_t i = 0; i < count; ++i)
            {
                const size_t from = run ? at : at + i * pixelBytes;
                for (size_t b = 0; b < pixelBytes; ++b)
                    raw[(done + i) * pixelBytes + b] = uint8_t(bytes[from + b]);
            }
            at += needed;
            done += count;
        }
    }

    const bool topDown = (descriptor & 0x20) != 0;
    const bool rightToLeft = (descriptor & 0x10) != 0;
    pixels.width = width;
    pixels.height = height;
    pixels.rgba.assign(pixelCount * 4, 0);
    for (uint32_t row = 0; row < height; ++row)
    {
        const uint32_t y = topDown ? row : height - 1 - row;
        for (uint32_t column = 0; column < width; ++column)
        {
            const uint32_t x = rightToLeft ? width - 1 - column : column;
            const uint8_t* source = &raw[(size_t(row) * width + column) * pixelBytes];
            uint8_t* target = &pixels.rgba[(size_t(y) * width + x) * 4];
            if (grey)
                target[0] = target[1] = target[2] = source[0], target[3] = 255;
            else
            {
                target[0] = source[2];
                target[1] = source[1];
                target[2] = source[0];
                target[3] = pixelBytes == 4 ? source[3] : 255;
            }
        }
    }
    return TargaStatus::Ok;
}

} // namespace mw
