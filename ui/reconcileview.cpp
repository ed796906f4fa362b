#include "reconcileview.h"

#include "busycursor.h"
#include "cellgriddelegate.h"
#include "clipboard.h"
#include "columnselection.h"
#include "columnshare.h"
#include "columnspopup.h"
#include "controls.h"
#include "enterkeyfilter.h"
#include "filterrun.h"
#include "logging.h"
#include "messages.h"
#include "messagetexts.h"
#include "reconciliationmodel.h"
#include "reportsheet.h"
#include "reportwording.h"
#include "rowcells.h"
#include "twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

const QString hintText = u"选中“未找到”下的一行相近数据或“忽略留空”下的一行，点“采用”把它作为该关键字的结果；"
                         u"“采用全部可靠行”只采用"_s
                         + QString::fromStdU16String(reliableRuleWords())
                         + u"。选中“可能取错”或“已采用”下的一行，点“留空”把该关键字的结果清空。"_s;

// Opening every key's rows costs little while there are few keys.
constexpr std::size_t expandedKeys = 500;

} // namespace

ReconcileView::ReconcileView(QWidget *window)
    : OverlayPanel(u"核对筛选结果"_s, u"reconcileView"_s, twipsRect(120, 120, 10695, 6735), window)
{
    m_model = new ReconciliationModel(this);

    m_hint = label(this, u"reconcileHint"_s, twipsRect(240, 4890, 10215, 900), hintText);
    m_hint->setWordWrap(true);
    m_adoptButton = button(this, u"adoptButton"_s, u"采用"_s, twipsRect(240, 5880, 1095, 615));
    m_leaveEmptyButton = button(this, u"leaveSuspectEmptyButton"_s, u"留空"_s, twipsRect(1455, 5880, 1095, 615));
    m_adoptReliableButton =
        button(this, u"adoptReliableButton"_s, u"采用全部可靠行"_s, twipsRect(2670, 5880, 1695, 615));
    m_keyColumnButton =
        button(this, u"keyColumnButton"_s, messageText::keyColumnRunCaption, twipsRect(4485, 5880, 2415, 615));
    m_copyButton = button(this, u"copyReportButton"_s, u"复制报告(&C)"_s, twipsRect(7020, 5880, 1575, 615));
    m_backButton = button(this, u"reconcileBackButton"_s, u"返回"_s, twipsRect(9360, 5880, 1095, 615));

    // In the caption's line, right of the caption, where the list has several columns.
    m_keyCellsButton =
        opaque(button(this, u"keyCellsButton"_s, u"只按名单的这些列匹配(&M)"_s, twipsRect(7680, 0, 2895, 345)));
    m_keyCellsButton->hide();
    m_tree = place(new QTreeView(this), u"reconcileTree"_s, twipsRect(240, 360, 10215, 4440));
    m_tree->setModel(m_model);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setColumnWidth(0, toPixels(2100));
    // 内容 and 原因 share what 序号 leaves, as designed (4200 to 3915 twips), however wide the
    // view grows; a width the user drags to becomes the share.
    new ColumnShare(m_tree->header(), 1, 4200.0 / (10215 - 2100));
    // A row's cells in columns that line up with the rows around it; anything cut says so and
    // is whole in the tooltip.
    m_tree->setItemDelegate(new CellGridDelegate(m_tree));
    m_tree->setAccessibleName(u"核对结果"_s);
    m_tree->setAccessibleDescription(hintText);
    // Larger than designed, the tree grows; the hint and the buttons keep to the bottom.
    follow(m_tree, {.width = 1, .height = 1});
    follow(m_hint, {.top = 1, .width = 1});
    for (QPushButton *b : {m_adoptButton, m_leaveEmptyButton, m_adoptReliableButton, m_keyColumnButton, m_copyButton})
        follow(b, {.top = 1});
    follow(m_backButton, {.left = 1, .top = 1});
    follow(m_keyCellsButton, {.left = 1});
    // Enter on a row to take takes it, as "采用" does.
    connect(EnterKeyFilter::install(m_tree), &EnterKeyFilter::pressed, m_adoptButton, &QPushButton::click);

    connect(m_adoptButton, &QPushButton::clicked, this, &ReconcileView::adoptSelected);
    connect(m_adoptReliableButton, &QPushButton::clicked, this, &ReconcileView::adoptReliable);
    connect(m_leaveEmptyButton, &QPushButton::clicked, this, &ReconcileView::leaveSelectedEmpty);
    connect(m_keyColumnButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<std::size_t> column = m_model->report().keyColumn; m_run && column)
            Q_EMIT keyColumnRunWanted(*column);
    });
    connect(m_copyButton, &QPushButton::clicked, this, &ReconcileView::copyReport);
    connect(m_keyCellsButton, &QPushButton::clicked, this, &ReconcileView::chooseKeyCells);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &ReconcileView::currentChanged);
    // "返回" is the view's cancel button, which Escape presses.
    setCloseButton(m_backButton, Escape::Closes);
    updateButtons();
}

