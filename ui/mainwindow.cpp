#include "mainwindow.h"

#include "aboutdialog.h"
#include "boxtext.h"
#include "busycursor.h"
#include "clipboard.h"
#include "columnselection.h"
#include "columnspopup.h"
#include "commandundo.h"
#include "contrast.h"
#include "controls.h"
#include "filterrun.h"
#include "growthlayout.h"
#include "logging.h"
#include "makerinfo.h"
#include "matchingpanel.h"
#include "messages.h"
#include "messagetexts.h"
#include "pictures.h"
#include "reconcileview.h"
#include "resultclipboard.h"
#include "runoptions.h"
#include "statuspanels.h"
#include "swappedinputs.h"
#include "syncview.h"
#include "twips.h"
#include "version.h"
#include "versioncheck.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <new>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcDesktop) << "cannot read" << path << file.errorString();
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// Longer result lines are broken anywhere in the result box (see finishRun).
constexpr qsizetype longLine = 1000;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"main"_s);
    setWindowTitle(applicationTitle());
    setWindowIcon(programIcon());
    resize(twipsRect(0, 0, 19110, 10200).size());
    createControls();
    setTabOrder();
    connectHandlers();
    setUpStartState();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    // Created in the order of the design, containers first; later siblings lie above
    // earlier ones, so the two panels are raised where they open.
    m_versionTimer = new QTimer(this);
    m_versionTimer->setObjectName(u"Timer1"_s);

    m_statusBar = place(new QStatusBar(this), u"StatusBar1"_s, twipsRect(0, 9825, 19110, 375));
    m_statusBar->setSizeGripEnabled(false);
    m_statusPanels = new StatusPanels(m_statusBar, builtInMakerInfo());
    m_versionCheck = new VersionCheck(builtInMakerInfo().webHost, this);

    m_matchingPanel = new MatchingPanel(this);
    m_syncView = new SyncView(this);
    // The reconciliation view is made with the first report (reconcileView()).
    m_overlayPanels = {m_syncView, m_matchingPanel};

    m_syncViewButton = button(this, u"Command11"_s, u"同步查看"_s, twipsRect(6600, 6240, 975, 375));
    m_filterButton = button(this, u"Command1"_s, u"数据筛选"_s, twipsRect(7680, 6240, 975, 375));
    m_toggleButton = button(this, u"Command2"_s, u"数据/结果"_s, twipsRect(5160, 6240, 1335, 375));
    m_aboutButton = button(this, u"Command3"_s, u"关于"_s, twipsRect(9840, 6240, 975, 375));
    m_demoButton = button(this, u"Command7"_s, u"演示数据"_s, twipsRect(8760, 6240, 975, 375));
    m_clearAllButton = button(this, u"Command8"_s, u"清空所有数据"_s, twipsRect(3720, 6240, 1335, 375));
    m_clearKeysButton = button(this, u"Command9"_s, u"清除固定顺序数据"_s, twipsRect(120, 6240, 1695, 375));
    m_clearDataButton = button(this, u"Command10"_s, u"清除待筛选数据"_s, twipsRect(1920, 6240, 1695, 375));
    for (QPushButton *b :
         {m_syncViewButton, m_filterButton, m_toggleButton, m_clearAllButton, m_clearKeysButton, m_clearDataButton})
        b->setEnabled(false);
    // Below the buttons, where the panels leave it in sight.
    m_reconcileSummary = label(this, u"reconcileSummary"_s, twipsRect(120, 6915, 7560, 255));
    // Alt+H opens the view from anywhere, also from the synchronized view, which lies above the
    // buttons but leaves this one in sight.
    m_reconcileButton = button(this, u"reconcileButton"_s, u"核对详情(&H)"_s, twipsRect(9240, 6870, 1575, 330));
    m_reconcileButton->setEnabled(false);
    // Beside it, once a result stands: only some of the result's columns to the clipboard.
    m_columnsButton = button(this, u"copyColumnsButton"_s, u"复制列(&L)"_s, twipsRect(7800, 6870, 1320, 330));
    m_columnsButton->setEnabled(false);

    m_demoRowsBox = textBox(this, u"Text5"_s, twipsRect(11040, 2640, 2295, 2175), Scrolling::None);
    m_demoRowsBox->setPlainText(resourceText(u":/demo/rows.txt"_s));
    m_demoKeysBox = textBox(this, u"Text4"_s, twipsRect(11040, 240, 2295, 2175), Scrolling::None);
    m_demoKeysBox->setPlainText(resourceText(u":/demo/keys.txt"_s));

    m_resultFrame = frame(this, u"Frame3"_s, u"筛选后结果"_s, twipsRect(11040, 5040, 2295, 1575));
    m_resultBox = textBox(m_resultFrame, u"Text3"_s, twipsRect(120, 240, 1575, 615), Scrolling::VerticalOnly);
    // The result is only ever written by the program; it can be selected and copied.
    m_resultBox->setReadOnly(true);
    m_resultBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_resultBox->setBackgroundRole(QPalette::Button);
    QPalette buttonFace = m_resultBox->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    m_resultBox->setPalette(buttonFace);

    m_dataFrame = frame(this, u"Frame2"_s, u"待筛选数据"_s, twipsRect(2400, 240, 8415, 5895));
    m_dataBox = textBox(m_dataFrame, u"Text2"_s, twipsRect(120, 240, 8175, 5535), Scrolling::Both);
    m_keysFrame = frame(this, u"Frame1"_s, u"固定顺序数据"_s, twipsRect(120, 240, 2055, 5895));
    m_keysBox = textBox(m_keysFrame, u"Text1"_s, twipsRect(120, 240, 1815, 5535), Scrolling::Both);

    // In the caption line of the data and result frames, above them: which columns the
    // clipboard holds.
    m_columnsNote = opaque(label(this, u"columnsNote"_s, twipsRect(3720, 240, 6960, 240)));
    m_columnsNote->hide();
    m_resultClipboard = new ResultClipboard(this, m_resultBox, m_columnsButton, m_columnsNote,
                                            [this] { return m_dataFrame->geometry().right() - toPixels(120); });

    // The panels cover the working area when they open.
    m_matchingPanel->raise();
    m_syncView->raise();
    m_statusBar->raise();
}

