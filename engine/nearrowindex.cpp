#include "nearrowindex.h"

#include "canonicalform.h"
#include "prefetch.h"
#include "rowcells.h"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>

namespace lanshan {

namespace {

// Polynomial hashes of a form's prefixes, so that the hash of any piece of it, or of it with
// one character taken out, costs a few multiplications. Hits are always checked against the
// texts, so a collision costs time, never a wrong answer.
constexpr std::uint64_t hashBase = 0x9e3779b97f4a7c15ULL;

std::uint64_t mixed(std::uint64_t h)
{
    h ^= h >> 31;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 29;
    h *= 0x94d049bb133111ebULL;
    return h ^ (h >> 32);
}

// The table key of a text of the given length with polynomial hash h; a replacement key also
// carries the position of the character taken out.
std::uint64_t textKey(std::uint64_t h, std::size_t length)
{
    return mixed(h + length * 0xd6e8feb86659fd93ULL);
}

std::uint64_t replacementKey(std::uint64_t h, std::size_t length, std::size_t position)
{
    return mixed(textKey(h, length) + (position + 1) * 0xa0761d6478bd642fULL);
}

class HashedForm
{
public:
    // The form alone; rehash() before any hash is asked for.
    void assign(std::u16string_view text)
    {
        m_form.clear();
        appendCanonicalForm(text, textCauses, m_form);
    }

    void assignForm(std::u32string_view form)
    {
        m_form.assign(form);
        rehash();
    }

    const std::u32string &form() const { return m_form; }
    std::size_t size() const { return m_form.size(); }

    // Hash of [begin, end).
    std::uint64_t piece(std::size_t begin, std::size_t end) const
    {
        return m_prefix[end] - m_prefix[begin] * m_powers[end - begin];
    }
    // Hash of the form without the character at position.
    std::uint64_t without(std::size_t position) const
    {
        const std::size_t n = m_form.size();
        return m_prefix[position] * m_powers[n - 1 - position] + piece(position + 1, n);
    }

    void rehash()
    {
        m_prefix.resize(m_form.size() + 1);
        m_prefix[0] = 0;
        for (std::size_t i = 0; i < m_form.size(); ++i)
            m_prefix[i + 1] = m_prefix[i] * hashBase + m_form[i] + 1;
        while (m_powers.size() <= m_form.size())
            m_powers.push_back(m_powers.empty() ? 1 : m_powers.back() * hashBase);
    }

private:
    std::u32string m_form;
    std::vector<std::uint64_t> m_prefix;
    std::vector<std::uint64_t> m_powers;
};

// What a visit makes of a form in a list.
enum class Visit {
    Keep,
    DropForRow, // it has this row already: back with the next row (Postings::nextRow())
    DropForGood,
};

// Open-addressing table from hash keys to lists of forms. A visit can take a form out of a
// list for the rest of the row or for good, so that no form costs time twice in one row, and
// forms that need no more rows stop costing time at all.
//
// It may hold ten entries for every key, so an entry costs about twelve bytes: a slot keeps
// 30 bits of its key (a key that shares them with another shares its list: a collision, which
// costs time, never a wrong answer) and either its one form or the place of its list. Built
// in one pass over the entries, without a sorted copy of them.
class Postings
{
public:
    // entries(add) calls add(key, form) for every entry, at most count of them. It is called
    // twice: the slots are as many as the distinct keys need, which a first pass counts about.
    // Keys that differ in one place (numbers one digit apart) make most entries share a key.
    template<class Entries>
    void build(std::size_t count, Entries entries)
    {
        if (count == 0) {
            *this = Postings();
            return;
        }
        const std::size_t distinct = std::min(count, distinctKeys(entries) / 8 * 9 + 16);
        // At most two thirds full: a key that is not there ends its probe soon. Should the count
        // fall short, as it may by chance, the slots are made again, one and a half an entry.
        if (!fill(distinct + distinct / 2, count, entries))
            fill(count + count / 2 + 16, count, entries);
    }

    // The same for entries of keys all different (one a form): no count is needed.
    template<class Entries>
    void buildDistinct(std::size_t count, Entries entries)
    {
        fill(count + count / 2 + 16, count, entries);
    }

    // Starts loading what a lookup of the key reads.
    void fetchAhead(std::uint64_t key) const
    {
        if (m_slots.empty())
            return;
        prefetch(&m_filter[filterWord(key)]);
        prefetch(&m_slots[home(key)]);
    }

    // Starts loading the filter's word of the key.
    void fetchFilter(std::uint64_t key) const
    {
        if (!m_slots.empty())
            prefetch(&m_filter[filterWord(key)]);
    }

    // Starts loading the slot of the key when the filter lets it pass (its word loaded by now).
    void fetchSlot(std::uint64_t key) const
    {
        if (passes(key))
            prefetch(&m_slots[home(key)]);
    }

    // Calls look(form) for some forms under the key, the first few of a list, with no effect on the
    // lists: to fetch what their visits will read.
    template<class Look>
    void peek(std::uint64_t key, Look look) const
    {
        if (!passes(key))
            return;
        const std::uint32_t tag = fingerprint(key);
        for (std::size_t s = home(key); m_slots[s].tag != 0; s = next(s)) {
            const Slot &slot = m_slots[s];
            if ((slot.tag & fingerprintBits) != tag)
                continue;
            if (!(slot.payload & isList)) {
                if (!(slot.tag & (outForRow | outForGood)))
                    look(slot.payload);
            } else {
                const List &list = m_lists[slot.payload & ~isList];
                for (std::uint32_t i = 0; i < std::min<std::uint32_t>(list.active, 4); ++i)
                    look(m_values[list.begin + i]);
            }
            return;
        }
    }

