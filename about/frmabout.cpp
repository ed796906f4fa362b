#include "frmabout.h"

#include "applicationtitle.h"
#include "contrast.h"
#include "controls.h"
#include "makersite.h"
#include "pictures.h"
#include "twips.h"
#include "version.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

const QString description =
    u"岚杉数据筛选器，用于处理Excel等数据表之间数据顺序不统一的时候进行合并操作。比如：Cmis中成绩录入时，教师手中已有Excel成绩数据，但是顺序不统一，无法直接复制。使用此软件可以帮您快速按指定顺序筛选！"_s;

// The designed colour on a light background, the palette's own on a dark one.
void setTextColour(QLabel *label, const QColor &designed, QPalette::ColorRole fallback)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, readableColour(designed, palette, fallback));
    label->setPalette(palette);
}

// 宋体 where it is installed, else the Chinese faces there are, Song-like (serif) ones first.
QStringList linkFontFamilies()
{
    QStringList families{u"宋体"_s, u"SimSun"_s};
    QStringList others;
    for (const QString &family : QFontDatabase::families(QFontDatabase::SimplifiedChinese)) {
        const bool songLike = family.contains(u"Song"_s, Qt::CaseInsensitive) || family.contains(u"宋"_s)
                              || family.contains(u"Serif"_s, Qt::CaseInsensitive)
                              || family.contains(u"Ming"_s, Qt::CaseInsensitive);
        (songLike ? families : others).append(family);
    }
    return families + others;
}

} // namespace

frmAbout::frmAbout(const MakerInfo &maker, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , m_maker(maker)
{
    setObjectName(u"frmAbout"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(programIcon());
    setFixedSize(toPixels(7665), toPixels(3300));
    createControls();
    Form_Load();
    // The design sizes hold the texts in a 9-point 宋体; a wider or taller face may take the
    // room below a label, down to the next control.
    fitHeight(lblDescription, toPixels(2160));
    fitHeight(Label1, toPixels(2880));
}

frmAbout::~frmAbout() = default;

void frmAbout::createControls()
{
    // In tab order; only cmdOK takes the focus.
    cmdOK = new QPushButton(u"确定"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setGeometry(twipsRect(6240, 2520, 1140, 345));
    // Default and cancel button at once: Enter presses it, and Escape closes the dialog as
    // it does.
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    // The box takes the size of its picture plus its sunken border.
    picIcon = label(this, u"picIcon"_s, twipsRect(120, 120, 3060, 3060));
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    picIcon->setPixmap(aboutPicture());
    picIcon->resize(picIcon->sizeHint());

    lblDescription = label(this, u"lblDescription"_s, twipsRect(3360, 960, 4005, 1005));
    lblDescription->setWordWrap(true);
    setTextColour(lblDescription, Qt::black, QPalette::WindowText);
    lblTitle = label(this, u"lblTitle"_s, twipsRect(3360, 240, 3885, 240));
    setTextColour(lblTitle, Qt::black, QPalette::WindowText);
    lblVersion = label(this, u"lblVersion"_s, twipsRect(3360, 600, 3885, 225));
    Label1 = label(this, u"Label1"_s, twipsRect(3360, 2160, 2655, 495));
    Label1->setWordWrap(true);
    Label2 = label(this, u"Label2"_s, twipsRect(3360, 2880, 735, 255));

    // The home page link: pure blue, underlined, 宋体 9 points, a pointing hand over it; the
    // label takes the size of its text.
    Label3 = label(this, u"Label3"_s, twipsRect(3960, 2880, 1980, 180));
    setTextColour(Label3, QColor(0, 0, 255), QPalette::Link);
    QFont linkFont = Label3->font();
    linkFont.setFamilies(linkFontFamilies());
    linkFont.setPointSize(9);
    linkFont.setWeight(QFont::Normal);
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->setText(homePageAddress(m_maker.webHost));
    Label3->adjustSize();
    Label3->installEventFilter(this);
}

void frmAbout::Form_Load()
{
    setWindowTitle(u"关于 "_s + applicationTitle());
    lblVersion->setText(u"版本 %1.%2.%3"_s.arg(versionMajor).arg(versionMinor).arg(versionPatch));
    lblTitle->setText(applicationTitle());
    lblDescription->setText(description);
    Label1->setText(u"作者："_s + m_maker.authorName + u' ' + m_maker.authorEmail + u"\r\nQQ："_s + m_maker.authorQq
                    + u" 飞信："_s + m_maker.authorFetion);
    Label2->setText(u"网站："_s);
    // Above every window that is not itself on top, the main window included.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::Label3_Click()
{
    // Handed to the browser; the dialog stays open and does not look at the outcome.
    QDesktopServices::openUrl(QUrl(homePageAddress(m_maker.webHost)));
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    // A click: the left button released over the link that it was pressed on.
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && Label3->rect().contains(mouse->position().toPoint()))
            Label3_Click();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lanshan
