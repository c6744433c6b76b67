// Decodes Targa images: uncompressed and run-length encoded, true colour
// (24 and 32 bits) and 8-bit grey, either origin. Callers word the reasons
// for a refusal themselves, from the status and the header fields.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace mw {

constexpr uint32_t kMaxTargaSide = 8192;

enum class TargaStatus {
    Ok,
    TooShort,         // fewer bytes than the 18-byte header
    ColourMapped,     // colour-map type set, or image type 1 or 9
    UnknownType,      // an image type other than 2, 3, 10 and 11
    UnsupportedDepth, // grey other than 8 bits, colour other than 24 or 32
    SizeOutOfRange,   // a side of 0 or above kMaxTargaSide
    EndsEarly,        // the image ID or the pixels go past the end
};

// The header fields a refusal is worded from; set as far as the header was read.
struct TargaHeader
{
    int imageType = 0;
    int depth = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

// The decoded pixels: 8-bit RGBA, rows from top to bottom.
struct TargaPixels
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba; // width * height * 4 bytes
};

// On any status but Ok the pixels are left untouched.
TargaStatus DecodeTarga(std::string_view bytes, TargaPixels& pixels, TargaHeader& header);

} // namespace mw
