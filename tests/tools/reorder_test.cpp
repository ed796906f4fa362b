// Runs the reorder tool as a user would and checks exit codes, messages and output bytes.

#include "reorderoptions.h"
#include "takingcases.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

struct Outcome
{
    int code = -1;
    std::string out;
    std::string err;
};

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A run that wrote nothing to standard output: the exit code, and the message among the errors.
::testing::AssertionResult refused(const Outcome &o, int code, const std::string &message)
{
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (o.code != code)
        result = ::testing::AssertionFailure() << "exit code " << o.code << ", expected " << code << "; ";
    if (!o.out.empty())
        result = ::testing::AssertionFailure() << result.message() << "output \"" << o.out << "\"; ";
    if (o.err.find(message) == std::string::npos)
        result = ::testing::AssertionFailure() << result.message() << "no \"" << message << "\" in: " << o.err;
    return result;
}

class Reorder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("reorder-test-") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path file(const std::string &name, const std::string &bytes)
    {
        const fs::path path = m_dir / name;
        writeAll(path, bytes);
        return path;
    }

    Outcome run(const std::string &args)
    {
        const fs::path out = m_dir / "stdout";
        const fs::path err = m_dir / "stderr";
        // On Windows the path may come from a cross build (/work/...): made native and absolute,
        // it lies on the drive Wine maps the file system to. cmd.exe takes the outer quotes off.
        const std::string program = fs::absolute(fs::path(REORDER_PATH).make_preferred()).string();
        std::string command = "\"" + program + "\" " + args + " > \"" + out.string() + "\" 2> \"" + err.string() + "\"";
#ifdef _WIN32
        command = "\"" + command + "\"";
#endif
        const int status = std::system(command.c_str());
        Outcome o;
#ifdef _WIN32
        o.code = status;
#else
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        o.out = readAll(out);
        o.err = readAll(err);
#ifdef _WIN32
        // Messages go to a text stream, whose line ends are CR LF on Windows.
        std::erase(o.err, '\r');
#endif
        return o;
    }

    Outcome run(const std::string &options, const std::string &keys, const std::string &data)
    {
        return run(options + inputs(keys, data));
    }

    // The two files written, as the end of a command line.
    std::string inputs(const std::string &keys, const std::string &data)
    {
        const fs::path k = file("keys.txt", keys);
        const fs::path d = file("data.txt", data);
        return " \"" + k.string() + "\" \"" + d.string() + "\"";
    }

#ifndef _WIN32
    static std::string program()
    {
        return "\"" + std::string(REORDER_PATH) + "\"";
    }

    // A line of the shell, run in the test's folder, that sends the program's outputs where it
    // says; the status as a shell gives it, 128 and the signal's number for a run a signal ended.
    Outcome shell(const std::string &command)
    {
        fs::remove(m_dir / "stdout");
        fs::remove(m_dir / "stderr");
        const int status = std::system(("cd \"" + m_dir.string() + "\" && " + command).c_str());
        Outcome o;
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
        o.out = readAll(m_dir / "stdout");
        o.err = readAll(m_dir / "stderr");
        return o;
    }
#endif

    // The temporary files of reports left in the test's folder.
    std::vector<std::string> temporaries() const
    {
        std::vector<std::string> left;
        for (const auto &entry : fs::recursive_directory_iterator(m_dir)) {
            if (entry.path().filename().string().find(".reorder-") != std::string::npos)
                left.push_back(entry.path().filename().string());
        }
        return left;
    }

    fs::path m_dir;
};

} // namespace

TEST_F(Reorder, WritesTheResultWithLfAndNothingAfterTheLastLine)
{
    Outcome o = run("", "a1\r\nb2\r\nc3", "c3\t70\na1\t90\n");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "a1\t90\n\nc3\t70");
    EXPECT_EQ(o.err, "");

    // A key file ending with a line end has an empty last key; lone CR ends a line too.
    o = run("", "\xEF\xBB\xBF李雷\r韩梅梅\n", "韩梅梅\t95\t优秀\r\n李雷\t88\t良好");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "李雷\t88\t良好\n韩梅梅\t95\t优秀\n");
}

TEST_F(Reorder, DuplicatesAreReportedOrSettledAsAsked)
{
    const std::string keys = "a1\nb2\nc3\n";
    const std::string data = "a1\t90\nb2\t1\na1\t91\nc3\t5\nb2\t2\n";
    Outcome o = run("", keys, data);
    EXPECT_TRUE(refused(o, 3, "questionable entry 1 \"a1\": rows 1 3\n"));
    EXPECT_NE(o.err.find("questionable entry 2 \"b2\": rows 2 5\n"), std::string::npos) << o.err;

    EXPECT_EQ(run("--duplicates=first", keys, data).out, "a1\t90\nb2\t1\nc3\t5\n");
    EXPECT_EQ(run("--duplicates=last", keys, data).out, "a1\t91\nb2\t2\nc3\t5\n");
    o = run("--duplicates=empty", keys, data);
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "\n\nc3\t5\n");
}

TEST_F(Reorder, TooFewKeysAndEmptyInputs)
{
    Outcome o = run("", "  a1  ", "a1\t90");
    EXPECT_TRUE(refused(
        o, 2, "reorder: 键文件 " + (m_dir / "keys.txt").string() + " 不足两行：至少要有两行关键字才能筛选。\n"));

    // Empty data: the result is still written, with the warning.
    o = run("", "a1\nb2", "");
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "\n");
    EXPECT_EQ(o.err, "reorder: 键文件 " + (m_dir / "keys.txt").string() + " 或数据文件 " + (m_dir / "data.txt").string()
                         + " 为空，结果中没有数据行，请检查输入。\n");

    // Spaces alone are data, but a result of empty lines only is no result: said, status 1.
    o = run("", "a1\nb2", "   ");
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "\n");
    EXPECT_EQ(o.err, "reorder: every line of the result is empty: no key line was given a row\n");
}

