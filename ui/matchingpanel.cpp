#include "matchingpanel.h"

#include "busycursor.h"
#include "controls.h"
#include "filterrun.h"
#include "itemlistmodel.h"
#include "messages.h"
#include "twips.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

namespace lanshan {

using namespace Qt::StringLiterals;

MatchingPanel::MatchingPanel(QWidget *parent)
    : HighlightFrame(u"重复数据手动匹配"_s, parent)
{
    opaque(place(this, u"Frame4"_s, twipsRect(11760, 1800, 10695, 6615)));
    m_list3Items = new ItemListModel(this);
    m_list4Items = new ItemListModel(this);
    m_list5Items = new ItemListModel(this);

    // In the order of the design; later siblings lie above earlier ones.
    Frame5 = frame(this, u"Frame5"_s, u"提示"_s, twipsRect(240, 5760, 5175, 735));
    Label1 = label(
        Frame5, u"Label1"_s, twipsRect(120, 240, 4815, 375),
        u"    左侧列表中前面有[*]的为疑问数据，在待筛选数据中有多个对应，请从右面选择正确数据。序号为原始表中行号。"_s);
    Label1->setWordWrap(true);
    fitHeight(Label1, Frame5->height() - 2);
    List5 = listBox(this, u"List5"_s, twipsRect(1200, 3360, 1935, 2220), m_list5Items);
    Command12 = button(this, u"Command12"_s, u"返回修改"_s, twipsRect(9000, 5880, 1335, 615));
    Command5 = button(this, u"Command5"_s, u"忽略留空"_s, twipsRect(7380, 5880, 1335, 615));
    Command6 = button(this, u"Command6"_s, u"确定"_s, twipsRect(5760, 5880, 1335, 615));
    List4 = listBox(this, u"List4"_s, twipsRect(2280, 360, 8295, 5280), m_list4Items);
    List3 = listBox(this, u"List3"_s, twipsRect(240, 360, 1935, 5280), m_list3Items);
    List5->hide();
    hide();
    // Lists are announced by what they show; the candidate list also by the hint beside it.
    List3->setAccessibleName(u"固定顺序数据"_s);
    List4->setAccessibleName(u"待筛选数据中的对应数据"_s);
    List4->setAccessibleDescription(Label1->text().trimmed());
    List5->setAccessibleName(u"对应数据的行号"_s);
    m_list3Items->setSpokenForm([](const QString &shown) {
        return shown.startsWith(u"[*]"_s) ? u"待选择 "_s + shown.mid(3) : shown.trimmed();
    });

    connect(Command5, &QPushButton::clicked, this, &MatchingPanel::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &MatchingPanel::Command6_Click);
    connect(Command12, &QPushButton::clicked, this, &MatchingPanel::Command12_Click);
    // Enter on the candidate list confirms the selected row, as "确定" does.
    List4->installEventFilter(this);
}

MatchingPanel::~MatchingPanel() = default;

QList<QWidget *> MatchingPanel::tabChain() const
{
    return {List3, List4, Command6, Command5, Command12, List5};
}

void MatchingPanel::open(const std::shared_ptr<FilterRun> &run)
{
    // The key list stays the same through a run; only its mark moves, and the items are
    // read afresh when the panel is shown. Resetting it would lay out every key line again.
    if (m_run != run || !m_list3ShowsRun) {
        m_run = run;
        m_list3Items->reset([run] { return run->fixlines().size(); },
                            [run](std::size_t i) { return run->markedKeyItem(i); });
        m_list3ShowsRun = true;
    }
    m_list4Items->reset([run] { return run->candidateRows().size(); },
                        [run](std::size_t i) { return run->candidateItem(i); });
    m_list5Items->reset([run] { return run->candidateRows().size(); },
                        [run](std::size_t i) { return run->candidatePosition(i); });

    move(toPixels(120), toPixels(120));
    show();
    raise();
    const QModelIndex awaited = m_list3Items->index(static_cast<int>(run->pickpos()));
    List3->setCurrentIndex(awaited);
    List3->verticalScrollBar()->setValue(awaited.row());
    // The first arrow key chooses the first row, as nothing is selected yet.
    List4->setFocus();
    List4->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void MatchingPanel::dropRun()
{
    hide();
    clearLists(true);
    m_run.reset();
}

void MatchingPanel::clearLists(bool keyListToo)
{
    if (keyListToo) {
        m_list3Items->reset();
        m_list3ShowsRun = false;
    }
    m_list4Items->reset();
    m_list5Items->reset();
}

bool MatchingPanel::awaitsChoice() const
{
    return m_run && m_run->state() == FilterRun::State::AwaitingChoice;
}

void MatchingPanel::Command6_Click()
{
    if (!awaitsChoice())
        return;
    const std::optional<int> chosen = selectedRow(List4);
    if (!chosen) {
        showMessage(window(), u"您必须选择正确的数据！"_s, QMessageBox::NoIcon);
        return;
    }
    const std::size_t row = m_run->candidateRows()[static_cast<std::size_t>(*chosen)];
    hide();
    clearLists(false);
    BusyCursor busy;
    m_run->choose(row);
    Q_EMIT lineSettled();
}

void MatchingPanel::Command5_Click()
{
    if (!awaitsChoice())
        return;
    hide();
    clearLists(false);
    BusyCursor busy;
    m_run->ignore();
    Q_EMIT lineSettled();
}

void MatchingPanel::Command12_Click()
{
    // Back to editing: the run stays where it stopped until a new run replaces it.
    hide();
    Q_EMIT closed();
}

bool MatchingPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List4 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command6->click();
            return true;
        }
    }
    return HighlightFrame::eventFilter(watched, event);
}

} // namespace lanshan
