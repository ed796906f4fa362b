// Runs the reorder tool as a user would and checks exit codes, messages and output bytes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifndef _WIN32
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
        const fs::path k = file("keys.txt", keys);
        const fs::path d = file("data.txt", data);
        return run(options + " \"" + k.string() + "\" \"" + d.string() + "\"");
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
    EXPECT_TRUE(refused(o, 2, "请在上面的输入框中输入待处理数据！"));

    // Empty data: the result is still written, with the warning.
    o = run("", "a1\nb2", "");
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "\n");
    EXPECT_NE(o.err.find("请确认您已经进行了正确的数据处理"), std::string::npos);

    // Spaces alone are data: no warning.
    o = run("", "a1\nb2", "   ");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "\n");
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

// A report that fails part-way leaves the file it would have replaced as it was, and no
// temporary file beside it: a stale report must never pass for this run's.
TEST_F(Reorder, AFailedReportLeavesTheOldOneAndNoTemporaryFile)
{
    const std::string keys = "张三\nb2\n";
    const std::string data = "张 三\t90\nb2\t1\n";
    const fs::path report = file("report.tsv", "an older report\n");
    const fs::path temporary = m_dir / "report.tsv.reorder-tmp";
    const struct
    {
        const char *what;
        fs::path target;
        bool blockTemporary; // a folder where the temporary file would go
    } cases[] = {
        {"the temporary file cannot be made", report, true},
        {"the target is a folder", m_dir / "folder", false},
    };
    for (const auto &c : cases) {
        fs::create_directories(m_dir / "folder");
        if (c.blockTemporary)
            fs::create_directories(temporary);
        const Outcome o = run("--explain=\"" + c.target.string() + "\"", keys, data);
        EXPECT_EQ(o.code, 4) << c.what;
        EXPECT_EQ(o.out, "\nb2\t1\n") << c.what;
        EXPECT_NE(o.err.find("reorder: cannot write the report"), std::string::npos) << c.what << ": " << o.err;
        EXPECT_EQ(readAll(report), "an older report\n") << c.what;
        EXPECT_TRUE(fs::is_directory(m_dir / "folder")) << c.what;
        if (c.blockTemporary)
            fs::remove(temporary);
        EXPECT_FALSE(fs::exists(temporary)) << c.what;
        EXPECT_FALSE(fs::exists(m_dir / "folder.reorder-tmp")) << c.what;
    }

    // And a report that succeeds replaces it whole.
    EXPECT_EQ(run("--explain=\"" + report.string() + "\"", keys, data).code, 0);
    EXPECT_EQ(readAll(report).rfind("kind\tkey_line", 0), 0u);
    EXPECT_FALSE(fs::exists(temporary));
}

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
        {"--key-column=auto", 0, ownRows, ""},
        {"--key-column=1", 0, ownRows, ""},
        {"--key-column=2", 0, "\n\n\n\n", ""}, // names: no key there, no row
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
    };
    for (const auto &c : cases) {
        const Outcome o = run("--key-column=1 --columns=" + c.columns, keys, data);
        EXPECT_EQ(o.code, c.code) << c.columns << ": " << o.err;
        EXPECT_EQ(o.out, c.out) << c.columns;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.columns << ": " << o.err;
    }
}
