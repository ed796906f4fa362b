// Linked into every window test: the process ends only once its other threads have ended.
// Qt's pool threads are detached, so when QCoreApplication's destructor has waited for their
// work they are still winding down. LeakSanitizer's check at exit stops every thread of the
// process and reads its stack and thread-local storage; a thread caught half torn down makes
// the check itself crash ("Tracer caught signal 11"), at random and rarely.

#include <QtGlobal>

#ifdef Q_OS_LINUX

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <thread>

namespace {

std::ptrdiff_t threadCount()
{
    std::error_code error;
    const std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 1 : std::distance(tasks, std::filesystem::directory_iterator());
}

// Made at load time, before any of Qt's lazily made globals, so destroyed after them: after the
// last thread pool has been told to stop, before the leak check that runs last of all.
struct ThreadsEndFirst
{
    ThreadsEndFirst() = default;
    ThreadsEndFirst(const ThreadsEndFirst &) = delete;
    ThreadsEndFirst &operator=(const ThreadsEndFirst &) = delete;

    ~ThreadsEndFirst()
    {
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (threadCount() > 1) {
            if (std::chrono::steady_clock::now() > deadline) {
                std::fprintf(stderr, "threads still running at exit: %td\n", threadCount() - 1);
                return;
            }
            std::this_thread::sleep_for(1ms);
        }
    }
} threadsEndFirst;

} // namespace

#endif