TEST_F(Reorder, BadFilesAndUsageFailClearly)
{
    const fs::path keys = file("keys.txt", "a1\nb2");
    Outcome o = run("\"" + keys.string() + "\" \"" + (m_dir / "missing.txt").string() + "\"");
    EXPECT_TRUE(refused(o, 2, "missing.txt"));

    o = run("", "a1\nb2", "a1\t90\nb2\t\xC3\x28");
    EXPECT_TRUE(refused(o, 2, "data.txt: not UTF-8 at byte offset 9"));

    // Encoded surrogates and overlong forms are not UTF-8 either.
    EXPECT_EQ(run("", "a1\n\xED\xA0\x80", "a1\t1").code, 2);
    EXPECT_EQ(run("", "a1\n\xC0\xAF", "a1\t1").code, 2);

    EXPECT_EQ(run("--duplicates=maybe", "a\nb", "a\t1").code, 2);
    EXPECT_EQ(run("--bogus", "a\nb", "a\t1").code, 2);
    EXPECT_EQ(run("\"" + keys.string() + "\"").code, 2);
    o = run("--version");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out.rfind("reorder ", 0), 0u);
}

TEST_F(Reorder, ExplainWritesTheReportAndLeavesTheResultAlone)
{
    const std::string keys = "张三\nb2\nc3\n";
    const std::string data = "张 三\t90\nb2\t1\nb2\t2\nc3\t5\n";
    const fs::path report = m_dir / "report.tsv";
    for (const std::string mode : {"--duplicates=first", "--duplicates=empty"}) {
        const Outcome plain = run(mode, keys, data);
        const Outcome explained = run(mode + " --explain=\"" + report.string() + "\"", keys, data);
        EXPECT_EQ(explained.out, plain.out) << mode;
        EXPECT_EQ(explained.code, plain.code) << mode;
        EXPECT_EQ(explained.err, plain.err) << mode;
    }
    EXPECT_EQ(readAll(report), "kind\tkey_line\trow\tcause\tkey\trow_text\n"
                               "missing\t1\t1\tspaces\t张三\t张 三\\t90\n"
                               "left-empty\t2\t\t\tb2\t\n"
                               "unused\t\t1\tnear\t\t张 三\\t90\n"
                               "unused\t\t2\tduplicate\t\tb2\\t1\n"
                               "unused\t\t3\tduplicate\t\tb2\\t2\n");

    // No result, no report.
    fs::remove(report);
    EXPECT_EQ(run("--explain=\"" + report.string() + "\"", keys, data).code, 3);
    EXPECT_FALSE(fs::exists(report));

    // A report that cannot be written: the result is, and the status says what is missing.
    const Outcome o = run("--duplicates=first --explain=\"" + (m_dir / "none" / "r.tsv").string() + "\"", keys, data);
    EXPECT_EQ(o.code, 4);
    EXPECT_EQ(o.out, "\nb2\t1\nc3\t5\n");
    EXPECT_NE(o.err.find("reorder: cannot write the report"), std::string::npos) << o.err;
}

// Every place --explain may name: what is replaced, what is written as it is, what is refused,
// and never a file of the report's own left behind, whatever happened.
TEST_F(Reorder, ReportTargets)
{
    const std::string keys = "张三\nb2\n";
    const std::string data = "张 三\t90\nb2\t1\n";
    const std::string result = "\nb2\t1\n";
    const std::string header = "kind\tkey_line\trow\tcause\tkey\trow_text\n";
    const std::string older = "an older report\n";
    struct Case
    {
        const char *what;
        std::function<fs::path()> target; // made in the test's folder
        int code;
        std::string err;                                   // a piece of it
        std::function<std::string(const fs::path &)> left; // what stands at the target afterwards
    };
    const auto contents = [](const fs::path &path) { return readAll(path).substr(0, 17); };
    const std::vector<Case> cases = {
        {"a new file", [&] { return m_dir / "new.tsv"; }, 0, "", contents},
        {"a regular file", [&] { return file("report.tsv", older); }, 0, "", contents},
        {"a folder", [&] { return fs::create_directories(m_dir / "folder"), m_dir / "folder"; }, 4, "it is a folder",
         [](const fs::path &p) { return std::string(fs::is_directory(p) ? "folder" : "gone"); }},
        // The data file, under its own name or another: nothing is read, nothing written.
        {"the data file", [&] { return m_dir / "data.txt"; }, 2, "--explain: the report", contents},
#ifndef _WIN32
        {"a link to the keys", [&] { return fs::create_symlink("keys.txt", m_dir / "k.tsv"), m_dir / "k.tsv"; }, 2,
         "is the input", contents},
        // The link stays a link; the file it names gets the report.
        {"a symbolic link",
         [&] {
             file("real.tsv", older);
             fs::create_symlink("real.tsv", m_dir / "link.tsv");
             return m_dir / "link.tsv";
         },
         0, "",
         [&](const fs::path &p) { return (fs::is_symlink(p) ? "link " : "file ") + contents(m_dir / "real.tsv"); }},
        {"a read-only file",
         [&] {
             const fs::path p = file("readonly.tsv", older);
             fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return p;
         },
         4, "it is read-only", contents},
        {"a device", [] { return fs::path("/dev/null"); }, 0, "",
         [](const fs::path &p) { return std::string(fs::is_character_file(p) ? "device" : "replaced"); }},
        {"a full device", [] { return fs::path("/dev/full"); }, 4, "cannot write the report /dev/full",
         [](const fs::path &p) { return std::string(fs::is_character_file(p) ? "device" : "replaced"); }},
        // Standard output, here a file: the report after the result, the result kept.
        {"standard output", [] { return fs::path("/dev/stdout"); }, 0, "",
         [&](const fs::path &) { return readAll(m_dir / "stdout").substr(0, result.size() + header.size()); }},
#endif
    };
    const std::map<std::string, std::string> expected = {
        {"a new file", header.substr(0, 17)},
        {"a regular file", header.substr(0, 17)},
        {"a folder", "folder"},
        {"the data file", data.substr(0, 17)},
        {"a link to the keys", keys},
        {"a symbolic link", "link " + header.substr(0, 17)},
        {"a read-only file", older},
        {"a device", "device"},
        {"a full device", "device"},
        {"standard output", result + header},
    };
    for (const Case &c : cases) {
        const fs::path target = c.target();
        const Outcome o = run("--explain=\"" + target.string() + "\"", keys, data);
        EXPECT_EQ(o.code, c.code) << c.what << ": " << o.err;
        if (c.code != 2)
            EXPECT_EQ(o.out.substr(0, result.size()), result) << c.what;
        else
            EXPECT_EQ(o.out, "") << c.what;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.what << ": " << o.err;
        EXPECT_EQ(c.left(target), expected.at(c.what)) << c.what;
        for (const auto &entry : fs::directory_iterator(m_dir))
            EXPECT_EQ(entry.path().filename().string().find(".reorder-"), std::string::npos)
                << c.what << ": " << entry.path();
    }
}

