#pragma once

#include <filesystem>
#include <string>

// Where a chain of symbolic links ends, followed one link at a time, so that the report replaces
// the file at the end and never a link on the way. What the system would refuse to follow is
// refused here too: more than 40 links (a loop among them), and a link in a sticky folder that
// anyone may write to, owned neither by the caller nor by the folder's owner (the rule of Linux's
// protected_symlinks, applied whether or not the system applies it).
namespace lanshan {

struct LinkChain
{
    std::filesystem::path end; // the path itself where it is no link
    std::string fault;         // why the chain is not followed; empty where it is
};

// The links of the path's last name only: the folders on the way are the system's to follow.
LinkChain followLinkChain(const std::filesystem::path &path);

} // namespace lanshan
