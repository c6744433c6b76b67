// Adler-32 with an AVX2 path.
#include "Adler32.h"

#include <zlib.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define MW_ADLER_AVX2 1
#endif

namespace mw {
namespace {

constexpr uint32_t kBase = 65521;
// The most 32-byte blocks whose sums fit the 32-bit lanes and the scalar
// sums before they are reduced (zlib's NMAX, 5552, rounded down to blocks).
constexpr size_t kBlocksPerChunk = 173;

#ifdef MW_ADLER_AVX2
// The sum of the eight 32-bit lanes.
__attribute__((target("avx2"))) uint64_t Total(__m256i lanes)
{
    __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4E));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
    return uint64_t(uint32_t(_mm_cvtsi128_si32(sum)));
}

// Per 32-byte block: s2 grows by 32 times s1 plus each byte weighted by
// 32 - position, s1 by the byte sum. Over a chunk of k blocks the first part
// is 32 * (k * s1 + the byte sums of the blocks before each block).
__attribute__((target("avx2"))) uint32_t Adler32Avx2(uint32_t adler, const unsigned char* p, size_t size)
{
    uint32_t s1 = adler & 0xFFFF;
    uint32_t s2 = adler >> 16;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi16(1);
    const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15,
                                             14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 32)
    {
        size_t blocks = size / 32 < kBlocksPerChunk ? size / 32 : kBlocksPerChunk;
        size -= blocks * 32;
        __m256i byteSums = zero;
        __m256i earlierSums = zero;
        __m256i weighted = zero;
        for (size_t i = 0; i < blocks; ++i, p += 32)
        {
            __m256i data = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            earlierSums = _mm256_add_epi32(earlierSums, byteSums);
            byteSums = _mm256_add_epi32(byteSums, _mm256_sad_epu8(data, zero));
            weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(data, weights), ones));
        }
        uint64_t wide2 = s2 + 32 * (uint64_t(blocks) * s1 + Total(earlierSums)) + Total(weighted);
        s1 = uint32_t((s1 + Total(byteSums)) % kBase);
        s2 = uint32_t(wide2 % kBase);
    }
    for (; size > 0; --size, ++p)
    {
        s1 += *p;
        s2 += s1;
    }
    return (s2 % kBase) << 16 | (s1 % kBase);
}

// Initialised before main, possibly before the compiler's own processor
// probe has run: it is asked to run first.
bool HasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

const bool kHasAvx2 = HasAvx2();
#endif

} // namespace

uint32_t Adler32(uint32_t adler, const void* bytes, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
#ifdef MW_ADLER_AVX2
    if (kHasAvx2)
        return Adler32Avx2(adler, p, size);
#endif
    return uint32_t(adler32_z(adler, p, size));
}

} // namespace mw