// A file of the user's that bears the name older versions wrote to stays as it is, and two runs
// with the same report each write a whole report of their own.
TEST_F(Reorder, ReportNamesOfItsOwn)
{
    const std::string keys = "张三\nb2\n";
    const std::string data = "张 三\t90\nb2\t1\n";
    const fs::path report = m_dir / "report.tsv";
    const fs::path users = file("report.tsv.reorder-tmp", "mine\n");
    EXPECT_EQ(run("--explain=\"" + report.string() + "\"", keys, data).code, 0);
    EXPECT_EQ(readAll(users), "mine\n");
    const std::string whole = readAll(report);
    EXPECT_EQ(whole.rfind("kind\tkey_line", 0), 0u);

#ifndef _WIN32
    const fs::path k = file("keys.txt", keys);
    const fs::path d = file("data.txt", data);
    const std::string one = "\"" + std::string(REORDER_PATH) + "\" --explain=\"" + report.string() + "\" \""
                            + k.string() + "\" \"" + d.string() + "\" >/dev/null 2>>\"" + (m_dir / "errors").string()
                            + "\"";
    for (int round = 0; round < 5; ++round) {
        const std::string both = "sh -c '" + one + " & " + one + " & wait $!; s1=$?; wait; exit $s1'";
        EXPECT_EQ(std::system(both.c_str()), 0) << readAll(m_dir / "errors");
        EXPECT_EQ(readAll(report), whole) << round;
    }
    EXPECT_EQ(readAll(m_dir / "errors"), "");
#endif
}

#ifndef _WIN32
// Limits of the process: a report past the file-size limit fails in words with status 4, the old
// report kept; memory that runs out says so with the status of how far the run got, never a
// signal. (A build with a sanitizer cannot start under a small address space: that part is
// skipped there.)
TEST_F(Reorder, LimitsOfTheProcess)
{
    std::string keys;
    std::string data;
    // Appended piece by piece: at -O3 GCC 12 takes operator+ of a literal and a temporary for
    // an overlapping copy (-Wrestrict).
    for (int i = 0; i < 100000; ++i) {
        keys += 'k';
        keys += std::to_string(i);
        keys += '\n';
        data += 'x';
        data += std::to_string(i);
        data += '\t';
        data.append(40, 'v');
        data += '\n';
    }
    const fs::path k = file("keys.txt", keys);
    const fs::path d = file("data.txt", data);
    const fs::path report = file("report.tsv", "an older report\n");
    const auto limited = [&](const std::string &limit, const std::string &options) {
        const std::string command = "sh -c 'ulimit " + limit + "; exec \"" + std::string(REORDER_PATH) + "\" " + options
                                    + " \"" + k.string() + "\" \"" + d.string() + "\"' >/dev/null 2>\""
                                    + (m_dir / "stderr").string() + "\"";
        const int status = std::system(command.c_str());
        return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", readAll(m_dir / "stderr")};
    };
    // 64 blocks of 512 bytes: the result fits, on standard output elsewhere; the report does not.
    Outcome o = limited("-f 64", "--explain=\"" + report.string() + "\"");
    EXPECT_EQ(o.code, 4) << o.err;
    EXPECT_NE(o.err.find("cannot write the report"), std::string::npos) << o.err;
    EXPECT_EQ(readAll(report), "an older report\n");
    for (const auto &entry : fs::directory_iterator(m_dir))
        EXPECT_EQ(entry.path().filename().string().find(".reorder-"), std::string::npos) << entry.path();

    if (limited("-v 400000", "--version").code != 0)
        GTEST_SKIP() << "this build does not start under a small address space";
    // Every line shares its row with another: the check of the rows after the result needs
    // memory of its own. Whatever the limit, status 2 means nothing on standard output, and a
    // result is whole or its status says it is not.
    std::string sharedKeys;
    std::string sharedData;
    for (int i = 0; i < 100000; ++i) {
        sharedKeys += std::to_string(i);
        sharedKeys += '\n';
        if (i % 2 == 0) {
            sharedData += std::to_string(i);
            sharedData += "\tz\t";
            sharedData += std::to_string(i + 1);
            sharedData += '\t';
            sharedData += std::to_string(i);
            sharedData += '\n';
        }
    }
    writeAll(k, sharedKeys);
    writeAll(d, sharedData);
    const auto resultUnder = [&](const std::string &limit) {
        const std::string command = "sh -c '" + limit + "exec \"" + std::string(REORDER_PATH)
                                    + "\" --duplicates=first \"" + k.string() + "\" \"" + d.string() + "\"' >\""
                                    + (m_dir / "stdout").string() + "\" 2>\"" + (m_dir / "stderr").string() + "\"";
        const int status = std::system(command.c_str());
        return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(m_dir / "stdout"),
                       readAll(m_dir / "stderr")};
    };
    const Outcome whole = resultUnder("");
    ASSERT_EQ(whole.code, 1) << whole.err;
    std::set<int> seen;
    for (int limit = 16000; limit <= 44000; limit += 1000) {
        o = resultUnder("ulimit -v " + std::to_string(limit) + "; ");
        seen.insert(o.code);
        switch (o.code) {
        case 1: EXPECT_EQ(o.out, whole.out) << limit; break;
        case 2:
            EXPECT_EQ(o.out, "") << limit;
            EXPECT_EQ(o.err, "reorder: out of memory\n") << limit;
            break;
        case 4:
            EXPECT_EQ(o.out, whole.out) << limit;
            EXPECT_EQ(o.err.rfind("reorder: out of memory after the whole result was written: ", 0), 0u) << o.err;
            break;
        case 5:
            EXPECT_NE(o.out, whole.out) << limit;
            EXPECT_NE(o.err.find("the result on standard output is cut short"), std::string::npos) << o.err;
            break;
        default: ADD_FAILURE() << limit << ": status " << o.code << ": " << o.err;
        }
    }
    // The limits reach from too little to read the files to enough for the whole run.
    EXPECT_TRUE(seen.contains(2));
    EXPECT_TRUE(seen.contains(1));
}
#endif