void MainWindow::setTabOrder()
{
    QList<QWidget *> order{m_keysBox,         m_dataBox,         m_resultBox,      m_demoKeysBox,     m_demoRowsBox,
                           m_clearDataButton, m_clearKeysButton, m_clearAllButton, m_demoButton,      m_aboutButton,
                           m_toggleButton,    m_filterButton,    m_syncViewButton, m_reconcileButton, m_columnsButton};
    for (const OverlayPanel *panel : m_overlayPanels)
        order += panel->tabChain();
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::connectHandlers()
{
    connect(m_filterButton, &QPushButton::clicked, this, &MainWindow::runFilter);
    // The run by key from anywhere in the window, as long as "数据筛选" is in sight and enabled;
    // the tab order stays as designed.
    m_filterButton->setToolTip(messageText::filterKeys);
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::Key_F5)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] {
            if (!openPanel() && m_filterButton->isEnabled() && m_filterButton->isVisible())
                m_filterButton->click();
        });
    }
    connect(m_toggleButton, &QPushButton::clicked, this, &MainWindow::toggleDataAndResult);
    connect(m_demoButton, &QPushButton::clicked, this, &MainWindow::fillDemoData);
    connect(m_clearAllButton, &QPushButton::clicked, this, &MainWindow::clearAll);
    connect(m_clearKeysButton, &QPushButton::clicked, this, &MainWindow::clearKeys);
    connect(m_clearDataButton, &QPushButton::clicked, this, &MainWindow::clearData);
    connect(m_keysBox, &QPlainTextEdit::textChanged, this, &MainWindow::keysChanged);
    connect(m_dataBox, &QPlainTextEdit::textChanged, this, &MainWindow::dataChanged);
    connect(m_syncViewButton, &QPushButton::clicked, this, &MainWindow::openSyncView);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(m_matchingPanel, &MatchingPanel::lineSettled, this, &MainWindow::continueRun);
    connect(m_matchingPanel, &MatchingPanel::keyColumnRunWanted, this, &MainWindow::runInKeyColumn);
    // Silently, as the view is left without a word: the result stays in the result box.
    connect(m_syncView, &SyncView::closed, this, [this] {
        m_syncViewButton->setFocus();
        m_resultClipboard->restore();
    });
    connect(m_columnsButton, &QPushButton::clicked, m_resultClipboard, &ResultClipboard::openColumnsBox);
    // Back to the button that started the run.
    connect(m_matchingPanel, &MatchingPanel::closed, this, [this] { m_filterButton->setFocus(); });
    // Enabled only while there is a report, and so its view.
    connect(m_reconcileButton, &QPushButton::clicked, this, [this] { reconcileView()->open(); });
    connect(m_versionTimer, &QTimer::timeout, m_versionCheck, &VersionCheck::tick);
    connect(m_versionCheck, &VersionCheck::stateChanged, m_statusPanels, &StatusPanels::showVersionCheck);
    connect(m_versionCheck, &VersionCheck::failureChanged, m_statusPanels, &StatusPanels::showCheckFailure);
    m_commandUndo = new CommandUndo(this, {m_keysBox, m_dataBox});
}

