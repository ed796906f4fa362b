#include "mainwindow.h"

#include "boxtext.h"
#include "busycursor.h"
#include "clipboard.h"
#include "controls.h"
#include "filterrun.h"
#include "frmabout.h"
#include "logging.h"
#include "makerinfo.h"
#include "matchingpanel.h"
#include "messages.h"
#include "pictures.h"
#include "qttranslation.h"
#include "reconcileview.h"
#include "statuspanels.h"
#include "syncview.h"
#include "twips.h"
#include "version.h"
#include "versioncheck.h"
#include "visibleaccessible.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

// The demo texts are compiled into the static resources library; they must be registered.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

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

const QString notCopiedMessage =
    u"筛选结果未能复制到剪贴板！您可以在“筛选后结果”框中选中结果，再用CTRL+C快捷键复制。"_s;

// Longer result lines are broken anywhere in the result box (see finishRun).
constexpr qsizetype longLine = 1000;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    initResources();
    loadQtTranslation();
    VisibleAccessible::install();
    scaleLayoutToFont(QFontInfo(QApplication::font()).pointSizeF());
    setObjectName(u"main"_s);
    setWindowTitle(applicationTitle());
    setWindowIcon(programIcon());
    resize(twipsRect(0, 0, 19110, 10200).size());
    createControls();
    setTabOrder();
    connectHandlers();
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    // Created in the order of the design, containers first; later siblings lie above
    // earlier ones, so the two panels are raised where they open.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);

    StatusBar1 = place(new QStatusBar(this), u"StatusBar1"_s, twipsRect(0, 9825, 19110, 375));
    StatusBar1->setSizeGripEnabled(false);
    m_panels = new StatusPanels(StatusBar1, builtInMakerInfo());
    m_versionCheck = new VersionCheck(builtInMakerInfo().webHost, this);

    Frame4 = new MatchingPanel(this);
    tongbuxianshi = new SyncView(this);
    m_reconcileView = new ReconcileView(this);

    Command11 = button(this, u"Command11"_s, u"同步查看"_s, twipsRect(6600, 6240, 975, 375));
    Command1 = button(this, u"Command1"_s, u"数据筛选"_s, twipsRect(7680, 6240, 975, 375));
    Command2 = button(this, u"Command2"_s, u"数据/结果"_s, twipsRect(5160, 6240, 1335, 375));
    Command3 = button(this, u"Command3"_s, u"关于"_s, twipsRect(9840, 6240, 975, 375));
    Command7 = button(this, u"Command7"_s, u"演示数据"_s, twipsRect(8760, 6240, 975, 375));
    Command8 = button(this, u"Command8"_s, u"清空所有数据"_s, twipsRect(3720, 6240, 1335, 375));
    Command9 = button(this, u"Command9"_s, u"清除固定顺序数据"_s, twipsRect(120, 6240, 1695, 375));
    Command10 = button(this, u"Command10"_s, u"清除待筛选数据"_s, twipsRect(1920, 6240, 1695, 375));
    for (QPushButton *b : {Command11, Command1, Command2, Command8, Command9, Command10})
        b->setEnabled(false);
    // Below the buttons, where the panels leave it in sight.
    m_reconcileSummary = label(this, u"reconcileSummary"_s, twipsRect(120, 6915, 8880, 255));
    // Alt+H opens the view from anywhere, also from the synchronized view, which lies above the
    // buttons but leaves this one in sight.
    m_reconcileButton = button(this, u"reconcileButton"_s, u"核对详情(&H)"_s, twipsRect(9240, 6870, 1575, 330));
    m_reconcileButton->setEnabled(false);

    Text5 = textBox(this, u"Text5"_s, twipsRect(11040, 2640, 2295, 2175), Scrolling::None);
    Text5->setPlainText(resourceText(u":/demo/rows.txt"_s));
    Text4 = textBox(this, u"Text4"_s, twipsRect(11040, 240, 2295, 2175), Scrolling::None);
    Text4->setPlainText(resourceText(u":/demo/keys.txt"_s));

    Frame3 = frame(this, u"Frame3"_s, u"筛选后结果"_s, twipsRect(11040, 5040, 2295, 1575));
    Text3 = textBox(Frame3, u"Text3"_s, twipsRect(120, 240, 1575, 615), Scrolling::VerticalOnly);
    // The result is only ever written by the program; it can be selected and copied.
    Text3->setReadOnly(true);
    Text3->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text3->setBackgroundRole(QPalette::Button);
    QPalette buttonFace = Text3->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    Text3->setPalette(buttonFace);

    Frame2 = frame(this, u"Frame2"_s, u"待筛选数据"_s, twipsRect(2400, 240, 8415, 5895));
    Text2 = textBox(Frame2, u"Text2"_s, twipsRect(120, 240, 8175, 5535), Scrolling::Both);
    Frame1 = frame(this, u"Frame1"_s, u"固定顺序数据"_s, twipsRect(120, 240, 2055, 5895));
    Text1 = textBox(Frame1, u"Text1"_s, twipsRect(120, 240, 1815, 5535), Scrolling::Both);

    // The panels cover the working area when they open.
    Frame4->raise();
    tongbuxianshi->raise();
    m_reconcileView->raise();
    StatusBar1->raise();
}

