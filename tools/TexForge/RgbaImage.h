// An image as 8-bit RGBA pixels, rows from top to bottom.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mw::tools {

struct RgbaImage
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels; // width * height * 4 bytes

    const uint8_t* At(uint32_t x, uint32_t y) const { return &pixels[(size_t(y) * width + x) * 4]; }
    uint8_t* At(uint32_t x, uint32_t y) { return &pixels[(size_t(y) * width + x) * 4]; }
};

} // namespace mw::tools
