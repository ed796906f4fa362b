#include "statuspanels.h"

#include "makersite.h"
#include "twips.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>

namespace lanshan {

using namespace Qt::StringLiterals;

StatusPanels::StatusPanels(QStatusBar *bar, const MakerInfo &maker)
    : QObject(bar)
    , m_bar(bar)
    , m_maker(maker)
{
    setObjectName(u"StatusBar1Panels"_s);
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto *label = new QLabel(bar);
        label->setObjectName(u"StatusBar1Panel%1"_s.arg(i + 1));
        // Sunken panels side by side, as the classic status bar draws them. Texts are shown as
        // they are: the server's version is never taken for markup.
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setIndent(3);
        label->installEventFilter(this);
        m_panels[i] = label;
    }
    bar->installEventFilter(this);
    layOut();
}

void StatusPanels::setUp(double windowWidthTwips)
{
    setWidth(1, 2500);
    setText(1, u"作者:"_s + m_maker.authorName);
    setWidth(2, 2500);
    setText(2, u"QQ:"_s + m_maker.authorQq);
    setWidth(3, 2500);
    setText(3, waitingText.toString());
    m_panel3Tip = downloadTip.toString();
    panel(3)->setToolTip(m_panel3Tip);
    // The whole outer width of the window, not the bar's inner width.
    setWidth(4, windowWidthTwips - (width(1) + width(2) + width(3)));
    setText(4, homePageAddress(m_maker.webHost));
    panel(4)->setToolTip(u"双击访问官网"_s);
    m_setUp = true;
    layOut();
}

std::size_t StatusPanels::slot(int index)
{
    Q_ASSERT(index >= 1 && index <= panelCount);
    return static_cast<std::size_t>(index - 1);
}

QLabel *StatusPanels::panel(int index) const
{
    return m_panels.at(slot(index));
}

QString StatusPanels::text(int index) const
{
    return panel(index)->text();
}

void StatusPanels::setText(int index, const QString &text)
{
    panel(index)->setText(text);
}

double StatusPanels::width(int index) const
{
    return m_widths.at(slot(index));
}

void StatusPanels::setWidth(int index, double twips)
{
    m_widths.at(slot(index)) = twips;
    layOut();
}

void StatusPanels::layOut()
{
    // Edges are rounded from the running sum of the widths, so that the panels meet without
    // gaps and the last one ends where the window does.
    // Once set up, the panels fill the bar: a wider bar widens the last one, a narrower one
    // (a window fitted to a small screen) narrows them all alike.
    double total = 0;
    for (const double w : m_widths)
        total += w;
    const double scale = m_setUp ? std::min(1.0, m_bar->width() / std::max(1.0, toPixels(total) * 1.0)) : 1.0;
    double right = 0;
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        const int left = toPixels(right * scale);
        right += m_widths[i];
        const int end = m_setUp && i + 1 == m_panels.size() ? m_bar->width() : toPixels(right * scale);
        m_panels[i]->setGeometry(left, 0, std::max(0, end - left), m_bar->height());
    }
}

void StatusPanels::openPanelPage(int index)
{
    // The browser is handed the address and the window does not wait for it; whether it
    // could be opened is not looked at.
    switch (index) {
    case 3:
        // Whatever panel 3 shows: waiting, checking or the server's version.
        QDesktopServices::openUrl(QUrl(downloadPageAddress(m_maker.webHost)));
        break;
    case 4: QDesktopServices::openUrl(QUrl(homePageAddress(m_maker.webHost))); break;
    default: break;
    }
}

void StatusPanels::showVersionCheck(VersionCheck::State state, const QString &version)
{
    switch (state) {
    case VersionCheck::State::Waiting: setText(3, waitingText.toString()); break;
    case VersionCheck::State::Checking: setText(3, checkingText.toString()); break;
    case VersionCheck::State::Answered: setText(3, versionLabel.toString() + version); break;
    }
}

void StatusPanels::showCheckFailure(VersionCheck::Failure failure, int secondsToRetry)
{
    panel(3)->setToolTip(failure == VersionCheck::Failure::None ? m_panel3Tip : failureTip(failure, secondsToRetry));
}

QString StatusPanels::failureTip(VersionCheck::Failure failure, int secondsToRetry)
{
    // Words for what the user can look into; the network's own terms stay in the debug log.
    QString what;
    switch (failure) {
    case VersionCheck::Failure::HostNotFound: what = u"找不到服务器"_s; break;
    case VersionCheck::Failure::Refused: what = u"服务器拒绝连接"_s; break;
    case VersionCheck::Failure::TimedOut: what = u"连接超时"_s; break;
    case VersionCheck::Failure::BadAnswer: what = u"服务器的回答无法识别"_s; break;
    case VersionCheck::Failure::NetworkError: what = u"网络错误"_s; break;
    case VersionCheck::Failure::None: return QString();
    }
    return u"上次检测失败：%1，%2 秒后重试。"_s.arg(what).arg(secondsToRetry);
}

bool StatusPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar && event->type() == QEvent::Resize) {
        layOut();
    } else if (event->type() == QEvent::MouseButtonDblClick
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (std::size_t i = 0; i < m_panels.size(); ++i) {
            if (watched == m_panels[i]) {
                openPanelPage(static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lanshan
