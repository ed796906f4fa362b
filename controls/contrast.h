#pragma once

#include <QColor>
#include <QPalette>

namespace lanshan {

// The contrast of two colours as readers of text perceive it, from 1 (none) to 21 (black on
// white), after the relative luminance of the sRGB colours.
double contrastRatio(const QColor &a, const QColor &b);

// The designed colour for text on the palette's window background where it reads well there,
// otherwise the palette's own colour of the given role (or, should that not read well either,
// its text colour): a dark theme keeps every text readable.
QColor readableColour(const QColor &designed, const QPalette &palette, QPalette::ColorRole fallback);

} // namespace lanshan
