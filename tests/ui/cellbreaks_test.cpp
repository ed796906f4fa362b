// A score sheet whose remarks hold line breaks, as Excel puts it on the clipboard: CR LF
// between rows, a lone LF inside a quoted cell. Pasted, filtered and copied back. On Windows
// only CR LF ends a line, so every row comes back whole; elsewhere every line break of a
// paste ends a line, as programs there put LF between rows.

#include "boxtext.h"
#include "clipboardtext.h"
#include "windowtest.h"

using namespace Qt::StringLiterals;

class CellBreaksTest : public windowtest::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void pastedFilteredAndCopied();
};

void CellBreaksTest::pastedFilteredAndCopied()
{
    const QString keys = u"张三\r\n李四\r\n王五"_s;
    const QString rows = u"李四\t90\t\"备注第一行\n第二行\"\r\n张三\t80\t好\r\n王五\t70\t\"A\nB\nC\"\r\n"_s;
    for (const auto &[name, text] : {std::pair{u"Text1"_s, keys}, std::pair{u"Text2"_s, rows}}) {
        QGuiApplication::clipboard()->setText(text);
        QPlainTextEdit *box = m_driver->box(name);
        box->setFocus();
        QTest::keySequence(box, QKeySequence::Paste);
    }
    QPlainTextEdit *text2 = m_driver->box(u"Text2"_s);
#ifdef Q_OS_WIN
    const QString result = u"张三\t80\t好\r\n李四\t90\t\"备注第一行\n第二行\"\r\n王五\t70\t\"A\nB\nC\""_s;
    const QString secondRow = u"李四\t90\t\"备注第一行\n第二行\""_s;
    QCOMPARE(lanshan::boxQString(text2), rows);
    QCOMPARE(text2->document()->blockCount(), 4); // three rows and the empty line after them
    const QString shownResult = result;
#else
    const QString result = u"张三\t80\t好\n李四\t90\t\"备注第一行\n王五\t70\t\"A"_s;
    const QString secondRow = u"李四\t90\t\"备注第一行"_s;
    QCOMPARE(lanshan::boxQString(text2), QString(rows).replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s));
    const QString shownResult = QString(result).replace(u'\n', u"\r\n"_s);
#endif
    // The user's own Enter still makes a new line (the paste left the cursor at the end).
    QTest::keyClick(text2, Qt::Key_Return);
    QVERIFY(lanshan::boxQString(text2).endsWith(u"\r\n\r\n"_s));

    m_driver->press(u"Command1"_s);
    QCOMPARE(lanshan::ClipboardText::read(), result);
    QCOMPARE(lanshan::boxQString(m_driver->box(u"Text3"_s)), shownResult);

    // The synchronized view copies the row as it is.
    m_driver->press(u"Command11"_s);
    windowtest::doubleClickItem(m_driver->list(u"List2"_s), 1);
    QCOMPARE(lanshan::ClipboardText::read(), secondRow);
}

QTEST_MAIN(CellBreaksTest)
#include "cellbreaks_test.moc"
