// Turns RGBA images into the levels a .tex file stores: scaling to powers of
// two, mipmap chains, normal-map renormalisation and block compression.
#pragma once

#include "ColorBlockEncoder.h"
#include "RgbaImage.h"

#include <string>
#include <vector>

namespace mw::tools {

enum class TextureFormat : uint32_t { Uncompressed = 0, Dxt1 = 1, Dxt3 = 2, Dxt5 = 3, Dsdt = 4 };

bool IsPowerOfTwo(uint32_t value);
// The image scaled up (nearest pixel) to the next powers of two.
RgbaImage ScaleToPowerOfTwo(const RgbaImage& image);
// Level 0 and each 2x2 box-filtered half down to 1x1.
std::vector<RgbaImage> MipmapChain(const RgbaImage& image);
// Treats RGB as a normal (128 = 0) and rescales it to unit length.
void RenormalizeNormals(RgbaImage& image);
// The stored bytes of one level in the format.
std::string EncodeLevel(const RgbaImage& image, TextureFormat format, EncodeQuality quality = EncodeQuality::Best);

} // namespace mw::tools
