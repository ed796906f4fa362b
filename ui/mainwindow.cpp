#include "mainwindow.h"

#include "aboutdialog.h"
#include "boxtext.h"
#include "busycursor.h"
#include "commandundo.h"
#include "controls.h"
#include "dataorresult.h"
#include "filterrun.h"
#include "filtersession.h"
#include "growthlayout.h"
#include "makerinfo.h"
#include "matchingpanel.h"
#include "messages.h"
#include "messagetexts.h"
#include "panelstack.h"
#include "pictures.h"
#include "reconcileview.h"
#include "resultclipboard.h"
#include "statuspanels.h"
#include "summaryline.h"
#include "syncview.h"
#include "twips.h"
#include "version.h"
#include "versioncheck.h"
#include "windowplacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

namespace lanshan {

using namespace Qt::StringLiterals;

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
    m_panels.add(m_syncView);
    m_panels.add(m_matchingPanel);

    m_syncViewButton = button(this, u"Command11"_s, u"同步查看"_s, twipsRect(6600, 6240, 975, 375));
    m_filterButton = button(this, u"Command1"_s, u"数据筛选"_s, twipsRect(7680, 6240, 975, 375));
    m_toggleButton = button(this, u"Command2"_s, u"数据/结果"_s, twipsRect(5160, 6240, 1335, 375));
    m_aboutButton = button(this, u"Command3"_s, u"关于"_s, twipsRect(9840, 6240, 975, 375));
    m_demoButton = button(this, u"Command7"_s, u"演示数据"_s, twipsRect(8760, 6240, 975, 375));
    m_clearAllButton = button(this, u"Command8"_s, u"清空所有数据"_s, twipsRect(3720, 6240, 1335, 375));
    m_clearKeysButton = button(this, u"Command9"_s, u"清除固定顺序数据"_s, twipsRect(120, 6240, 1695, 375));
    m_clearDataButton = button(this, u"Command10"_s, u"清除待筛选数据"_s, twipsRect(1920, 6240, 1695, 375));
    // Below the buttons, where the panels leave it in sight.
    m_reconcileSummary = label(this, u"reconcileSummary"_s, twipsRect(120, 6915, 7560, 255));
    // Alt+H opens the view from anywhere, also from the synchronized view, which lies above the
    // buttons but leaves this one in sight.
    m_reconcileButton = button(this, u"reconcileButton"_s, u"核对详情(&H)"_s, twipsRect(9240, 6870, 1575, 330));
    m_reconcileButton->setEnabled(false);
    // Beside it, once a result stands: only some of the result's columns to the clipboard.
    m_columnsButton = button(this, u"copyColumnsButton"_s, u"复制列(&L)"_s, twipsRect(7800, 6870, 1320, 330));

    m_demoRowsBox = textBox(this, u"Text5"_s, twipsRect(11040, 2640, 2295, 2175), Scrolling::None);
    m_demoRowsBox->setPlainText(demoRows());
    m_demoKeysBox = textBox(this, u"Text4"_s, twipsRect(11040, 240, 2295, 2175), Scrolling::None);
    m_demoKeysBox->setPlainText(demoKeys());

    m_resultFrame = frame(this, u"Frame3"_s, u"筛选后结果"_s, twipsRect(11040, 5040, 2295, 1575));
    m_resultBox = textBox(m_resultFrame, u"Text3"_s, twipsRect(120, 240, 1575, 615), Scrolling::VerticalOnly);

    m_dataFrame = frame(this, u"Frame2"_s, u"待筛选数据"_s, twipsRect(2400, 240, 8415, 5895));
    m_dataBox = textBox(m_dataFrame, u"Text2"_s, twipsRect(120, 240, 8175, 5535), Scrolling::Both);
    m_dataOrResult = std::make_unique<DataOrResult>(m_dataFrame, m_dataBox, m_resultFrame, m_resultBox, m_toggleButton);
    m_keysFrame = frame(this, u"Frame1"_s, u"固定顺序数据"_s, twipsRect(120, 240, 2055, 5895));
    m_keysBox = textBox(m_keysFrame, u"Text1"_s, twipsRect(120, 240, 1815, 5535), Scrolling::Both);

