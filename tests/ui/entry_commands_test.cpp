// The commands that fill, clear and switch the boxes: demo data, the three clear buttons,
// the data/result toggle, and the buttons that every change of the two input boxes enables
// or disables.

#include "windowtest.h"

#include <QApplication>

#include <memory>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;
using windowtest::WindowDriver;

namespace {

const QString dataCaption = u"待筛选数据"_s;
const QString resultCaption = u"筛选后结果"_s;

// The keys and rows of a good run, and the result it leaves in the result box.
const QString runKeys = u"a1\nb2"_s;
const QString runRows = u"a1\t1\nb2\t2"_s;
const QString runResult = u"a1\t1\nb2\t2"_s;

const QStringList allSix{u"Command1"_s, u"Command2"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s, u"Command11"_s};

} // namespace

class EntryCommandsTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    EntryCommandsTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void anyTextCountsAsFilled_data();
    void anyTextCountsAsFilled();
    void toggleStaysDisabledUntilAGoodRun();
    void toggleNamesTheViewItBringsBack();
    void commandsAndTheView_data();
    void commandsAndTheView();
    void clearingCommands_data();
    void clearingCommands();
    void captionAfterUndo_data();
    void captionAfterUndo();
    void clearingAnEmptyBoxIsNoChange();
    void undoBringsBackWhatACommandTook_data();
    void undoBringsBackWhatACommandTook();

    void demoDataFillsBothBoxes();
    void demoKeepsTheEarlierResult();
    void demoRun();

private:
    // The buttons of the button row that a change or a command may enable, those enabled.
    QStringList enabledButtons() const;
    // "data" or "result", whichever of the two is in sight alone.
    QString view() const;
    void goodRun();
};

QStringList EntryCommandsTest::enabledButtons() const
{
    QStringList enabled;
    for (const QString &name : allSix)
        if (m_driver->button(name)->isEnabled())
            enabled.append(name);
    return enabled;
}

QString EntryCommandsTest::view() const
{
    const bool data = m_driver->frame(u"Frame2"_s)->isVisible();
    const bool result = m_driver->frame(u"Frame3"_s)->isVisible();
    if (data != result)
        return data ? u"data"_s : u"result"_s;
    return data ? u"both"_s : u"neither"_s;
}

void EntryCommandsTest::goodRun()
{
    m_driver->filter(runKeys, runRows);
    QCOMPARE(m_driver->text(u"Text3"_s), runResult);
    QCOMPARE(view(), u"result"_s);
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), dataCaption);
    m_driver->messages.clear();
}

void EntryCommandsTest::anyTextCountsAsFilled_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("clearButton");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::newRow("fixed-order data, a blank") << u"Text1"_s << u"Command9"_s << int(Qt::Key_Space) << u" "_s;
    QTest::newRow("fixed-order data, a line break") << u"Text1"_s << u"Command9"_s << int(Qt::Key_Return) << u"\n"_s;
    QTest::newRow("data, a blank") << u"Text2"_s << u"Command10"_s << int(Qt::Key_Space) << u" "_s;
    QTest::newRow("data, a line break") << u"Text2"_s << u"Command10"_s << int(Qt::Key_Return) << u"\n"_s;
}

// A single blank or a lone line break is text: the filter can be pressed. Deleting it again
// disables the filter, while the clear buttons stay enabled.
void EntryCommandsTest::anyTextCountsAsFilled()
{
    QFETCH(QString, box);
    QFETCH(QString, clearButton);
    QFETCH(int, key);
    QFETCH(QString, typed);
    QPlainTextEdit *edit = m_driver->box(box);
    edit->setFocus();

    QTest::keyClick(edit, Qt::Key(key));
    QCOMPARE(m_driver->text(box), typed);
    QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, clearButton}));

    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(m_driver->text(box), QString());
    QCOMPARE(enabledButtons(), (QStringList{u"Command8"_s, clearButton}));
    QVERIFY(m_driver->messages.empty());
}

