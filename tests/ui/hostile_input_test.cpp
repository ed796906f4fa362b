// Hostile input through the window: what users may paste (a million lines, one line of 10 MB,
// NUL, lone surrogates, invisible and unusual characters, rows of TABs, keys of spaces), a key
// with a hundred thousand rows, and presses, clears and closing at awkward moments. In every
// case the window answers, the boxes Text1 and Text2 keep every character as they took it, and
// the result is the one the engine gives for the same texts.

#include "boxtext.h"
#include "filterrun.h"
#include "httpstub.h"
#include "versioncheck.h"
#include "windowtest.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;
using windowtest::clipboardText;
using windowtest::oldClipboard;
using windowtest::WindowDriver;

namespace {

// Every LF as CR LF: the test data is written with LF, the boxes read their line breaks as CR LF.
QString crlf(QString text)
{
    return text.replace(u"\n"_s, u"\r\n"_s);
}

QString lf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

QString raw(const QPlainTextEdit *box)
{
    return box->document()->toRawText();
}

// The box's text with CR LF at every line end.
QString crlfText(const QPlainTextEdit *box)
{
    return raw(box).replace(QChar::ParagraphSeparator, u"\r\n"_s);
}

// Where two texts of any length part, with the characters there as code points.
QString difference(const QString &actual, const QString &expected)
{
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const auto codes = [](QStringView text) {
        QString out;
        for (const QChar c : text)
            out += u" U+%1"_s.arg(c.unicode(), 4, 16, QChar(u'0'));
        return out;
    };
    return u"lengths %1 and %2, first difference at %3:%4 against%5"_s.arg(actual.size())
        .arg(expected.size())
        .arg(at)
        .arg(codes(QStringView(actual).mid(at, 6)), codes(QStringView(expected).mid(at, 6)));
}

#define COMPARE_TEXT(actual, expected) \
    do { \
        const QString a_ = (actual); \
        const QString e_ = (expected); \
        QVERIFY2(a_ == e_, qPrintable(difference(a_, e_))); \
    } while (false)

// The engine's result for these texts (line breaks as CR LF), each questionable line settled
// with its first row, as settleWithFirstRows() does in the window, or with the given one.
QString engineResult(const QString &keys, const QString &rows, std::size_t choice = 0)
{
    lanshan::FilterRun run(keys.toStdU16String(), rows.toStdU16String());
    while (run.state() == lanshan::FilterRun::State::AwaitingChoice)
        run.choose(run.candidateRows()[choice]);
    return QString::fromStdU16String(run.resultText());
}

} // namespace

class HostileInputTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    HostileInputTest()
        : WindowTest({.oldClipboard = true})
    { }

private Q_SLOTS:
    void pastedCharacters_data();
    void pastedCharacters();
    void whatTheBoxMakesOfAPaste_data();
    void whatTheBoxMakesOfAPaste();
    void millionLines();
    void tenMegabyteLine();
    void hundredThousandRowsOfOneKey();
    void pressingAgainWhileThePanelIsOpen();
    void thousandQuestionsLeftEmptyAtOnce();
    void clearingWhileThePanelIsOpen_data();
    void clearingWhileThePanelIsOpen();
    void clearingWhileTheSyncViewIsOpen_data();
    void clearingWhileTheSyncViewIsOpen();
    void closingWhileWaiting();

private:
    QPlainTextEdit *box(const QString &name) const { return m_driver->box(name); }
    // As the user brings text: on the clipboard, then Ctrl+A and Ctrl+V in the box.
    void paste(const QString &boxName, const QString &text);
    // Pastes both texts and verifies that the boxes hold them, line breaks as CR LF.
    void pasteBoth(const QString &keys, const QString &rows);
    // The texts of Text1 and Text2 as the boxes hold them.
    std::pair<QString, QString> inputs() const { return {raw(box(u"Text1"_s)), raw(box(u"Text2"_s))}; }
    void settleWithFirstRows();
    // The boxes as they were before the run, and the engine's result in the result box and
    // on the clipboard, with the message that says so.
    void verifyDelivered(const QString &text1, const QString &text2, const QString &result);
};

