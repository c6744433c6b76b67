// BC1 colour block search: a principal-axis start, least-squares endpoints
// for the chosen indexes, a candidate on the block's mean colour (and for
// the cluster quality one from the best split of the pixels along the axis),
// then single steps of each 565 endpoint channel, alone and in pairs, while
// the error falls. Blocks of one colour use tables of the best endpoint pair
// for each 8-bit value.
#include "ColorBlockEncoder.h"

#include "BlockFormat.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace mw::tools {
namespace {

constexpr int kMaxLevel[3] = {31, 63, 31};
constexpr int kShift[3] = {11, 5, 0};

int ExpandChannel(int level, int channel)
{
    return channel == 1 ? (level << 2 | level >> 4) : (level << 3 | level >> 2);
}

uint16_t Pack565(const int levels[3]) { return uint16_t(levels[0] << 11 | levels[1] << 5 | levels[2]); }

void Unpack565(uint16_t value, int levels[3])
{
    for (int c = 0; c < 3; ++c)
        levels[c] = (value >> kShift[c]) & kMaxLevel[c];
}

struct EndpointPair
{
    uint8_t high, low; // the levels of colour0 and colour1
};

// For each 8-bit value and channel width: the nearest level, and the
// endpoint pair whose first interpolant (2 * colour0 + colour1) / 3 comes
// closest, the closer pair of levels winning ties.
struct ChannelTables
{
    uint8_t nearest[2][256];
    EndpointPair single[2][256];

    ChannelTables()
    {
        for (int wide = 0; wide < 2; ++wide)
        {
            const int channel = wide ? 1 : 0, top = kMaxLevel[channel];
            for (int value = 0; value < 256; ++value)
            {
                int bestLevel = 0, bestLevelError = 1 << 30;
                int bestPairError = 1 << 30, bestSpread = 1 << 30;
                for (int high = 0; high <= top; ++high)
                {
                    const int expandedHigh = ExpandChannel(high, channel);
                    if (std::abs(expandedHigh - value) < bestLevelError)
                        bestLevel = high, bestLevelError = std::abs(expandedHigh - value);
                    for (int low = 0; low <= top; ++low)
                    {
                        const int expandedLow = ExpandChannel(low, channel);
                        const int error = std::abs((2 * expandedHigh + expandedLow) / 3 - value);
                        const int spread = std::abs(expandedHigh - expandedLow);
                        if (error < bestPairError || (error == bestPairError && spread < bestSpread))
                        {
                            single[wide][value] = EndpointPair{uint8_t(high), uint8_t(low)};
                            bestPairError = error, bestSpread = spread;
                        }
                    }
                }
                nearest[wide][value] = uint8_t(bestLevel);
            }
        }
    }
};

const ChannelTables& Tables()
{
    static const ChannelTables tables;
    return tables;
}

// The block's colours by channel, so that the loops over pixels vectorise;
// 16-bit values let the squared differences use the processor's 16-bit
// multiplies, several times cheaper than 32-bit ones.
struct BlockColours
{
    int16_t channel[3][16];
};

struct Candidate
{
    uint16_t color0 = 0, color1 = 0;
    uint32_t error = ~0u;
    uint8_t indexes[16] = {};
};

uint32_t Evaluate(const BlockColours& colours, uint16_t color0, uint16_t color1, bool threeColour, uint8_t indexes[16])
{
    int wide[4][3];
    ColorPalette(color0, color1, threeColour, wide);
    if (threeColour)
        std::copy(wide[2], wide[2] + 3, wide[3]); // index 3 is never chosen
    int16_t palette[4][3];
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < 3; ++c)
            palette[p][c] = int16_t(wide[p][c]);
    uint32_t total = 0;
    for (int i = 0; i < 16; ++i)
    {
        int distance[4];
        for (int p = 0; p < 4; ++p)
        {
            const int16_t dr = int16_t(colours.channel[0][i] - palette[p][0]),
                          dg = int16_t(colours.channel[1][i] - palette[p][1]),
                          db = int16_t(colours.channel[2][i] - palette[p][2]);
            distance[p] = dr * dr + dg * dg + db * db;
        }
        int best = distance[0], index = 0;
        for (int p = 1; p < 4; ++p)
        {
            index = distance[p] < best ? p : index;
            best = std::min(best, distance[p]);
        }
        indexes[i] = uint8_t(index);
        total += uint32_t(best);
    }
    return total;
}

