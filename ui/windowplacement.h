#pragma once

#include <QMargins>
#include <QObject>
#include <QSize>

class QWidget;

namespace lanshan {

// Puts a window on its screen at its designed size where that fits the free area, frame and
// all; else as tall as fits, never lower than `lowest`, and never narrower: the width is the
// design's. Centred. Before the window is shown the platform has not told its frame, so a usual
// one is guessed; once the window is framed, it is fitted again where the frame turned out
// larger and the window reaches beyond the free area.
class WindowPlacement : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowPlacement)

public:
    WindowPlacement(QWidget *window, QSize designed, int lowest);
    ~WindowPlacement() override;

    // Places the window with the guessed frame; the real one follows when it is first shown.
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMargins guessedFrame() const;
    void placeWith(QMargins frame);
    void refitWithItsFrame();

    QWidget *m_window;
    QSize m_designed;
    int m_lowest;
    bool m_framed = false;
};

} // namespace lanshan
