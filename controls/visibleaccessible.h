#pragma once

#include <QAccessibleWidget>

namespace lanshan {

// What a screen reader is told of one of the program's windows or panels: only the children
// that the user sees, neither the hidden ones nor those that an opaque panel above them
// covers, and at a point the one on top. The main window is announced as a window, the panels
// by their captions.
class VisibleAccessible : public QAccessibleWidget
{
public:
    VisibleAccessible(QWidget *widget, QAccessible::Role role);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;

    // Serves the program's own top-level windows (dialogs keep Qt's own interface) and its
    // highlighted frames from now on. Installing twice does nothing.
    static void install();

private:
    QList<QWidget *> shownChildren() const;
};

} // namespace lanshan
