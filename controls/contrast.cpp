#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace lanshan {

namespace {

// Normal text reads well from 4.5 to 1 on.
constexpr double readableContrast = 4.5;

double luminance(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableColour(const QColor &designed, const QPalette &palette, QPalette::ColorRole fallback)
{
    const QColor background = palette.color(QPalette::Window);
    if (contrastRatio(designed, background) >= readableContrast)
        return designed;
    // A palette that leaves, say, its link colour as it was still has a readable text colour.
    const QColor own = palette.color(fallback);
    return contrastRatio(own, background) >= readableContrast ? own : palette.color(QPalette::WindowText);
}

} // namespace lanshan
