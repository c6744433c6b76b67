// Compresses record bodies the way the archive stores them: one zlib stream
// per body at level 5, from one stream reset for every body.
#pragma once

#include "platform/engine/ZlibDeflater.h"

namespace mw {

class BodyCompressor : public ZlibDeflater
{
public:
    static constexpr int kLevel = 5;

    BodyCompressor() : ZlibDeflater(kLevel) {}
};

} // namespace mw
