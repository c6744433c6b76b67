// A decoded picture for previews: 8-bit RGBA pixels, rows from top to bottom.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mw {

struct PreviewImage
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba; // width * height * 4 bytes

    void Resize(uint32_t newWidth, uint32_t newHeight)
    {
        width = newWidth;
        height = newHeight;
        rgba.assign(size_t(newWidth) * newHeight * 4, 0);
    }
    uint8_t* At(uint32_t x, uint32_t y) { return &rgba[(size_t(y) * width + x) * 4]; }
    const uint8_t* At(uint32_t x, uint32_t y) const { return &rgba[(size_t(y) * width + x) * 4]; }
    // True when some pixel is not fully opaque.
    bool HasTranslucency() const
    {
        for (size_t i = 3; i < rgba.size(); i += 4)
            if (rgba[i] != 255)
                return true;
        return false;
    }
};

} // namespace mw