bool Consider(const BlockColours& colours, uint16_t color0, uint16_t color1, bool threeColour, Candidate& best)
{
    Candidate candidate;
    candidate.color0 = color0;
    candidate.color1 = color1;
    candidate.error = Evaluate(colours, color0, color1, threeColour, candidate.indexes);
    if (candidate.error >= best.error)
        return false;
    best = candidate;
    return true;
}

uint16_t NearestColor(const int rgb[3])
{
    const ChannelTables& tables = Tables();
    const int levels[3] = {tables.nearest[0][std::clamp(rgb[0], 0, 255)], tables.nearest[1][std::clamp(rgb[1], 0, 255)],
                           tables.nearest[0][std::clamp(rgb[2], 0, 255)]};
    return Pack565(levels);
}

// Rounded num / den for den > 0.
int64_t RoundedDivide(int64_t num, int64_t den) { return num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den)); }

// The endpoints that minimise the squared error for fixed indexes: each
// pixel is w * colour0 + (1 - w) * colour1 with w of its index. Values may
// lie outside 0..255. False when every pixel has the same weight.
bool LeastSquaresEndpoints(const BlockColours& colours, const uint8_t indexes[16], bool threeColour, int a[3], int b[3])
{
    // Weights times the scale, so that the sums stay integers.
    static constexpr int kFourWeights[4] = {3, 0, 2, 1}, kThreeWeights[4] = {2, 0, 1, 0};
    const int scale = threeColour ? 2 : 3;
    const int* weights = threeColour ? kThreeWeights : kFourWeights;
    int64_t saa = 0, sbb = 0, sab = 0, xa[3] = {}, xb[3] = {};
    for (int i = 0; i < 16; ++i)
    {
        const int wa = weights[indexes[i]], wb = scale - wa;
        saa += wa * wa, sbb += wb * wb, sab += wa * wb;
        for (int c = 0; c < 3; ++c)
            xa[c] += wa * colours.channel[c][i], xb[c] += wb * colours.channel[c][i];
    }
    const int64_t det = saa * sbb - sab * sab;
    if (det <= 0)
        return false;
    for (int c = 0; c < 3; ++c)
    {
        a[c] = int(std::clamp<int64_t>(RoundedDivide(scale * (xa[c] * sbb - xb[c] * sab), det), -4096, 4096));
        b[c] = int(std::clamp<int64_t>(RoundedDivide(scale * (xb[c] * saa - xa[c] * sab), det), -4096, 4096));
    }
    return true;
}

// One channel's pair of levels for fixed indexes, measured exactly through
// each index's pixel count, sum and sum of squares: the levels within reach
// of the least-squares values, and where a value lies outside 0..255 every
// level of the other endpoint against the end level, since clamping one
// endpoint moves the best place of the other.
void RefitChannel(const int count[4], const int sum[4], const int squares[4], int c, bool threeColour, int valueA,
                  int valueB, int reach, int& high, int& low)
{
    const ChannelTables& tables = Tables();
    const int wide = c == 1 ? 1 : 0;
    int bestError = INT32_MAX;
    auto measure = [&](int levelA, int levelB) {
        const int ea = ExpandChannel(levelA, c), eb = ExpandChannel(levelB, c);
        const int values[4] = {ea, eb, threeColour ? (ea + eb) / 2 : (2 * ea + eb) / 3, threeColour ? 0 : (ea + 2 * eb) / 3};
        int error = 0;
        for (int k = 0; k < 4; ++k)
            error += squares[k] - 2 * values[k] * sum[k] + count[k] * values[k] * values[k];
        if (error < bestError)
            bestError = error, high = levelA, low = levelB;
    };
    const int centreA = tables.nearest[wide][std::clamp(valueA, 0, 255)];
    const int centreB = tables.nearest[wide][std::clamp(valueB, 0, 255)];
    for (int levelA = std::max(0, centreA - reach); levelA <= std::min(kMaxLevel[c], centreA + reach); ++levelA)
        for (int levelB = std::max(0, centreB - reach); levelB <= std::min(kMaxLevel[c], centreB + reach); ++levelB)
            measure(levelA, levelB);
    if (valueA < 0 || valueA > 255)
        for (int levelB = 0; levelB <= kMaxLevel[c]; ++levelB)
            measure(centreA, levelB);
    if (valueB < 0 || valueB > 255)
        for (int levelA = 0; levelA <= kMaxLevel[c]; ++levelA)
            measure(levelA, centreB);
}

