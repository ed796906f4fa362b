#pragma once

#include "reconciliation.h"

#include <type_traits>

// The findings of a report in the one order that every listing of it keeps: the key lines
// without a row and those left empty together, by key line; then the unused rows, in row
// order; then the lines whose row may not be their own, in key order; last the lines given a
// near row by the user, in key order.
namespace lanshan {

namespace reportwalk {

// A visit that returns a bool stops the walk by returning false.
template<class Visit>
bool goOn(Visit &&visit)
{
    if constexpr (std::is_same_v<decltype(visit()), bool>) {
        return visit();
    } else {
        visit();
        return true;
    }
}

} // namespace reportwalk

// Calls, finding by finding, visitor.missing(const MissingKey &), visitor.leftEmpty(const
// LeftEmptyKey &), visitor.unused(const UnusedRow &), visitor.suspect(const SuspectLine &) and
// visitor.taken(const TakenLine &).
// Each may return void, or a bool that stops the walk with false; walkReport says whether it
// went to the end.
template<class Visitor>
bool walkReport(const Reconciliation &report, Visitor &visitor)
{
    using reportwalk::goOn;
    auto missing = report.missing.cbegin();
    auto leftEmpty = report.leftEmpty.cbegin();
    while (missing != report.missing.cend() || leftEmpty != report.leftEmpty.cend()) {
        const bool missingFirst = leftEmpty == report.leftEmpty.cend()
                                  || (missing != report.missing.cend() && missing->keyLine < leftEmpty->keyLine);
        const bool goesOn = missingFirst ? goOn([&] { return visitor.missing(*missing++); })
                                         : goOn([&] { return visitor.leftEmpty(*leftEmpty++); });
        if (!goesOn)
            return false;
    }
    for (const UnusedRow &unused : report.unused) {
        if (!goOn([&] { return visitor.unused(unused); }))
            return false;
    }
    for (const SuspectLine &suspect : report.suspect) {
        if (!goOn([&] { return visitor.suspect(suspect); }))
            return false;
    }
    for (const TakenLine &taken : report.taken) {
        if (!goOn([&] { return visitor.taken(taken); }))
            return false;
    }
    return true;
}

} // namespace lanshan
