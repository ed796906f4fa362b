#pragma once

#include "listbox.h"

#include <QRect>
#include <QString>

class QAbstractItemModel;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The controls of the program's windows as their designs describe them: a name, a place in
// pixels (see twips.h) and the few properties each kind shares. The name is the objectName
// by which the tests find the control.
namespace lanshan {

// Names the widget and puts it in its place.
template<class Widget>
Widget *place(Widget *widget, const QString &name, QRect geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

// Frames are opaque: a panel that opens over the working area hides what it covers.
template<class Frame>
Frame *opaque(Frame *frame)
{
    frame->setAutoFillBackground(true);
    return frame;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect geometry);

// Enter, Return and Space press it while it has the focus; it is never the default button.
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect geometry);

enum class Scrolling { Both, VerticalOnly, None };

// A multi-line TextBox: Tab moves on, lines wrap unless it scrolls both ways.
QPlainTextEdit *textBox(QWidget *parent, const QString &name, QRect geometry, Scrolling scrolling);

// A read-only list of one selectable item at a time, scrolled item by item, over the model;
// TABs in the items are laid out as in the boxes, and a long item can be scrolled to its end.
// Ctrl+C copies the selected item's own text (ListBox).
ListBox *listBox(QWidget *parent, const QString &name, QRect geometry, QAbstractItemModel *model);

// Plain text, never markup, from the top left.
QLabel *label(QWidget *parent, const QString &name, QRect geometry, const QString &text = {});

// A design size holds its text in the design's font; a wider or taller face may take the room
// below the label, down to bottom (in the parent's pixels), so that no line is cut off.
void fitHeight(QLabel *label, int bottom);

} // namespace lanshan