// With the indexes fixed the error splits by channel, so each channel's pair
// of levels is chosen on its own. Returns the refitted endpoints.
bool RefitEndpoints(const BlockColours& colours, const uint8_t indexes[16], bool threeColour, int reach, uint16_t& color0,
                    uint16_t& color1)
{
    int a[3], b[3];
    if (!LeastSquaresEndpoints(colours, indexes, threeColour, a, b))
        return false;
    int high[3], low[3];
    for (int c = 0; c < 3; ++c)
    {
        int count[4] = {}, sum[4] = {}, squares[4] = {};
        for (int i = 0; i < 16; ++i)
        {
            const int value = colours.channel[c][i];
            ++count[indexes[i]], sum[indexes[i]] += value, squares[indexes[i]] += value * value;
        }
        RefitChannel(count, sum, squares, c, threeColour, a[c], b[c], reach, high[c], low[c]);
    }
    color0 = Pack565(high);
    color1 = Pack565(low);
    return true;
}

// A block of exactly two colours: every pair of indexes the mode offers for
// them, each refitted, since the best pair often puts a colour on an
// interpolant rather than an endpoint. False for other blocks.
bool SearchTwoColours(const BlockColours& colours, bool threeColour, Candidate& best)
{
    bool first[16];
    int other = -1;
    for (int i = 0; i < 16; ++i)
    {
        first[i] = colours.channel[0][i] == colours.channel[0][0] && colours.channel[1][i] == colours.channel[1][0] &&
                   colours.channel[2][i] == colours.channel[2][0];
        if (first[i])
            continue;
        if (other < 0)
            other = i;
        else if (colours.channel[0][i] != colours.channel[0][other] || colours.channel[1][i] != colours.channel[1][other] ||
                 colours.channel[2][i] != colours.channel[2][other])
            return false;
    }
    if (other < 0)
        return false;
    const int indexCount = threeColour ? 3 : 4;
    for (int i = 0; i < indexCount; ++i)
        for (int j = 0; j < indexCount; ++j)
        {
            if (i == j)
                continue;
            uint8_t indexes[16];
            for (int k = 0; k < 16; ++k)
                indexes[k] = uint8_t(first[k] ? i : j);
            uint16_t color0, color1;
            if (RefitEndpoints(colours, indexes, threeColour, 2, color0, color1))
                Consider(colours, color0, color1, threeColour, best);
        }
    return true;
}