    // Calls visit(form) for every form under the key that is in its list for this row.
    template<class VisitForm>
    void forEach(std::uint64_t key, VisitForm visit)
    {
        if (!passes(key))
            return;
        const std::uint32_t tag = fingerprint(key);
        std::size_t s = home(key);
        for (; m_slots[s].tag != 0; s = next(s)) {
            Slot &slot = m_slots[s];
            if ((slot.tag & fingerprintBits) != tag)
                continue;
            if (!(slot.payload & isList)) {
                if (slot.tag & (outForRow | outForGood))
                    return;
                const Visit what = visit(slot.payload);
                if (what == Visit::DropForRow) {
                    slot.tag |= outForRow;
                    m_outForRow.push_back(static_cast<std::uint32_t>(s));
                } else if (what == Visit::DropForGood) {
                    slot.tag |= outForGood;
                }
                return;
            }
            // [0, active) in the list, [active, live) out for this row, [live, ...) out for good.
            List &list = m_lists[slot.payload & ~isList];
            std::uint32_t *values = m_values.data() + list.begin;
            for (std::uint32_t i = 0; i < list.active;) {
                const Visit what = visit(values[i]);
                if (what == Visit::Keep) {
                    ++i;
                    continue;
                }
                if (list.active == list.live)
                    m_outForRow.push_back(static_cast<std::uint32_t>(s));
                std::swap(values[i], values[--list.active]);
                if (what == Visit::DropForGood)
                    std::swap(values[list.active], values[--list.live]);
            }
            return;
        }
    }

    // Puts back the forms taken out for the row.
    void nextRow()
    {
        for (const std::uint32_t s : m_outForRow) {
            Slot &slot = m_slots[s];
            if (slot.payload & isList) {
                List &list = m_lists[slot.payload & ~isList];
                list.active = list.live;
            } else {
                slot.tag &= ~outForRow;
            }
        }
        m_outForRow.clear();
    }

private:
    // About how many distinct keys the entries have (within a few per cent): the largest run
    // of leading zeros of the keys in each of 4,096 parts, as HyperLogLog counts.
    template<class Entries>
    static std::size_t distinctKeys(Entries entries)
    {
        constexpr unsigned bits = 12;
        constexpr std::size_t parts = std::size_t(1) << bits;
        std::array<std::uint8_t, parts> zeros{};
        entries([&](std::uint64_t key, std::uint32_t) {
            const auto rank = static_cast<std::uint8_t>(std::countl_zero((key << bits) | (1u << (bits - 1))) + 1);
            std::uint8_t &part = zeros[key >> (64 - bits)];
            part = std::max(part, rank);
        });
        double sum = 0;
        std::size_t empty = 0;
        for (const std::uint8_t z : zeros) {
            sum += std::ldexp(1.0, -z);
            empty += z == 0;
        }
        const double m = parts;
        double estimate = 0.7213 / (1 + 1.079 / m) * m * m / sum;
        if (estimate <= 2.5 * m && empty > 0)
            estimate = m * std::log(m / static_cast<double>(empty));
        return static_cast<std::size_t>(estimate);
    }

    // Puts the entries in capacity slots; false when they have more distinct keys than fit.
    template<class Entries>
    bool fill(std::size_t capacity, std::size_t count, Entries entries)
    {
        capacity = std::max<std::size_t>(16, capacity);
        if (capacity >= UINT32_MAX)
            throw std::length_error("too many keys to look for near rows");
        m_slots.clear();
        m_slots.shrink_to_fit();
        m_slots.assign(capacity, Slot{});
        m_lists.clear();
        m_values.clear();
        m_outForRow.clear();
        // About 16 bits a key, a key setting two bits of one word: most lookups of a row's cells
        // find nothing, and learn it here, from a table a tenth the size of the slots. Its words
        // are fetched well ahead of the lookups.
        m_filterShift = 64 - 6;
        while ((std::size_t(64) << (64 - m_filterShift)) < capacity * 11)
            --m_filterShift;
        m_filter.assign(std::size_t(1) << (64 - m_filterShift), 0);
        // The forms of the keys that have two or more, by list, put in their places at the end.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> shared;
        shared.reserve(count);
        const std::size_t most = capacity / 10 * 9;
        std::size_t used = 0;
        const auto insert = [&](std::uint64_t key, std::uint32_t form) {
            m_filter[filterWord(key)] |= filterBits(key);
            const std::uint32_t tag = fingerprint(key);
            std::size_t s = home(key);
            while (m_slots[s].tag != 0 && m_slots[s].tag != tag)
                s = next(s);
            Slot &slot = m_slots[s];
            if (slot.tag == 0) {
                slot = Slot{tag, form};
                ++used;
            } else if (!(slot.payload & isList)) {
                // A form's entries come one after another: a run of a character gives the
                // same key twice.
                if (slot.payload != form) {
                    const auto list = static_cast<std::uint32_t>(m_lists.size());
                    if (list & isList)
                        throw std::length_error("too many keys to look for near rows");
                    m_lists.push_back(List{0, 0, 0});
                    shared.emplace_back(list, slot.payload);
                    shared.emplace_back(list, form);
                    slot.payload = isList | list;
                }
            } else if (const std::uint32_t list = slot.payload & ~isList; shared.back() != std::pair(list, form)) {
                shared.emplace_back(list, form);
            }
        };
        // The slots are written in scattered order: each entry waits while its slot is fetched.
        constexpr std::size_t ahead = 16;
        std::array<std::pair<std::uint64_t, std::uint32_t>, ahead> waiting;
        std::size_t added = 0;
        entries([&](std::uint64_t key, std::uint32_t form) {
            if (form & (isList | outForGood))
                throw std::length_error("too many keys to look for near rows");
            if (used >= most)
                return;
            fetchAhead(key);
            std::pair<std::uint64_t, std::uint32_t> &entry = waiting[added % ahead];
            if (added >= ahead)
                insert(entry.first, entry.second);
            entry = {key, form};
            ++added;
        });
        for (std::size_t i = added > ahead ? added - ahead : 0; i < added && used < most; ++i)
            insert(waiting[i % ahead].first, waiting[i % ahead].second);
        if (used >= most)
            return false;
        // The lists are counted after, not in, the pass over the slots: that pass fetches its
        // slots ahead, and one more table read in scattered order would cost as much as they.
        for (std::size_t i = 0; i < shared.size(); ++i) {
            if (i + ahead < shared.size())
                prefetch(&m_lists[shared[i + ahead].first]);
            ++m_lists[shared[i].first].live;
        }
        std::uint32_t begin = 0;
        for (List &list : m_lists) {
            list.begin = begin;
            begin += list.live;
        }
        m_values.resize(shared.size());
        for (std::size_t i = 0; i < shared.size(); ++i) {
            if (i + 2 * ahead < shared.size())
                prefetch(&m_lists[shared[i + 2 * ahead].first]);
            if (i + ahead < shared.size()) {
                const List &list = m_lists[shared[i + ahead].first];
                prefetch(&m_values[list.begin + list.active]);
            }
            List &list = m_lists[shared[i].first];
            m_values[list.begin + list.active++] = shared[i].second;
        }
        return true;
    }