void EntryCommandsTest::toggleStaysDisabledUntilAGoodRun()
{
    QPlainTextEdit *text1 = m_driver->box(u"Text1"_s);
    QPlainTextEdit *text2 = m_driver->box(u"Text2"_s);
    text1->setFocus();
    QTest::keyClicks(text1, u"a1"_s);
    QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, u"Command9"_s}));
    text2->setFocus();
    QTest::keyClicks(text2, u"a1 1"_s);
    QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s}));

    // A run that stops at its input check enables nothing.
    m_driver->press(u"Command1"_s);
    QCOMPARE(m_driver->messages.size(), std::size_t(1));
    QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s}));
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"数据/结果"_s);

    text1->setFocus();
    QTest::keyClick(text1, Qt::Key_Return);
    QTest::keyClicks(text1, u"b2"_s);
    m_driver->press(u"Command1"_s);
    // No key finds "a1 1", which has no TAB: said, and the result shown all the same.
    QCOMPARE(m_driver->messages.back().text, messageText::noRowFound(false));
    QCOMPARE(enabledButtons(), allSix);
}

void EntryCommandsTest::toggleNamesTheViewItBringsBack()
{
    goodRun();
    QPushButton *toggle = m_driver->button(u"Command2"_s);

    m_driver->press(u"Command2"_s);
    QCOMPARE(view(), u"data"_s);
    QCOMPARE(toggle->text(), resultCaption);
    QCOMPARE(m_driver->text(u"Text2"_s), runRows);

    m_driver->press(u"Command2"_s);
    QCOMPARE(view(), u"result"_s);
    QCOMPARE(toggle->text(), dataCaption);
    QCOMPARE(m_driver->text(u"Text3"_s), runResult);

    // Typing into the fixed-order box keeps the view and the caption.
    QPlainTextEdit *text1 = m_driver->box(u"Text1"_s);
    text1->setFocus();
    QTest::keyClicks(text1, u"c3"_s);
    QCOMPARE(view(), u"result"_s);
    QCOMPARE(toggle->text(), dataCaption);
    QCOMPARE(enabledButtons(), allSix);
}

void EntryCommandsTest::commandsAndTheView_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("startView");
    QTest::addColumn<QString>("viewAfter");
    for (const QString &start : {u"result"_s, u"data"_s}) {
        for (const QString &command : {u"Command7"_s, u"Command8"_s, u"Command10"_s})
            QTest::addRow("%s from the %s view", qPrintable(command), qPrintable(start))
                << command << start << u"data"_s;
        QTest::addRow("Command9 from the %s view", qPrintable(start)) << u"Command9"_s << start << start;
    }
}

// Demo data and the clear buttons that empty the data box go back to the data view; the
// caption of the toggle names the view it would bring, and its next press brings it.
void EntryCommandsTest::commandsAndTheView()
{
    QFETCH(QString, command);
    QFETCH(QString, startView);
    QFETCH(QString, viewAfter);
    goodRun();
    if (startView == u"data"_s)
        m_driver->press(u"Command2"_s);
    QCOMPARE(view(), startView);
    QPushButton *toggle = m_driver->button(u"Command2"_s);

    m_driver->press(command);
    QCOMPARE(view(), viewAfter);
    QCOMPARE(toggle->text(), viewAfter == u"data"_s ? resultCaption : dataCaption);

    if (!toggle->isEnabled())
        return;
    m_driver->press(u"Command2"_s);
    QCOMPARE(view(), viewAfter == u"data"_s ? u"result"_s : u"data"_s);
    QCOMPARE(toggle->text(), viewAfter == u"data"_s ? dataCaption : resultCaption);
}

