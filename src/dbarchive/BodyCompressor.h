// Compresses record bodies the way the archive stores them: one zlib stream
// per body at level 5 (zlib wrapper, 32 KiB window, default memory level and
// strategy). One stream is kept and reset for every body, which gives the
// same bytes as a one-shot compress2 without setting zlib up each time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace mw {

class BodyCompressor
{
public:
    static constexpr int kLevel = 5;

    BodyCompressor();
    ~BodyCompressor();
    BodyCompressor(const BodyCompressor&) = delete;
    BodyCompressor& operator=(const BodyCompressor&) = delete;

    // Replaces out with the compressed form of the bytes; false (out empty)
    // when zlib cannot be set up or fails.
    bool Compress(const char* bytes, size_t size, std::string& out);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

} // namespace mw
