#pragma once

#include <QRect>

#include <cmath>

// The layout is given in twips (1/1440 inch, 15 to a pixel at 96 dots per inch). Widgets take
// logical pixels, which Qt scales on high-density screens, so 15 twips make one logical pixel.
namespace lanshan {

inline constexpr double twipsPerPixel = 15.0;

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

inline double toTwips(int pixels)
{
    return pixels * twipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace lanshan
