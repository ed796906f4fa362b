// startup_bench: how long the program takes from process start to its first painted window,
// against a bare Qt window in the same process image (same Qt libraries, same binary).
//
//   startup_bench --bare | --window
//
//   --bare    a QApplication and a QWidget holding a QPlainTextEdit, a QPushButton and a
//             QStatusBar in a layout, with a QNetworkAccessManager, shown;
//   --window  what the program's main() does: QApplication, lanshan::setUpApplication(),
//             lanshan::MainWindow, show().
//
// Either way the process quits as soon as the top-level window has been exposed for the first
// time and the exposure has been handled (the whole window painted and flushed): the quit is
// queued from the Expose event, so it runs once that event's handling is over.
//
// It prints one line to standard output, in milliseconds:
//   <since T0> <since process start> <since main>
// T0 is the wall-clock time in nanoseconds since the epoch that the caller puts into the
// environment variable STARTUP_T0 just before starting the process (bench/startup.sh does);
// it counts the dynamic loading and static initialisation precisely. Without it the field is
// "-". The process start is read from /proc/self/stat (in clock ticks, usually 10 ms, so the
// figure is coarse). The platform is whatever QT_QPA_PLATFORM says.

#include "applicationsetup.h"
#include "mainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

double nowMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The process's start in CLOCK_BOOTTIME milliseconds, from field 22 of /proc/self/stat.
std::optional<double> processStartMs()
{
    std::ifstream in("/proc/self/stat");
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    // The command name (field 2) may hold spaces; the fields after it start past its ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    // Field 3 is the first after the name; the start time is field 22.
    for (int i = 3; i < 22; ++i)
        rest >> field;
    unsigned long long ticks = 0;
    if (!(rest >> ticks))
        return std::nullopt;
    const long perSecond = sysconf(_SC_CLK_TCK);
    if (perSecond <= 0)
        return std::nullopt;
    return double(ticks) * 1e3 / double(perSecond);
}

// Queues the quit once the watched window has been exposed; the figures are taken then, after
// the exposure (and with it the first paint) has been handled.
class ExposeWatch : public QObject
{
public:
    ExposeWatch(const QWidget *window, double mainStartMono)
        : m_window(window)
        , m_mainStartMono(mainStartMono)
    { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The native window is looked up here: show() creates it, as in the program.
        if (!m_seen && event->type() == QEvent::Expose && watched == m_window->windowHandle()
            && m_window->windowHandle()->isExposed()) {
            m_seen = true;
            // Mapped: the window is on screen, not yet painted.
            m_mappedReal = nowMs(CLOCK_REALTIME);
            QTimer::singleShot(0, this, [this] { finish(); });
        }
        return false;
    }

private:
    void finish()
    {
        const double real = nowMs(CLOCK_REALTIME);
        const double boot = nowMs(CLOCK_BOOTTIME);
        const double mono = nowMs(CLOCK_MONOTONIC);
        std::string sinceT0 = "-";
        std::string mappedSinceT0 = "-";
        if (const char *t0 = std::getenv("STARTUP_T0"); t0 && *t0) {
            const double t0Ms = std::strtod(t0, nullptr) / 1e6;
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.2f", real - t0Ms);
            sinceT0 = buffer;
            std::snprintf(buffer, sizeof buffer, "%.2f", m_mappedReal - t0Ms);
            mappedSinceT0 = buffer;
        }
        std::string sinceStart = "-";
        if (const auto start = processStartMs()) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.0f", boot - *start);
            sinceStart = buffer;
        }
        std::printf("%s %s %.2f %s\n", sinceT0.c_str(), sinceStart.c_str(), mono - m_mainStartMono,
                    mappedSinceT0.c_str());
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    const QWidget *m_window;
    double m_mainStartMono;
    bool m_seen = false;
    double m_mappedReal = 0;
};

int usage()
{
    std::fputs("usage: startup_bench --bare | --window\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const double mainStart = nowMs(CLOCK_MONOTONIC);
    if (argc != 2)
        return usage();
    const bool bare = std::strcmp(argv[1], "--bare") == 0;
    if (!bare && std::strcmp(argv[1], "--window") != 0)
        return usage();

    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(new QPlainTextEdit(window.get()));
        layout->addWidget(new QPushButton(QStringLiteral("数据筛选"), window.get()));
        layout->addWidget(new QStatusBar(window.get()));
        new QNetworkAccessManager(window.get());
        window->resize(733, 500);
    } else {
        lanshan::setUpApplication();
        window = std::make_unique<lanshan::MainWindow>();
    }
    ExposeWatch watch(window.get(), mainStart);
    app.installEventFilter(&watch);
    window->show();
    return QApplication::exec();
}
