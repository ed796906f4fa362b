// window_bench: times the main window's filter on generated data, offscreen, against the
// floor that Qt itself sets for the same result.
//
//   window_bench [--runs=R] [--settle[=K]] [N ...]
//   window_bench --files KEYS DATA
//
// --files times one press on the two files (UTF-8, as generate --family writes them): both
// pasted, then "数据筛选" until the run's first message, the report below the buttons made with
// it; it prints the time, the peak memory, the line below the buttons and the message.
//
// For every N (default 10000 100000 1000000) it generates N keys and N rows as the generate
// tool does (same generator, seed 1), but without keys that have two rows, so that a press
// of "数据筛选" runs straight to the result. Then, R times (default 3), each time in a fresh
// window:
//   fill   Text1->setPlainText(keys) and Text2->setPlainText(rows): the two pastes;
//   press  Command1->click() until the clipboard holds the result (the program's closing
//          message, which comes right after the clipboard is written, stops the clock);
//   floor  the same result text put into a plain, shown QPlainTextEdit of Text3's size with
//          setPlainText, plus QClipboard::setText of it: what Qt needs at least to show and
//          copy that text.
// The table shows the best of the R runs; ratio = press / floor. The result is checked
// against the join computed here (each key's row, or an empty line).
//
// --settle also times the manual matching: the generator's ordinary data (about 1% of the
// keys have two rows) is pressed, which stops at the first such key with Frame4 open; then
// the first row of List4 is chosen with "确定" (Command6) until the run ends, each choice
// timed with the events that follow it (the next panel laid out and painted). With K, only
// the first K choices are made and timed (the run is left unfinished and unchecked), for sizes
// where every choice takes long.
//
// Peak RSS is the process's peak resident memory so far (the sizes run in the given order).
// Sets QT_QPA_PLATFORM=offscreen and QT_QPA_OFFSCREEN_NO_GLX=1 unless they are set already.
// Progress and every single run go to standard error, the tables to standard output.

#include "applicationsetup.h"
#include "datagen.h"
#include "mainwindow.h"
#include "messages.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

const char usage[] = "usage: window_bench [--runs=R] [--settle[=K]] [N ...]\n"
                     "  N keys and N rows each (default 10000 100000 1000000); best of R runs (default 3);\n"
                     "  --settle also times the manual matching (at most K choices)\n"
                     "       window_bench --files KEYS DATA\n"
                     "  one press on the two files, the report made with it\n";

const QString doneMessagePrefix = u"筛选结果已经复制到剪贴板"_s;

bool parseCount(std::string_view text, std::uint64_t &value)
{
    const char *end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end && !text.empty();
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

double seconds(qint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1e9;
}

// Lets the window system and deferred deletions catch up, outside every timing.
void catchUpEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

// The expected result with LF line ends, as the clipboard holds it: for every key line (the
// keys text ends with LF, so the last key line is empty) the first row whose first column is
// that key, or an empty line.
QString expectedResult(const lanshan::bench::GeneratedData &data)
{
    std::unordered_map<std::string_view, std::string_view> rowOf;
    rowOf.reserve(static_cast<std::size_t>(data.rowCount));
    const std::string_view rows = data.rows;
    for (std::size_t start = 0; start < rows.size();) {
        const std::size_t end = rows.find('\n', start);
        const std::string_view row = rows.substr(start, end - start);
        rowOf.emplace(row.substr(0, row.find('\t')), row);
        start = end + 1;
    }
    std::string out;
    out.reserve(rows.size() + data.keys.size());
    const std::string_view keys = data.keys;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = keys.find('\n', start);
        const std::string_view key = keys.substr(start, end == std::string_view::npos ? end : end - start);
        if (const auto found = rowOf.find(key); found != rowOf.end())
            out += found->second;
        if (end == std::string_view::npos)
            break;
        out += '\n';
        start = end + 1;
    }
    return QString::fromStdString(out);
}

struct Messages
{
    QElapsedTimer *clock = nullptr;
    QStringList texts;
    qint64 doneAt = -1; // nanoseconds on clock when the closing message came
};

struct Window
{
    std::unique_ptr<lanshan::MainWindow> window;
    QPlainTextEdit *Text1 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command6 = nullptr;
    QListView *List4 = nullptr;
    QWidget *Frame4 = nullptr;
};

