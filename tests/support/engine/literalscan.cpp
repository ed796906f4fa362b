#include "literalscan.h"

#include <string>

namespace lanshan::literal {

namespace {

const char16_t space = u' ';
const char16_t tab = u'\t';
const char16_t cr = u'\r';
const char16_t lf = u'\n';

// The number written in decimal, without leading zeros: through std::to_string, so that the
// engine's own digit loop is not reused.
std::u16string decimalText(std::size_t value)
{
    const std::string narrow = std::to_string(value);
    std::u16string wide;
    for (char c : narrow)
        wide += static_cast<char16_t>(c);
    return wide;
}

std::u16string removeLeadingAndTrailingSpaces(std::u16string_view text)
{
    std::u16string rest(text);
    while (!rest.empty() && rest.front() == space)
        rest.erase(rest.begin());
    while (!rest.empty() && rest.back() == space)
        rest.pop_back();
    return rest;
}

std::u16string removeEverySpace(std::u16string_view text)
{
    std::u16string out;
    for (char16_t c : text) {
        if (c != space)
            out += c;
    }
    return out;
}

Lines cutAtEveryTab(std::u16string_view text)
{
    Lines pieces;
    std::u16string piece;
    for (char16_t c : text) {
        if (c == tab) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.push_back(piece);
    return pieces;
}

// The text of a candidate entry after its first TAB: the row itself.
std::u16string afterFirstTab(const std::u16string &item)
{
    const std::size_t at = item.find(tab);
    return at == std::u16string::npos ? std::u16string() : item.substr(at + 1);
}

// List5 items are positions in decimal; read one back as a whole number.
std::size_t readPosition(const std::u16string &item)
{
    std::size_t value = 0;
    for (char16_t c : item)
        value = value * 10 + static_cast<std::size_t>(c - u'0');
    return value;
}

std::u16string numbered(std::size_t pos, std::u16string_view text)
{
    return decimalText(pos + 1) + u"." + std::u16string(text);
}

} // namespace

Lines splitLines(std::u16string_view text)
{
    // 1. Only the spaces at the two ends of the whole text go.
    const std::u16string rest = removeLeadingAndTrailingSpaces(text);
    // 2. Nothing left: no lines at all.
    if (rest.empty())
        return {};
    // 3. Cut at every CR LF pair; a CR or LF on its own is an ordinary character.
    Lines lines;
    std::u16string line;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == cr && i + 1 < rest.size() && rest[i + 1] == lf) {
            lines.push_back(line);
            line.clear();
            ++i; // the LF of the pair
        } else {
            line += rest[i];
        }
    }
    lines.push_back(line);
    return lines;
}

bool isEmptyKey(std::u16string_view key)
{
    return removeLeadingAndTrailingSpaces(key).empty();
}

bool isCandidate(std::u16string_view key, std::u16string_view row)
{
    const std::u16string rowBare = removeEverySpace(row);
    const std::u16string keyBare = removeEverySpace(key);
    const std::u16string wanted = keyBare + tab;
    return rowBare.find(wanted) != std::u16string::npos;
}

std::u16string candidateEntry(std::size_t rowPos, std::u16string_view row)
{
    return decimalText(rowPos + 1) + u"." + tab + std::u16string(row);
}

std::u16string positionItem(std::size_t rowPos)
{
    return decimalText(rowPos);
}

bool isConfirmed(std::u16string_view key, std::u16string_view entry)
{
    const Lines pieces = cutAtEveryTab(entry);
    for (const std::u16string &piece : pieces) {
        if (piece == key)
            return true;
    }
    return false;
}

