// An output stream that discards everything, for running the application's
// real log path without the cost of a terminal.
#pragma once

#include <ostream>
#include <streambuf>

namespace mw::bench {

class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

class NullStream : public std::ostream
{
public:
    NullStream() : std::ostream(&m_buffer) {}

private:
    NullBuffer m_buffer;
};

} // namespace mw::bench
