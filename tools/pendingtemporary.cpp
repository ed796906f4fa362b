#include "pendingtemporary.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>

#ifdef _WIN32
#include <io.h>

#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace lanshan {

namespace {

#ifndef _WIN32
constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGPIPE};

// A fixed buffer: only async-signal-safe calls may touch it in the handler.
char pendingPath[4096];
volatile std::sig_atomic_t pending = 0;

extern "C" void removeTemporaryAndDie(int signal)
{
    if (pending) {
        ::unlink(pendingPath);
        static const char said[] = "reorder: stopped; the report was not written, its file is as it was\n";
        [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, said, sizeof said - 1);
    }
    // Held until the handler returns, then delivered as if never caught.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

sigset_t endingSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : endingSignals)
        sigaddset(&set, signal);
    return set;
}

void installHandlers()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const int signal : endingSignals) {
        struct sigaction old
        {
        };
        // A background job of a script ignores SIGINT and SIGQUIT, nohup SIGHUP: so they stay.
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
            continue;
        struct sigaction action
        {
        };
        action.sa_handler = removeTemporaryAndDie;
        action.sa_mask = endingSet();
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
    // Past the file-size limit a write fails, and the failure removes the file.
    std::signal(SIGXFSZ, SIG_IGN);
}
#endif

} // namespace

int createPendingTemporary(const std::filesystem::path &temporary)
{
#ifdef _WIN32
    return ::_wopen(temporary.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const std::string path = temporary.string();
    if (path.size() >= sizeof pendingPath) {
        errno = ENAMETOOLONG;
        return -1;
    }
    installHandlers();
    const sigset_t held = endingSet();
    sigset_t before;
    ::sigprocmask(SIG_BLOCK, &held, &before);
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    const int openErrno = errno;
    if (fd >= 0) {
        std::memcpy(pendingPath, path.c_str(), path.size() + 1);
        pending = 1;
    }
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    errno = openErrno;
    return fd;
#endif
}

void releasePendingTemporary()
{
#ifndef _WIN32
    pending = 0;
#endif
}

} // namespace lanshan