// Seat numbers: student 3 is absent and student 2 scored 3, so the rule gives line 3 student 2's
// row; the key column takes each student's own row, and the plain run names the lines it doubts.
TEST_F(Reorder, KeyColumnAndSuspectLines)
{
    const std::string keys = "1\n2\n3\n4\n";
    const std::string data = "1\t张一\t90\t1\n2\t张二\t3\t2\n4\t张四\t70\t4\n";
    const std::string byRule = "1\t张一\t90\t1\n2\t张二\t3\t2\n2\t张二\t3\t2\n4\t张四\t70\t4\n";
    const std::string ownRows = "1\t张一\t90\t1\n2\t张二\t3\t2\n\n4\t张四\t70\t4\n";
    const struct
    {
        std::string options;
        int code;
        std::string out;
        std::string err; // a piece of it
    } cases[] = {
        {"", 1, byRule, "suspect entry 3 \"3\": row 2 (other-column+shared-row)\n"},
        // Seat 3 stands only outside the key column, in student 2's score: named, status 1.
        {"--key-column=auto", 1, ownRows, "outside the key column: entry 3 \"3\": row 2 (other-column)\n"},
        {"--key-column=1", 1, ownRows, "reorder: 1 lines found a row only outside key column 1"},
        {"--key-column=2", 1, "\n\n\n\n", "every line of the result is empty"}, // names: no key there
        {"--key-column=0", 2, "", "--key-column takes a column number from 1 or auto, not: 0"},
        {"--key-column=x", 2, "", "not: x"},
    };
    for (const auto &c : cases) {
        const Outcome o = run(c.options, keys, data);
        EXPECT_EQ(o.code, c.code) << c.options << ": " << o.err;
        EXPECT_EQ(o.out, c.out) << c.options;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.options << ": " << o.err;
    }
    EXPECT_NE(run("", keys, data).err.find("suspect entry 2 \"2\": row 2 (shared-row)\n"), std::string::npos);

    // With the report, the suspect lines go there, last, and the status is as before.
    const fs::path report = m_dir / "report.tsv";
    const Outcome o = run("--explain=\"" + report.string() + "\"", keys, data);
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(readAll(report), "kind\tkey_line\trow\tcause\tkey\trow_text\n"
                               "suspect\t2\t2\tshared-row\t2\t2\\t张二\\t3\\t2\n"
                               "suspect\t3\t2\tother-column+shared-row\t3\t2\\t张二\\t3\\t2\n");

    // In one column, a line is missing with the unused row the rule would give it, and says why.
    const Outcome inColumn =
        run("--key-column=1 --explain=\"" + report.string() + "\"", "1\n3\n", "1\tA\t1\tz\n2\tB\t3\tz\n");
    EXPECT_EQ(inColumn.code, 1) << inColumn.err;
    EXPECT_EQ(inColumn.out, "1\tA\t1\tz\n\n");
    EXPECT_NE(inColumn.err.find("outside the key column: entry 2 \"3\": row 2 (other-column)"), std::string::npos);
    EXPECT_NE(readAll(report).find("missing\t2\t2\tother-column\t3\t2\\tB\\t3\\tz\n"), std::string::npos)
        << readAll(report);

    // No column holds most keys: the rule, and a word on standard error.
    const Outcome rule = run("--key-column=auto", "a1\nb2\nc3\nd4\n", "a1\tx\t1\nb2\tx\t1\nx\tc3\t1\ny\td4\t1\n");
    EXPECT_EQ(rule.out, "a1\tx\t1\nb2\tx\t1\nx\tc3\t1\ny\td4\t1\n");
    EXPECT_NE(rule.err.find("no key column"), std::string::npos) << rule.err;
}

TEST_F(Reorder, ColumnsCutEveryResultLine)
{
    // Line 2 has no row; student 4's row is short. Matching is as without --columns.
    const std::string keys = "1\nx\n2\n4\n";
    const std::string data = "1\t张一\t90\t85\n2\t张二\t70\t60\n4\t张四\n";
    const struct
    {
        std::string columns;
        int code;
        std::string out;
        std::string err; // a piece of it
    } cases[] = {
        {"3", 0, "90\n\n70\n\n", ""},
        {"4,1", 0, "85\t1\n\n60\t2\n\t4\n", ""},
        {"2-3", 0, "张一\t90\n\n张二\t70\n张四\t\n", ""},
        {"0", 2, "", "--columns: \"0\": columns are numbered from 1"},
        {"a", 2, "", "\"a\" is not a column number"},
        {"4-2", 2, "", "\"4-2\": a range runs from the smaller number to the larger"},
        {"", 2, "", "no column listed"},
        // A byte that is not UTF-8 ends nothing early: the list is refused.
        {"1,\xff"
         "5",
         2, "", "--columns: not UTF-8 at byte offset 2"},
    };
    for (const auto &c : cases) {
        const Outcome o = run("--key-column=1 --columns=" + c.columns, keys, data);
        EXPECT_EQ(o.code, c.code) << c.columns << ": " << o.err;
        EXPECT_EQ(o.out, c.out) << c.columns;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.columns << ": " << o.err;
    }
}

