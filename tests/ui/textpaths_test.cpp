// Text moved into the boxes and out of the lists by the ways other than a paste: keys that
// break a line, a drop from another program, and Ctrl+C on a list.

#include "boxtext.h"
#include "clipboardtext.h"
#include "windowtest.h"

#include <QMimeData>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;

class TextPathsTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    TextPathsTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void lineBreakKeys_data();
    void lineBreakKeys();
    void dropEndsEveryLine();
    void listCopiesTheWholeItem();
};

void TextPathsTest::lineBreakKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Shift+Enter") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Shift+Enter on the keypad") << Qt::Key_Enter << (Qt::ShiftModifier | Qt::KeypadModifier);
}

// Two keys typed on two lines are two keys, whichever Enter ended the first.
void TextPathsTest::lineBreakKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QPlainTextEdit *keys = m_driver->box(u"Text1"_s);
    keys->setFocus();
    QTest::keyClicks(keys, u"a1"_s);
    QTest::keyClick(keys, key, modifiers);
    QTest::keyClicks(keys, u"b2"_s);
    QCOMPARE(lanshan::boxQString(keys), u"a1\r\nb2"_s);
    m_driver->box(u"Text2"_s)->setPlainText(u"b2\t2\na1\t1"_s);
    m_driver->press(u"Command1"_s);
    QCOMPARE(m_driver->messages.size(), 1u);
    QCOMPARE(m_driver->messages.front().text, messageText::resultCopied);
    QCOMPARE(m_driver->text(u"Text3"_s), u"a1\t1\nb2\t2"_s);
}

// A drag from another program carries LF between its lines on every platform (Qt's text of
// the Windows clipboard format): three lines arrive as three lines, never one.
void TextPathsTest::dropEndsEveryLine()
{
    QPlainTextEdit *keys = m_driver->box(u"Text1"_s);
    QMimeData dragged;
    dragged.setText(u"甲\n乙\n丙"_s);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(keys->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(keys->viewport(), &drop);
    QCOMPARE(lanshan::boxQString(keys), u"甲\r\n乙\r\n丙"_s);
}

// The lists show a long item cut short; Ctrl+C copies it whole.
void TextPathsTest::listCopiesTheWholeItem()
{
    const QString longRow = u"k\t"_s + QString(1500, u'x');
    m_driver->filter(u"k\r\nz"_s, longRow + u"\r\nk\t2"_s);
    lanshan::ListBox *candidates = m_driver->list(u"List4"_s);
    windowtest::readTheQuestion();
    windowtest::clickItem(candidates, 0);
    QTest::keySequence(candidates, QKeySequence::Copy);
    QCOMPARE(lanshan::ClipboardText::read(), u"1.\t"_s + longRow);
}

QTEST_MAIN(TextPathsTest)
#include "textpaths_test.moc"