ReconcileView *MainWindow::reconcileView()
{
    if (m_reconcileView)
        return m_reconcileView;
    // Made when first needed: a window that shows no report starts without it. Made last, it
    // lies above what it covers, as the other panels do.
    m_reconcileView = new ReconcileView(this);
    QWidget::setTabOrder(m_overlayPanels.last()->tabChain().last(), m_reconcileView->tabChain().first());
    const QList<QWidget *> chain = m_reconcileView->tabChain();
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
    m_overlayPanels.append(m_reconcileView);
    m_growth->add(m_reconcileView, {.width = 1, .height = 1, .follows = Growth::Follows::Size});
    m_statusBar->raise();
    connect(m_reconcileView, &ReconcileView::keyColumnRunWanted, this, &MainWindow::runInKeyColumn);
    connect(m_reconcileView, &ReconcileView::keyCellsRunWanted, this, &MainWindow::runOnKeyCells);
    connect(m_reconcileView, &ReconcileView::resultChanged, this, &MainWindow::showAdoptedResult);
    m_reconcileView->setInputsChanged(m_resultOutdated);
    connect(m_reconcileView, &ReconcileView::closed, this, [this] {
        // The copied report gives the clipboard back to the result, silently as the synchronized
        // view does.
        if (m_reconcileView->reportCopied())
            m_resultClipboard->restore();
        if (m_syncView->isHidden())
            m_reconcileButton->setFocus();
        else
            m_syncView->open();
    });
    return m_reconcileView;
}

void MainWindow::setUpStartState()
{
    m_versionTimer->setInterval(1000);
    m_versionTimer->start();
    setWindowTitle(windowTitle() + u" V%1.%2.%3"_s.arg(versionMajor).arg(versionMinor).arg(versionPatch));

    // The frame is the platform's and comes only once the window is shown: these are the
    // sizes of the client area. The height follows the width as read back.
    resize(toPixels(11000), height());
    const int width = this->width();
    resize(width, toPixels(toTwips(width) * 0.681 + 100));
    m_statusBar->setGeometry(0, height() - toPixels(375), width, toPixels(375));

    m_resultFrame->hide();
    m_demoKeysBox->hide();
    m_demoRowsBox->hide();
    m_resultFrame->resize(m_dataFrame->width(), m_dataFrame->height());
    m_resultBox->resize(m_dataBox->width(), m_dataBox->height());
    m_resultFrame->move(m_resultFrame->x(), m_dataFrame->y());
    m_resultFrame->move(m_dataFrame->x(), m_resultFrame->y());
    m_keysBox->setFocus();
    // Panel 4 takes the rest of the window's width as set above.
    m_statusPanels->setUp(toTwips(this->width()));
    followWindowSize();
    // The boxes keep a third of their height at least, however small the screen.
    const QSize designed = m_growth->designedSize();
    (new WindowPlacement(this, designed, designed.height() - toPixels(5895) * 2 / 3))->place();
}

