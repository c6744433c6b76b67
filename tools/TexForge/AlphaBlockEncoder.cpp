// Alpha block search. For each interpolated mode: a window of endpoint
// pairs around the block's extreme values, then least-squares refits for the
// chosen indexes and steps of the endpoints while the error falls; that
// error then bounds a search of every pair that could still do better.
#include "AlphaBlockEncoder.h"

#include "BlockFormat.h"

#include <algorithm>
#include <cstdlib>

namespace mw::tools {
namespace {

struct AlphaCandidate
{
    int alpha0 = 0, alpha1 = 0;
    uint32_t error = ~0u;
};

uint32_t Evaluate(const int values[16], int alpha0, int alpha1, uint8_t indexes[16] = nullptr)
{
    int palette[8];
    AlphaPalette(alpha0, alpha1, palette);
    uint32_t total = 0;
    for (int i = 0; i < 16; ++i)
    {
        int best = 1 << 30, bestIndex = 0;
        for (int p = 0; p < 8; ++p)
        {
            const int distance = (values[i] - palette[p]) * (values[i] - palette[p]);
            if (distance < best)
                best = distance, bestIndex = p;
        }
        total += uint32_t(best);
        if (indexes)
            indexes[i] = uint8_t(bestIndex);
    }
    return total;
}

// The mode of a pair: six interpolants need alpha0 > alpha1, four need alpha0 <= alpha1.
bool InMode(int alpha0, int alpha1, bool sixInterpolants)
{
    if (alpha0 < 0 || alpha0 > 255 || alpha1 < 0 || alpha1 > 255)
        return false;
    return sixInterpolants ? alpha0 > alpha1 : alpha0 <= alpha1;
}

bool Consider(const int values[16], int alpha0, int alpha1, bool sixInterpolants, AlphaCandidate& best)
{
    if (!InMode(alpha0, alpha1, sixInterpolants))
        return false;
    const uint32_t error = Evaluate(values, alpha0, alpha1);
    if (error >= best.error)
        return false;
    best = AlphaCandidate{alpha0, alpha1, error};
    return true;
}

int RoundedDivide(int64_t num, int64_t den) { return int(num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den))); }

// Least-squares endpoints for the indexes of best; pixels on the fixed 0 and
// 255 of the four-interpolant mode take no part.
void Refit(const int values[16], bool sixInterpolants, AlphaCandidate& best)
{
    uint8_t indexes[16];
    Evaluate(values, best.alpha0, best.alpha1, indexes);
    const int scale = sixInterpolants ? 7 : 5;
    int64_t saa = 0, sbb = 0, sab = 0, xa = 0, xb = 0;
    for (int i = 0; i < 16; ++i)
    {
        const int index = indexes[i];
        if (!sixInterpolants && index >= 6)
            continue;
        const int step = index == 0 ? 0 : index == 1 ? scale : index - 1; // how far towards alpha1
        const int wa = scale - step, wb = step;
        saa += wa * wa, sbb += wb * wb, sab += wa * wb;
        xa += wa * values[i], xb += wb * values[i];
    }
    const int64_t det = saa * sbb - sab * sab;
    if (det <= 0)
        return;
    const int alpha0 = std::clamp(RoundedDivide(scale * (xa * sbb - xb * sab), det), 0, 255);
    const int alpha1 = std::clamp(RoundedDivide(scale * (xb * saa - xa * sab), det), 0, 255);
    Consider(values, alpha0, alpha1, sixInterpolants, best);
}

// Moves either endpoint or both by 8, 4, 2 and 1 while the error falls.
bool StepSearch(const int values[16], bool sixInterpolants, AlphaCandidate& best)
{
    static constexpr int kSteps[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, 1}, {-1, 1}, {1, -1}};
    bool moved = false;
    for (int size = 8; size >= 1; size /= 2)
        for (int pass = 0; pass < 8; ++pass)
        {
            bool improved = false;
            for (const auto& step : kSteps)
                improved |= Consider(values, best.alpha0 + size * step[0], best.alpha1 + size * step[1], sixInterpolants, best);
            moved |= improved;
            if (!improved)
                break;
        }
    return moved;
}

