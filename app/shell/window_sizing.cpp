#include "window_sizing.h"

#include <cstddef>

namespace qx {

namespace {

struct Step
{
    int upTo;
    double factor;
};

constexpr Step kWidthSteps[] = {
    {1024, 1.0}, {1280, 0.95}, {1440, 0.85}, {1680, 0.75}, {1920, 0.7}, {2220, 0.65},
    {2520, 0.6}, {2820, 0.55}, {3120, 0.5}, {3420, 0.45}, {3720, 0.4},
};
constexpr double kWidthAbove = 0.35;

constexpr Step kHeightSteps[] = {
    {768, 0.95}, {800, 0.9}, {864, 0.85}, {960, 0.8}, {1024, 0.75}, {1080, 0.7},
    {1140, 0.65}, {1240, 0.6}, {1340, 0.55}, {1440, 0.5}, {1540, 0.45}, {1640, 0.4},
    {1740, 0.35}, {1840, 0.3}, {1940, 0.25}, {2040, 0.2}, {2140, 0.15},
};
constexpr double kHeightAbove = 0.1;

template<std::size_t N>
double lookup(const Step (&steps)[N], double above, int size)
{
    for (const Step &s : steps) {
        if (size <= s.upTo)
            return s.factor;
    }
    return above;
}

} // namespace

double widthFactor(int screenWidth)
{
    return lookup(kWidthSteps, kWidthAbove, screenWidth);
}

double heightFactor(int screenHeight)
{
    return lookup(kHeightSteps, kHeightAbove, screenHeight);
}

WindowGeometry mainWindowGeometry(int screenWidth, int screenHeight)
{
    WindowGeometry g;
    g.width = static_cast<int>(screenWidth * widthFactor(screenWidth));
    g.height = static_cast<int>(screenHeight * heightFactor(screenHeight));
    g.x = (screenWidth - g.width) / 2;
    g.y = 0;
    return g;
}

} // namespace qx
