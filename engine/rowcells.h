#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace lanshan {

// Calls visit(cell, begin, index, last) for every TAB-separated cell of a row, left to right:
// the cell's text, its first unit within the row, its index from 0, whether it is the last. A
// visit that returns a bool stops the walk by returning true; forEachCell says whether it was
// stopped.
template<class Visit>
bool forEachCell(std::u16string_view row, Visit visit)
{
    std::size_t begin = 0;
    for (std::uint32_t index = 0;; ++index) {
        const std::size_t tab = row.find(u'\t', begin);
        const bool last = tab == std::u16string_view::npos;
        const std::size_t end = last ? row.size() : tab;
        if constexpr (std::is_same_v<decltype(visit(row, begin, index, last)), bool>) {
            if (visit(row.substr(begin, end - begin), begin, index, last))
                return true;
        } else {
            visit(row.substr(begin, end - begin), begin, index, last);
        }
        if (last)
            return false;
        begin = end + 1;
    }
}

} // namespace lanshan
