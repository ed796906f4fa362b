#include "reportfile.h"

#include "linkchain.h"
#include "pendingtemporary.h"

#include <algorithm>
#include <cerrno>
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

bool isStream([[maybe_unused]] const fs::path &path, [[maybe_unused]] std::FILE *stream)
{
#ifdef _WIN32
    return false;
#else
    struct stat target
    {
    };
    struct stat own
    {
    };
    return ::stat(path.c_str(), &target) == 0 && ::fstat(::fileno(stream), &own) == 0 && target.st_dev == own.st_dev
           && target.st_ino == own.st_ino;
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

std::size_t longestName([[maybe_unused]] const fs::path &folder)
{
#ifdef _WIN32
    return 255;
#else
    const long longest = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : 255;
#endif
}

// "." and as much of the name as fits before a unique ending, cut between two characters: a
// name as long as the folder takes can still be replaced.
std::string temporaryName(const std::string &name, std::uint64_t unique, std::size_t longest)
{
    char ending[32];
    std::snprintf(ending, sizeof ending, ".reorder-%016llx", static_cast<unsigned long long>(unique));
    const std::size_t fixed = 1 + std::strlen(ending);
    std::size_t kept = std::min(name.size(), longest > fixed ? longest - fixed : 0);
    while (kept > 0 && kept < name.size() && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
        --kept;
    return "." + name.substr(0, kept) + ending;
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
    const LinkChain chain = followLinkChain(m_target);
    if (!chain.fault.empty())
        return fail(error, chain.fault);
    m_final = chain.end;
    std::error_code statusError;
    const fs::file_status status = fs::status(m_target, statusError);
    if (statusError && status.type() != fs::file_type::not_found)
        return fail(error, statusError.message());
    if (fs::is_directory(status))
        return fail(error, "it is a folder");
    if (!fs::exists(status))
        return openTemporary(error);
    for (std::FILE *stream : {stdout, stderr}) {
        if (isStream(m_target, stream)) {
            m_toStream = true;
            m_file = stream;
            return true;
        }
    }
    if (!fs::is_regular_file(status)) {
        // A device, a FIFO, a terminal: written as it is, never replaced.
        errno = 0;
#ifdef _WIN32
        m_file = ::_wfopen(m_target.c_str(), L"wb");
#else
        m_file = std::fopen(m_target.c_str(), "wb");
#endif
        return m_file ? true : fail(error, std::strerror(errno));
    }
    if (!writable(m_target))
        return fail(error, "it is read-only");
    std::error_code sameError;
    if (m_final != m_target && !fs::equivalent(m_target, m_final, sameError))
        return fail(error, "its links changed while they were followed");
    return openTemporary(error);
}

// A new file of a unique name beside the file to replace, made here and nowhere else.
bool ReportFile::openTemporary(std::string &error)
{
#ifndef _WIN32
    struct stat replaced
    {
    };
    const bool replacing = ::stat(m_final.c_str(), &replaced) == 0;
#endif
    std::random_device seed;
    std::mt19937_64 random(seed() ^ (std::uint64_t(seed()) << 32));
    const fs::path folder = m_final.parent_path();
    const std::size_t longest = longestName(folder);
    const std::string name = m_final.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = folder / temporaryName(name, random(), longest);
        const int fd = createPendingTemporary(m_temporary);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            const int createErrno = errno;
            m_temporary.clear();
            return fail(error, std::strerror(createErrno));
        }
#ifdef _WIN32
        m_file = ::_fdopen(fd, "wb");
#else
        // As an editor that saves through a new file: the file keeps its mode, and its owner and
        // group where the caller may give them (only root may give a file away).
        const bool kept = !replacing
                          || ((::fchown(fd, replaced.st_uid, static_cast<gid_t>(-1)) == 0 || errno == EPERM)
                              && (::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) == 0 || errno == EPERM)
                              && ::fchmod(fd, replaced.st_mode & 07777) == 0);
        m_file = kept ? ::fdopen(fd, "wb") : nullptr;
#endif
        if (!m_file) {
            const int openErrno = errno;
#ifdef _WIN32
            ::_close(fd);
#else
            ::close(fd);
#endif
            return fail(error, std::strerror(openErrno));
        }
        return true;
    }
    m_temporary.clear();
    return fail(error, std::strerror(EEXIST));
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
    if (m_toStream) {
        std::FILE *stream = m_file;
        m_file = nullptr;
        return std::fflush(stream) == 0 && !std::ferror(stream)
                   ? true
                   : fail(error, errno ? std::strerror(errno) : "write error");
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
    fs::rename(m_temporary, m_final, renameError);
    if (renameError)
        return fail(error, renameError.message());
    releasePendingTemporary();
    m_temporary.clear();
    return true;
}

void ReportFile::discard()
{
    if (m_file && !m_toStream)
        std::fclose(m_file);
    m_file = nullptr;
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(m_temporary, ignored);
        releasePendingTemporary();
        m_temporary.clear();
    }
}

} // namespace lanshan
