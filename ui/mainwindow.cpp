#include "mainwindow.h"

#include "boxtext.h"
#include "clipboard.h"
#include "filterrun.h"
#include "frmabout.h"
#include "highlightframe.h"
#include "itemlistmodel.h"
#include "listsync.h"
#include "makerinfo.h"
#include "messages.h"
#include "pictures.h"
#include "statuspanels.h"
#include "textbox.h"
#include "twips.h"
#include "version.h"
#include "versioncheck.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
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

template<class Widget>
Widget *place(Widget *widget, const QString &name, QRect twipsGeometry)
{
    widget->setObjectName(name);
    widget->setGeometry(twipsGeometry);
    return widget;
}

// Frames are opaque: a panel that opens over the working area hides what it covers.
template<class Frame>
Frame *opaque(Frame *frame)
{
    frame->setAutoFillBackground(true);
    return frame;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect geometry)
{
    return opaque(place(new QGroupBox(caption, parent), name, geometry));
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect geometry)
{
    auto *b = place(new QPushButton(caption, parent), name, geometry);
    b->setAutoDefault(false);
    return b;
}

enum class Scrolling { Both, VerticalOnly, None };

QPlainTextEdit *textBox(QWidget *parent, const QString &name, QRect geometry, Scrolling scrolling)
{
    auto *box = place(new TextBox(parent), name, geometry);
    // Tab moves on to the next control; TABs arrive in the boxes by pasting.
    box->setTabChangesFocus(true);
    // Tab stops every eight average characters, as in a classic text box.
    box->setTabStopDistance(8.0 * box->fontMetrics().averageCharWidth());
    box->setLineWrapMode(scrolling == Scrolling::Both ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    box->setHorizontalScrollBarPolicy(scrolling == Scrolling::Both ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(scrolling == Scrolling::None ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    return box;
}

QListView *listBox(QWidget *parent, const QString &name, QRect geometry, ItemListModel *model)
{
    auto *list = place(new QListView(parent), name, geometry);
    list->setModel(model);
    list->setUniformItemSizes(true);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *l = place(new QLabel(text, parent), name, geometry);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The design height holds two lines of a 9-point font; a taller font may take the room
    // that the frame has below the label, so that no line is cut off.
    const int needed = l->heightForWidth(l->width());
    if (needed > l->height())
        l->resize(l->width(), std::max(l->height(), std::min(needed, parent->height() - l->y() - 2)));
    return l;
}

QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

std::optional<int> selectedRow(const QListView *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first().row();
}

// Longer result lines are broken anywhere in the result box (see finishRun).
constexpr qsizetype longLine = 1000;

// A busy cursor while a long step runs, so that the window does not look dead.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    initResources();
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
    m_list1Items = new ItemListModel(this);
    m_list2Items = new ItemListModel(this);
    m_list3Items = new ItemListModel(this);
    m_list4Items = new ItemListModel(this);
    m_list5Items = new ItemListModel(this);

    // Created in the order of the design, containers first; later siblings lie above
    // earlier ones, so the two panels are raised where they open.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);

    StatusBar1 = place(new QStatusBar(this), u"StatusBar1"_s, twipsRect(0, 9825, 19110, 375));
    StatusBar1->setSizeGripEnabled(false);
    m_panels = new StatusPanels(StatusBar1, builtInMakerInfo());
    m_versionCheck = new VersionCheck(m_panels, builtInMakerInfo().webHost, this);

    Frame4 = opaque(place(new HighlightFrame(u"重复数据手动匹配"_s, this), u"Frame4"_s, twipsRect(11760, 1800, 10695, 6615)));
    Frame5 = frame(Frame4, u"Frame5"_s, u"提示"_s, twipsRect(240, 5760, 5175, 735));
    Label1 = label(Frame5, u"Label1"_s,
                   u"    左侧列表中前面有[*]的为疑问数据，在待筛选数据中有多个对应，请从右面选择正确数据。序号为原始表中行号。"_s,
                   twipsRect(120, 240, 4815, 375));
    List5 = listBox(Frame4, u"List5"_s, twipsRect(1200, 3360, 1935, 2220), m_list5Items);
    Command12 = button(Frame4, u"Command12"_s, u"返回修改"_s, twipsRect(9000, 5880, 1335, 615));
    Command5 = button(Frame4, u"Command5"_s, u"忽略留空"_s, twipsRect(7380, 5880, 1335, 615));
    Command6 = button(Frame4, u"Command6"_s, u"确定"_s, twipsRect(5760, 5880, 1335, 615));
    List4 = listBox(Frame4, u"List4"_s, twipsRect(2280, 360, 8295, 5280), m_list4Items);
    List3 = listBox(Frame4, u"List3"_s, twipsRect(240, 360, 1935, 5280), m_list3Items);
    List5->hide();
    Frame4->hide();

    tongbuxianshi = opaque(place(new HighlightFrame(u"同步查看筛选结果"_s, this), u"tongbuxianshi"_s,
                                 twipsRect(9240, 2880, 10695, 6735)));
    Frame6 = frame(tongbuxianshi, u"Frame6"_s, u"说明"_s, twipsRect(240, 6000, 8775, 615));
    Label2 = label(Frame6, u"Label2"_s,
                   u"固定顺序数据和筛选后的数据同步滚动显示！序号为列表中的序号，右侧空白为没有找到对应的数据。"_s,
                   twipsRect(480, 240, 8175, 255));
    Command4 = button(tongbuxianshi, u"Command4"_s, u"返回"_s, twipsRect(9120, 6120, 1455, 495));
    result = frame(tongbuxianshi, u"result"_s, u"筛选后结果(双击可复制)"_s, twipsRect(2880, 480, 7695, 5415));
    List2 = listBox(result, u"List2"_s, twipsRect(120, 240, 7455, 5100), m_list2Items);
    fixdata = frame(tongbuxianshi, u"fixdata"_s, u"固定顺序数据(双击可复制)"_s, twipsRect(240, 480, 2535, 5415));
    List1 = listBox(fixdata, u"List1"_s, twipsRect(120, 240, 2295, 5100), m_list1Items);
    tongbuxianshi->hide();

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
    StatusBar1->raise();
}

void MainWindow::setTabOrder()
{
    const QWidget *order[] = {Text1,    Text2,    Text3,     Text4, Text5, Command10, Command9, Command8,
                              Command7, Command3, Command2,   Command1, Command11, List1, List2, Command4,
                              List3,    List4,    Command6,  Command5, Command12, List5};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget *>(order[i]), const_cast<QWidget *>(order[i + 1]));
}

void MainWindow::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, &MainWindow::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &MainWindow::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &MainWindow::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &MainWindow::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &MainWindow::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &MainWindow::Command10_Click);
    connect(Command12, &QPushButton::clicked, this, &MainWindow::Command12_Click);
    connect(Text1, &QPlainTextEdit::textChanged, this, &MainWindow::Text1_Change);
    connect(Text2, &QPlainTextEdit::textChanged, this, &MainWindow::Text2_Change);
    connect(Command11, &QPushButton::clicked, this, &MainWindow::Command11_Click);
    connect(Command4, &QPushButton::clicked, this, &MainWindow::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(Timer1, &QTimer::timeout, m_versionCheck, &VersionCheck::Timer1_Timer);
    // Every double-click on the lists counts, also on blank space or an empty list, where
    // the views themselves report none.
    List1->viewport()->installEventFilter(this);
    List2->viewport()->installEventFilter(this);
    new ListSync(List1, List2, this);

    // "返回" is the synchronized view's cancel button: Escape presses it while the view is open.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (!tongbuxianshi->isHidden())
            Command4->click();
    });
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
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program at once, whatever else is open or waiting.
    event->accept();
    QCoreApplication::quit();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == List1->viewport())
            List1_DblClick();
        else if (watched == List2->viewport())
            List2_DblClick();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::Command1_Click()
{
    BusyCursor busy;
    // An earlier run that waits for a choice is dropped with its question.
    Frame4->hide();
    clearFrame4Lists(true);

    m_run = std::make_shared<FilterRun>(boxText(Text1), boxText(Text2));
    const std::shared_ptr<FilterRun> run = m_run;
    m_list1Items->reset([run] { return run->settledCount(); }, [run](std::size_t i) { return run->list1Item(i); });
    m_list2Items->reset([run] { return run->settledCount(); }, [run](std::size_t i) { return run->list2Item(i); });
    if (run->state() == FilterRun::State::TooFewLines) {
        showMessage(this, u"请在上面的输入框中输入待处理数据！"_s, QMessageBox::Critical);
        return;
    }
    continueRun();
}

