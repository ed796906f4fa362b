// The report's findings in their one order (walkReport), and the table that 复制报告 puts on the
// clipboard, cell by cell.

#include "filterrun.h"
#include "reconciliation.h"
#include "reportsheet.h"
#include "reportwalk.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lanshan;

namespace {

// Writes down each finding it is handed; refuses the one numbered stopAt (from 1).
class Recorder
{
public:
    explicit Recorder(std::size_t stopAt)
        : m_stopAt(stopAt)
    { }

    bool missing(const MissingKey &key) { return note("missing " + std::to_string(key.keyLine)); }
    bool leftEmpty(const LeftEmptyKey &key) { return note("left-empty " + std::to_string(key.keyLine)); }
    bool unused(const UnusedRow &row) { return note("unused " + std::to_string(row.row)); }
    bool suspect(const SuspectLine &line) { return note("suspect " + std::to_string(line.keyLine)); }
    bool taken(const TakenLine &line) { return note("taken " + std::to_string(line.keyLine)); }

    std::vector<std::string> visits;

private:
    bool note(std::string visit)
    {
        visits.push_back(std::move(visit));
        return visits.size() != m_stopAt;
    }

    std::size_t m_stopAt;
};

Reconciliation report(std::vector<std::size_t> missing, std::vector<std::size_t> leftEmpty,
                      std::vector<std::size_t> unused, std::vector<std::size_t> suspect,
                      std::vector<std::size_t> taken = {})
{
    Reconciliation r;
    for (const std::size_t line : missing)
        r.missing.push_back({line, {}});
    for (const std::size_t line : leftEmpty)
        r.leftEmpty.push_back({line, {}});
    for (const std::size_t row : unused)
        r.unused.push_back({row, UnusedReason::NoKey});
    for (const std::size_t line : suspect)
        r.suspect.push_back({line, 0, SharedRow, 0, {}, 0});
    for (const std::size_t line : taken)
        r.taken.push_back({line, {0, Spaces}});
    return r;
}

using Visits = std::vector<std::string>;

} // namespace

TEST(ReportWalk, FindingsInTheReportsOrderUntilAVisitStops)
{
    const Reconciliation every = report({0, 4}, {2, 5}, {1, 3}, {1}, {3});
    const Visits all = {"missing 0", "left-empty 2", "missing 4", "left-empty 5",
                        "unused 1",  "unused 3",     "suspect 1", "taken 3"};
    const struct
    {
        const char *name;
        Reconciliation report;
        std::size_t stopAt; // 0: never
        bool toTheEnd;
        Visits visits;
    } cases[] = {
        {"key lines by key line, then rows, then suspect lines, then taken ones", every, 0, true, all},
        {"a left-empty line before the first missing one",
         report({3}, {0, 1}, {}, {}),
         0,
         true,
         {"left-empty 0", "left-empty 1", "missing 3"}},
        {"missing lines alone", report({2, 7}, {}, {}, {}), 0, true, {"missing 2", "missing 7"}},
        {"unused rows and suspect lines alone",
         report({}, {}, {5}, {0, 2}),
         0,
         true,
         {"unused 5", "suspect 0", "suspect 2"}},
        {"nothing to report", report({}, {}, {}, {}), 0, true, {}},
        {"stopped among the key lines", every, 2, false, {"missing 0", "left-empty 2"}},
        {"stopped among the unused rows",
         every,
         5,
         false,
         {"missing 0", "left-empty 2", "missing 4", "left-empty 5", "unused 1"}},
        {"stopped at the last finding", every, 8, false, all},
    };
    for (const auto &c : cases) {
        Recorder recorder(c.stopAt);
        EXPECT_EQ(walkReport(c.report, recorder), c.toTheEnd) << c.name;
        EXPECT_EQ(recorder.visits, c.visits) << c.name;
    }
}

