// Decodes the stored bytes of one .tex level back into RGBA pixels, with the
// palettes the encoder assumes (BlockFormat.h).
#pragma once

#include "RgbaImage.h"
#include "TextureEncoder.h"

#include <string_view>

namespace mw::tools {

// False when bytes are not the size the level needs in the format.
// BC2 and BC3 colour blocks always decode with four colours; BC1 blocks with
// colour0 <= colour1 use the three-colour mode, index 3 transparent black.
bool DecodeLevel(std::string_view bytes, uint32_t width, uint32_t height, TextureFormat format, RgbaImage& image);

} // namespace mw::tools