// The principal axis of the block's colours by power iteration on the
// covariance, in integers; false when the block has one colour.
bool PrincipalAxis(const BlockColours& colours, int64_t axis[3])
{
    int64_t sum[3] = {}, products[3][3] = {};
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
        {
            sum[c] += colours.channel[c][i];
            for (int d = 0; d < 3; ++d)
                products[c][d] += colours.channel[c][i] * colours.channel[d][i];
        }
    int64_t covariance[3][3];
    int start = 0;
    for (int c = 0; c < 3; ++c)
        for (int d = 0; d < 3; ++d)
            covariance[c][d] = 16 * products[c][d] - sum[c] * sum[d];
    for (int c = 1; c < 3; ++c)
        if (covariance[c][c] > covariance[start][start])
            start = c;
    if (covariance[start][start] == 0)
        return false;
    // Entries are below 2^25 and the vector is kept below 2^16, so no product overflows.
    for (int c = 0; c < 3; ++c)
        axis[c] = covariance[c][start];
    for (int iteration = 0; iteration < 8; ++iteration)
    {
        int64_t largest = 0;
        for (int c = 0; c < 3; ++c)
            largest = std::max(largest, std::abs(axis[c]));
        if (largest == 0)
            return false;
        for (int c = 0; c < 3; ++c)
            axis[c] = axis[c] * 65535 / largest;
        int64_t next[3];
        for (int c = 0; c < 3; ++c)
            next[c] = (covariance[c][0] * axis[0] + covariance[c][1] * axis[1] + covariance[c][2] * axis[2]) >> 16;
        std::copy(next, next + 3, axis);
    }
    return axis[0] != 0 || axis[1] != 0 || axis[2] != 0;
}

// Every pixel on the first interpolant of the pair that puts it nearest
// the block's mean in each channel: the best a block of small spread can
// get when no index fits one pixel better than another. The single-colour
// tables give, for the two 8-bit values around the mean, the pair whose
// interpolant comes closest; the one nearer the exact mean wins.
void ConsiderMeanColour(const BlockColours& colours, Candidate& best)
{
    const ChannelTables& tables = Tables();
    int high[3], low[3];
    for (int c = 0; c < 3; ++c)
    {
        const int wide = c == 1 ? 1 : 0;
        int sum = 0;
        for (int i = 0; i < 16; ++i)
            sum += colours.channel[c][i];
        int bestDistance = INT32_MAX;
        for (int value : {sum / 16, std::min(255, sum / 16 + 1)})
        {
            const EndpointPair pair = tables.single[wide][value];
            const int interpolant = (2 * ExpandChannel(pair.high, c) + ExpandChannel(pair.low, c)) / 3;
            const int distance = std::abs(16 * interpolant - sum);
            if (distance < bestDistance)
                bestDistance = distance, high[c] = pair.high, low[c] = pair.low;
        }
    }
    Consider(colours, Pack565(high), Pack565(low), false, best);
}

// Every split of the pixels, ordered along the axis, into four runs for the
// four colours of the palette: the split whose least-squares endpoints leave
// the least error, compared exactly in integers, refitted to 565 levels.
void ConsiderClusters(const BlockColours& colours, const int64_t projections[16], Candidate& best)
{
    int order[16];
    for (int i = 0; i < 16; ++i)
        order[i] = i;
    std::stable_sort(order, order + 16, [&](int a, int b) { return projections[a] < projections[b]; });
    int64_t prefix[17][3] = {};
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
            prefix[i + 1][c] = prefix[i][c] + colours.channel[c][order[i]];
    // Runs in order of the axis take the indexes 1, 3, 2, 0: colour0's weight 0, 1, 2 and 3 thirds.
    int64_t bestQ = -1, bestDet = 1;
    int bestSplit[3] = {-1, 0, 0};
    for (int i = 0; i <= 16; ++i)
        for (int j = i; j <= 16; ++j)
            for (int k = j; k <= 16; ++k)
            {
                const int64_t n1 = j - i, n2 = k - j, n3 = 16 - k, n0 = i;
                const int64_t saa = n1 + 4 * n2 + 9 * n3, sbb = 9 * n0 + 4 * n1 + n2, sab = 2 * n1 + 2 * n2;
                const int64_t det = saa * sbb - sab * sab;
                if (det <= 0)
                    continue;
                int64_t aa = 0, bb = 0, ab = 0;
                for (int c = 0; c < 3; ++c)
                {
                    const int64_t s0 = prefix[i][c], s1 = prefix[j][c] - prefix[i][c], s2 = prefix[k][c] - prefix[j][c],
                                  s3 = prefix[16][c] - prefix[k][c];
                    const int64_t xa = s1 + 2 * s2 + 3 * s3, xb = 3 * s0 + 2 * s1 + s2;
                    aa += xa * xa, bb += xb * xb, ab += xa * xb;
                }
                // The least error is the pixels' sum of squares less q / det.
                const int64_t q = sbb * aa - 2 * sab * ab + saa * bb;
                if (bestQ < 0 || q * bestDet > bestQ * det)
                    bestQ = q, bestDet = det, bestSplit[0] = i, bestSplit[1] = j, bestSplit[2] = k;
            }
    if (bestSplit[0] < 0)
        return;
    uint8_t indexes[16];
    for (int i = 0; i < 16; ++i)
        indexes[order[i]] = uint8_t(i < bestSplit[0] ? 1 : i < bestSplit[1] ? 3 : i < bestSplit[2] ? 2 : 0);
    uint16_t color0, color1;
    if (RefitEndpoints(colours, indexes, false, 1, color0, color1))
        Consider(colours, color0, color1, false, best);
}

