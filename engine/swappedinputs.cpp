#include "swappedinputs.h"

#include "filterrun.h"
#include "matcher.h"

#include <cstddef>

namespace lanshan {

bool foundNoRow(const FilterRun &run)
{
    return run.state() == FilterRun::State::Finished && run.everyConfirmedRow().empty();
}

bool inputsLookSwapped(const LineTable &keys, const LineTable &data)
{
    const Matcher swapped(data, keys);
    std::size_t lines = 0;
    std::size_t found = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i].empty())
            continue;
        ++lines;
        found += !swapped.confirmedRows(i).empty();
    }
    return found > 0 && found * 2 >= lines;
}

} // namespace lanshan
