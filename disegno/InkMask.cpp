#include "InkMask.h"

#include <algorithm>

namespace {

struct Step
{
    int dx;
    int dy;
};

constexpr Step fourSteps[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr Step eightSteps[] = {{1, 0}, {-1, 0}, {0, 1},  {0, -1},
                               {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

// Gives region `region` to the pixel at `start` and to everything of its kind
// reachable from it, with an explicit stack so that a large region cannot
// exhaust the call stack. Returns the region's pixel count.
template <size_t N>
int growRegion(const InkMask &mask, const Step (&steps)[N], int start, int region,
               std::vector<int> &regionOf, std::vector<int> &stack)
{
    const uint8_t kind = mask.ink[static_cast<size_t>(start)];
    const int width = mask.width();
    const int height = mask.height();
    int count = 0;
    regionOf[static_cast<size_t>(start)] = region;
    stack.assign(1, start);
    while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        ++count;
        const int x = at % width;
        const int y = at / width;
        for (const Step &step : steps) {
            const int nx = x + step.dx;
            const int ny = y + step.dy;
            if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                continue;
            const int next = ny * width + nx;
            if (regionOf[static_cast<size_t>(next)] != -1 ||
                mask.ink[static_cast<size_t>(next)] != kind)
                continue;
            regionOf[static_cast<size_t>(next)] = region;
            stack.push_back(next);
        }
    }
    return count;
}

} // namespace

int InkMask::inkPixels() const
{
    return static_cast<int>(std::count(ink.begin(), ink.end(), uint8_t{1}));
}

Regions findRegions(const InkMask &mask, bool inkRegions, Neighbours neighbours)
{
    Regions regions;
    regions.regionOf.assign(mask.ink.size(), -1);
    std::vector<int> stack;
    const uint8_t kind = inkRegions ? 1 : 0;
    for (size_t i = 0; i < mask.ink.size(); ++i) {
        if (mask.ink[i] != kind || regions.regionOf[i] != -1)
            continue;
        const int region = static_cast<int>(regions.pixels.size());
        const int start = static_cast<int>(i);
        const int count =
            neighbours == Neighbours::Four
                ? growRegion(mask, fourSteps, start, region, regions.regionOf, stack)
                : growRegion(mask, eightSteps, start, region, regions.regionOf, stack);
        regions.pixels.push_back(count);
    }
    return regions;
}
