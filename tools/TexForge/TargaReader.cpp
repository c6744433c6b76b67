// Targa decoding: an 18-byte header, an optional image ID, then pixels in
// BGR(A) order, raw or in run-length packets that may span rows.
#include "TargaReader.h"

#include <algorithm>

namespace mw::tools {
namespace {

uint16_t U16(std::string_view bytes, size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); }

} // namespace

bool ReadTarga(std::string_view bytes, RgbaImage& image, std::string& error)
{
    constexpr size_t kHeaderSize = 18;
    if (bytes.size() < kHeaderSize)
    {
        error = "not a Targa image (file too short)";
        return false;
    }
    const size_t idLength = uint8_t(bytes[0]);
    const int colorMapType = uint8_t(bytes[1]);
    const int imageType = uint8_t(bytes[2]);
    const uint32_t width = U16(bytes, 12);
    const uint32_t height = U16(bytes, 14);
    const int depth = uint8_t(bytes[16]);
    const int descriptor = uint8_t(bytes[17]);
    if (bytes.size() >= 4 && bytes.substr(0, 4) == "8BPS")
    {
        error = "Photoshop images cannot be read; save the image as Targa (.tga)";
        return false;
    }
    if (colorMapType != 0 || imageType == 1 || imageType == 9)
    {
        error = "colour-mapped Targa images are not supported";
        return false;
    }
    const bool grey = imageType == 3 || imageType == 11;
    const bool rle = imageType == 10 || imageType == 11;
    if (imageType != 2 && imageType != 3 && imageType != 10 && imageType != 11)
    {
        error = "not a Targa image this program reads (image type " + std::to_string(imageType) + ")";
        return false;
    }
    if ((grey && depth != 8) || (!grey && depth != 24 && depth != 32))
    {
        error = "unsupported Targa pixel depth " + std::to_string(depth);
        return false;
    }
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
    {
        error = "image size " + std::to_string(width) + "x" + std::to_string(height) + " out of range";
        return false;
    }
    const size_t pixelBytes = size_t(depth) / 8;
    const size_t pixelCount = size_t(width) * height;
    size_t at = kHeaderSize + idLength;
    if (at > bytes.size())
    {
        error = "Targa image ends early";
        return false;
    }

    // A run packet covers at most 128 pixels, so a file too short even for
    // runs all the way is refused before any pixel memory is taken.
    const size_t leastBytes = rle ? (pixelCount + 127) / 128 * (1 + pixelBytes) : pixelCount * pixelBytes;
    if (bytes.size() - at < leastBytes)
    {
        error = "Targa image ends early";
        return false;
    }
    std::vector<uint8_t> raw(pixelCount * pixelBytes);
    if (!rle)
    {
        if (bytes.size() - at < raw.size())
        {
            error = "Targa image ends early";
            return false;
        }
        std::copy(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + raw.size()), raw.begin());
    }
    else
    {
        size_t done = 0;
        while (done < pixelCount)
        {
            if (at >= bytes.size())
            {
                error = "Targa image ends early";
                return false;
            }
            const uint8_t packet = uint8_t(bytes[at++]);
            const size_t count = std::min<size_t>((packet & 0x7F) + 1, pixelCount - done);
            const bool run = (packet & 0x80) != 0;
            const size_t needed = run ? pixelBytes : count * pixelBytes;
            if (bytes.size() - at < needed)
            {
                error = "Targa image ends early";
                return false;
            }
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
    image.width = width;
    image.height = height;
    image.pixels.assign(pixelCount * 4, 0);
    for (uint32_t row = 0; row < height; ++row)
    {
        const uint32_t y = topDown ? row : height - 1 - row;
        for (uint32_t column = 0; column < width; ++column)
        {
            const uint32_t x = rightToLeft ? width - 1 - column : column;
            const uint8_t* source = &raw[(size_t(row) * width + column) * pixelBytes];
            uint8_t* target = image.At(x, y);
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
    return true;
}

} // namespace mw::tools
