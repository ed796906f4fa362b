#pragma once

#include <QObject>

class QWidget;

namespace lanshan {

// Return or Enter (the keypad's too, with or without modifiers) on a widget that would
// otherwise ignore it or act on its own, such as a list: the key goes no further and pressed()
// lets the panel that owns the widget decide, for instance by pressing its default action.
class EnterKeyFilter : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EnterKeyFilter)

public:
    // Watches `widget` for as long as it lives.
    static EnterKeyFilter *install(QWidget *widget);

Q_SIGNALS:
    void pressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit EnterKeyFilter(QWidget *widget);
};

} // namespace lanshan