Window openWindow()
{
    Window w;
    w.window = std::make_unique<lanshan::MainWindow>();
    w.window->show();
    w.Text1 = w.window->findChild<QPlainTextEdit *>(u"Text1"_s);
    w.Text2 = w.window->findChild<QPlainTextEdit *>(u"Text2"_s);
    w.Text3 = w.window->findChild<QPlainTextEdit *>(u"Text3"_s);
    w.Command1 = w.window->findChild<QPushButton *>(u"Command1"_s);
    w.Command6 = w.window->findChild<QPushButton *>(u"Command6"_s);
    w.List4 = w.window->findChild<QListView *>(u"List4"_s);
    w.Frame4 = w.window->findChild<QWidget *>(u"Frame4"_s);
    if (!w.Text1 || !w.Text2 || !w.Text3 || !w.Command1 || !w.Command6 || !w.List4 || !w.Frame4) {
        std::fputs("window_bench: the main window lacks a control it needs\n", stderr);
        std::exit(1);
    }
    // The window's once-a-second timer (the server version check) is no part of what is
    // measured, and a benchmark has no business on the network.
    if (auto *timer = w.window->findChild<QTimer *>(u"Timer1"_s))
        timer->stop();
    catchUpEvents();
    return w;
}

bool checkClipboard(const QString &expected, std::uint64_t n, const char *what)
{
    if (QGuiApplication::clipboard()->text() == expected)
        return true;
    std::fprintf(stderr, "window_bench: %llu, %s: the clipboard does not hold the expected result\n",
                 static_cast<unsigned long long>(n), what);
    return false;
}

bool checkDone(const Messages &messages, std::uint64_t n, const char *what)
{
    if (messages.doneAt >= 0)
        return true;
    std::fprintf(stderr, "window_bench: %llu, %s: the run did not end with the result on the clipboard (%s)\n",
                 static_cast<unsigned long long>(n), what,
                 messages.texts.isEmpty() ? "no message" : qPrintable(messages.texts.join(u" / "_s)));
    return false;
}

// Both pastes, timed; the events they leave are caught up after the clock stops.
qint64 fill(const Window &w, QElapsedTimer &clock, const QString &keys, const QString &rows)
{
    clock.start();
    w.Text1->setPlainText(keys);
    w.Text2->setPlainText(rows);
    const qint64 took = clock.nsecsElapsed();
    catchUpEvents();
    return took;
}

// Just before a press: the clipboard emptied, the messages forgotten, then the clock started.
void readyToPress(Messages &messages)
{
    QGuiApplication::clipboard()->clear();
    messages.texts.clear();
    messages.doneAt = -1;
    messages.clock->start();
}

struct MainTimes
{
    qint64 fill = 0;
    qint64 press = 0;
    qint64 floorEdit = 0;
    qint64 floorClipboard = 0;
    qint64 pressEvents = 0; // the events that follow (painting, deferred layouts), not in press
    qint64 floorEvents = 0; // the same after the floor
    qint64 floor() const { return floorEdit + floorClipboard; }
};

// One run of the main figure: fresh window, fill, press; then the floor.
std::optional<MainTimes> mainRun(std::uint64_t n, const QString &keys, const QString &rows, const QString &expectedLf,
                                 const QString &expectedCrLf, Messages &messages)
{
    MainTimes t;
    QElapsedTimer &clock = *messages.clock;
    QSize text3Size;
    {
        Window w = openWindow();
        text3Size = w.Text3->size();
        t.fill = fill(w, clock, keys, rows);

        readyToPress(messages);
        w.Command1->click();
        const qint64 returned = clock.nsecsElapsed();
        if (!checkDone(messages, n, "press") || !checkClipboard(expectedLf, n, "press"))
            return std::nullopt;
        t.press = messages.doneAt;
        if (returned - messages.doneAt > 10'000'000)
            std::fprintf(stderr, "window_bench: %llu: the press went on %.3f s after the clipboard was written\n",
                         static_cast<unsigned long long>(n), seconds(returned - messages.doneAt));
        clock.start();
        catchUpEvents();
        t.pressEvents = clock.nsecsElapsed();
    }
    catchUpEvents();

    {
        QPlainTextEdit plain;
        plain.resize(text3Size);
        plain.show();
        catchUpEvents();
        QGuiApplication::clipboard()->clear();
        clock.start();
        plain.setPlainText(expectedCrLf);
        t.floorEdit = clock.nsecsElapsed();
        clock.start();
        QGuiApplication::clipboard()->setText(expectedLf);
        t.floorClipboard = clock.nsecsElapsed();
        if (!checkClipboard(expectedLf, n, "floor"))
            return std::nullopt;
        clock.start();
        catchUpEvents();
        t.floorEvents = clock.nsecsElapsed();
    }
    catchUpEvents();
    return t;
}

