#pragma once

#include "linetable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lanshan {

// Finds the cells of some rows of a table that are near a set of keys, compared in their
// canonical forms (canonicalform.h), in time about linear in the size of the rows, by three
// rules (Rule):
//   SameForm, the cell's form is the key's;
//   StartOrEnd, the key's form starts or ends the cell's longer one;
//   OneEdit, the two differ by one character inserted, removed or replaced, looked for only
//            for keys that no row is near by the other two.
// StartOrEnd and OneEdit need a key of two characters or more, six when it is digits alone:
// shorter ones would be found in every score and every other name. Every key keeps its best
// maxHits rows, in the order of the rules, then by row; a row once, with its best cell (the
// first rule, then the leftmost cell).
//
// Keys are found through hash tables of their forms, of their forms' starts and ends at the
// lengths keys have, and of their forms with one character taken out; a row's cells are
// looked up in them, never compared with every key.
class FormEnds;

class NearRowIndex
{
public:
    static constexpr std::size_t maxHits = 5;

    // Best first.
    enum class Rule : std::uint8_t { SameForm, StartOrEnd, OneEdit };

    struct Hit
    {
        std::size_t row;
        std::size_t cellBegin; // the cell within the row, in code units
        std::size_t cellEnd;
        Rule rule;
        bool lastCell;
    };

    // keys: the key texts, repeats allowed, which must outlive the index. One without a
    // canonical form (spaces and invisible characters alone, or nothing) is near nothing.
    explicit NearRowIndex(std::vector<std::u16string_view> keys);
    ~NearRowIndex();

    // Looks through the rows at the given positions, ascending.
    void search(const LineTable &table, std::span<const std::size_t> rows);

    // The rows near keys[key], best first.
    std::span<const Hit> hits(std::size_t key) const;
    // For keys read in turn, whose hits lie apart: starts loading where the hits of a key lie,
    // some keys ahead, then, a few keys later, the hits themselves.
    void fetchHitPlace(std::size_t key) const;
    void fetchHits(std::size_t key) const;

private:
    class Tables;
    // One search's cells and what it found of them, step by step.
    class Search;
    static constexpr std::uint32_t noGroup = UINT32_MAX;

    // Indexes the distinct forms of the keys that a cell with such ends may be near.
    void indexForms(const FormEnds &cellEnds);
    std::u32string_view form(std::uint32_t group) const;
    std::size_t formCount() const { return m_formStart.size() - 1; }
    // The hits, found in row order, grouped by form, best first.
    void finish();

    std::vector<std::u16string_view> m_keys;
    std::vector<std::uint32_t> m_groupOfKey; // per key: its distinct form, or noGroup
    std::u32string m_formText;               // the distinct forms, one after another
    std::vector<std::size_t> m_formStart;    // form g: m_formText[m_formStart[g] .. m_formStart[g + 1])
    // The hits of form g: m_hits[m_hitStart[g] .. m_hitStart[g + 1]), best first, once
    // finished; until then in the order found, each with its form in m_found.
    std::vector<Hit> m_hits;
    std::vector<std::uint32_t> m_found;
    std::vector<std::size_t> m_hitStart;
    std::unique_ptr<Tables> m_tables;
};

} // namespace lanshan