    // tag: the key's fingerprint, 0 for an empty slot; a slot of one form also marks it out.
    static constexpr std::uint32_t outForRow = 1u << 31;
    static constexpr std::uint32_t outForGood = 1u << 30;
    static constexpr std::uint32_t fingerprintBits = outForGood - 1;
    // payload: the one form, or isList and the list's place in m_lists.
    static constexpr std::uint32_t isList = 1u << 31;

    struct Slot
    {
        std::uint32_t tag = 0;
        std::uint32_t payload = 0;
    };

    struct List
    {
        std::uint32_t begin;
        std::uint32_t live;
        std::uint32_t active;
    };

    bool passes(std::uint64_t key) const
    {
        if (m_slots.empty())
            return false;
        const std::uint64_t bits = filterBits(key);
        return (m_filter[filterWord(key)] & bits) == bits;
    }
    static std::uint32_t fingerprint(std::uint64_t key)
    {
        const auto bits = static_cast<std::uint32_t>(key & fingerprintBits);
        return bits != 0 ? bits : 1;
    }
    // The slots take the key's high bits for the place, its low ones for the fingerprint; the
    // filter takes all of them, mixed once more.
    std::size_t home(std::uint64_t key) const { return static_cast<std::size_t>(((key >> 32) * m_slots.size()) >> 32); }
    std::size_t next(std::size_t slot) const { return slot + 1 == m_slots.size() ? 0 : slot + 1; }
    std::size_t filterWord(std::uint64_t key) const
    {
        return static_cast<std::size_t>((key * 0xd1b54a32d192ed03ULL) >> m_filterShift);
    }
    static std::uint64_t filterBits(std::uint64_t key)
    {
        return std::uint64_t(1) << (key & 63) | std::uint64_t(1) << (key >> 6 & 63);
    }

    std::vector<Slot> m_slots;
    std::vector<List> m_lists;
    std::vector<std::uint32_t> m_values;
    std::vector<std::uint64_t> m_filter;
    unsigned m_filterShift = 64;
    std::vector<std::uint32_t> m_outForRow;
};

// A set of keys as bits, about ten a key, two of them in one word: a key not added is found
// missing but for about one in thirty. Made with no room, it has every key.
class KeyBits
{
public:
    KeyBits() = default;
    explicit KeyBits(std::size_t keys)
    {
        while ((std::size_t(64) << (64 - m_shift)) < keys * 10)
            --m_shift;
        m_words.assign(std::size_t(1) << (64 - m_shift), 0);
    }

    void add(std::uint64_t key) { m_words[word(key)] |= bits(key); }
    bool mayHave(std::uint64_t key) const { return m_words.empty() || (m_words[word(key)] & bits(key)) == bits(key); }
    void fetchAhead(std::uint64_t key) const
    {
        if (!m_words.empty())
            prefetch(&m_words[word(key)]);
    }

