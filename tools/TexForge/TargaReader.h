// Reads Targa images: uncompressed and run-length encoded, true colour and grey.
#pragma once

#include "RgbaImage.h"
#include "TargaDecoder.h"

#include <string>
#include <string_view>

namespace mw::tools {

constexpr uint32_t kMaxImageSide = kMaxTargaSide;

// False with a reason for any image it cannot read (colour-mapped, other
// depths, sizes of 0 or above kMaxImageSide, data that ends early).
bool ReadTarga(std::string_view bytes, RgbaImage& image, std::string& error);

} // namespace mw::tools
