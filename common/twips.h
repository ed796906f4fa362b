#pragma once

#include <QRect>

#include <algorithm>
#include <cmath>

// The layout is given in twips (1/1440 inch, 15 to a pixel at 96 dots per inch) for a 9-point
// font. Widgets take logical pixels, which Qt scales on high-density screens, so at 9 points
// 15 twips make one logical pixel. A larger system font enlarges the whole layout alike, so that
// every caption keeps its room; a smaller one leaves it as designed.
namespace lanshan {

inline constexpr double twipsPerPixel = 15.0;
inline constexpr double designPointSize = 9.0;

// How much larger than designed the layout is drawn.
inline double &layoutScale()
{
    static double scale = 1.0;
    return scale;
}

// Sets the scale for the font that the controls use, before any control is placed.
inline void scaleLayoutToFont(double pointSize)
{
    layoutScale() = std::max(1.0, pointSize / designPointSize);
}

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips * layoutScale() / twipsPerPixel));
}

inline double toTwips(int pixels)
{
    return pixels * twipsPerPixel / layoutScale();
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace lanshan
