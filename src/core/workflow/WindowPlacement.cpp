#include "core/workflow/WindowPlacement.h"

#include <algorithm>
#include <utility>

namespace
{

PlacementRect Normalised(PlacementRect r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

bool Intersects(const PlacementRect& a, const PlacementRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// Shifts [low, high) into [areaLow, areaHigh): right/down first, then left/up, then cuts the low
// edge, so a span longer than the area ends on the area's high edge. 64-bit, as profile values may
// be anything and a shift must not overflow.
void MoveIn(std::int32_t& low, std::int32_t& high, std::int32_t areaLow, std::int32_t areaHigh)
{
    std::int64_t lo = low;
    std::int64_t hi = high;
    if (lo < areaLow)
    {
        hi += areaLow - lo;
        lo = areaLow;
    }
    if (hi > areaHigh)
    {
        lo -= hi - areaHigh;
        hi = areaHigh;
    }
    if (lo < areaLow)
        lo = areaLow;
    low = static_cast<std::int32_t>(lo);
    high = static_cast<std::int32_t>(hi);
}

} // namespace

WindowPlacement FitPlacement(const WindowPlacement& stored, const WindowPlacement& current,
                             const PlacementRect& workArea)
{
    WindowPlacement result = stored;
    result.normal = Normalised(stored.normal);
    if (!Intersects(result.normal, workArea))
    {
        result = current;
    }
    else
    {
        MoveIn(result.normal.left, result.normal.right, workArea.left, workArea.right);
        MoveIn(result.normal.top, result.normal.bottom, workArea.top, workArea.bottom);
    }

    if (result.show == kShowMinimize && current.show != kShowMinimize)
        result.show = kShowRestore;
    if (result.show != kShowMaximized && current.show == kShowMaximized)
        result.show = kShowMaximized;
    return result;
}