void MainWindow::continueRun()
{
    m_list1Items->itemsAppended();
    m_list2Items->itemsAppended();
    if (m_run->state() == FilterRun::State::AwaitingChoice) {
        openFrame4();
    } else {
        clearFrame4Lists(true);
        finishRun();
    }
}

void MainWindow::openFrame4()
{
    const std::shared_ptr<FilterRun> run = m_run;
    // The key list stays the same through a run; only its mark moves, and the items are
    // read afresh when the panel is shown. Resetting it would lay out every key line again.
    if (!m_list3ShowsRun) {
        m_list3Items->reset([run] { return run->fixlines().size(); }, [run](std::size_t i) { return run->list3Item(i); });
        m_list3ShowsRun = true;
    }
    m_list4Items->reset([run] { return run->candidateRows().size(); },
                        [run](std::size_t i) { return run->list4Item(i); });
    m_list5Items->reset([run] { return run->candidateRows().size(); },
                        [run](std::size_t i) { return run->list5Item(i); });

    Frame4->move(toPixels(120), toPixels(120));
    Frame4->show();
    Frame4->raise();
    const QModelIndex awaited = m_list3Items->index(static_cast<int>(run->pickpos()));
    List3->setCurrentIndex(awaited);
    List3->verticalScrollBar()->setValue(awaited.row());
}

