#pragma once

#include <QPlainTextEdit>

class QMimeData;

namespace lanshan {

// The program's multi-line boxes. What the user copies or drags out of a box is plain text,
// exactly as the box holds it, line breaks as LF, the way the program puts a result on the
// clipboard: the box's own copy would add HTML and turn no-break spaces into spaces and line
// separators into line breaks. A paste goes into the document as plain text in one step; the
// noncharacters U+FDD0 and U+FDD1, which the document takes for frame marks and would turn
// into line breaks, arrive as U+FFFD, so that a paste never gains a line that its text does
// not have.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)

public:
    explicit TextBox(QWidget *parent = nullptr);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace lanshan