TEST(ReportSheet, EveryFindingOneLineOfCellsAsTheViewShowsThem)
{
    const std::u16string longCell = u"abcdefgh" + std::u16string(300, u'z');
    const struct
    {
        const char *name;
        std::u16string keys;
        std::u16string rows;
        std::size_t ignored; // lines of several rows left empty, in turn
        std::u16string sheet;
    } cases[] = {
        {"each group in the report's order", u"张三\r\n李四\r\n王五\r\n90\r\n赵六",
         u"张三\t90\t一班\r\n李四\t80\t一班\r\n李四\t85\t一班\r\n赵 六\t70\t一班\r\n班级\t分数\t班", 1,
         u"类别\t序号\t行号\t原因\t关键字\t数据\r\n"
         u"忽略留空\t2\t2\t对应数据\t李四\t李四\t80\t一班\r\n"
         u"忽略留空\t2\t3\t对应数据\t李四\t李四\t85\t一班\r\n"
         u"未找到\t3\t\t没有相近的数据\t王五\r\n"
         u"未找到\t5\t4\t空格不同\t赵六\t赵〈空格〉六\t70\t一班\r\n"
         u"未使用\t\t2\t同一关键字的另一行\t\t李四\t80\t一班\r\n"
         u"未使用\t\t3\t同一关键字的另一行\t\t李四\t85\t一班\r\n"
         u"未使用\t\t4\t与未找到的关键字相近\t\t赵〈空格〉六\t70\t一班\r\n"
         u"未使用\t\t5\t没有关键字对应\t\t班级\t分数\t班\r\n"
         u"可能取错\t1\t1\t结果第 4 行也用了这一行数据\t张三\t张三\t90\t一班\r\n"
         u"可能取错\t4\t1\t在第 2 列找到，关键字在第 1 列；结果第 1 行也用了这一行数据\t90\t张三\t90\t一班\r\n"},
        {"a cell that starts with a quote, a line break inside a cell", u"\"优\"\r\n李四",
         u"\"优\" \t备注\n第二行\r\n李四\t80", 0,
         u"类别\t序号\t行号\t原因\t关键字\t数据\r\n"
         u"未找到\t1\t1\t空格不同\t\"\"\"优\"\"\"\t\"\"\"优\"\"〈空格〉\"\t备注↵第二行\r\n"
         u"未使用\t\t1\t与未找到的关键字相近\t\t\"\"\"优\"\"〈空格〉\"\t备注↵第二行\r\n"},
        {"a key of several cells, its TAB shown", u"3\t张三\r\n李四", u"张三\t90\r\n李四\t80", 0,
         u"类别\t序号\t行号\t原因\t关键字\t数据\r\n"
         u"未找到\t1\t1\t只有部分列相同：名单第 1 列“3”不在这一行\t3〈制表符〉张三\t张三\t90\r\n"
         u"未使用\t\t1\t与未找到的关键字相近\t\t张三\t90\r\n"},
        {"a near row cut at 200 characters beside its key, whole among the unused rows", u"abcdefgh\r\nq",
         u"x\t" + longCell + u"\t1", 0,
         u"类别\t序号\t行号\t原因\t关键字\t数据\r\n"
         u"未找到\t1\t1\t只出现在更长的内容里\tabcdefgh\tx\tabcdefgh"
             + std::u16string(190, u'z')
             + u"…\r\n"
               u"未找到\t2\t\t没有相近的数据\tq\r\n"
               u"未使用\t\t1\t与未找到的关键字相近\t\tx\t"
             + longCell + u"\t1\r\n"},
        {"nothing to report: the headings alone", u"张三\r\n李四", u"张三\t90\r\n李四\t80", 0,
         u"类别\t序号\t行号\t原因\t关键字\t数据\r\n"},
    };
    for (const auto &c : cases) {
        FilterRun run(c.keys, c.rows);
        for (std::size_t i = 0; i < c.ignored; ++i)
            run.ignore();
        ASSERT_EQ(run.state(), FilterRun::State::Finished) << c.name;
        const std::u16string sheet = reportSheet(run, reconcile(run));
        std::string text;
        appendUtf8(text, sheet);
        EXPECT_EQ(sheet, c.sheet) << c.name << ", the sheet:\n" << text;
    }
}