ReconcileView::~ReconcileView() = default;

QList<QWidget *> ReconcileView::tabChain() const
{
    return {m_tree,       m_adoptButton, m_leaveEmptyButton, m_adoptReliableButton, m_keyColumnButton,
            m_copyButton, m_backButton,  m_keyCellsButton};
}

void ReconcileView::showRun(const std::shared_ptr<FilterRun> &run)
{
    m_run = run && run->state() == FilterRun::State::Finished ? run : nullptr;
    m_copied = false;
    tell(hintText);
    refresh();
}

bool ReconcileView::hasReport() const
{
    return m_run != nullptr;
}

std::size_t ReconcileView::missingCount() const
{
    return m_model->report().missing.size();
}

std::size_t ReconcileView::leftEmptyCount() const
{
    return m_model->report().leftEmpty.size();
}

void ReconcileView::setInputsChanged(bool changed)
{
    m_inputsChanged = changed;
}

bool ReconcileView::refusedForChangedInputs()
{
    if (!m_inputsChanged)
        return false;
    tell(messageText::runFirst);
    return true;
}

std::size_t ReconcileView::unusedCount() const
{
    return m_model->report().unused.size();
}

std::size_t ReconcileView::suspectCount() const
{
    return m_model->report().suspect.size();
}

std::size_t ReconcileView::takenCount() const
{
    return m_model->report().taken.size();
}

std::vector<std::u16string> ReconcileView::emptyLineKeys(std::size_t most) const
{
    return m_run ? lanshan::emptyLineKeys(m_model->report(), m_run->fixlines(), most) : std::vector<std::u16string>();
}

void ReconcileView::refresh()
{
    BusyCursor busy;
    Reconciliation report;
    m_tooLarge = false;
    if (m_run) {
        try {
            report = reconcile(*m_run);
        } catch (const std::bad_alloc &) {
            m_tooLarge = true;
        } catch (const std::length_error &) {
            m_tooLarge = true;
        }
    }
    if (m_tooLarge) {
        qCWarning(lcDesktop) << "no memory for the reconciliation report";
        m_run = nullptr;
    }
    m_model->setReport(m_run, std::move(report));
    // Worked out once a report, not at every move of the current line.
    m_hasReliableRows = m_run && !safeAdoptions(m_model->report(), m_run->fixlines()).empty();
    if (!m_run)
        hide();
    for (int group = 0; group < m_model->rowCount(); ++group) {
        m_tree->setFirstColumnSpanned(group, QModelIndex(), true);
        m_tree->expand(m_model->index(group, 0));
    }
    // The rows a user may take or judge, in sight.
    for (const int group : {ReconciliationModel::Missing, ReconciliationModel::LeftEmpty, ReconciliationModel::Suspect,
                            ReconciliationModel::Taken}) {
        const QModelIndex keys = m_model->index(group, 0);
        if (m_model->rowCount(keys) <= static_cast<int>(expandedKeys)) {
            for (int key = 0; key < m_model->rowCount(keys); ++key)
                m_tree->expand(m_model->index(key, 0, keys));
        }
    }
    m_tree->setCurrentIndex(m_model->index(0, 0));
    updateButtons();
}

