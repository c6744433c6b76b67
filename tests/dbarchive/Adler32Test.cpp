// The vector Adler-32 against zlib's on the lengths, alignments and byte
// values where a lane or a chunk could overflow or lose a tail byte.
#include "dbarchive/Adler32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <zlib.h>

namespace mw {
namespace {

uint32_t Reference(uint32_t adler, const std::string& bytes, size_t offset, size_t size)
{
    return uint32_t(adler32_z(adler, reinterpret_cast<const Bytef*>(bytes.data() + offset), size));
}

TEST(Adler32Test, MatchesZlibOnEveryLengthAlignmentAndStartValue)
{
    std::mt19937 random(7);
    std::string noise(70000, '\0');
    for (char& c : noise)
        c = char(random());
    std::string ones(8 * 1024 * 1024 + 77, char(0xFF));
    for (size_t size : {0u, 1u, 31u, 32u, 33u, 5535u, 5536u, 5537u, 5552u, 11104u, 65535u, 69999u})
        for (size_t offset : {0u, 1u})
            for (uint32_t start : {1u, 0xFFF0FFF0u, 0x12345678u})
            {
                size_t length = std::min(size, noise.size() - offset);
                EXPECT_EQ(Adler32(start, noise.data() + offset, length), Reference(start, noise, offset, length))
                    << size << " bytes at " << offset << " from " << start;
            }
    // All bytes at their largest over many chunks: the sums' worst case.
    EXPECT_EQ(Adler32(0xFFF0FFF0u, ones.data(), ones.size()), Reference(0xFFF0FFF0u, ones, 0, ones.size()));
    // A sum taken in pieces equals the sum taken at once.
    uint32_t pieces = Adler32(1, noise.data(), 12345);
    pieces = Adler32(pieces, noise.data() + 12345, noise.size() - 12345);
    EXPECT_EQ(pieces, Reference(1, noise, 0, noise.size()));
}

} // namespace
} // namespace mw
