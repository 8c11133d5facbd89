#pragma once
// The main window's placement as kept in the per-user profile, and the rules that make a stored
// placement fit the screen it is shown on. Pure functions of plain records.

#include <cstdint>

struct PlacementRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const PlacementRect&) const = default;
};

// Show states as stored in the profile.
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimized = 2;
inline constexpr std::int32_t kShowMaximized = 3;
inline constexpr std::int32_t kShowMinimize = 6;
inline constexpr std::int32_t kShowRestore = 9;

struct WindowPlacement
{
    std::int32_t show = kShowNormal;
    std::int32_t flags = 0;
    std::int32_t minPosX = 0;
    std::int32_t minPosY = 0;
    std::int32_t maxPosX = 0;
    std::int32_t maxPosY = 0;
    PlacementRect normal; // the window's rectangle in its restored state, screen pixels

    bool operator==(const WindowPlacement&) const = default;
};

// The placement to show: stored (with every missing profile value already taken from current)
// with its rectangle normalised and moved onto workArea; current entirely when the rectangle does
// not meet workArea at all. A stored "minimise" becomes "restore" unless the window is minimising
// now; a maximised window stays maximised.
WindowPlacement FitPlacement(const WindowPlacement& stored, const WindowPlacement& current,
                             const PlacementRect& workArea);
