#include "syncview.h"

#include "controls.h"
#include "displaytext.h"
#include "enterkeyfilter.h"
#include "filterrun.h"
#include "itemlistmodel.h"
#include "listsync.h"
#include "twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace lanshan {

using namespace Qt::StringLiterals;

SyncView::SyncView(QWidget *window)
    : OverlayPanel(u"同步查看筛选结果"_s, u"tongbuxianshi"_s, twipsRect(9240, 2880, 10695, 6735), window)
{
    m_keyItems = new ItemListModel(this);
    m_keyItems->setEntryNumbersApart(true);
    m_resultItems = new ItemListModel(this);
    m_resultItems->setEntryNumbersApart(true);

    // In the order of the design; later siblings lie above earlier ones.
    m_noteFrame = frame(this, u"Frame6"_s, u"说明"_s, twipsRect(240, 6000, 8775, 615));
    m_note = label(m_noteFrame, u"Label2"_s, twipsRect(480, 240, 8175, 255),
                   u"固定顺序数据和筛选后的数据同步滚动显示！序号为列表中的序号，右侧空白为没有找到对应的数据。"_s);
    m_note->setWordWrap(true);
    fitHeight(m_note, m_noteFrame->height() - 2);
    m_backButton = button(this, u"Command4"_s, u"返回"_s, twipsRect(9120, 6120, 1455, 495));
    m_resultFrame = frame(this, u"result"_s, u"筛选后结果(双击可复制)"_s, twipsRect(2880, 480, 7695, 5415));
    m_resultList = listBox(m_resultFrame, u"List2"_s, twipsRect(120, 240, 7455, 5100), m_resultItems);
    m_keysFrame = frame(this, u"fixdata"_s, u"固定顺序数据(双击可复制)"_s, twipsRect(240, 480, 2535, 5415));
    m_keyList = listBox(m_keysFrame, u"List1"_s, twipsRect(120, 240, 2295, 5100), m_keyItems);
    // Lists are announced by what they show.
    m_keyList->setAccessibleName(u"固定顺序数据"_s);
    m_resultList->setAccessibleName(u"筛选后结果"_s);
    // The mark between a key line's cells is read as a pause.
    m_keyItems->setSpokenForm([](const QString &shown) {
        QString spoken = shown;
        return spoken.replace(QChar(cellMark), u' ');
    });
    // A number alone stands for a key without a row.
    m_resultItems->setSpokenForm(
        [](const QString &shown) { return shown.indexOf(u'.') == shown.size() - 1 ? shown + u" 未找到"_s : shown; });

    // "返回" is the view's cancel button, which Escape presses.
    setCloseButton(m_backButton, Escape::Closes);
    // A double-click anywhere on a list, Enter or Ctrl+C copies its selected line; with none
    // selected the clipboard is left empty.
    for (ListBox *list : {m_keyList, m_resultList}) {
        list->setEmptyCopy(ListBox::EmptyCopy::ClearsClipboard);
        connect(list, &ListBox::doubleClickedAnywhere, list, &ListBox::copySelectedItem);
        connect(EnterKeyFilter::install(list), &EnterKeyFilter::pressed, list, &ListBox::copySelectedItem);
    }
    new ListSync(m_keyList, m_resultList, this);

    // A copy answers in the caption's line, where it covers nothing, for a few seconds.
    m_copyNote = opaque(label(this, u"copyConfirmation"_s, twipsRect(2520, 30, 5400, 285)));
    m_copyNote->hide();
    m_copyNoteTimer = new QTimer(this);
    m_copyNoteTimer->setSingleShot(true);
    m_copyNoteTimer->setInterval(copyNoteMilliseconds);
    connect(m_copyNoteTimer, &QTimer::timeout, m_copyNote, &QLabel::hide);
    // Larger than designed, the lists grow and the note and "返回" keep to the bottom.
    follow(m_noteFrame, {.top = 1, .width = 1});
    follow(m_note, {.width = 1});
    follow(m_backButton, {.left = 1, .top = 1});
    follow(m_keysFrame, {.width = keySideShare, .height = 1});
    follow(m_keyList, {.width = keySideShare, .height = 1});
    follow(m_resultFrame, {.left = keySideShare, .width = 1 - keySideShare, .height = 1});
    follow(m_resultList, {.width = 1 - keySideShare, .height = 1});
    for (ListBox *list : {m_keyList, m_resultList}) {
        connect(list, &ListBox::itemCopied, this, [this](int row) {
            m_copyNote->setText(u"已复制第 %1 行"_s.arg(row + 1));
            m_copyNote->show();
            m_copyNoteTimer->start();
        });
    }
}

SyncView::~SyncView() = default;

QList<QWidget *> SyncView::tabChain() const
{
    return {m_keyList, m_resultList, m_backButton};
}

void SyncView::showRun(const std::shared_ptr<const FilterRun> &run)
{
    m_run = run;
    // A copy takes the key line or the result line itself, without its number.
    m_keyItems->setCopyForm([run](std::size_t i) { return std::u16string(run->fixlines()[i]); });
    m_resultItems->setCopyForm([run](std::size_t i) { return std::u16string(run->result(i)); });
    // A key line of several cells shows them side by side, ⇥ between them, as the report does:
    // the narrow list would show its first cell alone.
    m_keyItems->reset([run] { return run->settledCount(); },
                      [run](std::size_t i) {
                          std::u16string item = run->keyItem(i);
                          markCells(item);
                          return item;
                      });
    m_resultItems->reset([run] { return run->settledCount(); }, [run](std::size_t i) { return run->resultItem(i); });
}

void SyncView::linesSettled()
{
    m_keyItems->itemsAppended();
    m_resultItems->itemsAppended();
}

void SyncView::open()
{
    m_copyNote->hide();
    showOver(m_backButton);
}

} // namespace lanshan