struct SettleTimes
{
    qint64 fill = 0;
    qint64 press = 0;  // until the run stops at the first key with two rows
    qint64 settle = 0; // all the choices, until the clipboard holds the result
    std::uint64_t choices = 0;
    bool finished = false;
};

// One run of the manual matching: fresh window, fill, press; then "确定" on the first row of
// List4 until the run ends.
std::optional<SettleTimes> settleRun(std::uint64_t n, const QString &keys, const QString &rows,
                                     const QString &expectedLf, std::uint64_t maxChoices, Messages &messages)
{
    SettleTimes t;
    QElapsedTimer &clock = *messages.clock;
    Window w = openWindow();
    t.fill = fill(w, clock, keys, rows);

    readyToPress(messages);
    w.Command1->click();
    t.press = clock.nsecsElapsed();
    if (!w.Frame4->isVisible()) {
        std::fprintf(stderr, "window_bench: %llu, settle: the panel Frame4 did not open\n",
                     static_cast<unsigned long long>(n));
        return std::nullopt;
    }
    catchUpEvents();

    qint64 settleTime = 0;
    while (w.Frame4->isVisible() && t.choices < maxChoices) {
        clock.start();
        w.List4->setCurrentIndex(w.List4->model()->index(0, 0));
        w.Command6->click();
        // Until the window has laid out and painted the panel for the next key (or the result):
        // what the user waits for before the next choice.
        QApplication::processEvents();
        settleTime += clock.nsecsElapsed();
        ++t.choices;
    }
    t.finished = !w.Frame4->isVisible();
    if (t.finished && (!checkDone(messages, n, "settle") || !checkClipboard(expectedLf, n, "settle")))
        return std::nullopt;
    t.settle = settleTime;
    return t;
}

} // namespace

QString fileText(const char *path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "window_bench: cannot read %s\n", path);
        std::exit(2);
    }
    return QString::fromUtf8(file.readAll());
}

// One press on the texts of two files, as a user pastes them.
int filesRun(const char *keysPath, const char *dataPath, Messages &messages)
{
    const QString keys = fileText(keysPath);
    const QString rows = fileText(dataPath);
    Window w = openWindow();
    QElapsedTimer clock;
    const qint64 filled = fill(w, clock, keys, rows);
    messages.texts.clear();
    clock.start();
    w.Command1->click();
    const qint64 pressed = clock.nsecsElapsed();
    auto *summary = w.window->findChild<QLabel *>(u"reconcileSummary"_s);
    std::printf("window_bench: fill %.3f s, press %.3f s (to the first message, the report made), peak RSS %.0f MiB\n",
                seconds(filled), seconds(pressed), peakRssMiB());
    std::printf("  below the buttons: %s\n", summary ? qPrintable(summary->text()) : "?");
    std::printf("  message: %s\n", messages.texts.isEmpty() ? "none" : qPrintable(messages.texts.first()));
    return 0;
}

