// One zlib stream (zlib wrapper, 32 KiB window, default memory level and
// strategy) kept and reset for every input, which gives the same bytes as a
// one-shot compress2 at its level without setting zlib up each time: a set-up
// allocates and clears a few hundred KiB.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace mw {

class ZlibDeflater
{
public:
    explicit ZlibDeflater(int level);
    ~ZlibDeflater();
    ZlibDeflater(const ZlibDeflater&) = delete;
    ZlibDeflater& operator=(const ZlibDeflater&) = delete;

    // Replaces out with the compressed form of the bytes; false (out empty)
    // when zlib cannot be set up or fails.
    bool Compress(const char* bytes, size_t size, std::string& out);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

} // namespace mw