void ReconcileView::open()
{
    m_copied = false;
    showOver(m_tree);
}

void ReconcileView::updateButtons()
{
    m_adoptButton->setEnabled(m_model->rowToTakeAt(m_tree->currentIndex()).has_value());
    m_leaveEmptyButton->setEnabled(m_model->suspectLineAt(m_tree->currentIndex()).has_value()
                                   || m_model->takenLineAt(m_tree->currentIndex()).has_value());
    m_adoptReliableButton->setEnabled(m_run && m_hasReliableRows);
    m_keyCellsButton->setVisible(m_run && m_run->keyListColumns() > 1);
    // A run already matched in that column would give the same result again.
    const std::optional<std::size_t> column = m_model->report().keyColumn;
    m_keyColumnButton->setEnabled(m_run && column && m_run->matchColumn() != column);
    m_copyButton->setEnabled(m_run != nullptr);
}

void ReconcileView::tell(const QString &text)
{
    m_hint->setText(text);
    m_hintExplains = false;
}

void ReconcileView::currentChanged(const QModelIndex &current)
{
    updateButtons();
    // A line that may hold a wrong row, a near row and a taken one are explained whole, whatever
    // the cause column cuts off: also for a keyboard, which opens no tooltip.
    QString sentence = m_model->suspectSentenceAt(current);
    if (sentence.isEmpty())
        sentence = m_model->nearSentenceAt(current);
    if (!sentence.isEmpty())
        m_hint->setText(sentence);
    else if (m_hintExplains)
        m_hint->setText(hintText);
    m_hintExplains = !sentence.isEmpty();
}

void ReconcileView::adoptSelected()
{
    const auto toTake = m_model->rowToTakeAt(m_tree->currentIndex());
    if (!m_run || !toTake || refusedForChangedInputs())
        return;
    const auto [keyLine, row] = *toTake;
    try {
        m_run->adopt(keyLine, row);
    } catch (const std::logic_error &error) {
        qCWarning(lcDesktop) << "cannot take the row:" << error.what();
        return;
    }
    refresh();
    tell(u"已采用第 %1 行作为第 %2 个关键字的结果。"_s.arg(row + 1).arg(keyLine + 1));
    Q_EMIT resultChanged();
}

void ReconcileView::adoptReliable()
{
    if (!m_run || refusedForChangedInputs())
        return;
    std::size_t taken = 0;
    for (const auto &[keyLine, row] : safeAdoptions(m_model->report(), m_run->fixlines())) {
        try {
            m_run->adopt(keyLine, row);
            ++taken;
        } catch (const std::logic_error &error) {
            qCWarning(lcDesktop) << "cannot take the row:" << error.what();
        }
    }
    refresh();
    const QString done = u"已采用 %1 行可靠的相近数据。"_s.arg(taken);
    tell(done);
    if (taken)
        Q_EMIT resultChanged();
    showMessage(window(), done, QMessageBox::Information);
}

void ReconcileView::leaveSelectedEmpty()
{
    if (const std::optional<std::size_t> taken = m_model->takenLineAt(m_tree->currentIndex())) {
        giveBack(*taken);
        return;
    }
    const std::optional<std::size_t> line = m_model->suspectLineAt(m_tree->currentIndex());
    if (!m_run || !line || refusedForChangedInputs())
        return;
    try {
        m_run->leaveEmpty(*line);
    } catch (const std::logic_error &error) {
        qCWarning(lcDesktop) << "cannot empty the line:" << error.what();
        return;
    }
    refresh();
    // The line now stands among the keys left empty, where "采用" can give it another row.
    selectKeyLine(ReconciliationModel::LeftEmpty, *line);
    tell(u"已将第 %1 个关键字的结果留空，它现在列在“忽略留空”下。"_s.arg(*line + 1));
    Q_EMIT resultChanged();
}