void HostileInputTest::paste(const QString &boxName, const QString &text)
{
    windowtest::setClipboardText(text);
    QPlainTextEdit *target = box(boxName);
    target->setFocus();
    QTest::keySequence(target, QKeySequence::SelectAll);
    QTest::keySequence(target, QKeySequence::Paste);
}

void HostileInputTest::pasteBoth(const QString &keys, const QString &rows)
{
    paste(u"Text1"_s, keys);
    COMPARE_TEXT(crlfText(box(u"Text1"_s)), crlf(keys));
    paste(u"Text2"_s, rows);
    COMPARE_TEXT(crlfText(box(u"Text2"_s)), crlf(rows));
    // Something else is copied before the filter runs.
    windowtest::setClipboardText(oldClipboard);
}

void HostileInputTest::settleWithFirstRows()
{
    while (m_driver->frame(u"Frame4"_s)->isVisible()) {
        lanshan::ListBox *candidates = m_driver->list(u"List4"_s);
        candidates->setCurrentIndex(candidates->model()->index(0, 0));
        m_driver->press(u"Command6"_s);
    }
}

void HostileInputTest::verifyDelivered(const QString &text1, const QString &text2, const QString &result)
{
    COMPARE_TEXT(raw(box(u"Text1"_s)), text1);
    COMPARE_TEXT(raw(box(u"Text2"_s)), text2);
    COMPARE_TEXT(lanshan::boxQString(box(u"Text3"_s)), result);
    COMPARE_TEXT(clipboardText(), lf(result));
    QVERIFY(!m_driver->messages.empty());
    // The empty lines of the result, where there are any, named on one line of their own.
    const QString message = m_driver->messages.back().text;
    QVERIFY2(message == messageText::resultCopied
                 || (message.startsWith(messageText::resultCopied + u"\r\n有 "_s) && message.count(u"\r\n"_s) == 2
                     && message.contains(u"，结果中是空行："_s)),
             qPrintable(message));
}

void HostileInputTest::pastedCharacters_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rows");
    const QChar nul(0);
    const QChar high(0xD83D);
    const QChar low(0xDE00);
    QTest::newRow("NUL") << u"a"_s + nul + u"b\n"_s + nul + u"\nc"_s
                         << u"a"_s + nul + u"b\t1\n"_s + nul + u"\t2\nab\t3\nc\t"_s + nul;
    QTest::newRow("lone surrogates") << QString(high) + u"\nx"_s + low + u"y\n"_s + low + high + u"\n"_s + high + low
                                     << QString(high) + u"\t1\nx"_s + low + u"y\t2\n"_s + low + high + u"\t3\n"_s + high
                                            + low + u"\t4\n"_s + high + u"\t"_s + low + u"\t5"_s;
    // No-break space, right-to-left and left-to-right marks, line separator, emoji, a family
    // joined by zero-width joiners, byte-order mark, right-to-left override.
    QTest::newRow("invisible and unusual characters")
        << u"王\u00A0明\n\u200F李\u200E\nk\u2028m\n\U0001F600\n\U0001F468\u200D\U0001F469\u200D\U0001F467\n"
           u"\uFEFFx\n\u202Ez"_s
        << u"王 明\t1\n王\u00A0明\t2\n李\t3\n\u200F李\u200E\t4\nk\u2028m\t5\n\U0001F600\t6\n"
           u"\U0001F468\u200D\U0001F469\u200D\U0001F467\t7\n\U0001F468\t8\n\uFEFFx\t9\nx\t10\n\u202Ez\t11"_s;
    QTest::newRow("rows of TABs only") << u"a\n\t\n\t\t\nb"_s << u"\t\n\t\t\n\t\t\t\na\t1\n\t\t\t\nb\t\t"_s;
    QTest::newRow("keys of spaces only") << u"   \na\n \n  b  \n    \nc"_s
                                         << u"   \t1\na\t2\n \t3\nb\t4\n  b  \t5\n\t\t\nc\t \t6"_s;
}

void HostileInputTest::pastedCharacters()
{
    QFETCH(QString, keys);
    QFETCH(QString, rows);
    pasteBoth(keys, rows);
    const auto [text1, text2] = inputs();

    m_driver->press(u"Command1"_s);
    settleWithFirstRows();

    verifyDelivered(text1, text2, engineResult(crlf(keys), crlf(rows)));
}

