#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Where reorder --explain writes its report, so that nothing but the file asked for changes and
// nothing half-written passes for a report:
// - a regular file, or a path where nothing is yet, is replaced whole: the report goes into a
//   new file of a unique name in the same folder (created exclusively, with the mode, owner and
//   group of the file it replaces where the caller may set them, else its mode from the umask),
//   which is flushed to the disk and renamed over the target only once all of it is written;
// - a symbolic link is followed to the end of its chain (linkchain.h), and the file there is
//   replaced so, the links left as they are; a chain that may not be followed is refused;
// - standard output's or standard error's own file gets the report through that stream, after
//   what was written to it;
// - anything else that can be written, a device, a FIFO or a terminal, is written directly;
// - a folder, and a regular file without write permission, are refused as they are.
// The temporary file is removed on every failure and by the signals that end the process
// (pendingtemporary.h); past the file-size limit a write fails instead of ending the process.
namespace lanshan {

class ReportFile
{
public:
    explicit ReportFile(std::filesystem::path target);
    ~ReportFile();

    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;

    // Why the report may not go to the target at all: it names one of the inputs (through any
    // path or link). Empty where it may.
    static std::string inputClash(const std::filesystem::path &target, const std::filesystem::path &input);

    // Makes the file to write into; false, with the reason, where it cannot.
    bool open(std::string &error);
    bool write(std::string_view block);
    // Puts what was written in place; false, with the reason, where that fails, the target then
    // left as it was.
    bool commit(std::string &error);

private:
    void discard();
    bool fail(std::string &error, std::string reason);
    bool openTemporary(std::string &error);

    std::filesystem::path m_target;
    std::filesystem::path m_final;     // the end of the target's chain of links
    std::filesystem::path m_temporary; // empty where the target is written directly
    std::FILE *m_file = nullptr;
    bool m_toStream = false; // m_file is standard output or standard error
    bool m_writeFailed = false;
    int m_writeErrno = 0;
};

} // namespace lanshan
