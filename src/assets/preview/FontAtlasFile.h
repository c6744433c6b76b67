// A built font file (.fnt) read for viewing: its size, metrics and the
// glyph atlas as a picture (coverage as the alpha of black glyphs).
#pragma once

#include "PreviewImage.h"

#include <string>

namespace mw {

struct FontAtlasFile
{
    uint32_t size = 0;
    uint32_t glyphCount = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    PreviewImage atlas;
    size_t fileBytes = 0;

    // False with a one-line reason for a file that is not a complete font
    // file (short, wrong magic, atlas too large for its bytes).
    bool Read(const std::string& bytes, std::string& error);
};

} // namespace mw
