// Reads Targa source images for previews: true colour and grey, raw or
// run-length encoded, either origin.
#pragma once

#include "PreviewImage.h"
#include "TargaDecoder.h"

#include <string>
#include <string_view>

namespace mw {

// False with a one-line reason for what it cannot show (colour-mapped
// images, other depths, sides of 0 or above kMaxTargaSide, data that ends
// early).
bool ReadTargaImage(std::string_view bytes, PreviewImage& image, std::string& error);

} // namespace mw
