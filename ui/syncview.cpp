#include "syncview.h"

#include "controls.h"
#include "filterrun.h"
#include "itemlistmodel.h"
#include "listsync.h"
#include "twips.h"

#include <QClipboard>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QShortcut>

namespace lanshan {

using namespace Qt::StringLiterals;

SyncView::SyncView(QWidget *window)
    : HighlightFrame(u"同步查看筛选结果"_s, window)
{
    opaque(place(this, u"tongbuxianshi"_s, twipsRect(9240, 2880, 10695, 6735)));
    m_list1Items = new ItemListModel(this);
    m_list2Items = new ItemListModel(this);

    // In the order of the design; later siblings lie above earlier ones.
    Frame6 = frame(this, u"Frame6"_s, u"说明"_s, twipsRect(240, 6000, 8775, 615));
    Label2 = label(Frame6, u"Label2"_s, twipsRect(480, 240, 8175, 255),
                   u"固定顺序数据和筛选后的数据同步滚动显示！序号为列表中的序号，右侧空白为没有找到对应的数据。"_s);
    Label2->setWordWrap(true);
    fitHeight(Label2, Frame6->height() - 2);
    Command4 = button(this, u"Command4"_s, u"返回"_s, twipsRect(9120, 6120, 1455, 495));
    result = frame(this, u"result"_s, u"筛选后结果(双击可复制)"_s, twipsRect(2880, 480, 7695, 5415));
    List2 = listBox(result, u"List2"_s, twipsRect(120, 240, 7455, 5100), m_list2Items);
    fixdata = frame(this, u"fixdata"_s, u"固定顺序数据(双击可复制)"_s, twipsRect(240, 480, 2535, 5415));
    List1 = listBox(fixdata, u"List1"_s, twipsRect(120, 240, 2295, 5100), m_list1Items);
    hide();
    // Lists are announced by what they show.
    List1->setAccessibleName(u"固定顺序数据"_s);
    List2->setAccessibleName(u"筛选后结果"_s);
    // A number alone stands for a key without a row.
    m_list2Items->setSpokenForm(
        [](const QString &shown) { return shown.indexOf(u'.') == shown.size() - 1 ? shown + u" 未找到"_s : shown; });

    connect(Command4, &QPushButton::clicked, this, &SyncView::Command4_Click);
    // Every double-click on the lists counts, also on blank space or an empty list, where
    // the views themselves report none.
    List1->viewport()->installEventFilter(this);
    List2->viewport()->installEventFilter(this);
    // Ctrl+C and Enter copy the selected line as a double-click does.
    List1->installEventFilter(this);
    List2->installEventFilter(this);
    new ListSync(List1, List2, this);

    // "返回" is the view's cancel button: Escape presses it while the focus is in the view (a
    // panel opened over it has its own).
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (!isHidden())
            Command4->click();
    });
}

SyncView::~SyncView() = default;

QList<QWidget *> SyncView::tabChain() const
{
    return {List1, List2, Command4};
}

void SyncView::showRun(const std::shared_ptr<const FilterRun> &run)
{
    m_run = run;
    // A copy takes the key line or the result line itself, without its number.
    m_list1Items->setCopyForm([run](std::size_t i) { return std::u16string(run->fixlines()[i]); });
    m_list2Items->setCopyForm([run](std::size_t i) { return std::u16string(run->result(i)); });
    m_list1Items->reset([run] { return run->settledCount(); }, [run](std::size_t i) { return run->keyItem(i); });
    m_list2Items->reset([run] { return run->settledCount(); }, [run](std::size_t i) { return run->resultItem(i); });
}

void SyncView::linesSettled()
{
    m_list1Items->itemsAppended();
    m_list2Items->itemsAppended();
}

void SyncView::open()
{
    show();
    move(toPixels(120), toPixels(120));
    raise();
    Command4->setFocus();
}

void SyncView::Command4_Click()
{
    hide();
    Q_EMIT closed();
}

bool SyncView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == List1->viewport())
            List1_DblClick();
        else if (watched == List2->viewport())
            List2_DblClick();
    } else if (event->type() == QEvent::KeyPress && (watched == List1 || watched == List2)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key == QKeySequence::Copy || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == List1)
                List1_DblClick();
            else
                List2_DblClick();
            return true;
        }
    }
    return HighlightFrame::eventFilter(watched, event);
}

// The clipboard is cleared first: with no line selected it is left empty.
void SyncView::List1_DblClick()
{
    QGuiApplication::clipboard()->clear();
    List1->copySelectedItem();
}

void SyncView::List2_DblClick()
{
    QGuiApplication::clipboard()->clear();
    List2->copySelectedItem();
}

} // namespace lanshan