// The block's distinct values with their counts, the ones furthest from the
// middle of [low, high] first: those cost most under a pair that cannot win,
// so the running sum of ErrorBelow reaches its limit soonest.
struct DistinctValues
{
    int value[16], count[16];
    int size = 0;
};

DistinctValues ExtremesFirst(const int values[16], int low, int high)
{
    DistinctValues distinct;
    for (int i = 0; i < 16; ++i)
    {
        int k = 0;
        while (k < distinct.size && distinct.value[k] != values[i])
            ++k;
        if (k == distinct.size)
            distinct.value[distinct.size] = values[i], distinct.count[distinct.size++] = 0;
        ++distinct.count[k];
    }
    // Insertion sort on the distance from the middle, larger first, ties by value.
    for (int i = 1; i < distinct.size; ++i)
        for (int k = i; k > 0; --k)
        {
            const int a = std::abs(2 * distinct.value[k - 1] - low - high), b = std::abs(2 * distinct.value[k] - low - high);
            if (a > b || (a == b && distinct.value[k - 1] < distinct.value[k]))
                break;
            std::swap(distinct.value[k - 1], distinct.value[k]);
            std::swap(distinct.count[k - 1], distinct.count[k]);
        }
    return distinct;
}

// The error of a pair, or limit once the running sum reaches it.
uint32_t ErrorBelow(const DistinctValues& distinct, int alpha0, int alpha1, uint32_t limit)
{
    int palette[8];
    AlphaPalette(alpha0, alpha1, palette);
    uint32_t total = 0;
    for (int i = 0; i < distinct.size && total < limit; ++i)
    {
        int best = 1 << 30;
        for (int value : palette)
            best = std::min(best, (distinct.value[i] - value) * (distinct.value[i] - value));
        total += uint32_t(best * distinct.count[i]);
    }
    return std::min(total, limit);
}

// Every pair of the mode that could still beat best. A pixel below the lower
// endpoint costs at least its distance to it (or to 0 in the four-interpolant
// mode), a pixel above the upper one likewise, so these costs bound how far
// inside [low, high] the endpoints can lie. Outside it the search goes two
// interpolant steps further (three in the four-interpolant mode, whose
// endpoints only need to span the values between 0 and 255), where unused
// endpoints let the interpolants land on values; narrow blocks get at least
// eight levels either side, their steps being shorter than the truncation.
void ExhaustiveSearch(const int values[16], int low, int high, bool sixInterpolants, AlphaCandidate& best)
{
    auto below = [&](int end) {
        uint32_t cost = 0;
        for (int i = 0; i < 16; ++i)
            if (values[i] < end)
            {
                const int d = std::min(end - values[i], sixInterpolants ? 255 : values[i]);
                cost += uint32_t(d * d);
            }
        return cost;
    };
    auto above = [&](int end) {
        uint32_t cost = 0;
        for (int i = 0; i < 16; ++i)
            if (values[i] > end)
            {
                const int d = std::min(values[i] - end, sixInterpolants ? 255 : 255 - values[i]);
                cost += uint32_t(d * d);
            }
        return cost;
    };
    const DistinctValues distinct = ExtremesFirst(values, low, high);
    const int steps = sixInterpolants ? 7 : 5;
    const int margin = (sixInterpolants ? 2 : 3) * std::max(4, (high - low + steps) / (steps - 1));
    for (int lowEnd = std::max(0, low - margin); lowEnd <= 255; ++lowEnd)
    {
        const uint32_t lowCost = below(lowEnd);
        if (lowCost >= best.error)
            break;
        for (int highEnd = std::min(255, high + margin); highEnd >= lowEnd; --highEnd)
        {
            if (lowCost + above(highEnd) >= best.error)
                break;
            const int alpha0 = sixInterpolants ? highEnd : lowEnd, alpha1 = sixInterpolants ? lowEnd : highEnd;
            if (!InMode(alpha0, alpha1, sixInterpolants))
                continue;
            const uint32_t error = ErrorBelow(distinct, alpha0, alpha1, best.error);
            if (error < best.error)
                best = AlphaCandidate{alpha0, alpha1, error};
        }
    }
}

