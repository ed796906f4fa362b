#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace lanshan {

// How a control follows its container when the container is not at its designed size: each
// factor is the share of the container's growth (or shrinking) by which that edge or size
// changes. At the designed size every control stands exactly where it was placed.
struct Growth
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    // What follows: all of it, only the size (where the control stands is decided elsewhere),
    // or only the place (its size is decided elsewhere).
    enum class Follows { Geometry, Size, Place };
    Follows follows = Follows::Geometry;
};

// Where key lines stand beside their rows, the keys' side takes this share of a growth in
// width and the rows' side the rest.
inline constexpr double keySideShare = 0.25;

// The controls of one container and how each follows it. The container's size and each
// control's geometry when they are added are their designed ones; from then on every resize
// of the container places the controls from those and their Growth, and nothing else does.
class GrowthLayout : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GrowthLayout)

public:
    // Takes the container's size now as its designed size.
    explicit GrowthLayout(QWidget *container);
    ~GrowthLayout() override;

    // The control's geometry now is its designed one.
    void add(QWidget *control, Growth growth);
    QSize designedSize() const { return m_designedSize; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    struct Entry
    {
        QPointer<QWidget> control;
        QRect designed;
        Growth growth;
    };
    QWidget *m_container = nullptr;
    QSize m_designedSize;
    std::vector<Entry> m_entries;
};

} // namespace lanshan