    // Entries (see Postings::build) with only the keys that the set may have: each waits while
    // its word is fetched.
    template<class Entries>
    auto only(Entries entries) const
    {
        return [this, entries](const auto &add) {
            constexpr std::size_t ahead = 16;
            std::array<std::pair<std::uint64_t, std::uint32_t>, ahead> waiting;
            std::size_t count = 0;
            const auto pass = [&](const std::pair<std::uint64_t, std::uint32_t> &entry) {
                if (mayHave(entry.first))
                    add(entry.first, entry.second);
            };
            entries([&](std::uint64_t key, std::uint32_t form) {
                fetchAhead(key);
                std::pair<std::uint64_t, std::uint32_t> &entry = waiting[count % ahead];
                if (count >= ahead)
                    pass(entry);
                entry = {key, form};
                ++count;
            });
            for (std::size_t i = count > ahead ? count - ahead : 0; i < count; ++i)
                pass(waiting[i % ahead]);
        };
    }

private:
    std::size_t word(std::uint64_t key) const
    {
        return static_cast<std::size_t>((key * 0x9fb21c651e98df25ULL) >> m_shift);
    }
    static std::uint64_t bits(std::uint64_t key)
    {
        return std::uint64_t(1) << (key >> 40 & 63) | std::uint64_t(1) << (key >> 46 & 63);
    }

    unsigned m_shift = 64 - 6;
    std::vector<std::uint64_t> m_words;
};

// Whether a cell's text was seen before in the same row: equal cells are looked up once.
class RowCells
{
public:
    bool firstTime(std::u16string_view cell)
    {
        // Rows have a few cells; a set only for the rare row of many.
        if (m_few.size() < 16) {
            if (std::find(m_few.begin(), m_few.end(), cell) != m_few.end())
                return false;
            m_few.push_back(cell);
            return true;
        }
        if (m_many.empty())
            m_many.insert(m_few.begin(), m_few.end());
        return m_many.insert(cell).second;
    }

    void nextRow()
    {
        m_few.clear();
        if (!m_many.empty())
            m_many = {};
    }

private:
    std::vector<std::u16string_view> m_few;
    std::unordered_set<std::u16string_view> m_many;
};

// Long enough for StartOrEnd and OneEdit.
bool longEnough(std::u32string_view form)
{
    return longEnoughForm(form);
}

using Rule = NearRowIndex::Rule;
constexpr std::size_t ruleCount = static_cast<std::size_t>(Rule::OneEdit) + 1;

constexpr std::size_t ruleIndex(Rule rule)
{
    return static_cast<std::size_t>(rule);
}

// A row's hits before it is settled: the form, the rule, the cell.
struct Found
{
    std::uint32_t group;
    Rule rule;
    std::uint32_t cell;
    std::size_t cellBegin;
    std::size_t cellEnd;
    bool lastCell;

    bool operator<(const Found &o) const { return std::tie(group, rule, cell) < std::tie(o.group, o.rule, o.cell); }
};

// A cell that may be near some key: its place, and the ends and length of its form.
struct Candidate
{
    static constexpr std::uint32_t notNear = UINT32_MAX;

    std::size_t row;
    std::size_t begin;
    std::uint32_t units; // of the cell
    std::uint32_t index;
    std::uint32_t length = notNear; // of its form, once SameForm and StartOrEnd looked at it
    char32_t first;                 // of its form
    char32_t final;
    bool last;

    std::size_t end() const { return begin + units; }
};

// What OneEdit looks up for a cell: its form, and the tables and keys.
struct Lookups
{
    HashedForm form;
    std::vector<std::pair<Postings *, std::uint64_t>> keys;
};

} // namespace

// The first and the last characters of some forms. A cell near a form by any rule starts or
// ends as it does (of a form of two characters or more, one edit keeps the first or the last
// character in its place), so most cells, scores and grades, are turned away here.
class FormEnds
{
public:
    void add(char32_t first, char32_t last)
    {
        m_first.set(first & 0xFFFF);
        m_last.set(last & 0xFFFF);
    }
    bool mayBeNear(char32_t first, char32_t last) const
    {
        return m_first.test(first & 0xFFFF) || m_last.test(last & 0xFFFF);
    }

private:
    std::bitset<0x10000> m_first;
    std::bitset<0x10000> m_last;
};

class NearRowIndex::Tables
{
public:
    Postings forms;        // every form, by its own hash
    Postings wanted;       // OneEdit: the forms it looks for, by their own hash
    Postings deletions;    // OneEdit: a form with one character out
    Postings replacements; // OneEdit: the same, with the position
    std::vector<std::size_t> startOrEndLengths;
    FormEnds ends;                                           // of every form
    FormEnds oneEdit;                                        // of the forms that OneEdit looks for
    std::vector<std::array<std::uint8_t, ruleCount>> counts; // per form: rows taken by each rule
    std::vector<bool> longEnough;

    // Rows taken for the form by the first two rules.
    std::size_t nearerTaken(std::uint32_t g) const
    {
        return counts[g][ruleIndex(Rule::SameForm)] + counts[g][ruleIndex(Rule::StartOrEnd)];
    }
};

class NearRowIndex::Search
{
public:
    Search(NearRowIndex &index, const LineTable &table)
        : m_index(index)
        , m_t(*index.m_tables)
        , m_table(table)
    { }

    // The cells of the rows that may be near some key, each text of a row once, and their ends.
    void gatherCandidates(std::span<const std::size_t> rows);
    const FormEnds &cellEnds() const { return m_cellEnds; }
    bool noCandidates() const { return m_candidates.empty(); }

    // Once the forms are indexed, the rules in turn.
    void bySameFormOrStartOrEnd();
    void byOneEdit();

private:
    static constexpr std::size_t noRow = SIZE_MAX;
    // Per cell length, what OneEdit looks up: a character replaced, one more in the cell, one fewer.
    static constexpr std::uint8_t replaced = 1;
    static constexpr std::uint8_t oneMore = 2;
    static constexpr std::uint8_t oneFewer = 4;
    // How many cells ahead each stage of OneEdit's lookups runs.
    static constexpr std::size_t filtersAhead = 24;
    static constexpr std::size_t slotsAhead = 16;
    static constexpr std::size_t statesAhead = 8;
    static constexpr std::size_t textsAhead = 4;