void HostileInputTest::whatTheBoxMakesOfAPaste_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    // A lone CR or LF and the paragraph separator U+2029 end a line: the box shows a line break
    // there, and a line break reads back as CR LF, so the filter sees what the user sees.
#ifdef Q_OS_WIN
    // On Windows only CR LF ends a line of a paste: a lone CR stays inside its line (the box
    // shows a soft break there), as a line break inside a spreadsheet cell does.
    QTest::newRow("lone CR") << u"a1\tx\rb2\ty\r\rc3"_s << u"a1\tx\rb2\ty\r\rc3"_s;
    QTest::newRow("LF CR") << u"a1\tx\n\rb2"_s << u"a1\tx\r\n\rb2"_s;
#else
    QTest::newRow("lone CR") << u"a1\tx\rb2\ty\r\rc3"_s << u"a1\tx\r\nb2\ty\r\n\r\nc3"_s;
    QTest::newRow("LF CR") << u"a1\tx\n\rb2"_s << u"a1\tx\r\n\r\nb2"_s;
#endif
    QTest::newRow("paragraph separator") << u"a1\tx\u2029b2\ty"_s << u"a1\tx\r\nb2\ty"_s;
    // U+FDD0 and U+FDD1 are noncharacters that the box's document reserves as frame marks and
    // would turn into line breaks; they arrive as U+FFFD, and no line is added.
    QTest::newRow("frame marks") << u"a1\uFDD0\tx\nb2\ty\uFDD1z"_s << u"a1\uFFFD\tx\r\nb2\ty\uFFFDz"_s;
}

void HostileInputTest::whatTheBoxMakesOfAPaste()
{
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    const QString keys = u"a1\nb2\nc3"_s;
    paste(u"Text1"_s, keys);
    paste(u"Text2"_s, pasted);
    QCOMPARE(lanshan::boxQString(box(u"Text2"_s)), kept);
    windowtest::setClipboardText(oldClipboard);
    const auto [text1, text2] = inputs();

    m_driver->press(u"Command1"_s);

    verifyDelivered(text1, text2, engineResult(crlf(keys), kept));
}

void HostileInputTest::millionLines()
{
    QString rows;
    rows.reserve(12'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        rows += u'k';
        rows += QString::number(i);
        rows += u"\t90\n"_s;
    }
    const QString keys = u"k999999\nk0\nnone\nk500000\n\nk1"_s;
    pasteBoth(keys, rows);
    const auto [text1, text2] = inputs();

    m_driver->press(u"Command1"_s);

    verifyDelivered(text1, text2, u"k999999\t90\r\nk0\t90\r\n\r\nk500000\t90\r\n\r\nk1\t90"_s);
    COMPARE_TEXT(crlfText(box(u"Text3"_s)), engineResult(crlf(keys), crlf(rows)));
}

void HostileInputTest::tenMegabyteLine()
{
    // One cell of 10 MB without a blank, as a blob of encoded data would be.
    const QString row = u"k\t"_s + QString(10 * 1024 * 1024, u'x') + u"\t1"_s;
    const QString keys = u"z\nk"_s;
    pasteBoth(keys, row);
    const auto [text1, text2] = inputs();

    // The result box lays the line out in time that grows with its length, not its square: it
    // breaks the line anywhere rather than at word boundaries (window_bench times it).
    m_driver->press(u"Command1"_s);
    QApplication::processEvents();
    QCOMPARE(box(u"Text3"_s)->wordWrapMode(), QTextOption::WrapAnywhere);
    verifyDelivered(text1, text2, u"\r\n"_s + row);
    COMPARE_TEXT(crlfText(box(u"Text3"_s)), engineResult(crlf(keys), crlf(row)));

    // The synchronized view shows only the start of the line, so that it paints at once; a
    // double-click copies all of it.
    m_driver->press(u"Command11"_s);
    m_driver->window.grab();
    const QString item = m_driver->itemsOf(u"List2"_s).at(1);
    QVERIFY(item.startsWith(u"2.k\txxx"_s));
    QVERIFY(item.size() < 2000);
    windowtest::doubleClickItem(m_driver->list(u"List2"_s), 1);
    COMPARE_TEXT(clipboardText(), row);
}