// A class list of 学号 TAB 姓名: every student's row, whatever the sheet's order of columns; a
// student whose row holds another 学号 where the others stand is missing, with that row near as
// other-value; one column cannot hold such a line.
TEST_F(Reorder, ClassListOfSeveralColumns)
{
    const std::string keys = "1\t张三\n2\t李四\n3\t王五\n";
    const std::string data = "姓名\t学号\t语文\n李四\t2\t80\n张三\t1\t90\n王五\t4\t70\n";
    const fs::path report = m_dir / "report.tsv";
    const Outcome o = run("--explain=\"" + report.string() + "\"", keys, data);
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.out, "张三\t1\t90\n李四\t2\t80\n\n");
    EXPECT_NE(readAll(report).find("missing\t3\t4\tother-value\t3\\t王五\t王五\\t4\\t70\n"), std::string::npos)
        << readAll(report);

    EXPECT_TRUE(refused(run("--key-column=1", keys, data), 2, "--key-column=1: the key lines hold 2 cells each"));

    // Matched on the names alone, the list's second column, the run gives 王五 his row.
    const Outcome names = run("--key-cells=2", keys, data);
    EXPECT_EQ(names.code, 0) << names.err;
    EXPECT_EQ(names.out, "张三\t1\t90\n李四\t2\t80\n王五\t4\t70\n");
    EXPECT_TRUE(refused(run("--key-cells=0", keys, data), 2, "--key-cells: \"0\": columns are numbered from 1"));

    // A 学号 that also stands as a score: the rule asks, the columns of the list do not.
    const std::string scores = "学号\t姓名\t语文\n1\t张三\t90\n2\t李四\t3\n3\t王五\t80\n9\t王五\t3\n";
    EXPECT_EQ(run("", keys, scores).code, 3);
    const Outcome columns = run("--key-column=auto", keys, scores);
    EXPECT_EQ(columns.code, 0) << columns.err;
    EXPECT_EQ(columns.out, "1\t张三\t90\n2\t李四\t3\n3\t王五\t80\n");
}

// --take-reliable takes what the window's 采用全部可靠行 takes, row for row (the engine's table of
// a grade's sheet with namesakes), names each taking with status 1, and the report lists them.
TEST_F(Reorder, TakeReliableTakesOnlyTheStudentsOwnRows)
{
    const auto utf8 = [](std::u16string_view text) {
        std::string bytes;
        lanshan::appendUtf8(bytes, text);
        return bytes;
    };
    const auto lf = [](std::string text) {
        std::string out;
        for (const char c : text) {
            if (c != '\r')
                out += c;
        }
        return out;
    };
    for (const lanshan::testcases::TakingCase &c : lanshan::testcases::takingCases()) {
        SCOPED_TRACE(c.name);
        const std::string keys = utf8(c.keys);
        const std::string data = utf8(c.rows);
        const std::string resultThen = lf(utf8(c.resultThen));
        const Outcome plain = run("", keys, data);
        const Outcome taking = run("--take-reliable --explain=\"" + (m_dir / "report.tsv").string() + "\"", keys, data);
        EXPECT_EQ(taking.out, resultThen);
        const bool anyTaken = taking.out != plain.out;
        std::size_t named = 0;
        for (std::size_t at = taking.err.find("taken for entry "); at != std::string::npos;
             at = taking.err.find("taken for entry ", at + 1))
            ++named;
        const std::string tsv = readAll(m_dir / "report.tsv");
        std::size_t takenLines = 0;
        for (std::size_t at = tsv.find("\ntaken\t"); at != std::string::npos; at = tsv.find("\ntaken\t", at + 1))
            ++takenLines;
        if (anyTaken) {
            EXPECT_EQ(taking.code, 1) << taking.err;
            EXPECT_NE(taking.err.find("lines given a near row by --take-reliable"), std::string::npos) << taking.err;
            EXPECT_EQ(named, takenLines) << taking.err << tsv;
            EXPECT_GT(takenLines, 0u);
        } else {
            EXPECT_EQ(named, 0u) << taking.err;
            EXPECT_EQ(takenLines, 0u) << tsv;
        }
    }
}

#ifndef _WIN32
namespace {

// What stands in a folder, by paths from it, in name order: each link with what it names, each
// file with the first word of its text.
std::string listing(std::vector<std::string> entries)
{
    std::ranges::sort(entries);
    std::string joined;
    for (const std::string &entry : entries)
        joined += (joined.empty() ? "" : " ") + entry;
    return joined;
}

std::string listing(const fs::path &dir)
{
    std::vector<std::string> entries;
    for (const auto &entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().lexically_relative(dir).string();
        if (entry.is_symlink()) {
            entries.push_back(name + "->" + fs::read_symlink(entry.path()).string());
        } else if (entry.is_regular_file()) {
            const std::string text = readAll(entry.path());
            entries.push_back(name + "=" + text.substr(0, text.find_first_of("\t\n")));
        }
    }
    return listing(std::move(entries));
}

// l0 -> l1 -> ... -> l<links>, a file holding the word.
std::vector<std::string> chainListing(int links, const std::string &word)
{
    std::vector<std::string> entries;
    for (int i = 0; i < links; ++i)
        entries.push_back("l" + std::to_string(i) + "->l" + std::to_string(i + 1));
    entries.push_back("l" + std::to_string(links) + "=" + word);
    return entries;
}

fs::path makeChain(const fs::path &dir, int links)
{
    writeAll(dir / ("l" + std::to_string(links)), "older\n");
    for (int i = 0; i < links; ++i)
        fs::create_symlink("l" + std::to_string(i + 1), dir / ("l" + std::to_string(i)));
    return dir / "l0";
}

constexpr uid_t nobody = 65534;

} // namespace