    template<class LookAt>
    void eachRow(LookAt lookAt);
    void settle(std::size_t row);
    void lookUpSameFormOrStartOrEnd(Candidate &c, HashedForm &cell);
    bool someCellOfLength(std::size_t n) const { return n < m_cellLengths.size() && m_cellLengths[n]; }
    bool planOneEdit();
    bool looksUp(const Candidate &c) const;
    void makeLookups(const Candidate &c, Lookups &out) const;
    KeyBits keysLookedUp() const;
    void buildOneEditTables(const KeyBits &lookedUp);
    void stage(std::size_t position, std::size_t ahead);
    void lookUpOneEdit();

    NearRowIndex &m_index;
    Tables &m_t;
    const LineTable &m_table;
    std::vector<Candidate> m_candidates;
    FormEnds m_cellEnds;
    std::vector<Found> m_inRow; // the hits of the row at hand
    // Per form, the row it was last found in by StartOrEnd, then by OneEdit: a form takes one
    // cell of a row, so it is looked at no more in that row once it has one.
    std::vector<std::size_t> m_foundInRow;
    std::vector<bool> m_cellLengths; // of the cells' forms that the first two rules looked at
    std::vector<std::uint8_t> m_lookups;
    std::vector<std::uint32_t> m_oneEditForms;
    std::size_t m_wantedCount = 0;
    std::size_t m_deletionCount = 0;
    std::size_t m_replacementCount = 0;
    std::vector<Lookups> m_ring; // the lookups of the cells ahead
};

NearRowIndex::NearRowIndex(std::vector<std::u16string_view> keys)
    : m_keys(std::move(keys))
    , m_groupOfKey(m_keys.size(), noGroup)
    , m_formStart(1, 0)
    , m_hitStart(1, 0)
    , m_tables(std::make_unique<Tables>())
{ }

NearRowIndex::~NearRowIndex() = default;

std::u32string_view NearRowIndex::form(std::uint32_t group) const
{
    return std::u32string_view(m_formText).substr(m_formStart[group], m_formStart[group + 1] - m_formStart[group]);
}

void NearRowIndex::indexForms(const FormEnds &cellEnds)
{
    // The distinct forms of the keys that some cell may be near, in the order of the keys: a key
    // list often repeats names. A table of the forms' hashes finds a form seen before, its text
    // compared only when the hashes are equal. Numbered in the order of the keys, the forms'
    // hits are then read in order when the report takes the keys in turn.
    std::vector<bool> nearSomeCell(m_keys.size(), false);
    std::size_t nearKeys = 0;
    for (std::uint32_t key = 0; key < m_keys.size(); ++key) {
        const std::optional<std::pair<char32_t, char32_t>> ends = canonicalEnds(m_keys[key]);
        if (ends && cellEnds.mayBeNear(ends->first, ends->second)) {
            nearSomeCell[key] = true;
            ++nearKeys;
        }
    }
    std::size_t capacity = 16;
    while (capacity < 2 * nearKeys)
        capacity *= 2;
    std::vector<std::uint32_t> slots(capacity, noGroup);
    std::vector<std::uint64_t> hashOfForm;
    std::u32string text;
    for (std::uint32_t key = 0; key < m_keys.size(); ++key) {
        if (!nearSomeCell[key])
            continue;
        text.clear();
        appendCanonicalForm(m_keys[key], textCauses, text);
        const std::uint64_t hash = mixed(std::hash<std::u32string_view>()(text));
        std::size_t slot = hash & (capacity - 1);
        while (slots[slot] != noGroup && (hashOfForm[slots[slot]] != hash || form(slots[slot]) != text))
            slot = (slot + 1) & (capacity - 1);
        if (slots[slot] == noGroup) {
            slots[slot] = static_cast<std::uint32_t>(hashOfForm.size());
            hashOfForm.push_back(hash);
            m_formText += text;
            m_formStart.push_back(m_formText.size());
        }
        m_groupOfKey[key] = slots[slot];
    }

    const std::size_t forms = m_formStart.size() - 1;
    Tables &t = *m_tables;
    t.counts.assign(forms, {});
    t.longEnough.resize(forms);
    HashedForm hashed;
    t.forms.buildDistinct(forms, [&](const auto &add) {
        for (std::uint32_t g = 0; g < forms; ++g) {
            const std::u32string_view f = form(g);
            hashed.assignForm(f);
            t.ends.add(f.front(), f.back());
            add(textKey(hashed.piece(0, f.size()), f.size()), g);
            t.longEnough[g] = lanshan::longEnough(f);
            if (t.longEnough[g])
                t.startOrEndLengths.push_back(f.size());
        }
    });
    std::sort(t.startOrEndLengths.begin(), t.startOrEndLengths.end());
    t.startOrEndLengths.erase(std::unique(t.startOrEndLengths.begin(), t.startOrEndLengths.end()),
                              t.startOrEndLengths.end());
}

void NearRowIndex::search(const LineTable &table, std::span<const std::size_t> rows)
{
    Search search(*this, table);
    search.gatherCandidates(rows);
    // The other way round: only the keys that some cell may be near are indexed, so that a long
    // key list against a few rows costs no index.
    indexForms(search.cellEnds());
    if (formCount() > 0 && !search.noCandidates()) {
        search.bySameFormOrStartOrEnd();
        search.byOneEdit();
    }
    finish();
}

void NearRowIndex::Search::gatherCandidates(std::span<const std::size_t> rows)
{
    // A cell near a key by any rule starts or ends as it does (of a form of two characters or
    // more, one edit keeps the first or the last character in its place), so most cells, scores
    // and grades, are passed over here.
    FormEnds keyEnds;
    for (const std::u16string_view key : m_index.m_keys) {
        if (const std::optional<std::pair<char32_t, char32_t>> ends = canonicalEnds(key))
            keyEnds.add(ends->first, ends->second);
    }
    RowCells seen;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        // Unused rows lie apart in the text: fetch them some rows ahead.
        if (r + 8 < rows.size())
            prefetch(m_table[rows[r + 8]].data());
        const std::size_t row = rows[r];
        forEachCell(m_table[row], [&](std::u16string_view text, std::size_t begin, std::uint32_t index, bool last) {
            const std::optional<std::pair<char32_t, char32_t>> ends = canonicalEnds(text);
            if (!ends || !keyEnds.mayBeNear(ends->first, ends->second) || !seen.firstTime(text))
                return;
            if (text.size() >= Candidate::notNear)
                throw std::length_error("a cell too long to look for near rows");
            m_candidates.push_back({row, begin, static_cast<std::uint32_t>(text.size()), index, Candidate::notNear,
                                    ends->first, ends->second, last});
            m_cellEnds.add(ends->first, ends->second);
        });
        seen.nextRow();
    }
}

