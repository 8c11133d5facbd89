#include "core/workflow/WindowPlacement.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{

constexpr PlacementRect kWorkArea{0, 0, 1920, 1040};

WindowPlacement Placement(PlacementRect normal, std::int32_t show = kShowNormal)
{
    WindowPlacement placement;
    placement.show = show;
    placement.flags = 2;
    placement.minPosX = -1;
    placement.minPosY = -1;
    placement.maxPosX = -8;
    placement.maxPosY = -8;
    placement.normal = normal;
    return placement;
}

TEST(WindowPlacement, RectangleIsNormalisedAndMovedOntoTheWorkArea)
{
    struct Case
    {
        const char* what;
        PlacementRect stored;
        PlacementRect expected;
    };
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const Case cases[] = {
        {"inside", {100, 50, 900, 700}, {100, 50, 900, 700}},
        {"swapped edges", {900, 700, 100, 50}, {100, 50, 900, 700}},
        {"100 wider, 50 to the left", {-50, 100, 1970, 600}, {0, 100, 1920, 600}},
        {"partly off the left", {-200, 100, 600, 600}, {0, 100, 800, 600}},
        {"partly off the right and bottom", {1500, 800, 2100, 1200}, {1320, 640, 1920, 1040}},
        {"taller than the work area", {100, -300, 500, 1500}, {100, 0, 500, 1040}},
        {"the widest possible", {kMin, kMin, kMax, kMax}, {0, 0, 1920, 1040}},
    };
    const WindowPlacement current = Placement({10, 10, 20, 20});
    for (const Case& c : cases)
    {
        const WindowPlacement fitted = FitPlacement(Placement(c.stored), current, kWorkArea);
        EXPECT_EQ(fitted.normal, c.expected) << c.what;
        EXPECT_EQ(fitted.maxPosX, -8) << c.what;
    }
}

TEST(WindowPlacement, RectangleOffTheWorkAreaGivesTheCurrentPlacement)
{
    WindowPlacement current = Placement({10, 20, 30, 40}, kShowNormal);
    current.flags = 0;
    current.maxPosX = 5;
    const PlacementRect gone[] = {
        {2000, 100, 2800, 600}, // a monitor no longer attached
        {1920, 100, 2800, 600}, // touching the edge only
        {-800, -600, -1, -1},
        {100, 100, 100, 600}, // no width
    };
    for (const PlacementRect& rect : gone)
        EXPECT_EQ(FitPlacement(Placement(rect, kShowMaximized), current, kWorkArea), current) << rect.left;
}

TEST(WindowPlacement, ShowStateRules)
{
    struct Case
    {
        std::int32_t stored;
        std::int32_t current;
        std::int32_t expected;
    };
    const Case cases[] = {
        {kShowMinimize, kShowNormal, kShowRestore},    {kShowMinimize, kShowMinimize, kShowMinimize},
        {kShowNormal, kShowMaximized, kShowMaximized}, {kShowMinimize, kShowMaximized, kShowMaximized},
        {kShowMaximized, kShowNormal, kShowMaximized}, {kShowMinimized, kShowNormal, kShowMinimized},
    };
    for (const Case& c : cases)
    {
        const WindowPlacement fitted = FitPlacement(Placement({0, 0, 800, 600}, c.stored),
                                                    Placement({0, 0, 10, 10}, c.current), kWorkArea);
        EXPECT_EQ(fitted.show, c.expected) << c.stored << " / " << c.current;
    }
}

} // namespace