void MainWindow::clearFrame4Lists(bool keyListToo)
{
    if (keyListToo) {
        m_list3Items->reset();
        m_list3ShowsRun = false;
    }
    m_list4Items->reset();
    m_list5Items->reset();
}

void MainWindow::Command6_Click()
{
    if (!m_run || m_run->state() != FilterRun::State::AwaitingChoice)
        return;
    const std::optional<int> chosen = selectedRow(List4);
    if (!chosen) {
        showMessage(this, u"您必须选择正确的数据！"_s, QMessageBox::NoIcon);
        return;
    }
    const std::size_t row = m_run->candidateRows()[static_cast<std::size_t>(*chosen)];
    Frame4->hide();
    clearFrame4Lists(false);
    BusyCursor busy;
    m_run->choose(row);
    continueRun();
}

void MainWindow::Command5_Click()
{
    if (!m_run || m_run->state() != FilterRun::State::AwaitingChoice)
        return;
    Frame4->hide();
    clearFrame4Lists(false);
    BusyCursor busy;
    m_run->ignore();
    continueRun();
}

void MainWindow::Command12_Click()
{
    // Back to editing: the run stays where it stopped until a new run replaces it.
    Frame4->hide();
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
    Text3->setPlainText(resultText);
    if (boxIsEmpty(Text1) || boxIsEmpty(Text2) || boxIsEmpty(Text3)) {
        showMessage(this, u"请确认您已经进行了正确的数据处理"_s, QMessageBox::Critical);
        return;
    }
    Command2->setText(Frame2->title());
    Command2->setEnabled(true);
    Command11->setEnabled(true);
    if (!putOnClipboard(resultText)) {
        // The result stands in the result box, where the user can copy it by hand.
        showMessage(this, u"筛选结果未能复制到剪贴板！您可以在“筛选后结果”框中选中结果，再用CTRL+C快捷键复制。"_s,
                    QMessageBox::Critical);
        return;
    }
    showMessage(this,
                u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n您可以点击同步查看按钮进行原始数据和结果同步查看。"_s,
                QMessageBox::NoIcon);
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
    tongbuxianshi->show();
    tongbuxianshi->move(toPixels(120), toPixels(120));
    tongbuxianshi->raise();
    Command4->setFocus();
}

void MainWindow::Command4_Click()
{
    tongbuxianshi->hide();
    // Silently, as the view is left without a word: the result stays in the result box.
    putOnClipboard(boxQString(Text3));
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

void MainWindow::List1_DblClick()
{
    QGuiApplication::clipboard()->clear();
    const std::optional<int> row = selectedRow(List1);
    if (m_run && row && static_cast<std::size_t>(*row) < m_run->settledCount())
        QGuiApplication::clipboard()->setText(toQString(m_run->fixlines()[*row]));
}

void MainWindow::List2_DblClick()
{
    QGuiApplication::clipboard()->clear();
    const std::optional<int> row = selectedRow(List2);
    if (m_run && row && static_cast<std::size_t>(*row) < m_run->settledCount())
        QGuiApplication::clipboard()->setText(toQString(m_run->result(*row)));
}

} // namespace lanshan
