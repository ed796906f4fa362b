#include "reconcileview.h"

#include "busycursor.h"
#include "clipboardtext.h"
#include "controls.h"
#include "enterkeyfilter.h"
#include "filterrun.h"
#include "logging.h"
#include "messages.h"
#include "reconciliationmodel.h"
#include "reportsheet.h"
#include "tabstopdelegate.h"
#include "twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <new>
#include <stdexcept>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

const QString hintText = u"选中“未找到”下的一行相近数据或“忽略留空”下的一行，点“采用”把它作为该关键字的结果；"
                         u"“采用全部可靠行”只采用与关键字仅在空格、不可见字符、全角/半角、大小写或繁简上不同的行。"_s;

// Opening every key's rows costs little while there are few keys.
constexpr std::size_t expandedKeys = 500;

} // namespace

ReconcileView::ReconcileView(QWidget *window)
    : OverlayPanel(u"核对筛选结果"_s, u"reconcileView"_s, twipsRect(120, 120, 10695, 6735), window)
{
    m_model = new ReconciliationModel(this);

    m_hint = label(this, u"reconcileHint"_s, twipsRect(240, 5640, 4680, 975), hintText);
    m_hint->setWordWrap(true);
    m_adoptButton = button(this, u"adoptButton"_s, u"采用"_s, twipsRect(5040, 5880, 1095, 615));
    m_adoptReliableButton =
        button(this, u"adoptReliableButton"_s, u"采用全部可靠行"_s, twipsRect(6240, 5880, 1695, 615));
    m_copyButton = button(this, u"copyReportButton"_s, u"复制报告"_s, twipsRect(8040, 5880, 1215, 615));
    m_backButton = button(this, u"reconcileBackButton"_s, u"返回"_s, twipsRect(9360, 5880, 1095, 615));

    m_tree = place(new QTreeView(this), u"reconcileTree"_s, twipsRect(240, 360, 10215, 5160));
    m_tree->setModel(m_model);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setColumnWidth(0, toPixels(2400));
    m_tree->setColumnWidth(1, toPixels(4800));
    // Rows laid out as the boxes lay them out.
    m_tree->setItemDelegateForColumn(1, new TabStopDelegate(m_tree));
    m_tree->setAccessibleName(u"核对结果"_s);
    m_tree->setAccessibleDescription(hintText);
    // Enter on a row to take takes it, as "采用" does.
    connect(EnterKeyFilter::install(m_tree), &EnterKeyFilter::pressed, m_adoptButton, &QPushButton::click);

    connect(m_adoptButton, &QPushButton::clicked, this, &ReconcileView::adoptSelected);
    connect(m_adoptReliableButton, &QPushButton::clicked, this, &ReconcileView::adoptReliable);
    connect(m_copyButton, &QPushButton::clicked, this, &ReconcileView::copyReport);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &ReconcileView::updateButtons);
    // "返回" is the view's cancel button, which Escape presses.
    setCloseButton(m_backButton, Escape::Closes);
    updateButtons();
}

ReconcileView::~ReconcileView() = default;

QList<QWidget *> ReconcileView::tabChain() const
{
    return {m_tree, m_adoptButton, m_adoptReliableButton, m_copyButton, m_backButton};
}

void ReconcileView::showRun(const std::shared_ptr<FilterRun> &run)
{
    m_run = run && run->state() == FilterRun::State::Finished ? run : nullptr;
    m_copied = false;
    m_hint->setText(hintText);
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

std::size_t ReconcileView::unusedCount() const
{
    return m_model->report().unused.size();
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
    if (!m_run)
        hide();
    for (int group = 0; group < m_model->rowCount(); ++group) {
        m_tree->setFirstColumnSpanned(group, QModelIndex(), true);
        m_tree->expand(m_model->index(group, 0));
    }
    // The rows a user may take, in sight.
    for (const int group : {ReconciliationModel::Missing, ReconciliationModel::LeftEmpty}) {
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
    m_adoptReliableButton->setEnabled(m_run && !safeAdoptions(m_model->report()).empty());
    m_copyButton->setEnabled(m_run != nullptr);
}

void ReconcileView::adoptSelected()
{
    const auto toTake = m_model->rowToTakeAt(m_tree->currentIndex());
    if (!m_run || !toTake)
        return;
    const auto [keyLine, row] = *toTake;
    try {
        m_run->adopt(keyLine, row);
    } catch (const std::logic_error &error) {
        qCWarning(lcDesktop) << "cannot take the row:" << error.what();
        return;
    }
    refresh();
    m_hint->setText(u"已采用第 %1 行作为第 %2 个关键字的结果。"_s.arg(row + 1).arg(keyLine + 1));
    Q_EMIT resultChanged();
}

void ReconcileView::adoptReliable()
{
    if (!m_run)
        return;
    std::size_t taken = 0;
    for (const auto &[keyLine, row] : safeAdoptions(m_model->report())) {
        try {
            m_run->adopt(keyLine, row);
            ++taken;
        } catch (const std::logic_error &error) {
            qCWarning(lcDesktop) << "cannot take the row:" << error.what();
        }
    }
    refresh();
    const QString done = u"已采用 %1 行可靠的相近数据。"_s.arg(taken);
    m_hint->setText(done);
    if (taken)
        Q_EMIT resultChanged();
    showMessage(window(), done, QMessageBox::Information);
}

void ReconcileView::copyReport()
{
    if (!m_run)
        return;
    BusyCursor busy;
    try {
        ClipboardText::write(QString::fromStdU16String(reportSheet(*m_run, m_model->report())));
    } catch (const std::bad_alloc &) {
        m_hint->setText(u"核对报告太大，无法复制到剪贴板。"_s);
        return;
    } catch (const std::length_error &) {
        m_hint->setText(u"核对报告太大，无法复制到剪贴板。"_s);
        return;
    }
    m_copied = true;
    m_hint->setText(u"核对报告已复制到剪贴板，可以粘贴到电子表格中；点“返回”后剪贴板重新放入筛选结果。"_s);
}

} // namespace lanshan
