// SHA-256 (FIPS 180-4): 64-byte blocks, big-endian words, the length in bits
// at the end of the padding.
#include "Sha256.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>
#define MW_SHA256_X86 1
#endif

namespace mw {
namespace {

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

inline uint32_t RotateRight(uint32_t value, int bits) { return (value >> bits) | (value << (32 - bits)); }

void CompressPortable(uint32_t* state, const uint8_t* block)
{
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t(block[4 * i]) << 24 | uint32_t(block[4 * i + 1]) << 16 | uint32_t(block[4 * i + 2]) << 8 |
               uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i)
    {
        uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int i = 0; i < 64; ++i)
    {
        uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
        uint32_t choose = (e & f) ^ (~e & g);
        uint32_t t1 = h + s1 + choose + kRound[i] + w[i];
        uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
        uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#ifdef MW_SHA256_X86
// The processor's SHA instructions: about ten times the portable speed,
// which the cache feels on every input it hashes and every entry it checks.
bool HasShaInstructions()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    bool ssse3 = (ecx & (1u << 9)) != 0, sse41 = (ecx & (1u << 19)) != 0;
    if (!ssse3 || !sse41 || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    return (ebx & (1u << 29)) != 0;
}

// The state is kept as the two halves the instructions take: ABEF and CDGH.
// Message words are made four at a time: W[t..t+3] from W[t-16..t-1].
__attribute__((target("sha,ssse3,sse4.1"))) void CompressWithShaInstructions(uint32_t* state, const uint8_t* data,
                                                                            size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (; count > 0; --count, data += 64)
    {
        __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i words[16];
        for (int group = 0; group < 16; ++group)
        {
            if (group < 4)
                words[group] = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), byteSwap);
            else
            {
                __m128i partial = _mm_sha256msg1_epu32(words[group - 4], words[group - 3]);
                partial = _mm_add_epi32(partial, _mm_alignr_epi8(words[group - 1], words[group - 2], 4));
                words[group] = _mm_sha256msg2_epu32(partial, words[group - 1]);
            }
            __m128i rounds = _mm_add_epi32(words[group],
                                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, rounds);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(rounds, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

const bool kHasShaInstructions = HasShaInstructions();
#endif

} // namespace

Sha256::Sha256()
    : m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19}
{
}

void Sha256::Compress(const uint8_t* blocks, size_t count)
{
#ifdef MW_SHA256_X86
    if (kHasShaInstructions)
    {
        CompressWithShaInstructions(m_state.data(), blocks, count);
        return;
    }
#endif
    for (size_t i = 0; i < count; ++i)
        CompressPortable(m_state.data(), blocks + 64 * i);
}

void Sha256::Update(std::string_view bytes)
{
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t size = bytes.size();
    m_totalBytes += size;
    if (m_blockUsed > 0)
    {
        size_t take = std::min(size, m_block.size() - m_blockUsed);
        std::memcpy(m_block.data() + m_blockUsed, data, take);
        m_blockUsed += take;
        data += take;
        size -= take;
        if (m_blockUsed < m_block.size())
            return;
        Compress(m_block.data(), 1);
        m_blockUsed = 0;
    }
    size_t blocks = size / 64;
    if (blocks > 0)
        Compress(data, blocks);
    data += 64 * blocks;
    size -= 64 * blocks;
    std::memcpy(m_block.data(), data, size);
    m_blockUsed = size;
}

Sha256::Digest Sha256::Finish()
{
    uint64_t bits = m_totalBytes * 8;
    uint8_t padding[72] = {0x80};
    size_t padSize = (m_blockUsed < 56 ? 56 : 120) - m_blockUsed;
    for (int i = 0; i < 8; ++i)
        padding[padSize + size_t(i)] = uint8_t(bits >> (56 - 8 * i));
    Update(std::string_view(reinterpret_cast<const char*>(padding), padSize + 8));
    Digest digest;
    for (size_t i = 0; i < 8; ++i)
        for (size_t j = 0; j < 4; ++j)
            digest[4 * i + j] = uint8_t(m_state[i] >> (24 - 8 * j));
    return digest;
}

std::string Sha256::Hex(const Digest& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (uint8_t byte : digest)
    {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string Sha256::HexOf(std::string_view bytes)
{
    Sha256 hash;
    hash.Update(bytes);
    return Hex(hash.Finish());
}

} // namespace mw
