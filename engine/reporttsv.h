#pragma once

#include "reconciliation.h"

#include <functional>
#include <string>
#include <string_view>

// The reconciliation report as UTF-8 TSV for programs (reorder --explain): a header, then one
// line per finding, every line ended by LF:
//   kind  key_line  row  cause  key  row_text
// kind is missing, left-empty or unused, then suspect (a line whose row may not be its own,
// rowcheck.h), then taken (a line given a near row: by reorder --take-reliable or by the user);
// numbers count from 1; cause is causeCode() for a near row, a suspect line or a taken line,
// duplicate or near for an unused row. The text of a near row or of a suspect
// line's row is its excerpt (reportwording.h).
// Inside key and row_text, a backslash is written \\, TAB \t, CR \r, LF \n, and every other
// control character (C0, DEL, U+0085, U+2028, U+2029) \uXXXX, so that a line is always one line.
namespace lanshan {

// The text as key and row_text stand in the report: UTF-8, its control characters escaped as
// above. Also for the lines that name keys on reorder's standard error, which must stay whole.
void appendEscaped(std::string &out, std::u16string_view text);

// The causes as codes, in cause order, joined by '+': "spaces+width", "longer-value".
std::string causeCode(unsigned causes);

// Hands the report to write() in blocks as it is made; stops and answers false as soon as
// write() does.
bool writeReportTsv(const FilterRun &run, const Reconciliation &report,
                    const std::function<bool(std::string_view)> &write);

// The whole report in one string.
std::string reportTsv(const FilterRun &run, const Reconciliation &report);

} // namespace lanshan
