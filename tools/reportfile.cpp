#include "reportfile.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <system_error>

#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace lanshan {

namespace fs = std::filesystem;

namespace {

// The temporary file a signal handler removes: a fixed buffer, as only async-signal-safe calls
// may touch it there.
#ifndef _WIN32
char pendingTemporary[4096];
volatile std::sig_atomic_t temporaryPending = 0;

extern "C" void removeTemporaryAndDie(int signal)
{
    if (temporaryPending) {
        ::unlink(pendingTemporary);
        static const char said[] = "reorder: stopped; the report was not written, its file is as it was\n";
        [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, said, sizeof said - 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void guardTemporary(const fs::path &temporary)
{
    const std::string path = temporary.string();
    if (path.size() >= sizeof pendingTemporary)
        return;
    std::memcpy(pendingTemporary, path.c_str(), path.size() + 1);
    temporaryPending = 1;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, removeTemporaryAndDie);
    // Past the file-size limit a write fails, and the failure removes the file.
    std::signal(SIGXFSZ, SIG_IGN);
}

void releaseTemporary()
{
    temporaryPending = 0;
}
#else
void guardTemporary(const fs::path &) { }
void releaseTemporary() { }
#endif

// The path a chain of symbolic links ends at; the path itself where it is none.
fs::path followLinks(fs::path path)
{
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++hops) {
        const fs::path to = fs::read_symlink(path, error);
        if (error)
            break;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

bool isStandardOutput(const fs::path &path)
{
#ifdef _WIN32
    (void)path;
    return false;
#else
    struct stat target
    {
    };
    struct stat output
    {
    };
    return ::stat(path.c_str(), &target) == 0 && ::fstat(STDOUT_FILENO, &output) == 0 && target.st_dev == output.st_dev
           && target.st_ino == output.st_ino;
#endif
}

bool writable(const fs::path &path)
{
#ifdef _WIN32
    const fs::perms perms = fs::status(path).permissions();
    return (perms & fs::perms::owner_write) != fs::perms::none;
#else
    // Root may write anything: a file that nobody may write is read-only all the same.
    struct stat info
    {
    };
    return ::access(path.c_str(), W_OK) == 0 && ::stat(path.c_str(), &info) == 0
           && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
#endif
}

// A new file of a unique name beside the target, made here and nowhere else.
std::FILE *createTemporary(const fs::path &target, fs::path &temporary, int &error)
{
    std::random_device seed;
    std::mt19937_64 random(seed() ^ (std::uint64_t(seed()) << 32));
    const fs::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        temporary = folder / std::string(".").append(target.filename().string()).append(".reorder-").append(suffix);
#ifdef _WIN32
        const int fd = ::_wopen(temporary.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        const int fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
#endif
        if (fd < 0) {
            error = errno;
            if (error == EEXIST)
                continue;
            temporary.clear();
            return nullptr;
        }
        guardTemporary(temporary);
#ifdef _WIN32
        std::FILE *file = ::_fdopen(fd, "wb");
#else
        std::FILE *file = ::fdopen(fd, "wb");
#endif
        if (!file) {
            error = errno;
#ifdef _WIN32
            ::_close(fd);
#else
            ::close(fd);
#endif
        }
        return file;
    }
    temporary.clear();
    error = EEXIST;
    return nullptr;
}

bool flushToDisk(std::FILE *file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return ::_commit(::_fileno(file)) == 0;
#else
    // A device or a FIFO cannot be synchronised, nor needs to be.
    return ::fsync(::fileno(file)) == 0 || errno == EINVAL || errno == EROFS;
#endif
}

} // namespace

ReportFile::ReportFile(fs::path target)
    : m_target(std::move(target))
{ }

ReportFile::~ReportFile()
{
    discard();
}

std::string ReportFile::inputClash(const fs::path &target, const fs::path &input)
{
    std::error_code error;
    if (!fs::exists(target, error) || !fs::equivalent(target, input, error) || error)
        return {};
    return "the report " + target.string() + " is the input " + input.string();
}

bool ReportFile::fail(std::string &error, std::string reason)
{
    discard();
    error = std::move(reason);
    return false;
}

bool ReportFile::open(std::string &error)
{
    std::error_code statusError;
    const fs::file_status status = fs::status(m_target, statusError);
    if (fs::is_directory(status))
        return fail(error, "it is a folder");
    if (fs::exists(status) && isStandardOutput(m_target)) {
        m_toStandardOutput = true;
        m_file = stdout;
        return true;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        // A device, a FIFO, a terminal: written as it is, never replaced.
        errno = 0;
#ifdef _WIN32
        m_file = ::_wfopen(m_target.c_str(), L"wb");
#else
        m_file = std::fopen(m_target.c_str(), "wb");
#endif
        return m_file ? true : fail(error, std::strerror(errno));
    }
    if (fs::exists(status) && !writable(m_target))
        return fail(error, "it is read-only");
    int createError = 0;
    m_file = createTemporary(followLinks(m_target), m_temporary, createError);
    if (!m_file)
        return fail(error, std::strerror(createError));
    return true;
}

bool ReportFile::write(std::string_view block)
{
    if (m_writeFailed || !m_file)
        return false;
    errno = 0;
    if (std::fwrite(block.data(), 1, block.size(), m_file) != block.size()) {
        m_writeFailed = true;
        m_writeErrno = errno;
        return false;
    }
    return true;
}

bool ReportFile::commit(std::string &error)
{
    if (!m_file)
        return fail(error, "no file");
    if (m_writeFailed)
        return fail(error, m_writeErrno ? std::strerror(m_writeErrno) : "write error");
    errno = 0;
    if (m_toStandardOutput) {
        m_file = nullptr;
        return std::fflush(stdout) == 0 ? true : fail(error, errno ? std::strerror(errno) : "write error");
    }
    const bool flushed = m_temporary.empty() ? std::fflush(m_file) == 0 : flushToDisk(m_file);
    const int flushErrno = errno;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!flushed || !closed)
        return fail(error, flushErrno ? std::strerror(flushErrno) : errno ? std::strerror(errno) : "write error");
    if (m_temporary.empty())
        return true;
    std::error_code renameError;
    fs::rename(m_temporary, followLinks(m_target), renameError);
    if (renameError)
        return fail(error, renameError.message());
    releaseTemporary();
    m_temporary.clear();
    return true;
}

void ReportFile::discard()
{
    if (m_file && !m_toStandardOutput)
        std::fclose(m_file);
    m_file = nullptr;
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(m_temporary, ignored);
        releaseTemporary();
        m_temporary.clear();
    }
}

} // namespace lanshan