void MainWindow::setTabOrder()
{
    QList<QWidget *> order{Text1,    Text2,    Text3,    Text4,    Text5,    Command10, Command9,
                           Command8, Command7, Command3, Command2, Command1, Command11, m_reconcileButton};
    order += tongbuxianshi->tabChain();
    order += m_reconcileView->tabChain();
    order += Frame4->tabChain();
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(Command7, &QPushButton::clicked, this, &MainWindow::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &MainWindow::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &MainWindow::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &MainWindow::Command10_Click);
    connect(Text1, &QPlainTextEdit::textChanged, this, &MainWindow::Text1_Change);
    connect(Text2, &QPlainTextEdit::textChanged, this, &MainWindow::Text2_Change);
    connect(Command11, &QPushButton::clicked, this, &MainWindow::Command11_Click);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(Frame4, &MatchingPanel::lineSettled, this, &MainWindow::continueRun);
    // Silently, as the view is left without a word: the result stays in the result box.
    connect(tongbuxianshi, &SyncView::closed, this, [this] {
        Command11->setFocus();
        putOnClipboard(boxQString(Text3));
    });
    // Back to the button that started the run.
    connect(Frame4, &MatchingPanel::closed, this, [this] { Command1->setFocus(); });
    connect(m_reconcileButton, &QPushButton::clicked, m_reconcileView, &ReconcileView::open);
    connect(m_reconcileView, &ReconcileView::resultChanged, this, &MainWindow::showAdoptedResult);
    connect(m_reconcileView, &ReconcileView::closed, this, [this] {
        if (tongbuxianshi->isHidden())
            m_reconcileButton->setFocus();
        else
            tongbuxianshi->open();
    });
    connect(Timer1, &QTimer::timeout, m_versionCheck, &VersionCheck::Timer1_Timer);
    connect(m_versionCheck, &VersionCheck::stateChanged, m_panels, &StatusPanels::showVersionCheck);
}

void MainWindow::Form_Load()
{
    Timer1->setInterval(1000);
    Timer1->start();
    setWindowTitle(windowTitle() + u" V%1.%2.%3"_s.arg(versionMajor).arg(versionMinor).arg(versionPatch));

    // The frame is the platform's and comes only once the window is shown: these are the
    // sizes of the client area. The height follows the width as read back.
    resize(toPixels(11000), height());
    const int width = this->width();
    setFixedSize(width, toPixels(toTwips(width) * 0.681 + 100));
    StatusBar1->setGeometry(0, height() - toPixels(375), width, toPixels(375));

    Frame3->hide();
    Text4->hide();
    Text5->hide();
    Frame3->resize(Frame2->width(), Frame2->height());
    Text3->resize(Text2->width(), Text2->height());
    Frame3->move(Frame3->x(), Frame2->y());
    Frame3->move(Frame2->x(), Frame3->y());
    Text1->setFocus();
    // Panel 4 takes the rest of the window's width as set above.
    m_panels->setUp(toTwips(this->width()));
    // Centred on the screen; the platform's frame, added when shown, is left out.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program at once, whatever else is open or waiting.
    event->accept();
    QCoreApplication::quit();
}

QWidget *MainWindow::openPanel() const
{
    if (!m_reconcileView->isHidden())
        return m_reconcileView;
    if (!Frame4->isHidden())
        return Frame4;
    if (!tongbuxianshi->isHidden())
        return tongbuxianshi;
    return nullptr;
}