bool holdsEveryKeyCell(std::u16string_view key, std::u16string_view row)
{
    // The key's cells, those of spaces alone left out.
    Lines wanted;
    for (const std::u16string &cell : cutAtEveryTab(key)) {
        if (!removeLeadingAndTrailingSpaces(cell).empty())
            wanted.push_back(cell);
    }
    if (wanted.empty())
        return false;
    // Each one equal to a cell of the row not taken yet by another.
    Lines cells = cutAtEveryTab(row);
    std::vector<bool> taken(cells.size(), false);
    for (const std::u16string &cell : wanted) {
        bool found = false;
        for (std::size_t c = 0; c < cells.size() && !found; ++c) {
            if (!taken[c] && cells[c] == cell) {
                taken[c] = true;
                found = true;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

ScanLists scanKey(std::u16string_view key, const Lines &datalines)
{
    ScanLists lists;
    if (isEmptyKey(key))
        return lists;
    // A key line of several cells: the rows that hold every one of them, nothing to confirm.
    if (key.find(tab) != std::u16string_view::npos) {
        for (std::size_t j = 0; j < datalines.size(); ++j) {
            if (holdsEveryKeyCell(key, datalines[j])) {
                lists.lastCandidate = datalines[j];
                lists.list5.push_back(positionItem(j));
                lists.list4.push_back(candidateEntry(j, datalines[j]));
            }
        }
        return lists;
    }
    // Every row in data order.
    for (std::size_t j = 0; j < datalines.size(); ++j) {
        if (isCandidate(key, datalines[j])) {
            lists.lastCandidate = datalines[j];
            lists.list5.push_back(positionItem(j));
            lists.list4.push_back(candidateEntry(j, datalines[j]));
        }
    }
    // The unconfirmed items go, from the last down to item 0.
    if (!lists.list4.empty()) {
        for (std::size_t k = lists.list4.size(); k-- > 0;) {
            if (!isConfirmed(key, lists.list4[k])) {
                lists.list4.erase(lists.list4.begin() + static_cast<std::ptrdiff_t>(k));
                lists.list5.erase(lists.list5.begin() + static_cast<std::ptrdiff_t>(k));
            }
        }
    }
    return lists;
}

std::vector<std::size_t> confirmedRows(std::u16string_view key, const Lines &datalines)
{
    std::vector<std::size_t> rows;
    for (const std::u16string &item : scanKey(key, datalines).list5)
        rows.push_back(readPosition(item));
    return rows;
}

Assembly run(std::u16string_view text1, std::u16string_view text2, const Settle &settle)
{
    Assembly a;
    // The line tables.
    a.fixlines = splitLines(text1);
    a.datalines = splitLines(text2);
    // Results and the two lists start empty.
    a.resultlines.clear();
    a.list1.clear();
    a.list2.clear();
    // Fewer than two key lines: the run ends here.
    const long long lastPosition = static_cast<long long>(a.fixlines.size()) - 1;
    if (lastPosition < 1) {
        a.tooFewLines = true;
        return a;
    }
    // n empty results.
    const std::size_t n = a.fixlines.size();
    a.resultlines.assign(n, std::u16string());
    // Every key line in order.
    for (std::size_t i = 0; i < n; ++i) {
        const std::u16string &key = a.fixlines[i];
        if (isEmptyKey(key)) {
            // An empty key line is never matched.
            a.resultlines[i].clear();
        } else {
            // The scan for its rows.
            const ScanLists lists = scanKey(key, a.datalines);
            a.resultlines[i] = lists.lastCandidate;
            if (lists.list4.size() > 1) {
                // A questionable line: the user settles it.
                Stop stop;
                stop.pickpos = i;
                for (std::size_t p = 0; p < n; ++p)
                    stop.list3.push_back((p == i ? std::u16string(u"[*]") : std::u16string(u"   "))
                                         + numbered(p, a.fixlines[p]));
                stop.list4 = lists.list4;
                stop.list5 = lists.list5;
                stop.list1 = a.list1;
                stop.list2 = a.list2;
                stop.selected = settle(stop);
                if (stop.selected) {
                    // "确定": List5 item s, read as a number, is the row taken.
                    const std::size_t p = readPosition(stop.list5.at(*stop.selected));
                    a.resultlines[stop.pickpos] = a.datalines.at(p);
                } else {
                    // "忽略留空" with the awaited line selected in List3.
                    a.resultlines[stop.pickpos].clear();
                }
                a.stops.push_back(stop);
            } else if (lists.list4.size() == 1) {
                // One row: the candidate entry without its number.
                a.resultlines[i] = afterFirstTab(lists.list4[0]);
            } else {
                // No row: an empty line.
                a.resultlines[i].clear();
            }
        }
        // The numbered items of the two lists.
        a.list1.push_back(numbered(i, a.fixlines[i]));
        a.list2.push_back(numbered(i, a.resultlines[i]));
    }
    // Text3: the results joined with CR LF, none after the last.
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            a.text3 += u"\r\n";
        a.text3 += a.resultlines[i];
    }
    return a;
}

bool warns(std::u16string_view text1, std::u16string_view text2, const Assembly &assembly)
{
    return text1.empty() || text2.empty() || assembly.text3.empty();
}

} // namespace lanshan::literal