void EntryCommandsTest::clearingCommands_data()
{
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("emptied");
    QTest::addColumn<QString>("viewAfter");

    const QString keys = u"k1\nk2"_s;
    const QString rows = u"k1\t5"_s;
    QTest::newRow("both filled, clear all")
        << keys << rows << u"Command8"_s << QStringList{u"Command9"_s, u"Command10"_s}
        << QStringList{u"Text1"_s, u"Text2"_s, u"Text3"_s} << u"data"_s;
    QTest::newRow("only fixed-order data, clear it")
        << keys << QString() << u"Command9"_s << QStringList{u"Command8"_s, u"Command10"_s} << QStringList{u"Text1"_s}
        << u"result"_s;
    QTest::newRow("both filled, clear fixed-order data")
        << keys << rows << u"Command9"_s
        << QStringList{u"Command1"_s, u"Command2"_s, u"Command8"_s, u"Command10"_s, u"Command11"_s}
        << QStringList{u"Text1"_s} << u"result"_s;
    QTest::newRow("a blank as data, clear fixed-order data")
        << keys << u" "_s << u"Command9"_s
        << QStringList{u"Command1"_s, u"Command2"_s, u"Command8"_s, u"Command10"_s, u"Command11"_s}
        << QStringList{u"Text1"_s} << u"result"_s;
    QTest::newRow("both filled, clear data")
        << keys << rows << u"Command10"_s
        << QStringList{u"Command1"_s, u"Command2"_s, u"Command8"_s, u"Command9"_s, u"Command11"_s}
        << QStringList{u"Text2"_s, u"Text3"_s} << u"data"_s;
    QTest::newRow("a line break as fixed-order data, clear data")
        << u"\n"_s << rows << u"Command10"_s
        << QStringList{u"Command1"_s, u"Command2"_s, u"Command8"_s, u"Command9"_s, u"Command11"_s}
        << QStringList{u"Text2"_s, u"Text3"_s} << u"data"_s;
    QTest::newRow("only data, clear it") << QString() << rows << u"Command10"_s
                                         << QStringList{u"Command8"_s, u"Command9"_s}
                                         << QStringList{u"Text2"_s, u"Text3"_s} << u"data"_s;
}

// From the result view of a good run, with every button enabled and the boxes then set by
// the user: what each clear button empties and which buttons it leaves enabled.
void EntryCommandsTest::clearingCommands()
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, command);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, emptied);
    QFETCH(QString, viewAfter);
    goodRun();
    m_driver->box(u"Text1"_s)->setPlainText(text1);
    m_driver->box(u"Text2"_s)->setPlainText(text2);
    QCOMPARE(enabledButtons(), allSix);
    QCOMPARE(view(), u"result"_s);

    m_driver->press(command);

    QCOMPARE(enabledButtons(), enabled);
    QCOMPARE(view(), viewAfter);
    const std::pair<QString, QString> before[] = {{u"Text1"_s, text1}, {u"Text2"_s, text2}, {u"Text3"_s, runResult}};
    for (const auto &[box, text] : before)
        QCOMPARE(m_driver->text(box), emptied.contains(box) ? QString() : text);
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), viewAfter == u"data"_s ? resultCaption : dataCaption);
    QVERIFY(m_driver->messages.empty());
}

void EntryCommandsTest::captionAfterUndo_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("startView");
    QTest::addColumn<QString>("focus"); // where Ctrl+Z is pressed
    for (const QString &start : {u"result"_s, u"data"_s}) {
        for (const QString &command : {u"Command7"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s}) {
            QTest::addRow("%s from the %s view, on 关于", qPrintable(command), qPrintable(start))
                << command << start << u"Command3"_s;
            // A box the command changed, in sight after it.
            const QString box = command == u"Command10"_s ? u"Text2"_s : u"Text1"_s;
            QTest::addRow("%s from the %s view, in %s", qPrintable(command), qPrintable(start), qPrintable(box))
                << command << start << box;
        }
    }
}

// A command taken back leaves the view where the command put it, and the toggle's caption
// names the other view, whatever the caption said before the command.
void EntryCommandsTest::captionAfterUndo()
{
    QFETCH(QString, command);
    QFETCH(QString, startView);
    QFETCH(QString, focus);
    goodRun();
    if (startView == u"data"_s)
        m_driver->press(u"Command2"_s);
    m_driver->press(command);
    const QString viewAfter = view();

    QWidget *focused = m_driver->get<QWidget>(focus);
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_driver->text(u"Text2"_s), runRows);
    QCOMPARE(m_driver->text(u"Text1"_s), runKeys);

    QPushButton *toggle = m_driver->button(u"Command2"_s);
    QVERIFY(toggle->isEnabled());
    QCOMPARE(view(), viewAfter);
    QCOMPARE(toggle->text(), viewAfter == u"data"_s ? resultCaption : dataCaption);
    m_driver->press(u"Command2"_s);
    QCOMPARE(view(), viewAfter == u"data"_s ? u"result"_s : u"data"_s);
    QCOMPARE(toggle->text(), viewAfter == u"data"_s ? dataCaption : resultCaption);
}