void MainWindow::followWindowSize()
{
    // Everything as placed so far is the design. Larger, the boxes, the lists and the report
    // grow; the buttons keep their size and order, along the bottom edge, spread as the row
    // widens; the line below them and the status bar keep to the bottom.
    m_growth = new GrowthLayout(this);
    const double designedWidth = width();
    m_growth->add(m_keysFrame, {.width = keySideShare, .height = 1});
    m_growth->add(m_keysBox, {.width = keySideShare, .height = 1});
    m_growth->add(m_dataFrame, {.left = keySideShare, .width = 1 - keySideShare, .height = 1});
    m_growth->add(m_resultFrame, {.left = keySideShare, .width = 1 - keySideShare, .height = 1});
    m_growth->add(m_dataBox, {.width = 1 - keySideShare, .height = 1});
    m_growth->add(m_resultBox, {.width = 1 - keySideShare, .height = 1});
    for (QPushButton *b : {m_clearKeysButton, m_clearDataButton, m_clearAllButton, m_toggleButton, m_syncViewButton,
                           m_filterButton, m_demoButton, m_aboutButton})
        m_growth->add(b, {.left = (b->x() + b->width() / 2.0) / designedWidth, .top = 1});
    m_growth->add(m_reconcileSummary, {.top = 1, .width = 1});
    m_growth->add(m_reconcileButton, {.left = 1, .top = 1});
    m_growth->add(m_columnsButton, {.left = 1, .top = 1});
    m_growth->add(m_columnsNote, {.left = keySideShare, .follows = Growth::Follows::Place});
    m_growth->add(m_statusBar, {.top = 1, .width = 1});
    for (OverlayPanel *panel : m_overlayPanels)
        m_growth->add(panel, {.width = 1, .height = 1, .follows = Growth::Follows::Size});
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program at once, whatever else is open or waiting.
    event->accept();
    QCoreApplication::quit();
}

OverlayPanel *MainWindow::openPanel() const
{
    // The one opened last lies on top.
    OverlayPanel *top = nullptr;
    for (OverlayPanel *panel : m_overlayPanels) {
        if (!panel->isHidden()
            && (!top
                || panel->parentWidget()->children().indexOf(panel) > top->parentWidget()->children().indexOf(top)))
            top = panel;
    }
    return top;
}

