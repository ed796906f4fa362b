#include "windowdriver.h"

#include "version.h"

#include <QStyleHints>

namespace windowtest {

QString versionText()
{
    return u"%1.%2.%3"_s.arg(lanshan::versionMajor).arg(lanshan::versionMinor).arg(lanshan::versionPatch);
}

QString rawText(const QPlainTextEdit *box)
{
    return box->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

QStringList items(const QListView *list)
{
    QStringList texts;
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

int selectedRow(const lanshan::ListBox *list)
{
    return list->selectedRow().value_or(-1);
}

void clickItem(QListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void readTheQuestion()
{
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
}

int topRow(const QListView *list)
{
    return list->indexAt(QPoint(2, 2)).row();
}

void doubleClickAt(QListView *list, QPoint pos)
{
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, pos);
}

void doubleClickItem(QListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    doubleClickAt(list, list->visualRect(index).center());
}

QString clipboardText()
{
    const QString text = QGuiApplication::clipboard()->text();
#ifdef Q_OS_WIN
    return QString(text).replace(u"\r\n"_s, u"\n"_s);
#else
    return text;
#endif
}

void setClipboardText(const QString &text)
{
#ifdef Q_OS_WIN
    QGuiApplication::clipboard()->setText(QString(text).replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s));
#else
    QGuiApplication::clipboard()->setText(text);
#endif
}

WindowDriver::WindowDriver()
{
    lanshan::setMessageObserver([this](const QString &text, QMessageBox::Icon icon, const QString &action) {
        messages.push_back({text, icon, action});
        return !action.isEmpty() && takeOfferedAction;
    });
    window.show();
}

WindowDriver::~WindowDriver()
{
    lanshan::setMessageObserver({});
}

void WindowDriver::filter(const QString &keys, const QString &rows)
{
    box(u"Text1"_s)->setPlainText(keys);
    box(u"Text2"_s)->setPlainText(rows);
    press(u"Command1"_s);
}

void WindowDriver::press(const QString &name)
{
    button(name)->click();
}

QString WindowDriver::text(const QString &name) const
{
    return rawText(box(name));
}

QStringList WindowDriver::itemsOf(const QString &name) const
{
    return items(list(name));
}

} // namespace windowtest
