#pragma once

#include "makerinfo.h"
#include "versioncheck.h"

#include <QObject>
#include <QString>
#include <QStringView>

#include <array>

class QLabel;
class QStatusBar;

namespace lanshan {

// The four panels of the main window's status bar, numbered 1 to 4 from the left:
// the author, the author's QQ number, the state of the server version check and the maker's
// home page. Double-clicking panel 3 opens the download page in the user's browser, panel 4
// the home page. Each panel is a QLabel named StatusBar1Panel1 to StatusBar1Panel4, placed
// side by side from the bar's left edge.
class StatusPanels : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusPanels)

public:
    static constexpr int panelCount = 4;
    // Panel 3 shows the state of the version check: waiting, checking, or the server's version.
    static constexpr QStringView waitingText = u"等待检测服务器版本";
    static constexpr QStringView checkingText = u"正在检测服务器版本";
    static constexpr QStringView versionLabel = u"服务器版本:";
    static constexpr QStringView downloadTip = u"双击可下载最新版本";

    // The panels as the window is created: one inch wide each, without text.
    explicit StatusPanels(QStatusBar *bar, const MakerInfo &maker);

    // The last step of the main window's start-up: widths, texts and tooltips. Panel 4 takes
    // what the other three leave of the window's width.
    void setUp(double windowWidthTwips);

    QLabel *panel(int index) const;
    QString text(int index) const;
    void setText(int index, const QString &text);
    // In twips, as set; the labels are laid out from these.
    double width(int index) const;

    void openPanelPage(int index);
    // Panel 3 shows the version check's new state.
    void showVersionCheck(lanshan::VersionCheck::State state, const QString &version);
    // Panel 3's tooltip says why the last check gave no answer and when the next one starts;
    // with no failure it is the panel's own again.
    void showCheckFailure(lanshan::VersionCheck::Failure failure, int secondsToRetry);
    // "上次检测失败：找不到服务器，30 秒后重试。"
    static QString failureTip(lanshan::VersionCheck::Failure failure, int secondsToRetry);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static std::size_t slot(int index);
    void setWidth(int index, double twips);
    void layOut();

    QStatusBar *m_bar = nullptr;
    MakerInfo m_maker;
    std::array<QLabel *, panelCount> m_panels{};
    std::array<double, panelCount> m_widths{1440.0, 1440.0, 1440.0, 1440.0};
    // setUp() has run: panel 4 reaches the bar's right end, however wide the window grows.
    bool m_setUp = false;
    // Panel 3's tooltip as set up, shown whenever no failure is.
    QString m_panel3Tip;
};

} // namespace lanshan
