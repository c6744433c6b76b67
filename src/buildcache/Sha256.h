// SHA-256 of byte strings and files, incremental, for the build cache's keys
// and the check of the entries it fetches.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

class Sha256
{
public:
    using Digest = std::array<uint8_t, 32>;

    Sha256();
    void Update(std::string_view bytes);
    // The digest of everything given so far; the object is then spent.
    Digest Finish();

    // The 64 lower-case hex digits of a digest.
    static std::string Hex(const Digest& digest);
    static std::string HexOf(std::string_view bytes);

private:
    // Runs count 64-byte blocks through the state.
    void Compress(const uint8_t* blocks, size_t count);

    std::array<uint32_t, 8> m_state;
    std::array<uint8_t, 64> m_block{};
    size_t m_blockUsed = 0;
    uint64_t m_totalBytes = 0;
};

} // namespace mw
