#pragma once

// The benchmark data: a class list and score rows, generated from a seed. Used by the
// generate tool, which writes them to files, and by window_bench, which pastes them into
// the window.

#include <cstdint>
#include <string>

namespace lanshan::bench {

struct GeneratedData
{
    std::string keys; // key lines, UTF-8, every line ended by LF
    std::string rows; // data rows, UTF-8, every line ended by LF

    std::uint64_t keyCount = 0;
    std::uint64_t rowCount = 0;
    std::uint64_t seed = 0;
    std::uint64_t oneRowKeys = 0;
    std::uint64_t twoRowKeys = 0;
    std::uint64_t noRowKeys = 0;
    std::uint64_t surplusRows = 0;
    std::uint64_t nearMissRows = 0;
};

// keyCount distinct Chinese names (2 or 3 characters) and rowCount rows of 8 TAB-separated
// columns: the name, five scores (0-100, some with one decimal), an overall grade
// (优秀/良好/及格/不及格) and a letter grade (A/B/C). Of the keys, about 10% have no row,
// about 1% have two rows (same name, different scores) and the others exactly one row; the
// rows left over carry names that are not among the keys. Rows and keys are each shuffled.
// With twoRowKeys false no key has two rows: those keys get one row instead. With nearMisses,
// the keys without a row get a near miss instead of a surplus row, as far as there are
// surplus rows: their name with a space, a full-width space or a zero-width space in it,
// in the last column, after a class name, or with its last character mistyped.
//
// The same arguments always give the same bytes: the random numbers come from a fixed
// generator, not from the library's distributions, whose results differ between
// implementations. Returns false with a one-line reason in error (no newline) when the
// counts cannot be served.
bool generateData(std::uint64_t keyCount, std::uint64_t rowCount, std::uint64_t seed, bool twoRowKeys,
                  GeneratedData &out, std::string &error, bool nearMisses = false);

// Inputs made to let the reconciliation report cost far more than the filter itself, each at
// sizes times scale (scale 1: the sizes below).
//   1  10^4 keys one character apart from a four-character name, one row of 10^4 cells of
//      that name: every cell near every key.
//   2  10^4 distinct two-character names, one row of 10^4 cells, each a name with one of its
//      characters mistyped: every key lists that long row.
//   3  3*10^4 key lines, each of two short names, one row whose one cell of 3*10^4
//      characters starts with the one and ends with the other.
//   4  2,000 keys, one name with spaces and zero-width spaces in different places, one row
//      whose first cell is that name followed by 10^5 zero-width spaces.
//   5  10^6 distinct ten-digit student numbers and a one-line data file.
//   6  10^6 keys "key0000001" and as many rows "kez0000001\tx\ti", in an order of their own:
//      each key one character from its own row, so the report lists a near row per key.
//   7  every prefix (2 to 1,600 characters) of one text of letters as a key, one row of 2,000
//      cells, each that text followed by a number: every key starts every cell. The scale
//      multiplies the text's length; the input grows about with its square.
//   8  rows of 2,002 cells "x" (4,000 of them), key lines of 2 to 2,001 cells "x": every row
//      holds every line. The scale multiplies the rows.
//   9  447 classes × 447 names: the pairs of an even sum as key lines (class ⇥ name), the others
//      as rows (name ⇥ class ⇥ score); no row holds a line though every cell is common. The scale
//      multiplies the lines and rows.
//  10  10^6 lines of two cells (student number ⇥ name) and as many rows of other numbers and
//      names: every line of a list without a row.
// Families 8 to 10 are lists of several cells; hostile.sh also runs them with each line's cells
// joined into one key. Every key line finds no row, except in family 8, where each finds every row.
// The same arguments always give the same bytes. Returns false with a one-line reason in
// error when the family is unknown or the scale too large for the characters used.
bool generateHostile(int family, double scale, std::uint64_t seed, GeneratedData &out, std::string &error);

} // namespace lanshan::bench