// Clearing a box that is already empty is no change: no change rule enables "清空所有数据"
// again.
void EntryCommandsTest::clearingAnEmptyBoxIsNoChange()
{
    goodRun();
    m_driver->press(u"Command8"_s);
    QCOMPARE(enabledButtons(), (QStringList{u"Command9"_s, u"Command10"_s}));

    m_driver->press(u"Command9"_s);
    QCOMPARE(enabledButtons(), QStringList{u"Command10"_s});
    m_driver->press(u"Command10"_s);
    QCOMPARE(enabledButtons(), QStringList());
    for (const QString &box : {u"Text1"_s, u"Text2"_s, u"Text3"_s})
        QCOMPARE(m_driver->text(box), QString());
    QCOMPARE(view(), u"data"_s);
}

void EntryCommandsTest::undoBringsBackWhatACommandTook_data()
{
    QTest::addColumn<QStringList>("commands");
    // Per input box: what it holds after each press of Ctrl+Z in it, in turn.
    QTest::addColumn<QStringList>("keysUndone");
    QTest::addColumn<QStringList>("rowsUndone");

    QTest::newRow("清空所有数据") << QStringList{u"Command8"_s} << QStringList{u"k1\nk2"_s} << QStringList{u"k1\t5"_s};
    QTest::newRow("清除固定顺序数据") << QStringList{u"Command9"_s} << QStringList{u"k1\nk2"_s} << QStringList{};
    QTest::newRow("清除待筛选数据") << QStringList{u"Command10"_s} << QStringList{} << QStringList{u"k1\t5"_s};
    QTest::newRow("演示数据") << QStringList{u"Command7"_s} << QStringList{u"k1\nk2"_s} << QStringList{u"k1\t5"_s};
    QTest::newRow("清除, then 演示数据") << QStringList{u"Command9"_s, u"Command7"_s}
                                         << QStringList{QString(), u"k1\nk2"_s} << QStringList{u"k1\t5"_s};
}

// Each command that clears or replaces an input box acts at once, and Ctrl+Z in the box takes
// it back, step by step; the change rule follows the text that comes back.
void EntryCommandsTest::undoBringsBackWhatACommandTook()
{
    QFETCH(QStringList, commands);
    QFETCH(QStringList, keysUndone);
    QFETCH(QStringList, rowsUndone);
    m_driver->box(u"Text1"_s)->setPlainText(u"k1\nk2"_s);
    m_driver->box(u"Text2"_s)->setPlainText(u"k1\t5"_s);
    for (const QString &command : commands)
        m_driver->press(command);
    m_driver->messages.clear();

    for (const auto &[name, undone] : {std::pair{u"Text1"_s, keysUndone}, std::pair{u"Text2"_s, rowsUndone}}) {
        QPlainTextEdit *box = m_driver->box(name);
        const QString after = box->toPlainText();
        box->setFocus();
        for (const QString &expected : undone) {
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(m_driver->text(name), expected);
        }
        // No further step: the box held its text from the start of the test.
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_driver->text(name), undone.isEmpty() ? after : undone.back());
    }
    QVERIFY(m_driver->button(u"Command1"_s)->isEnabled());
    QVERIFY(m_driver->messages.empty());
}