    // In the caption line of the data and result frames, above them: which columns the
    // clipboard holds.
    m_columnsNote = opaque(label(this, u"columnsNote"_s, twipsRect(3720, 240, 6960, 240)));
    m_columnsNote->hide();
    m_resultClipboard = new ResultClipboard(this, m_resultBox, m_columnsButton, m_columnsNote,
                                            [this] { return m_dataFrame->geometry().right() - toPixels(120); });
    m_session = new FilterSession(m_keysBox->document(), m_dataBox->document(), this);

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
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    m_panels.chainTabs(order.last());
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
            if (!m_panels.top() && m_filterButton->isEnabled() && m_filterButton->isVisible())
                m_filterButton->click();
        });
    }
    connect(m_toggleButton, &QPushButton::clicked, this, [this] { m_dataOrResult->toggle(); });
    connect(m_demoButton, &QPushButton::clicked, this, &MainWindow::fillDemoData);
    connect(m_clearAllButton, &QPushButton::clicked, this, [this] { clearBoxes(FilterSession::Cleared::Both); });
    connect(m_clearKeysButton, &QPushButton::clicked, this, [this] { clearBoxes(FilterSession::Cleared::Keys); });
    connect(m_clearDataButton, &QPushButton::clicked, this, [this] { clearBoxes(FilterSession::Cleared::Data); });
    connect(m_syncViewButton, &QPushButton::clicked, m_syncView, &SyncView::open);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
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
    // The line below the buttons tells of the command that the next Ctrl+Z takes back.
    connect(m_commandUndo, &CommandUndo::undone, this, [this] {
        const QString hint = m_commandUndo->nextHint();
        if (!hint.isEmpty())
            m_session->commandRecorded(hint);
    });
    connectRun();
}

ReconcileView *MainWindow::reconcileView()
{
    if (m_reconcileView)
        return m_reconcileView;
    // Made when first needed: a window that shows no report starts without it. Made last, it
    // lies above what it covers, as the other panels do.
    m_reconcileView = new ReconcileView(this);
    m_panels.add(m_reconcileView);
    m_growth->add(m_reconcileView, {.width = 1, .height = 1, .follows = Growth::Follows::Size});
    m_statusBar->raise();
    connect(m_reconcileView, &ReconcileView::keyColumnRunWanted, this, &MainWindow::runInKeyColumn);
    connect(m_reconcileView, &ReconcileView::keyCellsRunWanted, this, [this](const std::vector<std::size_t> &cells) {
        BusyCursor busy;
        m_session->runOnKeyCells(cells);
    });
    connect(m_reconcileView, &ReconcileView::resultChanged, m_session, &FilterSession::adoptResult);
    m_reconcileView->setInputsChanged(m_session->resultOutdated());
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
    m_versionTimer->start(1000);
    setWindowTitle(windowTitle() + u" V%1.%2.%3"_s.arg(versionMajor).arg(versionMinor).arg(versionPatch));

    // The frame is the platform's and comes only once the window is shown: these are the
    // sizes of the client area. The height follows the width as read back.
    resize(toPixels(11000), height());
    const int width = this->width();
    resize(width, toPixels(toTwips(width) * 0.681 + 100));
    m_statusBar->setGeometry(0, height() - toPixels(375), width, toPixels(375));

    m_dataOrResult->setUp();
    m_demoKeysBox->hide();
    m_demoRowsBox->hide();
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
    for (OverlayPanel *panel : m_panels.panels())
        m_growth->add(panel, {.width = 1, .height = 1, .follows = Growth::Follows::Size});
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program at once, whatever else is open or waiting.
    event->accept();
    QCoreApplication::quit();
}

bool MainWindow::focusNextPrevChild(bool next)
{
    return m_panels.moveFocus(next, focusWidget()) || QWidget::focusNextPrevChild(next);
}

void MainWindow::runFilter()
{
    BusyCursor busy;
    // Ctrl+Z takes back the commands since the last run only.
    m_commandUndo->clear();
    m_session->runOnInputs();
}