bool MainWindow::focusNextPrevChild(bool next)
{
    OverlayPanel *panel = openPanel();
    if (!panel)
        return QWidget::focusNextPrevChild(next);
    // What lies outside the panel is covered by it.
    QList<QWidget *> chain;
    for (QWidget *w : panel->tabChain()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            chain.append(w);
    }
    if (chain.isEmpty())
        return true;
    const qsizetype count = chain.size();
    const qsizetype at = chain.indexOf(focusWidget());
    const qsizetype to = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    chain[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void MainWindow::runFilter()
{
    m_resultOutdated = false;
    m_resultClipboard->setOutdated(false);
    m_undoHint.clear();
    m_runKeysLength = m_keysBox->document()->characterCount();
    m_runDataLength = m_dataBox->document()->characterCount();
    if (m_reconcileView)
        m_reconcileView->setInputsChanged(false);
    // Every press looks for the keys by the rule; a column holds for the run it was chosen for.
    startRun(boxText(m_keysBox), boxText(m_dataBox), RunOptions{});
}

void MainWindow::runInKeyColumn(std::size_t column)
{
    if (!m_run)
        return;
    // The texts the report and the questions were about, whatever the boxes hold by now. A list
    // of several columns is looked for each cell in its own column, as most lines hold them.
    const KeyColumnChoice choice =
        m_run->keyListColumns() > 1 || column == 0 ? KeyColumnChoice::automatic() : KeyColumnChoice::inColumn(column);
    const std::size_t questionsBefore = m_run->questionCount();
    startRun(m_run->fixlines().text(), m_run->datalines().text(), RunOptions{DuplicateRows::Ask, choice, {}});
    // Where it settled none of the questions, the panel says so at the first of them.
    if (m_run->state() == FilterRun::State::AwaitingChoice && m_run->questionCount() == questionsBefore)
        m_matchingPanel->sayKeyColumnChangedNothing();
}

void MainWindow::runOnKeyCells(const std::vector<std::size_t> &cells)
{
    if (!m_run)
        return;
    // As the run in the key column: on the run's own texts, for this run only.
    RunOptions options;
    options.keyCells = cells;
    startRun(m_run->fixlines().text(), m_run->datalines().text(), options);
}

void MainWindow::startRun(std::u16string keys, std::u16string data, const RunOptions &options)
{
    BusyCursor busy;
    // An earlier run that waits for a choice is dropped with its question; a run asked for from
    // the report, opened over the synchronized view, ends in the result view as any other.
    m_matchingPanel->dropRun();
    m_syncView->hide();
    m_columnsButton->setEnabled(false);
    m_resultDelivered = false;
    m_resultClipboard->setBlank(false);

    m_run = std::make_shared<FilterRun>(std::move(keys), std::move(data), options);
    m_syncView->showRun(m_run);
    if (m_reconcileView)
        m_reconcileView->showRun(nullptr);
    showReconcileSummary();
    if (m_run->state() == FilterRun::State::TooFewLines) {
        showMessage(this, messageText::tooFewLines, QMessageBox::Critical);
        return;
    }
    continueRun();
}

void MainWindow::continueRun()
{
    m_syncView->linesSettled();
    if (m_run->state() == FilterRun::State::AwaitingChoice) {
        m_matchingPanel->open(m_run);
    } else {
        m_matchingPanel->dropRun();
        m_filterButton->setFocus();
        finishRun();
    }
}

void MainWindow::finishRun()
{
    // The result view first: a box laid out while hidden is laid out again when shown,
    // which costs as much as filling it.
    m_resultFrame->show();
    m_dataFrame->hide();
    const QString resultText = QString::fromStdU16String(m_run->resultText());
    // Words wrap in the result box, but a very long line is broken anywhere: laying out a long
    // word at word boundaries takes time that grows with the square of its length.
    m_resultBox->setWordWrapMode(longestLineLength(resultText) > longLine ? QTextOption::WrapAnywhere
                                                                          : QTextOption::WrapAtWordBoundaryOrAnywhere);
    setBoxLines(m_resultBox, resultText);
    reconcileView()->showRun(m_run);
    showReconcileSummary();
    // The boxes as they stand now: the user may have changed the inputs behind the panel.
    if (needsWarning(boxIsEmpty(m_keysBox), boxIsEmpty(m_dataBox), boxIsEmpty(m_resultBox))) {
        showMessage(this, messageText::checkTheInputs, QMessageBox::Critical);
        // Back to the inputs as they stand, at the box to mend: an empty result view would
        // leave only the clearing buttons as a way out. The next delivered run shows the result.
        showDataView();
        (boxIsEmpty(m_dataBox) ? m_dataBox : m_keysBox)->setFocus();
        return;
    }
    m_toggleButton->setText(m_dataFrame->title());
    m_toggleButton->setEnabled(true);
    m_syncViewButton->setEnabled(true);
    m_columnsButton->setEnabled(true);
    m_resultClipboard->showRun(m_run);
    // Empty lines only are no result: the clipboard keeps what it held, and the user is told what
    // to check, or offered the boxes the other way round where that would find rows.
    if (foundNoRow(*m_run)) {
        m_resultClipboard->setBlank(true);
        const bool swapped = inputsLookSwapped(m_run->fixlines(), m_run->datalines());
        if (!swapped) {
            showMessage(this, messageText::noRowFound(false), QMessageBox::Critical);
        } else if (offerAction(this, messageText::noRowFound(true), QMessageBox::Critical,
                               messageText::swapAndRunCaption)) {
            swapBoxesAndRun();
        }
        return;
    }
    m_resultDelivered = true;
    if (!m_resultClipboard->handOver(resultText))
        return;
    showMessage(this,
                messageText::resultCopiedWith(m_reconcileView->suspectCount(), m_run->keyListColumns(),
                                              m_run->options().keyCells, m_run->restLeftEmpty()),
                QMessageBox::NoIcon);
}

void MainWindow::swapBoxesAndRun()
{
    exchangeBoxTexts(m_keysBox, m_dataBox);
    m_filterButton->setFocus();
    runFilter();
}

void MainWindow::showAdoptedResult()
{
    const QString resultText = QString::fromStdU16String(m_run->resultText());
    setBoxLines(m_resultBox, resultText);
    m_syncView->showRun(m_run);
    showReconcileSummary();
    m_resultClipboard->showRun(m_run);
    // Rows the user took make a result to paste, also after a run that found none.
    m_resultDelivered = true;
    m_resultClipboard->setBlank(false);
    m_resultClipboard->handOver(resultText);
}

void MainWindow::showReconcileSummary()
{
    const bool reported = m_reconcileView && m_reconcileView->hasReport();
    m_reconcileButton->setEnabled(reported);
    const std::size_t suspect = reported ? m_reconcileView->suspectCount() : 0;
    QString summary;
    if (!m_undoHint.isEmpty())
        summary = m_undoHint;
    else if (m_resultOutdated && !boxIsEmpty(m_resultBox))
        summary = messageText::resultOutdated;
    else if (m_reconcileView && m_reconcileView->reportTooLarge())
        summary = messageText::reportTooLarge;
    else if (reported)
        summary = messageText::reconcileSummary(
            m_reconcileView->missingCount(), m_reconcileView->unusedCount(), m_reconcileView->leftEmptyCount(), suspect,
            m_run ? m_run->keyListColumns() : 1, m_run ? m_run->options().keyCells : std::vector<std::size_t>());
    m_reconcileSummary->setText(summary);
    // Lines that may hold a wrong row stand out, in a colour that reads on this palette's face.
    // Only the roles set here; the rest, and all of it without such lines, as the window has it.
    QFont font;
    QPalette colours;
    if (suspect > 0 && !m_resultOutdated && m_undoHint.isEmpty()) {
        font.setBold(true);
        colours.setColor(QPalette::WindowText, readableColour(QColor(0xb0, 0x00, 0x00), palette(), QPalette::Link));
    }
    m_reconcileSummary->setFont(font);
    m_reconcileSummary->setPalette(colours);
}

void MainWindow::dropReport()
{
    if (m_reconcileView)
        m_reconcileView->showRun(nullptr);
    showReconcileSummary();
}

void MainWindow::changeRule(QPushButton *clearButton)
{
    clearButton->setEnabled(true);
    m_clearAllButton->setEnabled(true);
    if (boxIsEmpty(m_keysBox) && boxIsEmpty(m_dataBox)) {
        m_filterButton->setEnabled(false);
        m_toggleButton->setEnabled(false);
        m_syncViewButton->setEnabled(false);
    } else {
        m_filterButton->setEnabled(true);
    }
}

void MainWindow::keysChanged()
{
    changeRule(m_clearKeysButton);
    noteInputsChanged();
}

void MainWindow::dataChanged()
{
    changeRule(m_clearDataButton);
    noteInputsChanged();
}

void MainWindow::noteInputsChanged()
{
    // The chosen columns hold until the inputs change.
    m_resultClipboard->dropColumns();
    // What a command said of its Ctrl+Z holds until the boxes change again.
    const bool hintGone = !m_undoHint.isEmpty();
    m_undoHint.clear();
    // The result box keeps the run's result, which the line below the buttons says no longer
    // follows from the boxes (also when they change while a choice waits), until they hold the
    // run's texts again. Most keystrokes change neither: the line stays as it is.
    const bool outdated = m_run && !inputsMatchRun();
    if (outdated == m_resultOutdated) {
        if (hintGone)
            showReconcileSummary();
        return;
    }
    m_resultOutdated = outdated;
    m_resultClipboard->setOutdated(outdated);
    if (m_reconcileView)
        m_reconcileView->setInputsChanged(outdated);
    if (!outdated)
        resumeRun();
    showReconcileSummary();
}

bool MainWindow::inputsMatchRun() const
{
    // The lengths first: comparing the texts costs a pass over both.
    if (m_keysBox->document()->characterCount() != m_runKeysLength
        || m_dataBox->document()->characterCount() != m_runDataLength)
        return false;
    return boxText(m_keysBox) == m_run->fixlines().text() && boxText(m_dataBox) == m_run->datalines().text();
}

void MainWindow::resumeRun()
{
    if (m_run->state() != FilterRun::State::Finished)
        return;
    BusyCursor busy;
    // A clearing command emptied the result box and dropped the report.
    if (boxIsEmpty(m_resultBox))
        setBoxLines(m_resultBox, QString::fromStdU16String(m_run->resultText()));
    if (!reconcileView()->hasReport())
        m_reconcileView->showRun(m_run);
    if (m_resultDelivered) {
        m_toggleButton->setEnabled(true);
        m_syncViewButton->setEnabled(true);
        m_columnsButton->setEnabled(true);
    }
}

void MainWindow::recordCommand(const QList<QPlainTextEdit *> &changed, const QString &hint)
{
    m_commandUndo->recorded(changed);
    m_undoHint = changed.isEmpty() ? QString() : hint;
    showReconcileSummary();
}

void MainWindow::showDataView()
{
    m_resultFrame->hide();
    m_dataFrame->show();
}

void MainWindow::fillDemoData()
{
    // Worth a word only where the demo replaced something of the user's.
    const bool replacing = !boxIsEmpty(m_keysBox) || !boxIsEmpty(m_dataBox);
    QList<QPlainTextEdit *> changed;
    if (setBoxText(m_keysBox, boxQString(m_demoKeysBox)))
        changed.append(m_keysBox);
    if (setBoxText(m_dataBox, boxQString(m_demoRowsBox)))
        changed.append(m_dataBox);
    // The report told of the inputs that were replaced.
    dropReport();
    showDataView();
    recordCommand(replacing ? changed : QList<QPlainTextEdit *>(), messageText::demoReplaced);
    m_filterButton->setFocus();
    showMessage(this, messageText::demoFilled, QMessageBox::Information);
}

void MainWindow::clearAll()
{
    QList<QPlainTextEdit *> changed;
    if (setBoxText(m_keysBox, QString()))
        changed.append(m_keysBox);
    if (setBoxText(m_dataBox, QString()))
        changed.append(m_dataBox);
    m_resultBox->setPlainText(QString());
    dropReport();
    showDataView();
    m_columnsButton->setEnabled(false);
    m_clearAllButton->setEnabled(false);
    recordCommand(changed, messageText::allCleared);
}

void MainWindow::clearKeys()
{
    const bool changed = setBoxText(m_keysBox, QString());
    dropReport();
    m_clearKeysButton->setEnabled(false);
    recordCommand(changed ? QList<QPlainTextEdit *>{m_keysBox} : QList<QPlainTextEdit *>(), messageText::keysCleared);
}

void MainWindow::clearData()
{
    const bool changed = setBoxText(m_dataBox, QString());
    m_resultBox->setPlainText(QString());
    dropReport();
    m_columnsButton->setEnabled(false);
    m_clearDataButton->setEnabled(false);
    showDataView();
    recordCommand(changed ? QList<QPlainTextEdit *>{m_dataBox} : QList<QPlainTextEdit *>(), messageText::dataCleared);
}

void MainWindow::toggleDataAndResult()
{
    // Visibility of the frames themselves, whether or not the window is on screen.
    m_toggleButton->setText(!m_dataFrame->isHidden() ? m_dataFrame->title() : m_resultFrame->title());
    m_resultFrame->setVisible(m_resultFrame->isHidden());
    m_dataFrame->setVisible(m_dataFrame->isHidden());
}

void MainWindow::openSyncView()
{
    m_syncView->open();
}

void MainWindow::showAbout()
{
    // One dialog: loaded on first use and after each close, otherwise shown again as it is.
    if (!m_about)
        m_about = new AboutDialog(builtInMakerInfo(), this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace lanshan
