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

QPalette withReadableSelection(QPalette palette)
{
    // Above 4.5: small text is drawn with softened edges, which read a little paler than its
    // colour; the margin keeps what is drawn above 4.5 too.
    constexpr double selectionContrast = 5.5;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor text = palette.color(group, QPalette::HighlightedText);
        QColor highlight = palette.color(group, QPalette::Highlight);
        if (contrastRatio(text, highlight) >= selectionContrast)
            continue;
        // Towards black under light text, towards white under dark text, in small steps, so
        // that the highlight keeps its hue as far as it can.
        const QColor end = luminance(text) > luminance(highlight) ? QColor(Qt::black) : QColor(Qt::white);
        const QColor start = highlight.toRgb();
        for (int step = 1; step <= 20 && contrastRatio(text, highlight) < selectionContrast; ++step) {
            const double t = step / 20.0;
            highlight = QColor::fromRgbF(static_cast<float>(start.redF() + (end.redF() - start.redF()) * t),
                                         static_cast<float>(start.greenF() + (end.greenF() - start.greenF()) * t),
                                         static_cast<float>(start.blueF() + (end.blueF() - start.blueF()) * t));
        }
        palette.setColor(group, QPalette::Highlight, highlight);
    }
    return palette;
}

QColor selectedTextColour(const QColor &background, const QPalette &palette, QPalette::ColorGroup group)
{
    for (const QPalette::ColorRole role : {QPalette::HighlightedText, QPalette::Text}) {
        const QColor colour = palette.color(group, role);
        if (contrastRatio(colour, background) >= readableContrast)
            return colour;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

} // namespace lanshan