int main(int argc, char *argv[])
{
    int runs = 3;
    bool settle = false;
    std::uint64_t maxChoices = UINT64_MAX;
    std::vector<std::uint64_t> sizes;
    std::vector<const char *> filesPaths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::uint64_t value = 0;
        if (arg == "--files" && i + 2 < argc) {
            filesPaths = {argv[i + 1], argv[i + 2]};
            i += 2;
        } else if (arg.starts_with("--runs=") && parseCount(arg.substr(7), value) && value >= 1 && value <= 100) {
            runs = static_cast<int>(value);
        } else if (arg == "--settle") {
            settle = true;
        } else if (arg.starts_with("--settle=") && parseCount(arg.substr(9), value) && value >= 1) {
            settle = true;
            maxChoices = value;
        } else if (!arg.starts_with("-") && parseCount(arg, value) && value >= 2) {
            sizes.push_back(value);
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    if (sizes.empty())
        sizes = {10'000, 100'000, 1'000'000};

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_OFFSCREEN_NO_GLX"))
        qputenv("QT_QPA_OFFSCREEN_NO_GLX", "1");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    lanshan::setUpApplication();

    QElapsedTimer clock;
    Messages messages;
    messages.clock = &clock;
    lanshan::setMessageObserver([&messages](const QString &text, QMessageBox::Icon, const QString &) {
        if (text.startsWith(doneMessagePrefix))
            messages.doneAt = messages.clock->nsecsElapsed();
        messages.texts.append(text);
        return false;
    });

    std::printf("window_bench: platform %s, Qt %s, best of %d runs, times in s\n",
                qPrintable(QGuiApplication::platformName()), qVersion(), runs);
    std::printf("%9s | %8s | %8s | %8s %8s %8s | %6s | %9s\n", "n = m", "fill", "press", "floor", "(edit", "clip)",
                "ratio", "peak RSS");
    std::printf("----------+----------+----------+----------------------------+--------+----------\n");
    std::fflush(stdout);

    if (!filesPaths.empty())
        return filesRun(filesPaths[0], filesPaths[1], messages);

    bool ok = true;
    for (const std::uint64_t n : sizes) {
        lanshan::bench::GeneratedData data;
        std::string error;
        if (!lanshan::bench::generateData(n, n, 1, false, data, error)) {
            std::fprintf(stderr, "window_bench: %s\n", error.c_str());
            return 2;
        }
        const QString keys = QString::fromStdString(data.keys);
        const QString rows = QString::fromStdString(data.rows);
        const QString expectedLf = expectedResult(data);
        QString expectedCrLf = expectedLf;
        expectedCrLf.replace(u'\n', u"\r\n"_s);
        data = {};

        std::optional<MainTimes> best;
        for (int r = 0; r < runs; ++r) {
            const std::optional<MainTimes> t = mainRun(n, keys, rows, expectedLf, expectedCrLf, messages);
            if (!t) {
                ok = false;
                break;
            }
            std::fprintf(stderr,
                         "window_bench: %llu run %d: fill %.3f, press %.3f (events after it %.3f), "
                         "floor %.3f + %.3f (events after it %.3f) s\n",
                         static_cast<unsigned long long>(n), r + 1, seconds(t->fill), seconds(t->press),
                         seconds(t->pressEvents), seconds(t->floorEdit), seconds(t->floorClipboard),
                         seconds(t->floorEvents));
            if (!best) {
                best = t;
            } else {
                best->fill = std::min(best->fill, t->fill);
                best->press = std::min(best->press, t->press);
                best->floorEdit = std::min(best->floorEdit, t->floorEdit);
                best->floorClipboard = std::min(best->floorClipboard, t->floorClipboard);
            }
        }
        if (!best)
            continue;
        std::printf("%9llu | %8.3f | %8.3f | %8.3f %8.3f %8.3f | %6.2f | %5.0f MiB\n",
                    static_cast<unsigned long long>(n), seconds(best->fill), seconds(best->press),
                    seconds(best->floor()), seconds(best->floorEdit), seconds(best->floorClipboard),
                    static_cast<double>(best->press) / static_cast<double>(std::max<qint64>(best->floor(), 1)),
                    peakRssMiB());
        std::fflush(stdout);
    }
    std::printf("ratio = press / floor; floor = setPlainText into a plain QPlainTextEdit + QClipboard::setText\n");
    std::printf("peak RSS: of the whole process so far\n");

    if (settle) {
        std::printf(
            "\nmanual matching (about 1%% of the keys with two rows; the first row chosen each time), one run\n");
        std::printf("%9s | %8s | %8s | %13s | %8s | %10s\n", "n = m", "fill", "press", "choices", "settle",
                    "per choice");
        std::printf("----------+----------+----------+---------------+----------+-----------\n");
        std::fflush(stdout);
        for (const std::uint64_t n : sizes) {
            lanshan::bench::GeneratedData data;
            std::string error;
            if (!lanshan::bench::generateData(n, n, 1, true, data, error)) {
                std::fprintf(stderr, "window_bench: %s\n", error.c_str());
                return 2;
            }
            const QString keys = QString::fromStdString(data.keys);
            const QString rows = QString::fromStdString(data.rows);
            const QString expectedLf = expectedResult(data);
            const std::uint64_t questionable = data.twoRowKeys;
            data = {};
            const std::optional<SettleTimes> t = settleRun(n, keys, rows, expectedLf, maxChoices, messages);
            catchUpEvents();
            if (!t) {
                ok = false;
                continue;
            }
            const std::string choices = t->finished
                                            ? std::to_string(t->choices)
                                            : std::to_string(t->choices) + " of " + std::to_string(questionable);
            std::printf("%9llu | %8.3f | %8.3f | %13s | %8.3f | %7.3f ms\n", static_cast<unsigned long long>(n),
                        seconds(t->fill), seconds(t->press), choices.c_str(), seconds(t->settle),
                        static_cast<double>(t->settle) / 1e6
                            / static_cast<double>(std::max<std::uint64_t>(t->choices, 1)));
            std::fflush(stdout);
        }
        std::printf(
            "press: until the panel opens at the first key with two rows; settle: the choices made (\"K of D\": "
            "the first K of D), until the clipboard holds the result when all are made\n");
    }
    return ok ? 0 : 1;
}