// A report through symbolic links: the file at the end of the chain is replaced and no link ever
// is; what the system would not follow (a loop, more than its 40 links, another user's link in
// a sticky folder that anyone may write to) is refused with status 4, nothing changed.
TEST_F(Reorder, ReportThroughLinks)
{
    const std::string keys = "张三\nb2\n";
    const std::string data = "张 三\t90\nb2\t1\n";
    const fs::path dir = m_dir / "links";
    const auto older = [&] { writeAll(dir / "real.tsv", "older\n"); };
    const auto sharedFolder = [&](uid_t folderOwner, uid_t linkOwner, fs::perms perms) {
        older();
        fs::create_directory(dir / "shared");
        fs::permissions(dir / "shared", perms);
        EXPECT_EQ(::chown((dir / "shared").c_str(), folderOwner, folderOwner), 0);
        fs::create_symlink("../real.tsv", dir / "shared" / "l");
        EXPECT_EQ(::lchown((dir / "shared" / "l").c_str(), linkOwner, linkOwner), 0);
        return dir / "shared" / "l";
    };
    const fs::perms sticky = fs::perms::all | fs::perms::sticky_bit;
    const std::string loop = "Too many levels of symbolic links";
    const std::string stranger = "is another user's in the sticky folder";
    const struct
    {
        const char *what;
        std::function<fs::path()> make; // in dir
        int code;
        std::string err; // a piece of it
        std::vector<std::string> after;
        bool asRoot = false; // links and folders of other users
    } cases[] = {
        {"a loop",
         [&] {
             fs::create_symlink("b", dir / "a");
             fs::create_symlink("a", dir / "b");
             return dir / "a";
         },
         4,
         loop,
         {"a->b", "b->a"}},
        {"45 links", [&] { return makeChain(dir, 45); }, 4, loop, chainListing(45, "older")},
        {"41 links", [&] { return makeChain(dir, 41); }, 4, loop, chainListing(41, "older")},
        {"40 links, as many as the system follows", [&] { return makeChain(dir, 40); }, 0, "",
         chainListing(40, "kind")},
        {"3 links", [&] { return makeChain(dir, 3); }, 0, "", chainListing(3, "kind")},
        // A relative link names a path from its own folder, not from the caller's.
        {"a relative link in a subfolder",
         [&] {
             older();
             fs::create_directory(dir / "sub");
             fs::create_symlink("../real.tsv", dir / "sub" / "s");
             return dir / "sub" / "s";
         },
         0,
         "",
         {"real.tsv=kind", "sub/s->../real.tsv"}},
        {"a link to a file not there yet",
         [&] { return fs::create_symlink("new.tsv", dir / "d"), dir / "d"; },
         0,
         "",
         {"d->new.tsv", "new.tsv=kind"}},
        {"a link to a folder",
         [&] {
             fs::create_directory(dir / "sub");
             return fs::create_symlink("sub", dir / "f"), dir / "f";
         },
         4,
         "it is a folder",
         {"f->sub"}},
        {"another user's link in a sticky folder",
         [&] { return sharedFolder(0, nobody, sticky); },
         4,
         stranger,
         {"real.tsv=older", "shared/l->../real.tsv"},
         true},
        {"the caller's link in a sticky folder",
         [&] { return sharedFolder(nobody, 0, sticky); },
         0,
         "",
         {"real.tsv=kind", "shared/l->../real.tsv"},
         true},
        {"the folder owner's link in a sticky folder",
         [&] { return sharedFolder(nobody, nobody, sticky); },
         0,
         "",
         {"real.tsv=kind", "shared/l->../real.tsv"},
         true},
        {"another user's link in a folder that is not sticky",
         [&] { return sharedFolder(0, nobody, fs::perms::all); },
         0,
         "",
         {"real.tsv=kind", "shared/l->../real.tsv"},
         true},
    };
    const std::string options = "--duplicates=first";
    for (const auto &c : cases) {
        if (c.asRoot && ::geteuid() != 0)
            continue; // only root makes files of other users
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path target = c.make();
        const Outcome o = run(options + " --explain=\"" + target.string() + "\"", keys, data);
        EXPECT_EQ(o.code, c.code) << c.what << ": " << o.err;
        EXPECT_EQ(o.out, "\nb2\t1\n") << c.what;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.what << ": " << o.err;
        EXPECT_EQ(listing(dir), listing(c.after)) << c.what;
    }
}

// A name the folder takes is a name the report may have, however long; a file replaced keeps its
// mode (and, where root replaces it, its owner), and a new one takes its mode from the umask.
TEST_F(Reorder, ReportNamesAndModes)
{
    const std::string keys = "张三\nb2\n";
    const std::string data = "张 三\t90\nb2\t1\n";
    const struct
    {
        const char *what;
        std::string name;
        int existing; // its mode; -1 where there is no file yet
        const char *umask;
        int mode;
        bool othersFile = false; // owned by another user: root only
    } cases[] = {
        {"a new name of 250 bytes", std::string(250, 'n'), -1, "022", 0644},
        {"a name of 255 bytes replaced", std::string(255, 'n'), 0644, "022", 0644},
        {"0640 replaced", "r.tsv", 0640, "022", 0640},
        {"0666 replaced under umask 077", "r.tsv", 0666, "077", 0666},
        {"0600 replaced under umask 000", "r.tsv", 0600, "000", 0600},
        {"new under umask 077", "r.tsv", -1, "077", 0600},
        {"new under umask 022", "r.tsv", -1, "022", 0644},
        {"another user's file", "r.tsv", 0664, "077", 0664, true},
    };
    const std::string files = inputs(keys, data);
    for (const auto &c : cases) {
        if (c.othersFile && ::geteuid() != 0)
            continue;
        const fs::path target = m_dir / c.name;
        fs::remove(target);
        if (c.existing >= 0) {
            writeAll(target, "older\n");
            fs::permissions(target, static_cast<fs::perms>(c.existing));
            if (c.othersFile) {
                EXPECT_EQ(::chown(target.c_str(), nobody, nobody), 0);
            }
        }
        const Outcome o = shell(std::string("umask ") + c.umask + "; " + program() + " --explain=\"" + target.string()
                                + "\"" + files + " >stdout 2>stderr");
        EXPECT_EQ(o.code, 0) << c.what << ": " << o.err;
        EXPECT_EQ(readAll(target).substr(0, 5), "kind\t") << c.what;
        struct stat info
        {
        };
        ASSERT_EQ(::stat(target.c_str(), &info), 0) << c.what;
        EXPECT_EQ(info.st_mode & 07777, static_cast<unsigned>(c.mode)) << c.what;
        if (c.othersFile) {
            EXPECT_EQ(info.st_uid, nobody) << c.what;
        }
        EXPECT_EQ(temporaries(), std::vector<std::string>()) << c.what;
        fs::remove(target);
    }
}