void MainWindow::connectRun()
{
    using Action = FilterSession::Action;
    const QHash<Action, QPushButton *> buttons{
        {Action::Filter, m_filterButton},      {Action::Toggle, m_toggleButton},
        {Action::SyncView, m_syncViewButton},  {Action::CopyColumns, m_columnsButton},
        {Action::ClearAll, m_clearAllButton},  {Action::ClearKeys, m_clearKeysButton},
        {Action::ClearData, m_clearDataButton}};
    for (const auto &[action, button] : buttons.asKeyValueRange())
        button->setEnabled(m_session->isEnabled(action));
    connect(m_session, &FilterSession::enabledChanged, this,
            [buttons](Action action, bool enabled) { buttons.value(action)->setEnabled(enabled); });

    connect(m_keysBox, &QPlainTextEdit::textChanged, this, [this] { m_session->boxChanged(FilterSession::Box::Keys); });
    connect(m_dataBox, &QPlainTextEdit::textChanged, this, [this] { m_session->boxChanged(FilterSession::Box::Data); });
    connect(m_matchingPanel, &MatchingPanel::lineSettled, m_session, &FilterSession::continueRun);
    connect(m_matchingPanel, &MatchingPanel::keyColumnRunWanted, this, &MainWindow::runInKeyColumn);
    connect(m_session, &FilterSession::runStarted, this, [this] {
        // A run asked for from the report, opened over the synchronized view, ends in the result
        // view as any other.
        m_matchingPanel->dropRun();
        m_syncView->hide();
        m_resultClipboard->setBlank(false);
        m_syncView->showRun(m_session->run());
        if (m_reconcileView)
            m_reconcileView->showRun(nullptr);
        showReconcileSummary();
    });
    connect(m_session, &FilterSession::tooFewLines, this,
            [this] { showMessage(this, messageText::tooFewLines, QMessageBox::Critical); });
    connect(m_session, &FilterSession::linesSettled, m_syncView, &SyncView::linesSettled);
    connect(m_session, &FilterSession::choiceAwaited, this, [this] { m_matchingPanel->open(m_session->run()); });
    connect(m_session, &FilterSession::keyColumnChangedNothing, m_matchingPanel,
            &MatchingPanel::sayKeyColumnChangedNothing);
    connect(m_session, &FilterSession::questionsEnded, this, [this] {
        m_matchingPanel->dropRun();
        m_filterButton->setFocus();
    });
    connect(m_session, &FilterSession::resultMade, this, &MainWindow::showResult);
    connect(m_session, &FilterSession::inputsToCheck, this, [this] {
        showMessage(this, messageText::checkTheInputs, QMessageBox::Critical);
        // Back to the inputs as they stand, at the box to mend: an empty result view would
        // leave only the clearing buttons as a way out. The next delivered run shows the result.
        m_dataOrResult->showData();
        (boxIsEmpty(m_dataBox) ? m_dataBox : m_keysBox)->setFocus();
    });
    connect(m_session, &FilterSession::resultStands, this, [this] {
        m_dataOrResult->resultStands();
        m_resultClipboard->showRun(m_session->run());
    });
    connect(m_session, &FilterSession::noRowFound, this, [this](bool swapped) {
        m_resultClipboard->setBlank(true);
        if (!swapped)
            showMessage(this, messageText::noRowFound(false), QMessageBox::Critical);
        else if (offerAction(this, messageText::noRowFound(true), QMessageBox::Critical,
                             messageText::swapAndRunCaption))
            swapBoxesAndRun();
    });
    connect(m_session, &FilterSession::resultDelivered, this, [this](const QString &resultText) {
        if (!m_resultClipboard->handOver(resultText))
            return;
        const FilterRun &run = *m_session->run();
        // Blanks pasted unawares are scores lost: the message names them.
        const QString blanks =
            messageText::emptyLines(m_reconcileView->missingCount(), m_reconcileView->leftEmptyCount(),
                                    m_reconcileView->emptyLineKeys(messageText::emptyLinesNamed));
        showMessage(this,
                    messageText::resultCopiedWith(m_reconcileView->suspectCount(), run.keyListColumns(),
                                                  run.options().keyCells, run.restLeftEmpty(), blanks),
                    QMessageBox::NoIcon);
    });
    connect(m_session, &FilterSession::resultAdopted, this, [this](const QString &resultText) {
        setBoxLines(m_resultBox, resultText);
        m_syncView->showRun(m_session->run());
        showReconcileSummary();
        m_resultClipboard->showRun(m_session->run());
        m_resultClipboard->setBlank(false);
        m_resultClipboard->handOver(resultText);
    });
    // The chosen columns hold until the inputs change.
    connect(m_session, &FilterSession::inputsChanged, m_resultClipboard, &ResultClipboard::dropColumns);
    connect(m_session, &FilterSession::outdatedChanged, this, [this](bool outdated) {
        m_resultClipboard->setOutdated(outdated);
        if (m_reconcileView)
            m_reconcileView->setInputsChanged(outdated);
    });
    connect(m_session, &FilterSession::runResumed, this, [this] {
        BusyCursor busy;
        // A clearing command emptied the result box and dropped the report.
        if (boxIsEmpty(m_resultBox))
            setBoxLines(m_resultBox, QString::fromStdU16String(m_session->run()->resultText()));
        if (!reconcileView()->hasReport())
            m_reconcileView->showRun(m_session->run());
    });
    connect(m_session, &FilterSession::summaryChanged, this, &MainWindow::showReconcileSummary);
}