bool MainWindow::focusNextPrevChild(bool next)
{
    QWidget *panel = openPanel();
    QWidget *start = focusWidget();
    if (!panel || !start)
        return QWidget::focusNextPrevChild(next);
    // The chain runs through the whole window; what lies outside the panel is covered by it.
    for (QWidget *w = start;;) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == start)
            return true;
        if (panel->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void MainWindow::Command1_Click()
{
    BusyCursor busy;
    // An earlier run that waits for a choice is dropped with its question.
    Frame4->dropRun();

    m_run = std::make_shared<FilterRun>(boxText(Text1), boxText(Text2));
    tongbuxianshi->showRun(m_run);
    m_reconcileView->showRun(nullptr);
    showReconcileSummary();
    if (m_run->state() == FilterRun::State::TooFewLines) {
        showMessage(this, u"请在上面的输入框中输入待处理数据！"_s, QMessageBox::Critical);
        return;
    }
    continueRun();
}

void MainWindow::continueRun()
{
    tongbuxianshi->linesSettled();
    if (m_run->state() == FilterRun::State::AwaitingChoice) {
        Frame4->open(m_run);
    } else {
        Frame4->dropRun();
        Command1->setFocus();
        finishRun();
    }
}

void MainWindow::finishRun()
{
    // The result view first: a box laid out while hidden is laid out again when shown,
    // which costs as much as filling it.
    Frame3->show();
    Frame2->hide();
    const QString resultText = QString::fromStdU16String(m_run->resultText());
    // Words wrap in the result box, but a very long line is broken anywhere: laying out a long
    // word at word boundaries takes time that grows with the square of its length.
    Text3->setWordWrapMode(longestLineLength(resultText) > longLine ? QTextOption::WrapAnywhere
                                                                    : QTextOption::WrapAtWordBoundaryOrAnywhere);
    setBoxLines(Text3, resultText);
    m_reconcileView->showRun(m_run);
    showReconcileSummary();
    // The boxes as they stand now: the user may have changed the inputs behind the panel.
    if (needsWarning(boxIsEmpty(Text1), boxIsEmpty(Text2), boxIsEmpty(Text3))) {
        showMessage(this, u"请确认您已经进行了正确的数据处理"_s, QMessageBox::Critical);
        return;
    }
    Command2->setText(Frame2->title());
    Command2->setEnabled(true);
    Command11->setEnabled(true);
    if (!putOnClipboard(resultText)) {
        // The result stands in the result box, where the user can copy it by hand.
        showMessage(this, notCopiedMessage, QMessageBox::Critical);
        return;
    }
    showMessage(
        this,
        u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n您可以点击同步查看按钮进行原始数据和结果同步查看。"_s,
        QMessageBox::NoIcon);
}

void MainWindow::showAdoptedResult()
{
    const QString resultText = QString::fromStdU16String(m_run->resultText());
    setBoxLines(Text3, resultText);
    tongbuxianshi->showRun(m_run);
    showReconcileSummary();
    if (!putOnClipboard(resultText))
        showMessage(this, notCopiedMessage, QMessageBox::Critical);
}

void MainWindow::showReconcileSummary()
{
    const bool reported = m_reconcileView->hasReport();
    m_reconcileButton->setEnabled(reported);
    m_reconcileSummary->setText(
        reported ? u"核对：%1 个关键字未找到，%2 行数据未使用。"_s.arg(m_reconcileView->missingCount())
                       .arg(m_reconcileView->unusedCount())
                 : QString());
}

void MainWindow::changeRule(QPushButton *clearButton)
{
    clearButton->setEnabled(true);
    Command8->setEnabled(true);
    if (boxIsEmpty(Text1) && boxIsEmpty(Text2)) {
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        Command11->setEnabled(false);
    } else {
        Command1->setEnabled(true);
    }
}

void MainWindow::Text1_Change()
{
    changeRule(Command9);
}

void MainWindow::Text2_Change()
{
    changeRule(Command10);
}

void MainWindow::showDataView()
{
    Frame3->hide();
    Frame2->show();
}

void MainWindow::Command7_Click()
{
    setBoxText(Text1, boxQString(Text4));
    setBoxText(Text2, boxQString(Text5));
    showDataView();
    Command1->setFocus();
    showMessage(this, u"请点击“数据筛选”按钮以查看演示结果！"_s, QMessageBox::Information);
}

void MainWindow::Command8_Click()
{
    setBoxText(Text1, QString());
    setBoxText(Text2, QString());
    Text3->setPlainText(QString());
    showDataView();
    Command8->setEnabled(false);
}

void MainWindow::Command9_Click()
{
    setBoxText(Text1, QString());
    Command9->setEnabled(false);
}

void MainWindow::Command10_Click()
{
    setBoxText(Text2, QString());
    Text3->setPlainText(QString());
    Command10->setEnabled(false);
    showDataView();
}

void MainWindow::Command2_Click()
{
    // Visibility of the frames themselves, whether or not the window is on screen.
    Command2->setText(!Frame2->isHidden() ? Frame2->title() : Frame3->title());
    Frame3->setVisible(Frame3->isHidden());
    Frame2->setVisible(Frame2->isHidden());
}

void MainWindow::Command11_Click()
{
    tongbuxianshi->open();
}

void MainWindow::Command3_Click()
{
    // One dialog: loaded on first use and after each close, otherwise shown again as it is.
    if (!m_about)
        m_about = new frmAbout(builtInMakerInfo(), this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace lanshan
