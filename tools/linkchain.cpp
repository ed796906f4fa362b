#include "linkchain.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>

#include <sys/stat.h>
#endif

namespace lanshan {

namespace fs = std::filesystem;

namespace {

// Linux's MAXSYMLINKS: a chain the system would not follow is not followed here either.
constexpr int maxLinks = 40;

// Why the link may not be followed by this caller; empty where it may.
std::string strangersLink([[maybe_unused]] const fs::path &link)
{
#ifdef _WIN32
    return {};
#else
    struct stat own
    {
    };
    struct stat folder
    {
    };
    const fs::path folderPath = link.has_parent_path() ? link.parent_path() : fs::path(".");
    if (::lstat(link.c_str(), &own) != 0 || ::stat(folderPath.c_str(), &folder) != 0)
        return std::strerror(errno);
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (shared && own.st_uid != ::geteuid() && own.st_uid != folder.st_uid)
        return "the link " + link.string() + " is another user's in the sticky folder " + folderPath.string()
               + ", and is not followed";
    return {};
#endif
}

} // namespace

LinkChain followLinkChain(const fs::path &path)
{
    LinkChain chain{path, {}};
    for (int links = 0;; ++links) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(chain.end, error)))
            return chain;
        if (links == maxLinks) {
            chain.fault = std::strerror(ELOOP);
            return chain;
        }
        chain.fault = strangersLink(chain.end);
        if (!chain.fault.empty())
            return chain;
        const fs::path to = fs::read_symlink(chain.end, error);
        if (error) {
            chain.fault = error.message();
            return chain;
        }
        // A relative link names a path from its own folder, as the system reads it.
        chain.end = to.is_absolute() || !chain.end.has_parent_path() ? to : chain.end.parent_path() / to;
    }
}

} // namespace lanshan