void MainWindow::runInKeyColumn(std::size_t column)
{
    BusyCursor busy;
    m_session->runInKeyColumn(column);
}

void MainWindow::showResult(const QString &resultText)
{
    m_dataOrResult->showResult(resultText);
    reconcileView()->showRun(m_session->run());
    showReconcileSummary();
}

void MainWindow::swapBoxesAndRun()
{
    exchangeBoxTexts(m_keysBox, m_dataBox);
    m_filterButton->setFocus();
    runFilter();
}

void MainWindow::showReconcileSummary()
{
    m_reconcileButton->setEnabled(m_reconcileView && m_reconcileView->hasReport());
    showSummary(m_reconcileSummary, *m_session, m_reconcileView, !boxIsEmpty(m_resultBox));
}

void MainWindow::dropReport()
{
    if (m_reconcileView)
        m_reconcileView->showRun(nullptr);
    showReconcileSummary();
}

void MainWindow::recordCommand(const QList<QPlainTextEdit *> &changed, const QString &hint)
{
    m_commandUndo->recorded(changed, hint);
    m_session->commandRecorded(changed.isEmpty() ? QString() : hint);
}

void MainWindow::fillDemoData()
{
    // Worth a word only where the demo replaced something of the user's.
    // Or where Ctrl+Z, taking it back, goes on to earlier commands.
    const bool replacing = !boxIsEmpty(m_keysBox) || !boxIsEmpty(m_dataBox) || m_commandUndo->canUndo();
    m_commandUndo->commandStarts();
    const QList<QPlainTextEdit *> changed =
        setBoxTexts({{m_keysBox, boxQString(m_demoKeysBox)}, {m_dataBox, boxQString(m_demoRowsBox)}});
    // The report told of the inputs that were replaced.
    dropReport();
    m_dataOrResult->showData();
    recordCommand(changed, replacing ? messageText::demoReplaced : QString());
    m_filterButton->setFocus();
    showMessage(this, messageText::demoFilled, QMessageBox::Information);
}

void MainWindow::clearBoxes(FilterSession::Cleared which)
{
    using Cleared = FilterSession::Cleared;
    const bool keys = which != Cleared::Data;
    const bool data = which != Cleared::Keys;
    QList<std::pair<QPlainTextEdit *, QString>> emptied;
    if (keys)
        emptied.append({m_keysBox, QString()});
    if (data)
        emptied.append({m_dataBox, QString()});
    m_commandUndo->commandStarts();
    const QList<QPlainTextEdit *> changed = setBoxTexts(emptied);
    // The result goes with the rows it was taken from.
    if (data)
        m_resultBox->setPlainText(QString());
    dropReport();
    if (data)
        m_dataOrResult->showData();
    m_session->cleared(which);
    recordCommand(changed, !keys  ? messageText::dataCleared
                           : data ? messageText::allCleared
                                  : messageText::keysCleared);
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
