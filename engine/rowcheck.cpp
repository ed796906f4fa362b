#include "rowcheck.h"

#include "nearcause.h"
#include "rowcells.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace lanshan {

namespace {

constexpr std::size_t sharedWithShown = 3;

// The first cell (from 0) of a row that holds the key, and whether the given cell does.
struct KeyPlace
{
    std::optional<std::uint32_t> first;
    bool inColumn = false;
};

KeyPlace placeOf(const FilterRun &run, std::size_t line, std::size_t row, std::optional<std::size_t> keyColumn)
{
    KeyPlace place;
    const std::vector<std::uint32_t> cells = run.keyCells(line, row);
    const auto inColumn = [&](std::uint32_t cell) { return keyColumn && cell + 1 == *keyColumn; };
    if (!cells.empty()) {
        place.first = cells.front();
        place.inColumn = std::any_of(cells.begin(), cells.end(), inColumn);
        return place;
    }
    // A row the rule did not give the line: read it.
    const std::u16string_view key = run.fixlines()[line];
    forEachCell(run.datalines()[row], [&](std::u16string_view cell, std::size_t, std::uint32_t index, bool) {
        if (cell != key)
            return;
        if (!place.first)
            place.first = index;
        place.inColumn |= inColumn(index);
    });
    return place;
}

} // namespace

SuspectLines findSuspectLines(const FilterRun &run)
{
    SuspectLines found;
    if (run.state() != FilterRun::State::Finished)
        return found;
    found.keyColumn = run.likelyKeyColumn();
    const std::size_t lines = run.resultCount();

    // Rows given to two lines or more.
    std::vector<std::uint8_t> uses(run.datalines().size(), 0);
    bool anyShared = false;
    for (std::size_t i = 0; i < lines; ++i) {
        if (const std::optional<std::size_t> row = run.resultRow(i)) {
            anyShared |= uses[*row] > 0;
            uses[*row] = static_cast<std::uint8_t>(std::min(uses[*row] + 1, 2));
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> shared; // row, line
    for (std::size_t i = 0; i < lines && anyShared; ++i) {
        const std::optional<std::size_t> row = run.resultRow(i);
        if (row && uses[*row] > 1)
            shared.emplace_back(*row, i);
    }
    std::sort(shared.begin(), shared.end());
    struct Shared
    {
        std::size_t line;
        std::vector<std::size_t> others; // the first few
        std::size_t count;               // all of them
        bool operator<(const Shared &o) const { return line < o.line; }
    };
    std::vector<Shared> sharedWith;
    for (std::size_t begin = 0, end = 0; begin < shared.size(); begin = end) {
        for (end = begin; end < shared.size() && shared[end].first == shared[begin].first; ++end) { }
        for (std::size_t s = begin; s < end; ++s) {
            std::vector<std::size_t> others;
            for (std::size_t o = begin; o < end && others.size() < sharedWithShown; ++o) {
                if (o != s)
                    others.push_back(shared[o].second);
            }
            sharedWith.push_back({shared[s].second, std::move(others), end - begin - 1});
        }
    }
    std::sort(sharedWith.begin(), sharedWith.end());

    // Most lines have their key in the key column in every row they could have been given.
    const std::vector<char> held = found.keyColumn ? run.linesHeldIn(*found.keyColumn) : std::vector<char>();
    const auto heldIn = [&](std::size_t line) { return held.empty() || held[line]; };
    auto nextShared = sharedWith.begin();
    for (std::size_t i = 0; i < lines; ++i) {
        const std::optional<std::size_t> row = run.resultRow(i);
        if (!row)
            continue;
        SuspectLine line{i, *row, 0, 0, {}, 0};
        if (found.keyColumn && (!heldIn(i) || run.adopted(i))) {
            const KeyPlace place = placeOf(run, i, *row, found.keyColumn);
            if (place.first && !place.inColumn) {
                line.causes |= OtherColumn;
                line.foundColumn = *place.first + 1;
            }
        }
        if (nextShared != sharedWith.end() && nextShared->line == i) {
            line.causes |= SharedRow;
            line.sharedWith = std::move(nextShared->others);
            line.sharedOthers = nextShared->count;
            ++nextShared;
        }
        if (line.causes)
            found.lines.push_back(std::move(line));
    }
    return found;
}

} // namespace lanshan