// Candidates come row by row: each row is settled once its cells are looked at.
template<class LookAt>
void NearRowIndex::Search::eachRow(LookAt lookAt)
{
    for (std::size_t next = 0; next < m_candidates.size();) {
        const std::size_t row = m_candidates[next].row;
        for (; next < m_candidates.size() && m_candidates[next].row == row; ++next)
            lookAt(m_candidates[next]);
        settle(row);
        m_t.wanted.nextRow();
        m_t.deletions.nextRow();
        m_t.replacements.nextRow();
    }
}

// The best cell of the row for each form, taken while the form has room for its rule.
void NearRowIndex::Search::settle(std::size_t row)
{
    std::sort(m_inRow.begin(), m_inRow.end());
    for (std::size_t i = 0; i < m_inRow.size(); ++i) {
        const Found &f = m_inRow[i];
        if (i > 0 && m_inRow[i - 1].group == f.group)
            continue;
        std::uint8_t &count = m_t.counts[f.group][ruleIndex(f.rule)];
        if (count < maxHits) {
            ++count;
            m_index.m_hits.push_back(Hit{row, f.cellBegin, f.cellEnd, f.rule, f.lastCell});
            m_index.m_found.push_back(f.group);
        }
    }
    m_inRow.clear();
}

// A form is found by each lookup at most once, as forms are distinct. What the cells near some
// form are like is noted for OneEdit: their lengths.
void NearRowIndex::Search::bySameFormOrStartOrEnd()
{
    m_foundInRow.assign(m_index.formCount(), noRow);
    HashedForm cell;
    eachRow([&](Candidate &c) {
        if (m_t.ends.mayBeNear(c.first, c.final))
            lookUpSameFormOrStartOrEnd(c, cell);
    });
}

void NearRowIndex::Search::lookUpSameFormOrStartOrEnd(Candidate &c, HashedForm &cell)
{
    Tables &t = m_t;
    cell.assign(m_table[c.row].substr(c.begin, c.units));
    const std::u32string &text = cell.form();
    const std::size_t n = text.size();
    c.length = static_cast<std::uint32_t>(n);
    if (m_cellLengths.size() <= n + 1)
        m_cellLengths.resize(n + 2, false);
    m_cellLengths[n] = true;
    cell.rehash();
    t.forms.forEach(textKey(cell.piece(0, n), n), [&](std::uint32_t g) {
        if (t.counts[g][ruleIndex(Rule::SameForm)] < maxHits && m_index.form(g) == text)
            m_inRow.push_back(Found{g, Rule::SameForm, c.index, c.begin, c.end(), c.last});
        return Visit::Keep;
    });
    // StartOrEnd takes a form's leftmost cell of a row, and no more rows once it has five by the
    // first two rules: a later one would not be among its best. So a long cell that starts with
    // many keys is compared with each of them once a row, not once a cell.
    const auto longer = [&](std::uint32_t g, std::u32string_view piece) {
        if (t.longEnough[g] && m_foundInRow[g] != c.row && t.nearerTaken(g) < maxHits && m_index.form(g) == piece) {
            m_foundInRow[g] = c.row;
            m_inRow.push_back(Found{g, Rule::StartOrEnd, c.index, c.begin, c.end(), c.last});
        }
        return Visit::Keep;
    };
    for (const std::size_t length : t.startOrEndLengths) {
        if (length >= n)
            break;
        const std::u32string_view head(text.data(), length);
        const std::u32string_view tail(text.data() + n - length, length);
        t.forms.forEach(textKey(cell.piece(0, length), length), [&](std::uint32_t g) { return longer(g, head); });
        t.forms.forEach(textKey(cell.piece(n - length, n), length), [&](std::uint32_t g) { return longer(g, tail); });
    }
}

// For the forms still without a row that some cell may be near.
void NearRowIndex::Search::byOneEdit()
{
    m_foundInRow.assign(m_index.formCount(), noRow);
    if (!planOneEdit())
        return;
    buildOneEditTables(keysLookedUp());
    m_oneEditForms = {};
    lookUpOneEdit();
}

