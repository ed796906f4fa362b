#include "nearrowindex.h"

#include "canonicalform.h"
#include "prefetch.h"
#include "rowcells.h"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
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

bool oneEditApart(std::u32string_view a, std::u32string_view b)
{
    if (a.size() < b.size())
        std::swap(a, b);
    if (a.size() - b.size() > 1)
        return false;
    std::size_t head = 0;
    while (head < b.size() && a[head] == b[head])
        ++head;
    if (a.size() == b.size())
        return head < a.size() && a.substr(head + 1) == b.substr(head + 1);
    return a.substr(head + 1) == b.substr(head);
}

// What a visit makes of a form in a list.
enum class Visit {
    Keep,
    DropForRow, // it has this row already: back with the next row (Postings::nextRow())
    DropForGood,
};

// Open-addressing table from hash keys to lists of forms. A visit can take a form out of a
// list for the rest of the row or for good, so that no form costs time twice in one row, and
// forms that need no more rows stop costing time at all.
class Postings
{
public:
    void build(std::vector<std::pair<std::uint64_t, std::uint32_t>> entries)
    {
        std::sort(entries.begin(), entries.end());
        entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
        if (entries.size() >= UINT32_MAX)
            throw std::length_error("too many keys to look for near rows");
        std::size_t capacity = 16;
        while (capacity < entries.size() * 2)
            capacity *= 2;
        m_slots.assign(capacity, Slot{});
        m_mask = capacity - 1;
        m_values.clear();
        m_values.reserve(entries.size());
        // About 16 bits a key: most lookups of a row's cells find nothing, and learn it here
        // without a cache miss in the slots.
        std::size_t bits = 1 << 12;
        while (bits < entries.size() * 16)
            bits *= 2;
        m_filter.assign(bits / 64, 0);
        m_filterMask = bits - 1;
        Slot *last = nullptr;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::uint64_t key = entries[i].first;
            if (i == 0 || key != entries[i - 1].first) {
                std::size_t slot = key & m_mask;
                while (m_slots[slot].begin != empty)
                    slot = (slot + 1) & m_mask;
                m_slots[slot] = Slot{key, static_cast<std::uint32_t>(m_values.size()), 0, 0};
                last = &m_slots[slot];
            }
            m_filter[filterBit(key) / 64] |= std::uint64_t(1) << (filterBit(key) % 64);
            m_values.push_back(entries[i].second);
            ++last->live;
            ++last->active;
        }
    }

    // Calls visit(form) for every form under the key that is in its list for this row.
    template<class VisitForm>
    void forEach(std::uint64_t key, VisitForm visit)
    {
        if (m_slots.empty() || !(m_filter[filterBit(key) / 64] >> (filterBit(key) % 64) & 1))
            return;
        std::size_t slot = key & m_mask;
        for (; m_slots[slot].begin != empty; slot = (slot + 1) & m_mask) {
            Slot &s = m_slots[slot];
            if (s.key != key)
                continue;
            // [0, active) in the list, [active, live) out for this row, [live, ...) out for good.
            std::uint32_t *values = m_values.data() + s.begin;
            for (std::uint32_t i = 0; i < s.active;) {
                const Visit what = visit(values[i]);
                if (what == Visit::Keep) {
                    ++i;
                    continue;
                }
                if (s.active == s.live)
                    m_outForRow.push_back(&s);
                std::swap(values[i], values[--s.active]);
                if (what == Visit::DropForGood)
                    std::swap(values[s.active], values[--s.live]);
            }
            return;
        }
    }

    // Puts back the forms taken out for the row.
    void nextRow()
    {
        for (Slot *s : m_outForRow)
            s->active = s->live;
        m_outForRow.clear();
    }

private:
    static constexpr std::uint32_t empty = UINT32_MAX;

    struct Slot
    {
        std::uint64_t key = 0;
        std::uint32_t begin = empty;
        std::uint32_t live = 0;
        std::uint32_t active = 0;
    };

    // The slots take the key's low bits, the filter its high ones.
    std::size_t filterBit(std::uint64_t key) const { return std::rotl(key, 24) & m_filterMask; }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::vector<std::uint64_t> m_filter;
    std::size_t m_filterMask = 0;
    std::vector<std::uint32_t> m_values;
    std::vector<Slot *> m_outForRow;
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

