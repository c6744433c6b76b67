// Turns the stored bytes of one texture level back into RGBA pixels, for each
// storage format the texture compiler writes.
#pragma once

#include "PreviewImage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

// The storage format codes of a built texture.
enum class TexelFormat : uint32_t
{
    Rgba8 = 0,
    Dxt1 = 1,
    Dxt3 = 2,
    Dxt5 = 3,
    Dsdt = 4,
};

// "RGBA8", "DXT1", ...; "format N" for a code no decoder knows.
std::string TexelFormatName(uint32_t code);

// The byte count a level of width x height takes in the format; 0 for an
// unknown format code.
uint64_t TexelLevelBytes(uint32_t code, uint32_t width, uint32_t height);

// Decodes a level whose bytes have exactly TexelLevelBytes; false otherwise.
// Offset maps (du, dv) show as red and green around mid-grey.
bool DecodeTexelLevel(uint32_t code, std::string_view bytes, uint32_t width, uint32_t height, PreviewImage& image);

} // namespace mw