// The forms OneEdit looks for, and what each cell length looks up. Each table holds only the
// forms that a cell of its length may be near: keys and cells all of one length need no
// insertion or removal, whose tables would cost as much again. False where it looks for none.
bool NearRowIndex::Search::planOneEdit()
{
    for (std::uint32_t g = 0; g < m_index.formCount(); ++g) {
        const std::u32string_view f = m_index.form(g);
        const std::size_t k = f.size();
        if (!m_t.longEnough[g] || m_t.nearerTaken(g) > 0
            || !(someCellOfLength(k - 1) || someCellOfLength(k) || someCellOfLength(k + 1)))
            continue;
        m_oneEditForms.push_back(g);
        m_t.oneEdit.add(f.front(), f.back());
        if (m_lookups.size() < k + 2)
            m_lookups.resize(k + 2, 0);
        if (someCellOfLength(k)) {
            m_lookups[k] |= replaced;
            m_replacementCount += k;
        }
        if (someCellOfLength(k + 1)) {
            m_lookups[k + 1] |= oneMore;
            ++m_wantedCount;
        }
        if (someCellOfLength(k - 1)) {
            m_lookups[k - 1] |= oneFewer;
            m_deletionCount += k;
        }
    }
    return !m_oneEditForms.empty();
}

bool NearRowIndex::Search::looksUp(const Candidate &c) const
{
    return c.length < m_lookups.size() && m_lookups[c.length] != 0 && m_t.oneEdit.mayBeNear(c.first, c.final);
}

void NearRowIndex::Search::makeLookups(const Candidate &c, Lookups &out) const
{
    const std::size_t n = c.length;
    out.form.assign(m_table[c.row].substr(c.begin, c.units));
    out.form.rehash();
    out.keys.clear();
    const std::u32string &text = out.form.form();
    if (m_lookups[n] & replaced) {
        for (std::size_t i = 0; i < n; ++i)
            out.keys.emplace_back(&m_t.replacements, replacementKey(out.form.without(i), n - 1, i));
    }
    if (m_lookups[n] & oneMore) {
        for (std::size_t i = 0; i < n; ++i) {
            if (i == 0 || text[i] != text[i - 1]) // a run gives the same text whichever goes
                out.keys.emplace_back(&m_t.wanted, textKey(out.form.without(i), n - 1));
        }
    }
    if (m_lookups[n] & oneFewer)
        out.keys.emplace_back(&m_t.deletions, textKey(out.form.piece(0, n), n));
}

// The keys the cells will look up, as bits: an entry of the tables under a key that no cell
// looks up is left out. Keys that differ in one place (numbers one digit apart) share most of
// their entries, and cells one character from none of them would leave those in for nothing.
// It costs a pass over the cells' keys and saves at most the entries: made only when these are
// about as many; else a set that has every key.
KeyBits NearRowIndex::Search::keysLookedUp() const
{
    std::size_t cellKeys = 0;
    for (const Candidate &c : m_candidates) {
        if (looksUp(c)) {
            const std::uint8_t lookups = m_lookups[c.length];
            cellKeys +=
                (lookups & replaced ? c.length : 0) + (lookups & oneMore ? c.length : 0) + (lookups & oneFewer ? 1 : 0);
        }
    }
    KeyBits lookedUp;
    if (cellKeys >= 2 * (m_wantedCount + m_deletionCount + m_replacementCount))
        return lookedUp;
    lookedUp = KeyBits(cellKeys);
    // Each key waits while its word is fetched.
    constexpr std::size_t ahead = 16;
    std::array<std::uint64_t, ahead> waiting;
    std::size_t count = 0;
    Lookups made;
    for (const Candidate &c : m_candidates) {
        if (!looksUp(c))
            continue;
        makeLookups(c, made);
        for (const auto &entry : made.keys) {
            lookedUp.fetchAhead(entry.second);
            if (count >= ahead)
                lookedUp.add(waiting[count % ahead]);
            waiting[count++ % ahead] = entry.second;
        }
    }
    for (std::size_t i = count > ahead ? count - ahead : 0; i < count; ++i)
        lookedUp.add(waiting[i % ahead]);
    return lookedUp;
}

void NearRowIndex::Search::buildOneEditTables(const KeyBits &lookedUp)
{
    HashedForm keyForm;
    m_t.wanted.buildDistinct(m_wantedCount, lookedUp.only([&](const auto &add) {
        for (const std::uint32_t g : m_oneEditForms) {
            const std::size_t k = m_index.form(g).size();
            if (someCellOfLength(k + 1)) {
                keyForm.assignForm(m_index.form(g));
                add(textKey(keyForm.piece(0, k), k), g);
            }
        }
    }));
    m_t.deletions.build(m_deletionCount, lookedUp.only([&](const auto &add) {
        for (const std::uint32_t g : m_oneEditForms) {
            const std::size_t k = m_index.form(g).size();
            if (someCellOfLength(k - 1)) {
                keyForm.assignForm(m_index.form(g));
                for (std::size_t i = 0; i < k; ++i)
                    add(textKey(keyForm.without(i), k - 1), g);
            }
        }
    }));
    m_t.replacements.build(m_replacementCount, lookedUp.only([&](const auto &add) {
        for (const std::uint32_t g : m_oneEditForms) {
            const std::size_t k = m_index.form(g).size();
            if (someCellOfLength(k)) {
                keyForm.assignForm(m_index.form(g));
                for (std::size_t i = 0; i < k; ++i)
                    add(replacementKey(keyForm.without(i), k - 1, i), g);
            }
        }
    }));
}