void HostileInputTest::hundredThousandRowsOfOneKey()
{
    QString rows;
    for (int i = 0; i < 100'000; ++i)
        rows += u"k\t"_s + QString::number(i) + u"\n"_s;
    const QString keys = u"a\nk\nb"_s;
    pasteBoth(keys, rows);
    const auto [text1, text2] = inputs();

    m_driver->press(u"Command1"_s);
    QApplication::processEvents();
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    // The panel opens at once: its lists lay out one item height for all items.
    QVERIFY(m_driver->list(u"List4"_s)->uniformItemSizes());
    const QAbstractItemModel *list4 = m_driver->list(u"List4"_s)->model();
    QCOMPARE(list4->rowCount(), 100'000);
    QCOMPARE(list4->index(0, 0).data().toString(), u"1.\tk\t0"_s);
    QCOMPARE(list4->index(99'999, 0).data().toString(), u"100000.\tk\t99999"_s);

    windowtest::readTheQuestion();
    windowtest::clickItem(m_driver->list(u"List4"_s), 99'999);
    m_driver->press(u"Command6"_s);

    verifyDelivered(text1, text2, u"\r\nk\t99999\r\n"_s);
    COMPARE_TEXT(crlfText(box(u"Text3"_s)), engineResult(crlf(keys), crlf(rows), 99'999));
}

void HostileInputTest::pressingAgainWhileThePanelIsOpen()
{
    QString rows;
    for (int i = 0; i < 1000; ++i)
        rows += u"k\t%1\nm\t%1\n"_s.arg(i);
    const QString keys = u"a\nk\nm"_s;
    pasteBoth(keys, rows);
    const auto [text1, text2] = inputs();

    for (int press = 0; press < 20; ++press) {
        m_driver->press(u"Command1"_s);
        // Each press starts over at the first question, whatever was chosen or settled before.
        QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
        QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList{u"1.a"_s});
        QCOMPARE(windowtest::selectedRow(m_driver->list(u"List3"_s)), 1);
        QCOMPARE(windowtest::selectedRow(m_driver->list(u"List4"_s)), -1);
        QCOMPARE(m_driver->list(u"List4"_s)->model()->rowCount(), 1000);
        m_driver->list(u"List4"_s)->setCurrentIndex(m_driver->list(u"List4"_s)->model()->index(press, 0));
        if (press % 3 == 1)
            m_driver->press(u"Command6"_s); // on to the second question
        if (press % 5 == 2)
            m_driver->press(u"Command12"_s); // back to editing
    }
    QVERIFY(m_driver->messages.empty());
    QCOMPARE(clipboardText(), oldClipboard);

    m_driver->press(u"Command1"_s);
    settleWithFirstRows();
    verifyDelivered(text1, text2, engineResult(crlf(keys), crlf(rows)));
}

// A thousand repeated ids: one press of "余下全部留空" settles them all; the message counts them and
// the report lists every one under "忽略留空".
void HostileInputTest::thousandQuestionsLeftEmptyAtOnce()
{
    QString keys;
    QString rows;
    for (int i = 0; i < 1000; ++i) {
        keys += u"k%1\n"_s.arg(i);
        rows += u"k%1\t1\nk%1\t2\n"_s.arg(i);
    }
    m_driver->filter(keys + u"x"_s, rows + u"x\t3"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    m_driver->press(u"leaveRestEmptyButton"_s);
    QVERIFY(!m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->messages.size(), 1u);
    QVERIFY(m_driver->messages.back().text.contains(u"1000 行疑问数据已留空"_s));
    QCOMPARE(m_driver->get<QLabel>(u"reconcileSummary"_s)->text(),
             u"核对：0 个关键字未找到，2000 行数据未使用，1000 行已留空。"_s);
    QCOMPARE(m_driver->text(u"Text3"_s), QString(1000, u'\n') + u"x\t3"_s);
}

void HostileInputTest::clearingWhileThePanelIsOpen_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("清空所有数据") << u"Command8"_s;
    QTest::newRow("清除固定顺序数据") << u"Command9"_s;
    QTest::newRow("清除待筛选数据") << u"Command10"_s;
    QTest::newRow("演示数据") << u"Command7"_s;
}

// The clearing commands leave the question open; settled afterwards, the run finishes on the
// texts that it was started with and writes nothing into the input boxes.
void HostileInputTest::clearingWhileThePanelIsOpen()
{
    QFETCH(QString, command);
    const QString keys = u"a1\nb2\nc3"_s;
    const QString rows = u"a1\t1\nb2\t2\nb2\t3\nc3\t4"_s;
    pasteBoth(keys, rows);
    m_driver->press(u"Command1"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());

    m_driver->press(command);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    const auto [text1, text2] = inputs();
    m_driver->messages.clear();

    settleWithFirstRows();

    const QString result = engineResult(crlf(keys), crlf(rows));
    QCOMPARE(result, u"a1\t1\r\nb2\t2\r\nc3\t4"_s);
    if (command == u"Command7"_s) {
        verifyDelivered(text1, text2, result);
    } else {
        // An input box is empty now: the result is shown with the warning, and not copied.
        QCOMPARE(raw(box(u"Text1"_s)), text1);
        QCOMPARE(raw(box(u"Text2"_s)), text2);
        QCOMPARE(crlfText(box(u"Text3"_s)), result);
        QCOMPARE(m_driver->messages.size(), std::size_t(1));
        QCOMPARE(m_driver->messages.back().text, messageText::checkTheInputs);
        QCOMPARE(clipboardText(), oldClipboard);
    }
}

void HostileInputTest::clearingWhileTheSyncViewIsOpen_data()
{
    clearingWhileThePanelIsOpen_data();
}

// The view keeps the lists of the last run; its copy commands work on that run, and "返回"
// copies the result box as the clearing command left it.
void HostileInputTest::clearingWhileTheSyncViewIsOpen()
{
    QFETCH(QString, command);
    pasteBoth(u"a1\nb2"_s, u"b2\t2\na1\t1"_s);
    m_driver->press(u"Command1"_s);
    QCOMPARE(m_driver->messages.back().text, messageText::resultCopied);
    m_driver->press(u"Command11"_s);
    const QStringList list1 = m_driver->itemsOf(u"List1"_s);
    const QStringList list2 = m_driver->itemsOf(u"List2"_s);

    m_driver->press(command);

    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isVisible());
    QCOMPARE(m_driver->itemsOf(u"List1"_s), list1);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), list2);
    const bool resultCleared = command == u"Command8"_s || command == u"Command10"_s;
    QCOMPARE(m_driver->text(u"Text3"_s), resultCleared ? QString() : u"a1\t1\nb2\t2"_s);
    windowtest::doubleClickItem(m_driver->list(u"List2"_s), 1);
    QCOMPARE(clipboardText(), u"b2\t2"_s);
    windowtest::doubleClickItem(m_driver->list(u"List1"_s), 0);
    QCOMPARE(clipboardText(), u"a1"_s);

    m_driver->press(u"Command4"_s);
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isHidden());
    QCOMPARE(clipboardText(), m_driver->text(u"Text3"_s));
}

// Closing the window ends the program at once, with a question open and a version check
// waiting for a server that never answers.
void HostileInputTest::closingWhileWaiting()
{
    versiontest::HttpStub stub;
    stub.setMode(versiontest::HttpStub::Mode::Silent);
    auto *check = m_driver->window.findChild<lanshan::VersionCheck *>();
    QVERIFY(check);
    check->setHost(stub.host());
    for (int i = 0; i < 30 && !check->isChecking(); ++i)
        check->tick();
    QVERIFY(check->isChecking());
    QTRY_COMPARE(stub.targets().size(), 1);
    pasteBoth(u"a1\nb2"_s, u"a1\t1\na1\t2"_s);
    m_driver->press(u"Command1"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());

    QTimer::singleShot(0, &m_driver->window, [this] { m_driver->window.close(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    // The program ended without waiting for the check.
    QVERIFY(check->isChecking());
    QVERIFY(!m_driver->window.isVisible());
    m_driver.reset();
}

QTEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