// Each status the help lists, made as a user would meet it, with what stands on standard output
// then: nothing at all for 2 and 3, whatever else happens.
TEST_F(Reorder, EveryStatusOfTheHelp)
{
    std::string bigKeys;
    std::string bigData;
    for (int i = 0; i < 200000; ++i) {
        bigKeys += 'k';
        bigKeys += std::to_string(i);
        bigKeys += '\n';
        bigData += 'k';
        bigData += std::to_string(i);
        bigData += '\t';
        bigData.append(40, 'v');
        bigData += '\n';
    }
    // The files are written as each case runs, over those of the case before.
    const auto plain = [&] { return inputs("a1\nb2\n", "a1\t1\nb2\t2\n"); };
    const auto warned = [&] { return inputs("1\n2\n3\n4\n", "1\t张一\t90\t1\n2\t张二\t3\t2\n4\t张四\t70\t4\n"); };
    const std::string report = "--explain=\"" + (m_dir / "report.tsv").string() + "\"";
    const std::string none;
    const std::string unchecked = "?";
    const struct
    {
        int code;
        const char *what;
        std::function<std::string()> command; // the inputs written, the line of the shell
        std::string out;                      // "?" where it cannot be read back
        std::string err;                      // a piece of it
    } cases[] = {
        {0, "done", [&] { return program() + plain() + " >stdout 2>stderr"; }, "a1\t1\nb2\t2\n", ""},
        {1, "a warning", [&] { return program() + inputs("a1\nb2", "") + " >stdout 2>stderr"; }, "\n", "为空"},
        {2, "bad usage", [&] { return program() + " --bogus" + plain() + " >stdout 2>stderr"; }, none,
         "unknown option: --bogus"},
        {3, "questionable lines",
         [&] { return program() + inputs("a1\nb2\n", "a1\t1\na1\t2\nb2\t3\n") + " >stdout 2>stderr"; }, none,
         "questionable entry 1 \"a1\": rows 1 2"},
        {4, "a report that cannot be written",
         [&] { return program() + " --explain=none/r.tsv" + plain() + " >stdout 2>stderr"; }, "a1\t1\nb2\t2\n",
         "cannot write the report none/r.tsv: No such file or directory"},
        // The warnings lost, the run is not done as it would say.
        {4, "warnings that standard error does not take", [&] { return program() + warned() + " >stdout 2>/dev/full"; },
         "1\t张一\t90\t1\n2\t张二\t3\t2\n2\t张二\t3\t2\n4\t张四\t70\t4\n", ""},
        {5, "a full disk", [&] { return program() + plain() + " >/dev/full 2>stderr"; }, unchecked,
         "reorder: cannot write the whole result to standard output: No space left on device\n"},
        {5, "a closed standard output", [&] { return program() + plain() + " >&- 2>stderr"; }, unchecked,
         "reorder: cannot write the whole result to standard output: Bad file descriptor\n"},
        // The reader takes a byte and goes: the rest of ten megabytes has nowhere to go.
        {141, "a reader that stops early",
         [&] {
             return "(" + program() + " " + report + inputs(bigKeys, bigData)
                    + " 2>stderr; echo $? >status) | head -c 1 >stdout";
         },
         "k", ""},
    };
    std::set<int> tested;
    for (const auto &c : cases) {
        fs::remove(m_dir / "status");
        Outcome o = shell(c.command());
        if (fs::exists(m_dir / "status"))
            o.code = std::stoi(readAll(m_dir / "status"));
        tested.insert(c.code);
        EXPECT_EQ(o.code, c.code) << c.what << ": " << o.err;
        if (c.out != unchecked) {
            EXPECT_EQ(o.out, c.out) << c.what;
        }
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.what << ": " << o.err;
        EXPECT_FALSE(fs::exists(m_dir / "report.tsv")) << c.what;
        EXPECT_EQ(temporaries(), std::vector<std::string>()) << c.what;
    }
    std::istringstream help(lanshan::reorder::usageText());
    for (std::string line; std::getline(help, line);) {
        if (line.size() > 3 && line.starts_with("  ") && std::isdigit(static_cast<unsigned char>(line[2]))) {
            EXPECT_TRUE(tested.contains(std::stoi(line.substr(2)))) << line;
        }
    }
}

// Standard error stays whole and one line for each thing it names, whatever a key or a file name
// holds: its control characters are written as the report writes them.
TEST_F(Reorder, StandardErrorShowsControlCharacters)
{
    const struct
    {
        const char *what;
        std::string keys;
        std::string data;
        std::string err; // all of it
    } cases[] = {
        {"a NUL in a key whose row may not be its own", std::string("1\n2\na\0x\n4\n", 10),
         std::string("1\tz\t90\t1\n2\tz\ta\0x\t2\n4\tz\t70\t4\n", 28),
         "suspect entry 2 \"2\": row 2 (shared-row)\n"
         "suspect entry 3 \"a\\u0000x\": row 2 (other-column+shared-row)\n"
         "reorder: 2 lines whose rows may not be their own: held outside the key column or given to several "
         "lines\n"},
        {"DEL, U+2028 and a backslash in a questionable key", "q\x7f\xe2\x80\xa8\\\nb2\n",
         "q\x7f\xe2\x80\xa8\\\t1\nq\x7f\xe2\x80\xa8\\\t2\nb2\t3\n",
         "questionable entry 1 \"q\\u007F\\u2028\\\\\": rows 1 2\n"
         "reorder: 1 questionable lines; settle them with --duplicates=first, last or empty\n"},
    };
    for (const auto &c : cases) {
        const Outcome o = run("", c.keys, c.data);
        EXPECT_EQ(o.err, c.err) << c.what;
    }
    // A file name is a path: its backslashes stay as they are.
    const Outcome o = run("\"" + (m_dir / "k\n\\x").string() + "\" \"" + (m_dir / "d").string() + "\"");
    EXPECT_EQ(o.err, "reorder: cannot read " + m_dir.string() + "/k\\n\\x: No such file or directory\n");
}

