#pragma once

#include "filterrun.h"
#include "reconciliation.h"

#include <string>

// The reconciliation report as a table to paste into a spreadsheet, in the words the window
// shows: a line of headings, then one line per finding, every line ended by CR LF:
//   类别  序号  行号  原因  关键字  数据…
// 类别 is 未找到, 忽略留空, 未使用, 可能取错 or 已采用; 序号 is the key line's entry and 行号 the row,
// both from 1; the row follows cell by cell. The lines that may hold a wrong row come after
// the unused rows, then the lines given a near row, as the window lists them. Each cell stays
// one cell of one line of the sheet: it is shown by visibleLine() (reportwording.h), a TAB in a
// key as 〈制表符〉, and a cell that starts with a double quote is quoted, which a spreadsheet
// would otherwise read as the start of a quoted field. A near row, a row of a key left empty and
// a row that may be wrong stand as their excerpt, an unused row whole.
namespace lanshan {

std::u16string reportSheet(const FilterRun &run, const Reconciliation &report);

} // namespace lanshan
