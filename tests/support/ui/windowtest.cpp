#include "windowtest.h"

#include <QAbstractButton>
#include <QTest>
#include <QTimer>

namespace windowtest {

void WindowTest::init()
{
    m_driver = std::make_unique<WindowDriver>();
    if (m_setup.active) {
        m_driver->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_driver->window));
    } else {
        QVERIFY(QTest::qWaitForWindowExposed(&m_driver->window));
    }
    if (m_setup.oldClipboard)
        setClipboardText(oldClipboard);
}

void WindowTest::cleanup()
{
    lanshan::setClipboardWriter({});
    m_driver.reset();
}

AnsweredBox answerMessageBox(const std::function<void()> &action)
{
    AnsweredBox seen;
    int polls = 0;
    QTimer poller;
    poller.setInterval(10);
    QObject::connect(&poller, &QTimer::timeout, &poller, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++polls > 500)
                poller.stop();
            return;
        }
        poller.stop();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen = {true,        box->windowTitle(),    box->text(),
                box->icon(), box->buttons().size(), box->button(QMessageBox::Ok) != nullptr};
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    poller.start();
    action();
    poller.stop();
    return seen;
}

} // namespace windowtest
