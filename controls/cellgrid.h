#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringView>

#include <vector>

namespace lanshan {

// Where a model gives it, the text an item's cells are drawn from instead of the text it shows
// (TAB between cells); the shown text, what a copy and a screen reader get, stays as it is.
inline constexpr int cellTextRole = Qt::UserRole + 0x4C53;

// A line's cells as a grid draws them: at most maxCells of them, each cut to its first
// maxUnits units (never inside a surrogate pair), so that a row of ten thousand cells or a cell
// of a hundred thousand characters costs no more than a short one.
struct GridRow
{
    struct Cell
    {
        QStringView text;
        bool cut = false; // the cell goes on beyond text
    };
    std::vector<Cell> cells;
    bool more = false; // cells follow beyond these

    static constexpr int maxCells = 40;
    static constexpr qsizetype maxUnits = 2048;
    static GridRow of(QStringView line);
};

// One cell of a row as drawn: where it starts, the room it has and its text, cut with "…" where
// it does not fit or where more of the row follows unseen.
struct PlacedCell
{
    qreal x = 0;
    qreal width = 0;
    QString text;
    bool elided = false;
};

// The columns of rows shown together: each column as wide as the widest of its cells as the
// font draws them (a full-width character is as wide as it is drawn, not one character), but
// at most a cap of average characters, so that one long cell does not push the rest away.
// The last cell of a row widens nothing: nothing of its row stands to its right.
class CellGrid
{
public:
    // device: where the rows are drawn, whose resolution the widths are measured at.
    explicit CellGrid(const QFont &font, const QPaintDevice *device = nullptr);

    const QFont &font() const { return m_font; }
    // The resolution of the device the grid was measured for; 0: none given.
    int dpi() const { return m_dpi; }
    // The row's cells widen their columns; whether one grew.
    bool widen(const GridRow &row);
    int columns() const { return static_cast<int>(m_widths.size()); }
    // Where column k starts.
    qreal columnStart(int column) const;
    qreal columnWidth(int column) const;
    // The room between two columns.
    qreal gap() const { return m_gap; }
    // Where the row's cells stand in a line of this width, in order. A cell holds to its column;
    // the last one shown takes the rest of the line. Cells that would start too far right are
    // left out, and the last one shown ends with "…" to say that more follows.
    std::vector<PlacedCell> place(const GridRow &row, qreal width) const;
    // How wide the row is drawn with nothing cut.
    qreal extent(const GridRow &row) const;

    // A cell is measured by its first characters only: beyond these it is wider than the cap.
    static constexpr qsizetype measuredUnits = 64;
    static constexpr qreal capCharacters = 24;
    static constexpr qreal gapCharacters = 2;

private:
    qreal measure(const GridRow::Cell &cell) const;
    QString elide(QStringView text, qreal room, bool more) const;

    QFont m_font;
    int m_dpi;
    QFontMetricsF m_metrics;
    qreal m_cap;
    qreal m_gap;
    std::vector<qreal> m_widths;
    std::vector<qreal> m_starts; // one more than the widths: where a cell after the last would start
};

} // namespace lanshan
