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

// Selected text reads on its highlight from 4.5 to 1 on, with a margin: where a palette's does not, its
// highlight is darkened (under light text) or lightened (under dark text) until it does, in the
// active and the inactive group. A palette that reads already comes back as it was.
QPalette withReadableSelection(QPalette palette);

// The colour for selected text on the background a style actually drew (some draw a pale
// selection of their own, not the palette's highlight): the palette's highlighted text where it
// reads there, else its text colour, else black or white, whichever reads better.
QColor selectedTextColour(const QColor &background, const QPalette &palette, QPalette::ColorGroup group);

} // namespace lanshan
