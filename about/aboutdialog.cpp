#include "aboutdialog.h"

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

AboutDialog::AboutDialog(const MakerInfo &maker, QWidget *parent)
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
    fillTexts();
    // The design sizes hold the texts in a 9-point 宋体; a wider or taller face may take the
    // room below a label, down to the next control.
    fitHeight(m_description, toPixels(2160));
    fitHeight(m_contact, toPixels(2880));
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::createControls()
{
    // In tab order; only the OK button takes the focus.
    m_okButton = new QPushButton(u"确定"_s, this);
    m_okButton->setObjectName(u"cmdOK"_s);
    m_okButton->setGeometry(twipsRect(6240, 2520, 1140, 345));
    // Default and cancel button at once: Enter presses it, and Escape closes the dialog as
    // it does.
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &AboutDialog::closeDialog);

    // The box takes the size of its picture plus its sunken border.
    m_picture = label(this, u"picIcon"_s, twipsRect(120, 120, 3060, 3060));
    m_picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture->setLineWidth(2);
    m_picture->setPixmap(aboutPicture());
    m_picture->resize(m_picture->sizeHint());

    m_description = label(this, u"lblDescription"_s, twipsRect(3360, 960, 4005, 1005));
    m_description->setWordWrap(true);
    setTextColour(m_description, Qt::black, QPalette::WindowText);
    m_title = label(this, u"lblTitle"_s, twipsRect(3360, 240, 3885, 240));
    setTextColour(m_title, Qt::black, QPalette::WindowText);
    m_version = label(this, u"lblVersion"_s, twipsRect(3360, 600, 3885, 225));
    m_contact = label(this, u"Label1"_s, twipsRect(3360, 2160, 2655, 495));
    m_contact->setWordWrap(true);
    m_siteCaption = label(this, u"Label2"_s, twipsRect(3360, 2880, 735, 255));

    // The home page link: pure blue, underlined, 宋体 9 points, a pointing hand over it; the
    // label takes the size of its text.
    m_homePageLink = label(this, u"Label3"_s, twipsRect(3960, 2880, 1980, 180));
    setTextColour(m_homePageLink, QColor(0, 0, 255), QPalette::Link);
    QFont linkFont = m_homePageLink->font();
    linkFont.setFamilies(linkFontFamilies());
    linkFont.setPointSize(9);
    linkFont.setWeight(QFont::Normal);
    linkFont.setUnderline(true);
    m_homePageLink->setFont(linkFont);
    m_homePageLink->setCursor(Qt::PointingHandCursor);
    m_homePageLink->setText(homePageAddress(m_maker.webHost));
    m_homePageLink->adjustSize();
    m_homePageLink->installEventFilter(this);
}

void AboutDialog::fillTexts()
{
    setWindowTitle(u"关于 "_s + applicationTitle());
    m_version->setText(u"版本 %1.%2.%3"_s.arg(versionMajor).arg(versionMinor).arg(versionPatch));
    m_title->setText(applicationTitle());
    m_description->setText(description);
    m_contact->setText(u"作者："_s + m_maker.authorName + u' ' + m_maker.authorEmail + u"\r\nQQ："_s + m_maker.authorQq
                       + u" 飞信："_s + m_maker.authorFetion);
    m_siteCaption->setText(u"网站："_s);
    // Above every window that is not itself on top, the main window included.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void AboutDialog::closeDialog()
{
    close();
}

void AboutDialog::openHomePage()
{
    // Handed to the browser; the dialog stays open and does not look at the outcome.
    QDesktopServices::openUrl(QUrl(homePageAddress(m_maker.webHost)));
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A click: the left button released over the link that it was pressed on.
    if (watched == m_homePageLink && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_homePageLink->rect().contains(mouse->position().toPoint()))
            openHomePage();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lanshan
