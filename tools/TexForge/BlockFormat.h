// The block formats' palettes as TexForge's encoder assumes a decoder builds
// them: 565 endpoints widened by repeating their top bits, interpolants
// truncated. The encoder measures its choices with these, and the decoder
// (BlockDecoder.h) uses the same, so the two can never disagree.
#pragma once

#include <cstdint>

namespace mw::tools {

inline void Expand565(uint16_t value, int rgb[3])
{
    const int r = (value >> 11) & 31, g = (value >> 5) & 63, b = value & 31;
    rgb[0] = r << 3 | r >> 2;
    rgb[1] = g << 2 | g >> 4;
    rgb[2] = b << 3 | b >> 2;
}

// The four colours of a colour block. With threeColour, index 2 is the
// midpoint and index 3 (black, transparent) is left as black.
inline void ColorPalette(uint16_t color0, uint16_t color1, bool threeColour, int palette[4][3])
{
    Expand565(color0, palette[0]);
    Expand565(color1, palette[1]);
    for (int c = 0; c < 3; ++c)
    {
        if (threeColour)
        {
            palette[2][c] = (palette[0][c] + palette[1][c]) / 2;
            palette[3][c] = 0;
        }
        else
        {
            palette[2][c] = (2 * palette[0][c] + palette[1][c]) / 3;
            palette[3][c] = (palette[0][c] + 2 * palette[1][c]) / 3;
        }
    }
}

// The eight values of an interpolated alpha block: six interpolants when
// alpha0 > alpha1, else four and then 0 and 255.
inline void AlphaPalette(int alpha0, int alpha1, int palette[8])
{
    palette[0] = alpha0;
    palette[1] = alpha1;
    if (alpha0 > alpha1)
        for (int k = 1; k <= 6; ++k)
            palette[k + 1] = ((7 - k) * alpha0 + k * alpha1) / 7;
    else
    {
        for (int k = 1; k <= 4; ++k)
            palette[k + 1] = ((5 - k) * alpha0 + k * alpha1) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
}

} // namespace mw::tools