// --explain naming standard error's own file: the report comes after what standard error said
// before, in that file, whether the shell opened it to write over or to add to.
TEST_F(Reorder, ReportToStandardErrorsOwnFile)
{
    const std::string keys = "a1\nb2\nc3\nd4\n";
    const std::string data = "a1\tx\t1\nb2\tx\t1\nx\tc3\t1\ny\td4\t1\n";
    const std::string files = inputs(keys, data);
    ASSERT_EQ(shell(program() + " --key-column=auto --explain=report.tsv" + files + " >stdout 2>/dev/null").code, 0);
    const std::string report = readAll(m_dir / "report.tsv");
    const std::string result = readAll(m_dir / "stdout");
    const std::string said = "reorder: no key column: no column holds the keys of more than half of the lines; "
                             "matched by the rule\n";
    const struct
    {
        const char *redirection;
        std::string before; // in the file already
        std::string after;
    } cases[] = {
        {"2>stderr", "older\n", said + report},
        {"2>>stderr", "older\n", "older\n" + said + report},
        // Standard output's file too: the report comes through standard output, after the result.
        {">stderr 2>&1", "older\n", said + result + report},
    };
    for (const auto &c : cases) {
        writeAll(m_dir / "stderr", c.before);
        const int status = std::system(("cd \"" + m_dir.string() + "\" && " + program()
                                        + " --key-column=auto --explain=/dev/stderr" + files + " " + c.redirection)
                                           .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << c.redirection;
        EXPECT_EQ(readAll(m_dir / "stderr"), c.after) << c.redirection;
    }
}

// A signal that ends the process while the report is made: its temporary file goes first, the
// old report stays, and the process ends by that signal; one its caller ignores stays ignored,
// SIGPIPE excepted; SIGKILL leaves the temporary file, under the name the README gives.
TEST_F(Reorder, SignalsWhileTheReportIsMade)
{
    const std::string keys = "张三\nb2\n";
    const std::string data = "张 三\t90\nb2\t1\n";
    const fs::path k = file("keys.txt", keys);
    const fs::path d = file("data.txt", data);
    const fs::path report = m_dir / "report.tsv";
    enum class Then { Removed, Ignored, Left };
    const struct
    {
        int signal;
        bool ignoredByCaller;
        Then then;
    } cases[] = {
        {SIGINT, false, Then::Removed},  {SIGTERM, false, Then::Removed}, {SIGHUP, false, Then::Removed},
        {SIGQUIT, false, Then::Removed}, {SIGUSR1, false, Then::Removed}, {SIGUSR2, false, Then::Removed},
        {SIGALRM, false, Then::Removed}, {SIGXCPU, false, Then::Removed}, {SIGPIPE, false, Then::Removed},
        {SIGPIPE, true, Then::Removed},  {SIGHUP, true, Then::Ignored},   {SIGINT, true, Then::Ignored},
        {SIGKILL, false, Then::Left},
    };
    for (const auto &c : cases) {
        const std::string what = std::string(strsignal(c.signal)) + (c.ignoredByCaller ? ", ignored" : "");
        for (const std::string &left : temporaries())
            fs::remove(m_dir / left);
        writeAll(report, "older\n");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // No core file of SIGQUIT and SIGXCPU in the build folder.
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            if (c.ignoredByCaller)
                std::signal(c.signal, SIG_IGN);
            ::setenv("LANSHAN_REORDER_STOP_AT_REPORT", "1", 1);
            const int out = ::open((m_dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open((m_dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(err, STDERR_FILENO);
            const std::string explain = "--explain=" + report.string();
            ::execl(REORDER_PATH, "reorder", explain.c_str(), k.c_str(), d.c_str(), static_cast<char *>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child) << what;
        ASSERT_TRUE(WIFSTOPPED(status)) << what << ": " << readAll(m_dir / "stderr");
        EXPECT_EQ(temporaries().size(), 1u) << what;
        ::kill(child, c.signal);
        ::kill(child, SIGCONT);
        ASSERT_EQ(::waitpid(child, &status, 0), child) << what;
        const std::string err = readAll(m_dir / "stderr");
        if (c.then == Then::Ignored) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << what << ": " << err;
            EXPECT_EQ(readAll(report).substr(0, 5), "kind\t") << what;
            EXPECT_EQ(temporaries(), std::vector<std::string>()) << what;
            continue;
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << what << ": " << err;
        EXPECT_EQ(readAll(report), "older\n") << what;
        if (c.then == Then::Removed) {
            EXPECT_EQ(temporaries(), std::vector<std::string>()) << what;
            EXPECT_EQ(err, "reorder: stopped; the report was not written, its file is as it was\n") << what;
        } else {
            const std::vector<std::string> left = temporaries();
            ASSERT_EQ(left.size(), 1u) << what;
            const std::string prefix = ".report.tsv.reorder-";
            EXPECT_EQ(left[0].substr(0, prefix.size()), prefix) << what;
            EXPECT_EQ(left[0].size(), prefix.size() + 16) << what;
            EXPECT_EQ(left[0].find_first_not_of("0123456789abcdef", prefix.size()), std::string::npos) << left[0];
        }
    }
}
#endif
