// The clipboard that cannot take the result: the result stays in the result box, one error
// message says so and tells where to copy it from, and copying it from there by hand gives
// every character of it.

#include "clipboard.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;
using windowtest::clipboardText;
using windowtest::oldClipboard;
using windowtest::WindowDriver;

namespace {

// A result with a no-break space, a NUL and a line separator in its rows.
const QString keys = u"a1\nb2\nc3"_s;
const QString rows = u"c3\t7\u20288\na1\t9\u00A00"_s + QChar(0) + u"x"_s;
const QString result = u"a1\t9\u00A00"_s + QChar(0) + u"x\n\nc3\t7\u20288"_s;

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

} // namespace

class ClipboardTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    ClipboardTest()
        : WindowTest({.oldClipboard = true})
    { }

private Q_SLOTS:
    void clipboardThatFails_data();
    void clipboardThatFails();
    void resultCopiedFromTheResultBox();
    void returnSaysWhatTheClipboardRefused();
    void everyCopySaysWhatTheClipboardRefused_data();
    void everyCopySaysWhatTheClipboardRefused();
};

void ClipboardTest::clipboardThatFails_data()
{
    QTest::addColumn<lanshan::ClipboardWriter>("writer");
    QTest::addColumn<bool>("copied");
    QTest::newRow("held by another program") << lanshan::ClipboardWriter([](const QString &) {}) << false;
    QTest::newRow("cleared, text refused")
        << lanshan::ClipboardWriter([](const QString &) { clipboard()->clear(); }) << false;
    QTest::newRow("text cut at the NUL") << lanshan::ClipboardWriter([](const QString &text) {
        clipboard()->clear();
        clipboard()->setText(text.left(text.indexOf(QChar(0))));
    }) << false;
    // A platform that gives the line breaks back as CR LF holds the result all the same.
    QTest::newRow("read back with CR LF") << lanshan::ClipboardWriter([](const QString &text) {
        clipboard()->clear();
        clipboard()->setText(QString(text).replace(u"\n"_s, u"\r\n"_s));
    }) << true;
}

void ClipboardTest::clipboardThatFails()
{
    QFETCH(lanshan::ClipboardWriter, writer);
    QFETCH(bool, copied);
    lanshan::setClipboardWriter(writer);

    m_driver->filter(keys, rows);

    QCOMPARE(m_driver->text(u"Text3"_s), result);
    QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());
    QVERIFY(m_driver->button(u"Command11"_s)->isEnabled());
    QCOMPARE(m_driver->messages.size(), std::size_t(1));
    const QString b2Empty = u"\r\n有 1 个关键字没有找到数据，结果中是空行：b2。"_s;
    QCOMPARE(m_driver->messages.front().text,
             copied ? messageText::resultCopied + b2Empty : messageText::resultNotCopied);
    QCOMPARE(m_driver->messages.front().icon, copied ? QMessageBox::NoIcon : QMessageBox::Critical);
}

// As the message says: the whole result selected in its box and copied, every character as
// it stands there (the box's own copy would make the no-break space a space and the line
// separator a line break).
void ClipboardTest::resultCopiedFromTheResultBox()
{
    lanshan::setClipboardWriter([](const QString &) {});
    m_driver->filter(keys, rows);
    QCOMPARE(m_driver->messages.back().text, messageText::resultNotCopied);
    QCOMPARE(clipboardText(), oldClipboard);
    lanshan::setClipboardWriter({});

    QPlainTextEdit *text3 = m_driver->box(u"Text3"_s);
    text3->setFocus();
    QTest::keySequence(text3, QKeySequence::SelectAll);
    QTest::keySequence(text3, QKeySequence::Copy);
    QCOMPARE(clipboardText(), result);
    QCOMPARE(m_driver->text(u"Text3"_s), result);
}