AlphaCandidate SearchMode(const int values[16], int low, int high, bool sixInterpolants)
{
    AlphaCandidate best;
    const int window = std::clamp((high - low) / 16, 1, 3);
    for (int inLow = -1; inLow <= window; ++inLow)
        for (int inHigh = -1; inHigh <= window; ++inHigh)
        {
            const int lowEnd = low + inLow, highEnd = high - inHigh;
            if (sixInterpolants)
                Consider(values, highEnd, lowEnd, true, best);
            else
                Consider(values, lowEnd, highEnd, false, best);
        }
    if (best.error == ~0u || best.error == 0)
        return best;
    for (int round = 0; round < 4 && best.error > 0; ++round)
    {
        const uint32_t before = best.error;
        Refit(values, sixInterpolants, best);
        if (!StepSearch(values, sixInterpolants, best) && best.error == before)
            break;
    }
    ExhaustiveSearch(values, low, high, sixInterpolants, best);
    return best;
}

} // namespace

void EncodeExplicitAlphaBlock(const uint8_t block[16][4], uint8_t out[8])
{
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint64_t((block[i][3] * 15 + 127) / 255) << (4 * i);
    for (int i = 0; i < 8; ++i)
        out[i] = uint8_t(bits >> (8 * i));
}

void EncodeInterpolatedAlphaBlock(const uint8_t block[16][4], uint8_t out[8])
{
    int values[16];
    int low = 255, high = 0, innerLow = 255, innerHigh = 0;
    for (int i = 0; i < 16; ++i)
    {
        values[i] = block[i][3];
        low = std::min(low, values[i]);
        high = std::max(high, values[i]);
        if (values[i] != 0 && values[i] != 255)
            innerLow = std::min(innerLow, values[i]), innerHigh = std::max(innerHigh, values[i]);
    }
    AlphaCandidate best{low, low, low == high ? 0u : ~0u};
    if (low != high)
    {
        // Both modes are searched for every block: the four-interpolant mode
        // can win without a pixel at 0 or 255, its interpolants being spaced
        // differently. With 0 and 255 given, its endpoints need only span the
        // values between.
        best = SearchMode(values, low, high, true);
        if (best.error > 0)
        {
            const AlphaCandidate four = innerLow > innerHigh ? AlphaCandidate{0, 0, Evaluate(values, 0, 0)}
                                                             : SearchMode(values, innerLow, innerHigh, false);
            if (four.error < best.error)
                best = four;
        }
    }
    uint8_t indexes[16];
    Evaluate(values, best.alpha0, best.alpha1, indexes);
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint64_t(indexes[i]) << (3 * i);
    out[0] = uint8_t(best.alpha0);
    out[1] = uint8_t(best.alpha1);
    for (int i = 0; i < 6; ++i)
        out[2 + i] = uint8_t(bits >> (8 * i));
}

uint32_t InterpolatedAlphaError(const uint8_t block[16][4], const uint8_t encoded[8])
{
    int palette[8];
    AlphaPalette(encoded[0], encoded[1], palette);
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= uint64_t(encoded[2 + i]) << (8 * i);
    uint32_t total = 0;
    for (int i = 0; i < 16; ++i)
    {
        const int difference = block[i][3] - palette[(bits >> (3 * i)) & 7];
        total += uint32_t(difference * difference);
    }
    return total;
}

} // namespace mw::tools
