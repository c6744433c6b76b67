// Scanline filling of flattened outlines.
#include "GlyphRasterizer.h"

#include <algorithm>
#include <cmath>

namespace mw::tools {
namespace {

constexpr int kSamples = 4;   // per pixel side
constexpr int kCurveSteps = 8; // line pieces per quadratic curve

struct Edge
{
    float x0, y0, x1, y1;
};

// The contour as line edges in pixel space (y down): off-curve points are
// quadratic control points, with an on-curve point implied between two of them.
void Flatten(const std::vector<OutlinePoint>& contour, float scale, std::vector<Edge>& edges)
{
    const size_t n = contour.size();
    if (n < 2)
        return;
    auto at = [&](size_t i) {
        const OutlinePoint& p = contour[i % n];
        return OutlinePoint{p.x * scale, -p.y * scale, p.onCurve};
    };
    auto mid = [](const OutlinePoint& a, const OutlinePoint& b) {
        return OutlinePoint{(a.x + b.x) / 2, (a.y + b.y) / 2, true};
    };
    // Start at an on-curve point (or the middle of the first two off-curve ones).
    size_t startIndex = 0;
    while (startIndex < n && !contour[startIndex].onCurve)
        ++startIndex;
    const bool impliedStart = startIndex == n;
    if (impliedStart)
        startIndex = 0;
    const OutlinePoint start = impliedStart ? mid(at(0), at(1)) : at(startIndex);
    // The points after the start, then the start again to close the contour;
    // an implied start lies between points 0 and 1, so point 0 comes last.
    std::vector<OutlinePoint> visit;
    for (size_t k = 1; k < n; ++k)
        visit.push_back(at(startIndex + k));
    if (impliedStart)
        visit.push_back(at(0));
    visit.push_back(start);
    OutlinePoint current = start;
    const OutlinePoint* control = nullptr;
    OutlinePoint controlPoint;
    auto lineTo = [&](const OutlinePoint& to) {
        edges.push_back(Edge{current.x, current.y, to.x, to.y});
        current = to;
    };
    auto curveTo = [&](const OutlinePoint& c, const OutlinePoint& to) {
        OutlinePoint from = current;
        for (int s = 1; s <= kCurveSteps; ++s)
        {
            float t = float(s) / kCurveSteps, u = 1 - t;
            lineTo(OutlinePoint{u * u * from.x + 2 * u * t * c.x + t * t * to.x,
                                u * u * from.y + 2 * u * t * c.y + t * t * to.y, true});
        }
    };
    for (const OutlinePoint& p : visit)
    {
        if (p.onCurve)
        {
            if (control)
                curveTo(controlPoint, p);
            else
                lineTo(p);
            control = nullptr;
        }
        else if (control)
        {
            OutlinePoint implied = mid(controlPoint, p);
            curveTo(controlPoint, implied);
            controlPoint = p;
        }
        else
        {
            controlPoint = p;
            control = &controlPoint;
        }
    }
}

} // namespace

bool RasterizeGlyph(const GlyphOutline& outline, float scale, GlyphBitmap& bitmap, uint64_t* crossingBudget)
{
    bitmap = GlyphBitmap();
    std::vector<Edge> edges;
    for (const std::vector<OutlinePoint>& contour : outline)
        Flatten(contour, scale, edges);
    if (edges.empty())
        return true;
    float minX = edges[0].x0, maxX = minX, minY = edges[0].y0, maxY = minY;
    for (const Edge& e : edges)
    {
        minX = std::min({minX, e.x0, e.x1});
        maxX = std::max({maxX, e.x0, e.x1});
        minY = std::min({minY, e.y0, e.y1});
        maxY = std::max({maxY, e.y0, e.y1});
    }
    // A small tolerance keeps an edge that lands on a pixel border (within
    // float rounding) from adding an empty row or column.
    constexpr float kTolerance = 1e-3f;
    const int left = int(std::floor(minX + kTolerance)), top = int(std::floor(minY + kTolerance));
    const int width = int(std::ceil(maxX - kTolerance)) - left, height = int(std::ceil(maxY - kTolerance)) - top;
    if (width > kMaxGlyphSide || height > kMaxGlyphSide)
        return false;
    if (width <= 0 || height <= 0)
        return true;
    // Each edge is visited on the sample rows it spans only (edges sorted by
    // their top, rows walked downwards), so the work is the crossings, which
    // are counted before any is made.
    const float rowHeight = 1.0f / kSamples;
    uint64_t crossingCount = 0;
    for (const Edge& e : edges)
        crossingCount += uint64_t(std::fabs(e.y1 - e.y0) / rowHeight) + 1;
    if (crossingBudget)
    {
        if (crossingCount > *crossingBudget)
            return false;
        *crossingBudget -= crossingCount;
    }
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return std::min(a.y0, a.y1) < std::min(b.y0, b.y1); });
    size_t nextEdge = 0;
    std::vector<const Edge*> active;
    bitmap.left = left;
    bitmap.top = -top;
    bitmap.width = width;
    bitmap.height = height;
    std::vector<int> counts(size_t(width) * size_t(height), 0);
    std::vector<std::pair<float, int>> crossings;
    for (int row = 0; row < height * kSamples; ++row)
    {
        const float y = float(top) + (float(row) + 0.5f) / kSamples;
        crossings.clear();
        while (nextEdge < edges.size() && std::min(edges[nextEdge].y0, edges[nextEdge].y1) <= y)
            active.push_back(&edges[nextEdge++]);
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [y](const Edge* e) { return std::max(e->y0, e->y1) < y; }),
                     active.end());
        for (const Edge* edge : active)
        {
            const Edge& e = *edge;
            if ((e.y0 <= y) == (e.y1 <= y))
                continue;
            float x = e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
            crossings.push_back({x, e.y1 > e.y0 ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i)
        {
            winding += crossings[i].second;
            if (winding == 0)
                continue;
            // Samples whose centres lie in [from, to) are inside.
            const float from = (crossings[i].first - float(left)) * kSamples - 0.5f;
            const float to = (crossings[i + 1].first - float(left)) * kSamples - 0.5f;
            int first = std::max(0, int(std::ceil(from))), last = std::min(width * kSamples, int(std::ceil(to)));
            for (int sample = first; sample < last; ++sample)
                ++counts[size_t(row / kSamples) * size_t(width) + size_t(sample / kSamples)];
        }
    }
    bitmap.coverage.resize(counts.size());
    for (size_t i = 0; i < counts.size(); ++i)
        bitmap.coverage[i] = uint8_t((counts[i] * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
    return true;
}

} // namespace mw::tools