// Single steps of one channel of either endpoint, and of both endpoints'
// same channel together (apart, closer, or shifted), while the error falls:
// the joint steps get past a narrower or wider palette that would need its
// indexes changed before either endpoint alone pays.
void StepSearch(const BlockColours& colours, bool threeColour, int maxPasses, Candidate& best)
{
    static constexpr int kMoves[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {1, -1}, {-1, 1}, {-1, -1}, {1, 1}};
    for (int pass = 0; pass < maxPasses; ++pass)
    {
        bool improved = false;
        for (int c = 0; c < 3; ++c)
            for (const auto& move : kMoves)
            {
                int levels0[3], levels1[3];
                Unpack565(best.color0, levels0);
                Unpack565(best.color1, levels1);
                levels0[c] += move[0];
                levels1[c] += move[1];
                if (levels0[c] < 0 || levels0[c] > kMaxLevel[c] || levels1[c] < 0 || levels1[c] > kMaxLevel[c])
                    continue;
                if (Consider(colours, Pack565(levels0), Pack565(levels1), threeColour, best))
                    improved = true;
            }
        if (!improved)
            return;
    }
}

// The best candidate of one mode from the two extreme colours along the axis:
// refits for the current indexes while they lower the error.
Candidate SearchMode(const BlockColours& colours, const int extremes[2][3], bool threeColour, EncodeQuality quality)
{
    Candidate best;
    Consider(colours, NearestColor(extremes[1]), NearestColor(extremes[0]), threeColour, best);
    const int rounds = quality != EncodeQuality::Fast ? 4 : 1;
    for (int round = 0; round < rounds && best.error > 0; ++round)
    {
        uint16_t color0, color1;
        if (!RefitEndpoints(colours, best.indexes, threeColour, 1, color0, color1))
            break;
        if ((color0 == best.color0 && color1 == best.color1) || !Consider(colours, color0, color1, threeColour, best))
            break;
    }
    return best;
}

void Write(uint16_t color0, uint16_t color1, const uint8_t indexes[16], uint8_t out[8])
{
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint32_t(indexes[i]) << (2 * i);
    out[0] = uint8_t(color0), out[1] = uint8_t(color0 >> 8);
    out[2] = uint8_t(color1), out[3] = uint8_t(color1 >> 8);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = uint8_t(bits >> (8 * i));
}

// Stores a candidate in the endpoint order its mode needs: colour0 above
// colour1 for four colours (equal endpoints with every index 0), colour0
// not above colour1 for three.
void WriteCandidate(Candidate candidate, bool threeColour, uint8_t out[8])
{
    if (!threeColour && candidate.color0 == candidate.color1)
        std::fill(candidate.indexes, candidate.indexes + 16, uint8_t(0));
    else if (threeColour ? candidate.color0 > candidate.color1 : candidate.color0 < candidate.color1)
    {
        std::swap(candidate.color0, candidate.color1);
        for (uint8_t& index : candidate.indexes)
            index = threeColour ? (index == 2 ? 2 : index ^ 1) : index ^ 1;
    }
    Write(candidate.color0, candidate.color1, candidate.indexes, out);
}

