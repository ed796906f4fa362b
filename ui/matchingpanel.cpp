#include "matchingpanel.h"

#include "busycursor.h"
#include "controls.h"
#include "enterkeyfilter.h"
#include "filterrun.h"
#include "itemlistmodel.h"
#include "keycolumnspare.h"
#include "messages.h"
#include "messagetexts.h"
#include "strayclickguard.h"
#include "twips.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>

namespace lanshan {

using namespace Qt::StringLiterals;

MatchingPanel::MatchingPanel(QWidget *parent)
    : OverlayPanel(u"重复数据手动匹配"_s, u"Frame4"_s, twipsRect(11760, 1800, 10695, 6615), parent)
{
    m_keyItems = new ItemListModel(this);
    m_keyItems->setEntryNumbersApart(true);
    m_candidateItems = new ItemListModel(this);
    m_positionItems = new ItemListModel(this);

    // In the order of the design; later siblings lie above earlier ones.
    m_hintFrame = frame(this, u"Frame5"_s, u"提示"_s, twipsRect(240, 5760, 5175, 735));
    m_hint = label(
        m_hintFrame, u"Label1"_s, twipsRect(120, 240, 4815, 375),
        u"    左侧列表中前面有[*]的为疑问数据，在待筛选数据中有多个对应，请从右面选择正确数据。序号为原始表中行号。"_s);
    m_hint->setWordWrap(true);
    fitHeight(m_hint, m_hintFrame->height() - 2);
    m_positionList = listBox(this, u"List5"_s, twipsRect(1200, 3360, 1935, 2220), m_positionItems);
    m_backButton = button(this, u"Command12"_s, u"返回修改"_s, twipsRect(9000, 5880, 1335, 615));
    m_leaveEmptyButton = button(this, u"Command5"_s, u"忽略留空"_s, twipsRect(7380, 5880, 1335, 615));
    m_confirmButton = button(this, u"Command6"_s, u"确定"_s, twipsRect(5760, 5880, 1335, 615));
    m_candidateList = listBox(this, u"List4"_s, twipsRect(2280, 360, 8295, 5280), m_candidateItems);
    m_keyList = listBox(this, u"List3"_s, twipsRect(240, 360, 1935, 5280), m_keyItems);
    m_positionList->hide();
    // In the caption's line, right of the caption: nothing of the design moves.
    m_position = opaque(label(this, u"questionPosition"_s, twipsRect(1800, 30, 6945, 285)));
    m_keyColumnButton = opaque(
        button(this, u"matchKeyColumnButton"_s, messageText::keyColumnRunCaption, twipsRect(6450, 0, 2295, 345)));
    m_leaveRestButton = opaque(
        button(this, u"leaveRestEmptyButton"_s, messageText::leaveRestEmptyCaption, twipsRect(8865, 0, 1710, 345)));
    // Lists are announced by what they show; the candidate list also by the hint beside it.
    m_keyList->setAccessibleName(u"固定顺序数据"_s);
    m_candidateList->setAccessibleName(u"待筛选数据中的对应数据"_s);
    m_candidateList->setAccessibleDescription(m_hint->text().trimmed());
    m_positionList->setAccessibleName(u"对应数据的行号"_s);
    m_keyItems->setSpokenForm([](const QString &shown) {
        return shown.startsWith(u"[*]"_s) ? u"待选择 "_s + shown.mid(3) : shown.trimmed();
    });

    // Larger than designed, the lists grow; the hint and the buttons keep to the bottom.
    follow(m_hintFrame, {.top = 1});
    follow(m_positionList, {.top = 1});
    for (QPushButton *b : {m_confirmButton, m_leaveEmptyButton, m_backButton})
        follow(b, {.left = 1, .top = 1});
    follow(m_keyList, {.width = keySideShare, .height = 1});
    follow(m_candidateList, {.left = keySideShare, .width = 1 - keySideShare, .height = 1});
    follow(m_position, {.width = 1});
    follow(m_keyColumnButton, {.left = 1});
    follow(m_leaveRestButton, {.left = 1});

    connect(m_leaveEmptyButton, &QPushButton::clicked, this, &MatchingPanel::leaveEmpty);
    connect(m_confirmButton, &QPushButton::clicked, this, &MatchingPanel::confirmChoice);
    connect(m_keyColumnButton, &QPushButton::clicked, this, &MatchingPanel::runInKeyColumn);
    connect(m_leaveRestButton, &QPushButton::clicked, this, &MatchingPanel::leaveRestEmpty);
    // Alt+K where looking in the key column would settle nothing: said, rather than nothing.
    m_keyColumnKey =
        new QShortcut(QKeySequence(Qt::ALT | Qt::Key_K), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(m_keyColumnKey, &QShortcut::activated, this, [this] {
        if (awaitsChoice())
            sayKeyColumnChangedNothing();
    });
    // Enter on the candidate list confirms the selected row, as "确定" does; so does a
    // double-click on a row.
    connect(EnterKeyFilter::install(m_candidateList), &EnterKeyFilter::pressed, m_confirmButton, &QPushButton::click);
    connect(m_candidateList, &QAbstractItemView::doubleClicked, m_confirmButton, &QPushButton::click);
    // The panel opens where "数据筛选" was clicked, or right after the key that ran the filter: the
    // second click of a double-click there, or a second Enter, must not answer the question it
    // has not shown yet. Installed last, the guard sees the keys before the list's Enter does.
    // A stray click on the key list would take the focus from the candidates, and Enter with it.
    m_strayClicks = new StrayClickGuard({m_confirmButton, m_leaveEmptyButton, m_backButton, m_keyColumnButton,
                                         m_leaveRestButton, m_candidateList, m_keyList},
                                        this);
    // Back to editing: the run stays where it stopped until a new run replaces it.
    setCloseButton(m_backButton, Escape::Closes);
}

MatchingPanel::~MatchingPanel() = default;

QList<QWidget *> MatchingPanel::tabChain() const
{
    return {m_keyList,    m_candidateList,   m_confirmButton,   m_leaveEmptyButton,
            m_backButton, m_leaveRestButton, m_keyColumnButton, m_positionList};
}

void MatchingPanel::open(const std::shared_ptr<FilterRun> &run)
{
    // The key list stays the same through a run; only its mark moves, and the items are
    // read afresh when the panel is shown. Resetting it would lay out every key line again.
    if (m_run != run || !m_keyListShowsRun) {
        m_run = run;
        m_keyItems->reset([run] { return run->fixlines().size(); },
                          [run](std::size_t i) { return run->markedKeyItem(i); });
        m_keyListShowsRun = true;
    }
    m_candidateItems->reset([run] { return run->candidateRows().size(); },
                            [run](std::size_t i) { return run->candidateItem(i); });
    m_positionItems->reset([run] { return run->candidateRows().size(); },
                           [run](std::size_t i) { return run->candidatePosition(i); });

    // Looking in the key column is offered only where it would settle some of the questions.
    const std::optional<std::size_t> column = run->likelyKeyColumn();
    // A list of several columns: each of its columns in the data's column that holds it.
    QStringList listColumns;
    if (!column && run->listColumns().empty()) {
        for (const std::uint32_t c : run->likelyListColumns())
            listColumns.append(c == UINT32_MAX ? u"?"_s : QString::number(c + 1));
        if (listColumns.count(u"?"_s) == listColumns.size()
            || !listColumnsSettleAQuestion(*run, run->likelyListColumns()))
            listColumns.clear();
    }
    const bool keyColumnSpares = column && keyColumnSettlesAQuestion(*run, *column);
    m_positionText = messageText::questionPosition(run->questionNumber(), run->questionCount());
    m_positionShort = m_positionText;
    if (keyColumnSpares) {
        m_positionText += u"。"_s + messageText::keyColumnSpares(*column);
        m_positionShort += u"。"_s + messageText::columnsSpareShort(QString::number(*column));
    } else if (!listColumns.isEmpty()) {
        m_positionText += u"。"_s + messageText::listColumnsSpare(listColumns.join(u'、'));
        m_positionShort += u"。"_s + messageText::columnsSpareShort(listColumns.join(u'、'));
    }
    m_keyColumnButton->setVisible(keyColumnSpares || !listColumns.isEmpty());
    // One of the two answers Alt+K: the button's mnemonic, or the word that it would change nothing.
    m_keyColumnKey->setEnabled(m_keyColumnButton->isHidden());

    showOver(m_candidateList);
    placeCaptionLine();
    m_strayClicks->arm();
    const QModelIndex awaited = m_keyItems->index(static_cast<int>(run->pickpos()));
    m_keyList->setCurrentIndex(awaited);
    m_keyList->verticalScrollBar()->setValue(awaited.row());
    // No row is chosen for the user: the first is current, framed and spoken, but unselected.
    // Space selects it, Down the next; Enter with none selected asks for one.
    m_candidateList->selectionModel()->setCurrentIndex(m_candidateItems->index(0), QItemSelectionModel::NoUpdate);
}

void MatchingPanel::sayKeyColumnChangedNothing()
{
    if (!m_positionText.endsWith(messageText::keyColumnSparesNothing)) {
        m_positionText += u"。"_s + messageText::keyColumnSparesNothing;
        m_positionShort += u"。"_s + messageText::keyColumnSparesNothing;
    }
    placeCaptionLine();
}

void MatchingPanel::resizeEvent(QResizeEvent *event)
{
    OverlayPanel::resizeEvent(event);
    placeCaptionLine();
}

void MatchingPanel::placeCaptionLine()
{
    if (!m_position)
        return;
    const QWidget *right = m_keyColumnButton->isHidden() ? m_leaveRestButton : m_keyColumnButton;
    const int width = std::max(0, right->x() - m_position->x() - m_position->height() / 2);
    m_position->resize(width, m_position->height());
    const QFontMetrics metrics = m_position->fontMetrics();
    const QString shown = metrics.horizontalAdvance(m_positionText) <= width
                              ? m_positionText
                              : metrics.elidedText(m_positionShort, Qt::ElideRight, width);
    m_position->setText(shown);
    m_position->setToolTip(shown == m_positionText ? QString() : m_positionText);
    m_position->setAccessibleName(m_positionText);
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
        m_keyItems->reset();
        m_keyListShowsRun = false;
    }
    m_candidateItems->reset();
    m_positionItems->reset();
}

bool MatchingPanel::awaitsChoice() const
{
    return m_run && m_run->state() == FilterRun::State::AwaitingChoice;
}

void MatchingPanel::confirmChoice()
{
    if (!awaitsChoice())
        return;
    const std::optional<int> chosen = m_candidateList->selectedRow();
    if (!chosen) {
        showMessage(window(), messageText::mustChoose, QMessageBox::NoIcon);
        return;
    }
    const std::size_t row = m_run->candidateRows()[static_cast<std::size_t>(*chosen)];
    hide();
    clearLists(false);
    BusyCursor busy;
    m_run->choose(row);
    Q_EMIT lineSettled();
}

void MatchingPanel::runInKeyColumn()
{
    if (!awaitsChoice() || m_keyColumnButton->isHidden())
        return;
    // Given up as "返回修改" leaves it; the new run replaces it. A list of several columns has
    // no one column: its cells are looked for each in its own (0).
    const std::size_t column = m_run->likelyKeyColumn().value_or(0);
    hide();
    Q_EMIT keyColumnRunWanted(column);
}

void MatchingPanel::leaveRestEmpty()
{
    if (!awaitsChoice())
        return;
    hide();
    clearLists(false);
    BusyCursor busy;
    m_run->ignoreRest();
    Q_EMIT lineSettled();
}

void MatchingPanel::leaveEmpty()
{
    if (!awaitsChoice())
        return;
    hide();
    clearLists(false);
    BusyCursor busy;
    m_run->ignore();
    Q_EMIT lineSettled();
}

} // namespace lanshan
