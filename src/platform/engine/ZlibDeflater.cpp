// A zlib stream reused for many inputs.
#include "ZlibDeflater.h"

#include <new>
#include <zlib.h>

namespace mw {

struct ZlibDeflater::Stream
{
    z_stream zlib{};
    bool ready = false;
    // Output space reused for every input; out receives an exact-size copy,
    // so what callers keep holds no slack.
    std::unique_ptr<Bytef[]> buffer;
    size_t capacity = 0;
};

ZlibDeflater::ZlibDeflater(int level) : m_stream(std::make_unique<Stream>())
{
    // The parameters of compress2 at this level.
    m_stream->ready = deflateInit2(&m_stream->zlib, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

ZlibDeflater::~ZlibDeflater()
{
    if (m_stream->ready)
        deflateEnd(&m_stream->zlib);
}

bool ZlibDeflater::Compress(const char* bytes, size_t size, std::string& out)
{
    out.clear();
    if (!m_stream->ready || deflateReset(&m_stream->zlib) != Z_OK)
        return false;
    z_stream& zlib = m_stream->zlib;
    // The bound for the input, so one call finishes the stream.
    size_t bound = deflateBound(&zlib, uLong(size));
    if (bound > m_stream->capacity)
    {
        m_stream->buffer.reset(new (std::nothrow) Bytef[bound]);
        m_stream->capacity = m_stream->buffer ? bound : 0;
        if (!m_stream->buffer)
            return false;
    }
    zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
    zlib.avail_in = uInt(size);
    zlib.next_out = m_stream->buffer.get();
    zlib.avail_out = uInt(bound);
    if (deflate(&zlib, Z_FINISH) != Z_STREAM_END)
        return false;
    out.assign(reinterpret_cast<const char*>(m_stream->buffer.get()), zlib.total_out);
    return true;
}

} // namespace mw