// One stage of the lookups of the cell at position, the given number of cells ahead.
void NearRowIndex::Search::stage(std::size_t position, std::size_t ahead)
{
    if (position >= m_candidates.size() || !looksUp(m_candidates[position]))
        return;
    Lookups &pending = m_ring[position % m_ring.size()];
    switch (ahead) {
    case filtersAhead:
        makeLookups(m_candidates[position], pending);
        for (const auto &[postings, key] : pending.keys)
            postings->fetchFilter(key);
        break;
    case slotsAhead:
        for (const auto &[postings, key] : pending.keys)
            postings->fetchSlot(key);
        break;
    case statesAhead:
        for (const auto &[postings, key] : pending.keys) {
            postings->peek(key, [&](std::uint32_t g) {
                prefetch(&m_t.counts[g]);
                prefetch(&m_foundInRow[g]);
                prefetch(&m_index.m_formStart[g]);
            });
        }
        break;
    default:
        for (const auto &[postings, key] : pending.keys)
            postings->peek(key, [&](std::uint32_t g) { prefetch(m_index.m_formText.data() + m_index.m_formStart[g]); });
        break;
    }
}

// The tables and the forms are read in scattered order: a cell's lookups are made some cells
// ahead, and what they read fetched in stages, each once the one before is there: the filters,
// the slots of the keys that pass, the state of the forms they hold, the forms' texts. The
// cells' forms are made again from the rows, as keeping them from the first two rules would
// cost more memory than the rows themselves.
void NearRowIndex::Search::lookUpOneEdit()
{
    m_ring.resize(filtersAhead + 1);
    for (std::size_t position = 0; position < filtersAhead; ++position)
        stage(position, filtersAhead);
    Tables &t = m_t;
    eachRow([&](const Candidate &c) {
        const std::size_t position = static_cast<std::size_t>(&c - m_candidates.data());
        for (const std::size_t ahead : {filtersAhead, slotsAhead, statesAhead, textsAhead})
            stage(position + ahead, ahead);
        if (!looksUp(c))
            return;
        const Lookups &thisCell = m_ring[position % m_ring.size()];
        // Every form a list gives is one edit from the cell but for a hash collision.
        const auto check = [&](std::uint32_t g) {
            if (t.counts[g][ruleIndex(Rule::OneEdit)] >= maxHits)
                return Visit::DropForGood;
            if (m_foundInRow[g] == c.row)
                return Visit::DropForRow;
            if (!oneEditApart(m_index.form(g), thisCell.form.form()))
                return Visit::Keep;
            m_foundInRow[g] = c.row;
            m_inRow.push_back(Found{g, Rule::OneEdit, c.index, c.begin, c.end(), c.last});
            return Visit::DropForRow;
        };
        for (const auto &[postings, key] : thisCell.keys)
            postings->forEach(key, check);
    });
}

void NearRowIndex::finish()
{
    // The forms and their tables have done their work: only the hits are asked for from now on.
    const std::size_t forms = m_formStart.size() - 1;
    m_tables.reset();
    m_formText = {};
    m_formStart = {};
    m_keys = {};
    // Grouped by form, each form's hits in the order found, which is row order for each rule.
    m_hitStart.assign(forms + 1, 0);
    for (const std::uint32_t g : m_found)
        ++m_hitStart[g + 1];
    for (std::size_t g = 0; g < forms; ++g)
        m_hitStart[g + 1] += m_hitStart[g];
    std::vector<Hit> grouped(m_hits.size());
    {
        std::vector<std::size_t> next(m_hitStart.begin(), m_hitStart.end() - 1);
        for (std::size_t i = 0; i < m_hits.size(); ++i)
            grouped[next[m_found[i]]++] = m_hits[i];
    }
    m_hits = std::move(grouped);
    m_found = {};
    for (std::size_t g = 0; g < forms; ++g) {
        const auto begin = m_hits.begin() + static_cast<std::ptrdiff_t>(m_hitStart[g]);
        const auto end = m_hits.begin() + static_cast<std::ptrdiff_t>(m_hitStart[g + 1]);
        if (end - begin > 1)
            std::stable_sort(begin, end, [](const Hit &a, const Hit &b) { return a.rule < b.rule; });
    }
}

void NearRowIndex::fetchHitPlace(std::size_t key) const
{
    if (key < m_groupOfKey.size() && m_groupOfKey[key] != noGroup && m_groupOfKey[key] + 1 < m_hitStart.size())
        prefetch(&m_hitStart[m_groupOfKey[key]]);
}

void NearRowIndex::fetchHits(std::size_t key) const
{
    if (key < m_groupOfKey.size() && m_groupOfKey[key] != noGroup && m_groupOfKey[key] + 1 < m_hitStart.size())
        prefetch(m_hits.data() + m_hitStart[m_groupOfKey[key]]);
}

std::span<const NearRowIndex::Hit> NearRowIndex::hits(std::size_t key) const
{
    const std::uint32_t g = m_groupOfKey.at(key);
    if (g == noGroup || g + 1 >= m_hitStart.size())
        return {};
    const std::size_t begin = m_hitStart[g];
    return std::span<const Hit>(m_hits).subspan(begin, std::min(m_hitStart[g + 1] - begin, maxHits));
}

} // namespace lanshan