// Long enough for rules 2 and 3.
bool longEnough(std::u32string_view form)
{
    const bool digits = std::all_of(form.begin(), form.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
    return form.size() >= (digits ? 6u : 2u);
}

// A row's hits before it is settled: the form, the rule, the cell.
struct Found
{
    std::uint32_t group;
    int rule;
    std::uint32_t cell;
    std::size_t cellBegin;
    std::size_t cellEnd;
    bool lastCell;

    bool operator<(const Found &o) const { return std::tie(group, rule, cell) < std::tie(o.group, o.rule, o.cell); }
};

// A cell that may be near some key: its place, and the ends and length of its form.
struct Candidate
{
    static constexpr std::size_t notNear = SIZE_MAX;

    std::size_t row;
    std::size_t begin;
    std::size_t end;
    std::uint32_t index;
    bool last;
    char32_t first; // of its form
    char32_t final;
    std::size_t length = notNear; // of its form, once rules 1 and 2 looked at it
    std::size_t form = 0;         // where rules 1 and 2 left its form for rule 3
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
    Postings wanted;       // rule 3: the forms it looks for, by their own hash
    Postings deletions;    // rule 3: a form with one character out
    Postings replacements; // rule 3: the same, with the position
    std::vector<std::size_t> lengthsForRule2;
    FormEnds ends;                                   // of every form
    FormEnds ruleThree;                              // of the forms that rule 3 looks for
    std::vector<std::array<std::uint8_t, 3>> counts; // per form: rows taken by rule 1, 2, 3
    std::vector<bool> longEnough;
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
    // The forms of the keys that some cell may be near, each key's in its place.
    std::u32string keyForms;
    std::vector<std::size_t> keyFormStart;
    std::vector<std::pair<std::size_t, std::uint32_t>> byHash; // hash of the form, key
    for (std::uint32_t key = 0; key < m_keys.size(); ++key) {
        const std::optional<std::pair<char32_t, char32_t>> ends = canonicalEnds(m_keys[key]);
        if (!ends || !cellEnds.mayBeNear(ends->first, ends->second))
            continue;
        const std::size_t start = keyForms.size();
        appendCanonicalForm(m_keys[key], textCauses, keyForms);
        keyFormStart.push_back(start);
        byHash.emplace_back(std::hash<std::u32string_view>()(std::u32string_view(keyForms).substr(start)), key);
    }
    keyFormStart.push_back(keyForms.size());
    // Distinct forms: a key list often repeats names. Sorted by hash, equal forms meet without a
    // comparison of texts per step; a run of equal hashes is told apart by its texts.
    std::vector<std::uint32_t> slotOfKey(m_keys.size());
    for (std::uint32_t i = 0; i < byHash.size(); ++i)
        slotOfKey[byHash[i].second] = i;
    const auto keyForm = [&](std::uint32_t key) {
        const std::uint32_t i = slotOfKey[key];
        return std::u32string_view(keyForms).substr(keyFormStart[i], keyFormStart[i + 1] - keyFormStart[i]);
    };
    std::sort(byHash.begin(), byHash.end());
    for (std::size_t begin = 0, end = 0; begin < byHash.size(); begin = end) {
        const std::uint32_t firstGroup = static_cast<std::uint32_t>(m_formStart.size() - 1);
        for (end = begin; end < byHash.size() && byHash[end].first == byHash[begin].first; ++end) {
            const std::uint32_t key = byHash[end].second;
            const std::u32string_view text = keyForm(key);
            std::uint32_t g = firstGroup;
            while (g + 1 < m_formStart.size() && form(g) != text)
                ++g;
            if (g + 1 == m_formStart.size()) {
                m_formText += text;
                m_formStart.push_back(m_formText.size());
            }
            m_groupOfKey[key] = g;
        }
    }

    const std::size_t forms = m_formStart.size() - 1;
    Tables &t = *m_tables;
    t.counts.assign(forms, {0, 0, 0});
    t.longEnough.resize(forms);
    std::vector<std::pair<std::uint64_t, std::uint32_t>> entries;
    HashedForm hashed;
    for (std::uint32_t g = 0; g < forms; ++g) {
        const std::u32string_view f = form(g);
        hashed.assignForm(f);
        t.ends.add(f.front(), f.back());
        entries.emplace_back(textKey(hashed.piece(0, f.size()), f.size()), g);
        t.longEnough[g] = lanshan::longEnough(f);
        if (t.longEnough[g])
            t.lengthsForRule2.push_back(f.size());
    }
    t.forms.build(std::move(entries));
    std::sort(t.lengthsForRule2.begin(), t.lengthsForRule2.end());
    t.lengthsForRule2.erase(std::unique(t.lengthsForRule2.begin(), t.lengthsForRule2.end()), t.lengthsForRule2.end());
}

void NearRowIndex::search(const LineTable &table, std::span<const std::size_t> rows)
{
    Tables &t = *m_tables;
    RowCells seen;

    // The cells that may be near some key, each text of a row once: a cell near a key by any
    // rule starts or ends as it does (of a form of two characters or more, one edit keeps the
    // first or the last character in its place), so most cells, scores and grades, go here.
    FormEnds keyEnds;
    for (const std::u16string_view key : m_keys) {
        if (const std::optional<std::pair<char32_t, char32_t>> ends = canonicalEnds(key))
            keyEnds.add(ends->first, ends->second);
    }
    std::vector<Candidate> candidates;
    FormEnds cellEnds;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        // Unused rows lie apart in the text: fetch them some rows ahead.
        if (r + 8 < rows.size())
            prefetch(table[rows[r + 8]].data());
        const std::size_t row = rows[r];
        forEachCell(table[row], [&](std::u16string_view text, std::size_t begin, std::uint32_t index, bool last) {
            const std::optional<std::pair<char32_t, char32_t>> ends = canonicalEnds(text);
            if (!ends || !keyEnds.mayBeNear(ends->first, ends->second) || !seen.firstTime(text))
                return;
            candidates.push_back({row, begin, begin + text.size(), index, last, ends->first, ends->second});
            cellEnds.add(ends->first, ends->second);
        });
        seen.nextRow();
    }
    // The other way round: only the keys that some cell may be near are indexed, so that a long
    // key list against a few rows costs no index.
    indexForms(cellEnds);
    const std::size_t forms = m_formStart.size() - 1;
    if (forms == 0 || candidates.empty()) {
        finish();
        return;
    }

    std::vector<Found> found;
    HashedForm cell;
    // Per form, the row it was last found in by rule 2, then by rule 3: a form takes one cell of
    // a row, so it is looked at no more in that row once it has one.
    constexpr std::size_t noRow = SIZE_MAX;
    std::vector<std::size_t> foundInRow(forms, noRow);

    // Best cell of the row for each form; taken while the form has room for its rule.
    const auto settle = [&](std::size_t row) {
        std::sort(found.begin(), found.end());
        for (std::size_t i = 0; i < found.size(); ++i) {
            const Found &f = found[i];
            if (i > 0 && found[i - 1].group == f.group)
                continue;
            std::uint8_t &count = t.counts[f.group][f.rule - 1];
            if (count < maxHits) {
                ++count;
                m_hits.push_back(Hit{row, f.cellBegin, f.cellEnd, f.rule, f.lastCell});
                m_found.push_back(f.group);
            }
        }
        found.clear();
    };
    // Candidates come row by row.
    const auto eachRow = [&](auto lookAt) {
        for (std::size_t next = 0; next < candidates.size();) {
            const std::size_t row = candidates[next].row;
            for (; next < candidates.size() && candidates[next].row == row; ++next)
                lookAt(candidates[next]);
            settle(row);
            t.wanted.nextRow();
            t.deletions.nextRow();
            t.replacements.nextRow();
        }
    };

    // Rules 1 and 2. A form is found by each lookup at most once, as forms are distinct. What
    // the cells near some form are like is noted for rule 3: their lengths.
    std::vector<bool> cellLengths;
    std::u32string cellForms;
    eachRow([&](Candidate &c) {
        if (!t.ends.mayBeNear(c.first, c.final))
            return;
        cell.assign(table[c.row].substr(c.begin, c.end - c.begin));
        const std::u32string &text = cell.form();
        const std::size_t n = text.size();
        c.length = n;
        c.form = cellForms.size();
        cellForms += text;
        if (cellLengths.size() <= n + 1)
            cellLengths.resize(n + 2, false);
        cellLengths[n] = true;
        cell.rehash();
        t.forms.forEach(textKey(cell.piece(0, n), n), [&](std::uint32_t g) {
            if (t.counts[g][0] < maxHits && form(g) == text)
                found.push_back(Found{g, 1, c.index, c.begin, c.end, c.last});
            return Visit::Keep;
        });
        // Rule 2 takes a form's leftmost cell of a row, and no more rows once it has five by
        // rules 1 and 2: a later one would not be among its best. So a long cell that starts
        // with many keys is compared with each of them once a row, not once a cell.
        const auto longer = [&](std::uint32_t g, std::u32string_view piece) {
            if (t.longEnough[g] && foundInRow[g] != c.row && t.counts[g][0] + t.counts[g][1] < maxHits
                && form(g) == piece) {
                foundInRow[g] = c.row;
                found.push_back(Found{g, 2, c.index, c.begin, c.end, c.last});
            }
            return Visit::Keep;
        };
        for (const std::size_t length : t.lengthsForRule2) {
            if (length >= n)
                break;
            const std::u32string_view head(text.data(), length);
            const std::u32string_view tail(text.data() + n - length, length);
            t.forms.forEach(textKey(cell.piece(0, length), length), [&](std::uint32_t g) { return longer(g, head); });
            t.forms.forEach(textKey(cell.piece(n - length, n), length),
                            [&](std::uint32_t g) { return longer(g, tail); });
        }
    });
    foundInRow.assign(forms, noRow);

    // Rule 3, for the forms still without a row that some cell may be near. Per cell length,
    // which lookups it needs: 1 a character replaced, 2 one more in the cell, 4 one fewer.
    const auto someCellOfLength = [&](std::size_t n) { return n < cellLengths.size() && cellLengths[n]; };
    std::vector<std::uint8_t> lookups;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> wantedForms;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> deletions;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> replacements;
    HashedForm keyForm;
    for (std::uint32_t g = 0; g < forms; ++g) {
        const std::u32string_view f = form(g);
        const std::size_t k = f.size();
        if (!t.longEnough[g] || t.counts[g][0] + t.counts[g][1] > 0
            || !(someCellOfLength(k - 1) || someCellOfLength(k) || someCellOfLength(k + 1)))
            continue;
        t.ruleThree.add(f.front(), f.back());
        if (lookups.size() < k + 2)
            lookups.resize(k + 2, 0);
        lookups[k] |= 1;
        lookups[k + 1] |= 2;
        lookups[k - 1] |= 4;
        keyForm.assignForm(f);
        wantedForms.emplace_back(textKey(keyForm.piece(0, k), k), g);
        for (std::size_t i = 0; i < k; ++i) {
            const std::uint64_t h = keyForm.without(i);
            deletions.emplace_back(textKey(h, k - 1), g);
            replacements.emplace_back(replacementKey(h, k - 1, i), g);
        }
    }
    if (lookups.empty()) {
        finish();
        return;
    }
    t.wanted.build(std::move(wantedForms));
    t.deletions.build(std::move(deletions));
    t.replacements.build(std::move(replacements));
    eachRow([&](const Candidate &c) {
        const std::size_t n = c.length;
        if (n >= lookups.size() || lookups[n] == 0 || !t.ruleThree.mayBeNear(c.first, c.final))
            return;
        cell.assignForm(std::u32string_view(cellForms).substr(c.form, n));
        const std::u32string &text = cell.form();
        // Every form a list gives is one edit from the cell but for a hash collision.
        const auto check = [&](std::uint32_t g) {
            if (t.counts[g][2] >= maxHits)
                return Visit::DropForGood;
            if (foundInRow[g] == c.row)
                return Visit::DropForRow;
            if (!oneEditApart(form(g), text))
                return Visit::Keep;
            foundInRow[g] = c.row;
            found.push_back(Found{g, 3, c.index, c.begin, c.end, c.last});
            return Visit::DropForRow;
        };
        if (lookups[n] & 1) {
            for (std::size_t i = 0; i < n; ++i)
                t.replacements.forEach(replacementKey(cell.without(i), n - 1, i), check);
        }
        if (lookups[n] & 2) {
            for (std::size_t i = 0; i < n; ++i) {
                if (i == 0 || text[i] != text[i - 1]) // a run gives the same text whichever goes
                    t.wanted.forEach(textKey(cell.without(i), n - 1), check);
            }
        }
        if (lookups[n] & 4)
            t.deletions.forEach(textKey(cell.piece(0, n), n), check);
    });
    finish();
}

void NearRowIndex::finish()
{
    // Grouped by form, each form's hits in the order found, which is row order for each rule.
    const std::size_t forms = m_formStart.size() - 1;
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

std::span<const NearRowIndex::Hit> NearRowIndex::hits(std::size_t key) const
{
    const std::uint32_t g = m_groupOfKey.at(key);
    if (g == noGroup || g + 1 >= m_hitStart.size())
        return {};
    const std::size_t begin = m_hitStart[g];
    return std::span<const Hit>(m_hits).subspan(begin, std::min(m_hitStart[g + 1] - begin, maxHits));
}

} // namespace lanshan
