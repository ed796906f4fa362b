#include "dataorresult.h"

#include "boxtext.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lanshan {

namespace {

// Longer result lines are broken anywhere in the result box.
constexpr qsizetype longLine = 1000;

} // namespace

DataOrResult::DataOrResult(QGroupBox *dataFrame, QPlainTextEdit *dataBox, QGroupBox *resultFrame,
                           QPlainTextEdit *resultBox, QPushButton *toggleButton)
    : m_dataFrame(dataFrame)
    , m_dataBox(dataBox)
    , m_resultFrame(resultFrame)
    , m_resultBox(resultBox)
    , m_toggleButton(toggleButton)
{
    // The result can be selected and copied, on the face of a button.
    m_resultBox->setReadOnly(true);
    m_resultBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_resultBox->setBackgroundRole(QPalette::Button);
    QPalette buttonFace = m_resultBox->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    m_resultBox->setPalette(buttonFace);
}

void DataOrResult::setUp()
{
    m_resultFrame->hide();
    m_resultFrame->resize(m_dataFrame->width(), m_dataFrame->height());
    m_resultBox->resize(m_dataBox->width(), m_dataBox->height());
    m_resultFrame->move(m_resultFrame->x(), m_dataFrame->y());
    m_resultFrame->move(m_dataFrame->x(), m_resultFrame->y());
}

void DataOrResult::showData()
{
    m_resultFrame->hide();
    m_dataFrame->show();
    nameTheOtherFrame();
}

void DataOrResult::showResult(const QString &resultText)
{
    // The result view first: a box laid out while hidden is laid out again when shown,
    // which costs as much as filling it.
    m_resultFrame->show();
    m_dataFrame->hide();
    nameTheOtherFrame();
    // Words wrap in the result box, but a very long line is broken anywhere: laying out a long
    // word at word boundaries takes time that grows with the square of its length.
    m_resultBox->setWordWrapMode(longestLineLength(resultText) > longLine ? QTextOption::WrapAnywhere
                                                                          : QTextOption::WrapAtWordBoundaryOrAnywhere);
    setBoxLines(m_resultBox, resultText);
}

void DataOrResult::resultStands()
{
    m_resultStood = true;
    nameTheOtherFrame();
}

void DataOrResult::toggle()
{
    m_resultFrame->setVisible(m_resultFrame->isHidden());
    m_dataFrame->setVisible(m_dataFrame->isHidden());
    nameTheOtherFrame();
}

void DataOrResult::nameTheOtherFrame()
{
    // Until a result stood there is nothing to switch to, and the button keeps its own caption.
    // Visibility of the frames themselves, whether or not the window is on screen.
    if (m_resultStood)
        m_toggleButton->setText(m_dataFrame->isHidden() ? m_dataFrame->title() : m_resultFrame->title());
}

} // namespace lanshan
