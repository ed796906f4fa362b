#pragma once

#include <QString>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace lanshan {

// The data frame and the result frame share one place in the working area: one of them shows,
// and "数据/结果" switches to the other, its caption naming the frame it would show, whichever
// command or undo brought the frame in sight. The result
// box is only ever written by the program.
class DataOrResult
{
public:
    DataOrResult(QGroupBox *dataFrame, QPlainTextEdit *dataBox, QGroupBox *resultFrame, QPlainTextEdit *resultBox,
                 QPushButton *toggleButton);

    // The result frame, hidden, in the data frame's place and size.
    void setUp();
    void showData();
    // The result into the result box, which shows.
    void showResult(const QString &resultText);
    // The result stands: "数据/结果" offers the data.
    void resultStands();
    void toggle();

private:
    void nameTheOtherFrame();

    QGroupBox *m_dataFrame;
    QPlainTextEdit *m_dataBox;
    QGroupBox *m_resultFrame;
    QPlainTextEdit *m_resultBox;
    QPushButton *m_toggleButton;
    bool m_resultStood = false;
};

} // namespace lanshan