void EncodeSingleColour(const uint8_t rgb[3], uint8_t out[8])
{
    const ChannelTables& tables = Tables();
    int high[3], low[3];
    for (int c = 0; c < 3; ++c)
    {
        const EndpointPair pair = tables.single[c == 1 ? 1 : 0][rgb[c]];
        high[c] = pair.high, low[c] = pair.low;
    }
    Candidate candidate;
    candidate.color0 = Pack565(high);
    candidate.color1 = Pack565(low);
    std::fill(candidate.indexes, candidate.indexes + 16, uint8_t(2));
    WriteCandidate(candidate, false, out);
}

} // namespace

void EncodeColorBlock(const uint8_t block[16][4], ColorBlockMode mode, EncodeQuality quality, uint8_t out[8])
{
    BlockColours colours;
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
            colours.channel[c][i] = block[i][c];
    int64_t axis[3];
    if (!PrincipalAxis(colours, axis))
    {
        EncodeSingleColour(block[0], out);
        return;
    }
    int lowest = 0, highest = 0;
    int64_t lowProjection = INT64_MAX, highProjection = INT64_MIN, projections[16];
    for (int i = 0; i < 16; ++i)
    {
        const int64_t projection =
            colours.channel[0][i] * axis[0] + colours.channel[1][i] * axis[1] + colours.channel[2][i] * axis[2];
        projections[i] = projection;
        if (projection < lowProjection)
            lowest = i, lowProjection = projection;
        if (projection > highProjection)
            highest = i, highProjection = projection;
    }
    int extremes[2][3];
    for (int c = 0; c < 3; ++c)
        extremes[0][c] = block[lowest][c], extremes[1][c] = block[highest][c];

    // The step search polishes only the better of the two modes.
    Candidate best = SearchMode(colours, extremes, false, quality);
    if (quality != EncodeQuality::Fast)
        ConsiderMeanColour(colours, best);
    if (quality == EncodeQuality::Clusters)
        ConsiderClusters(colours, projections, best);
    const bool twoColours = quality != EncodeQuality::Fast && SearchTwoColours(colours, false, best);
    bool threeColour = false;
    if (mode == ColorBlockMode::AnyMode && best.error > 0)
    {
        // The three-colour mode wins on few blocks: one refit finds those,
        // and the step search below polishes whichever mode won.
        Candidate three = SearchMode(colours, extremes, true, EncodeQuality::Fast);
        if (twoColours)
            SearchTwoColours(colours, true, three);
        if (three.error < best.error)
            best = three, threeColour = true;
    }
    // Steps change indexes that a refit can then use, and the refit opens
    // new steps: one more round of each pays on smooth blocks.
    if (quality != EncodeQuality::Fast && best.error > 0)
    {
        StepSearch(colours, threeColour, 1, best);
        uint16_t color0, color1;
        if (best.error > 0 && RefitEndpoints(colours, best.indexes, threeColour, 1, color0, color1) &&
            Consider(colours, color0, color1, threeColour, best))
            StepSearch(colours, threeColour, 1, best);
    }
    WriteCandidate(best, threeColour, out);
}

uint32_t ColorBlockError(const uint8_t block[16][4], const uint8_t encoded[8], ColorBlockMode mode)
{
    const uint16_t color0 = uint16_t(encoded[0] | encoded[1] << 8), color1 = uint16_t(encoded[2] | encoded[3] << 8);
    const uint32_t bits = uint32_t(encoded[4]) | uint32_t(encoded[5]) << 8 | uint32_t(encoded[6]) << 16 |
                          uint32_t(encoded[7]) << 24;
    int palette[4][3];
    ColorPalette(color0, color1, mode == ColorBlockMode::AnyMode && color0 <= color1, palette);
    uint32_t total = 0;
    for (int i = 0; i < 16; ++i)
    {
        const int* colour = palette[(bits >> (2 * i)) & 3];
        for (int c = 0; c < 3; ++c)
            total += uint32_t((block[i][c] - colour[c]) * (block[i][c] - colour[c]));
    }
    return total;
}

} // namespace mw::tools
