#pragma once

#include <QPushButton>

namespace lanshan {

// A button that Enter and Return press while it has the focus, as Space does, without being
// the window's default button. Windows users expect it of every button.
class PushButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PushButton)

public:
    explicit PushButton(const QString &text, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace lanshan