void EntryCommandsTest::demoDataFillsBothBoxes()
{
    const QString demoKeys = m_driver->text(u"Text4"_s);
    const QString demoRows = m_driver->text(u"Text5"_s);
    QVERIFY(!demoKeys.isEmpty() && !demoRows.isEmpty());

    for (int press = 1; press <= 2; ++press) {
        m_driver->box(u"Text1"_s)->setFocus();
        m_driver->press(u"Command7"_s);
        QCOMPARE(m_driver->text(u"Text1"_s), demoKeys);
        QCOMPARE(m_driver->text(u"Text2"_s), demoRows);
        QCOMPARE(m_driver->messages.size(), std::size_t(press));
        QCOMPARE(m_driver->messages.back().text, messageText::demoFilled);
        QCOMPARE(m_driver->messages.back().icon, QMessageBox::Information);
        QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
        QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s}));
        QCOMPARE(view(), u"data"_s);
        QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"数据/结果"_s);
    }
    QCOMPARE(m_driver->text(u"Text3"_s), QString());

    // Once a box has been cleared, the demo data fills it again and enables its clear button.
    m_driver->press(u"Command9"_s);
    QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, u"Command10"_s}));
    m_driver->press(u"Command7"_s);
    QCOMPARE(m_driver->text(u"Text1"_s), demoKeys);
    QCOMPARE(enabledButtons(), (QStringList{u"Command1"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s}));
}

// Demo data replaces the inputs only: the earlier result stays in the result box and the
// lists until the next run, and the toggle shows it.
void EntryCommandsTest::demoKeepsTheEarlierResult()
{
    goodRun();
    const QStringList list1 = m_driver->itemsOf(u"List1"_s);
    const QStringList list2 = m_driver->itemsOf(u"List2"_s);
    QCOMPARE(list2, (QStringList{u"1.a1\t1"_s, u"2.b2\t2"_s}));

    m_driver->press(u"Command7"_s);
    QCOMPARE(view(), u"data"_s);
    QCOMPARE(m_driver->text(u"Text1"_s), m_driver->text(u"Text4"_s));
    QCOMPARE(m_driver->text(u"Text3"_s), runResult);
    QCOMPARE(m_driver->itemsOf(u"List1"_s), list1);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), list2);
    QCOMPARE(enabledButtons(), allSix);
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), resultCaption);

    m_driver->press(u"Command2"_s);
    QCOMPARE(view(), u"result"_s);
    QVERIFY(m_driver->box(u"Text3"_s)->isVisible());
    QCOMPARE(m_driver->text(u"Text3"_s), runResult);
}

// The demo data run: each name gets its row, the lines 8, 13 and 15 have none, and the line
// end after the last name gives an empty last entry. No name needs a choice.
void EntryCommandsTest::demoRun()
{
    m_driver->press(u"Command7"_s);
    m_driver->press(u"Command1"_s);

    const QStringList keys = m_driver->text(u"Text4"_s).split(u'\n');
    const QStringList rows = m_driver->text(u"Text5"_s).split(u'\n');
    QCOMPARE(keys.size(), 17);
    QStringList result;
    QStringList list1;
    QStringList list2;
    QList<int> missing;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QString row;
        for (const QString &candidate : rows)
            if (!keys[i].isEmpty() && candidate.section(u'\t', 0, 0) == keys[i])
                row = candidate;
        if (row.isEmpty())
            missing.append(int(i + 1));
        result.append(row);
        list1.append(u"%1.%2"_s.arg(i + 1).arg(keys[i]));
        list2.append(u"%1.%2"_s.arg(i + 1).arg(row));
    }
    QCOMPARE(missing, (QList<int>{8, 13, 15, 17}));

    QVERIFY(m_driver->frame(u"Frame4"_s)->isHidden());
    QCOMPARE(m_driver->messages.size(), std::size_t(2));
    QCOMPARE(m_driver->messages.back().text,
             messageText::resultCopied
                 + u"\r\n有 3 个关键字没有找到数据，结果中是空行：%1、%2、%3。"_s.arg(keys[7], keys[12], keys[14]));
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::NoIcon);
    QCOMPARE(m_driver->text(u"Text3"_s), result.join(u'\n'));
    QCOMPARE(windowtest::clipboardText(), result.join(u'\n'));
    QCOMPARE(m_driver->itemsOf(u"List1"_s), list1);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), list2);
    QCOMPARE(m_driver->itemsOf(u"List2"_s)[7], u"8."_s);
    QCOMPARE(view(), u"result"_s);
    QCOMPARE(enabledButtons(), allSix);
}

QTEST_MAIN(EntryCommandsTest)
#include "entry_commands_test.moc"
