#include "linecells.h"

#include "keyrule.h"
#include "rowcells.h"

#include <algorithm>
#include <utility>

namespace lanshan {

std::vector<std::uint32_t> cellsHoldingLine(std::u16string_view line, std::u16string_view row,
                                            std::span<const std::size_t> chosen,
                                            std::span<const std::uint32_t> cellColumns)
{
    std::vector<std::u16string_view> byColumn;
    forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { byColumn.push_back(cell); });
    struct Wanted
    {
        std::u16string_view text;
        std::uint32_t column;
    };
    std::vector<Wanted> wanted;
    forEachCell(line, [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
        if (isEmptyKey(cell) || (!chosen.empty() && !std::binary_search(chosen.begin(), chosen.end(), at + 1)))
            return;
        wanted.push_back({cell, at < cellColumns.size() ? cellColumns[at] : UINT32_MAX});
    });
    std::vector<char> used(byColumn.size(), false);
    std::vector<std::uint32_t> taken;
    for (const Wanted &w : wanted) {
        if (w.column == UINT32_MAX)
            continue;
        if (w.column >= byColumn.size() || used[w.column] || byColumn[w.column] != w.text)
            return {};
        used[w.column] = true;
        taken.push_back(w.column);
    }
    // The row's cells by text, each run of equal ones in row order; per run, the next to try.
    std::vector<std::pair<std::u16string_view, std::uint32_t>> byText;
    for (std::uint32_t c = 0; c < byColumn.size(); ++c)
        byText.emplace_back(byColumn[c], c);
    std::sort(byText.begin(), byText.end());
    std::vector<std::uint32_t> next(byText.size(), 0);
    for (const Wanted &w : wanted) {
        if (w.column != UINT32_MAX)
            continue;
        const auto run = static_cast<std::size_t>(
            std::lower_bound(byText.begin(), byText.end(), std::pair(w.text, std::uint32_t{0})) - byText.begin());
        std::size_t i = run < next.size() ? std::max<std::size_t>(run, next[run]) : run;
        while (i < byText.size() && byText[i].first == w.text && used[byText[i].second])
            ++i;
        if (i >= byText.size() || byText[i].first != w.text)
            return {};
        used[byText[i].second] = true;
        taken.push_back(byText[i].second);
        next[run] = static_cast<std::uint32_t>(i + 1);
    }
    std::sort(taken.begin(), taken.end());
    return taken;
}

} // namespace lanshan