void ReconcileView::giveBack(std::size_t line)
{
    if (!m_run || refusedForChangedInputs())
        return;
    try {
        m_run->giveBack(line);
    } catch (const std::logic_error &error) {
        qCWarning(lcDesktop) << "cannot give the row back:" << error.what();
        return;
    }
    refresh();
    // Back where it stood before it was taken: among the keys without a row, or left empty.
    const bool leftEmpty = m_run->leftEmpty(line);
    selectKeyLine(leftEmpty ? ReconciliationModel::LeftEmpty : ReconciliationModel::Missing, line);
    tell(u"已将第 %1 个关键字采用的数据撤回，结果中这一行又是空行，它现在列在“%2”下。"_s.arg(line + 1).arg(
        QString::fromUtf16(leftEmpty ? leftEmptyGroupWords.data() : missingGroupWords.data(),
                           static_cast<qsizetype>(leftEmpty ? leftEmptyGroupWords.size() : missingGroupWords.size()))));
    Q_EMIT resultChanged();
}

void ReconcileView::selectKeyLine(int group, std::size_t line)
{
    if (const QModelIndex at = m_model->keyLineIndex(group, line); at.isValid())
        m_tree->setCurrentIndex(at);
}

void ReconcileView::chooseKeyCells()
{
    if (!m_run || m_run->keyListColumns() < 2)
        return;
    if (!m_keyCellsPopup) {
        m_keyCellsPopup = new ColumnsPopup(this);
        m_keyCellsPopup->setPrompt(u"只按名单的哪几列匹配（如 2、1,3），按 Enter："_s);
        connect(m_keyCellsPopup, &ColumnsPopup::chosen, this, &ReconcileView::keyCellsChosen);
    }
    // The list's first line names its columns where it found no row, or the data's first: a
    // header line.
    std::vector<std::u16string> names;
    if (m_run->resultRow(0).value_or(0) == 0 && !m_run->leftEmpty(0)) {
        forEachCell(m_run->fixlines()[0],
                    [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { names.emplace_back(cell); });
    }
    m_keyCellsPopup->offer(names, m_run->keyListColumns(), QString());
    m_keyCellsPopup->openAbove(m_keyCellsButton);
}

void ReconcileView::keyCellsChosen(const QString &list)
{
    const ParsedColumns parsed = ColumnSelection::parse(list.toStdU16String());
    if (!parsed.selection || parsed.selection->wholeRows()) {
        m_keyCellsPopup->refuse(parsed.selection ? u"请输入名单的列号，例如 2。"_s
                                                 : messageText::columnsRefused(parsed));
        return;
    }
    std::vector<std::size_t> cells;
    for (const ColumnSelection::Range &range : parsed.selection->ranges()) {
        if (range.last > m_run->keyListColumns()) {
            m_keyCellsPopup->refuse(u"名单只有 %1 列。"_s.arg(m_run->keyListColumns()));
            return;
        }
        for (std::size_t cell = range.first; cell <= range.last; ++cell)
            cells.push_back(cell);
    }
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    m_keyCellsPopup->hide();
    Q_EMIT keyCellsRunWanted(cells);
}

void ReconcileView::copyReport()
{
    if (!m_run)
        return;
    BusyCursor busy;
    try {
        if (!putOnClipboard(window(), QString::fromStdU16String(reportSheet(*m_run, m_model->report())),
                            messageText::reportNotCopied)) {
            tell(messageText::reportNotCopied);
            return;
        }
    } catch (const std::bad_alloc &) {
        tell(u"核对报告太大，无法复制到剪贴板。"_s);
        return;
    } catch (const std::length_error &) {
        tell(u"核对报告太大，无法复制到剪贴板。"_s);
        return;
    }
    m_copied = true;
    tell(u"核对报告已复制到剪贴板，可以粘贴到电子表格中；点“返回”后剪贴板重新放入筛选结果。"_s);
}

} // namespace lanshan