// "返回" puts the result back without a word, unless the clipboard refuses it.
void ClipboardTest::returnSaysWhatTheClipboardRefused()
{
    m_driver->filter(keys, rows);
    m_driver->press(u"Command11"_s);
    m_driver->messages.clear();
    windowtest::setClipboardText(oldClipboard);
    lanshan::setClipboardWriter([](const QString &) {});

    m_driver->press(u"Command4"_s);

    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isHidden());
    QCOMPARE(m_driver->messages.size(), 1u);
    QCOMPARE(m_driver->messages.back().text, messageText::resultNotCopied);
    QCOMPARE(clipboardText(), oldClipboard);
    QCOMPARE(m_driver->text(u"Text3"_s), result);
}

// Each copy but the result's after a good run, with a clipboard held by another program: the
// user is told, nothing on screen claims the copy, and the clipboard keeps what it held.
using Copy = std::function<QString(WindowDriver &)>; // returns what the window claims

void ClipboardTest::everyCopySaysWhatTheClipboardRefused_data()
{
    QTest::addColumn<Copy>("copy");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("claim");

    QTest::newRow("a line of the synchronized view") << Copy([](WindowDriver &driver) {
        driver.press(u"Command11"_s);
        windowtest::doubleClickItem(driver.list(u"List2"_s), 0);
        const auto *note = driver.get<QLabel>(u"copyConfirmation"_s);
        return note->isVisible() ? note->text() : QString();
    }) << lanshan::clipboardRefusedText() << QString();
    QTest::newRow("the report") << Copy([](WindowDriver &driver) {
        driver.press(u"reconcileButton"_s);
        driver.press(u"copyReportButton"_s);
        return driver.get<QLabel>(u"reconcileHint"_s)->text();
    }) << messageText::reportNotCopied
                                << messageText::reportNotCopied;
    QTest::newRow("chosen columns") << Copy([](WindowDriver &driver) {
        driver.press(u"copyColumnsButton"_s);
        auto *columns = driver.window.findChild<QComboBox *>(u"columnsBox"_s);
        columns->lineEdit()->setText(u"2"_s);
        QTest::keyClick(columns->lineEdit(), Qt::Key_Return);
        const auto *note = driver.get<QLabel>(u"columnsNote"_s);
        return note->isVisible() ? note->text() : QString();
    }) << messageText::resultNotCopied
                                    << QString();
    QTest::newRow("a box's selection") << Copy([](WindowDriver &driver) {
        QPlainTextEdit *keysBox = driver.box(u"Text1"_s);
        keysBox->setFocus();
        keysBox->selectAll();
        QTest::keyClick(keysBox, Qt::Key_C, Qt::ControlModifier);
        return QString();
    }) << lanshan::clipboardRefusedText()
                                       << QString();
    // Ctrl+X takes nothing out of the box that the clipboard did not take.
    QTest::newRow("a box's selection cut") << Copy([](WindowDriver &driver) {
        QPlainTextEdit *keysBox = driver.box(u"Text1"_s);
        keysBox->setFocus();
        keysBox->selectAll();
        QTest::keyClick(keysBox, Qt::Key_X, Qt::ControlModifier);
        return driver.text(u"Text1"_s) == keys ? QString() : u"cut"_s;
    }) << lanshan::clipboardRefusedText() << QString();
}

void ClipboardTest::everyCopySaysWhatTheClipboardRefused()
{
    QFETCH(Copy, copy);
    QFETCH(QString, message);
    QFETCH(QString, claim);
    m_driver->filter(keys, rows);
    m_driver->messages.clear();
    windowtest::setClipboardText(oldClipboard);
    lanshan::setClipboardWriter([](const QString &) {});

    QCOMPARE(copy(*m_driver), claim);
    QCOMPARE(m_driver->messages.size(), 1u);
    QCOMPARE(m_driver->messages.back().text, message);
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::Critical);
    QCOMPARE(clipboardText(), oldClipboard);
}

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
