#pragma once

#include "filterrun.h"
#include "reconciliation.h"

#include <string>

// The reconciliation report as a table to paste into a spreadsheet, in the words the window
// shows: a line of headings, then one line per finding, every line ended by CR LF:
//   类别  序号  行号  原因  关键字  数据…
// 类别 is 未找到, 忽略留空 or 未使用; 序号 is the key line's entry and 行号 the row, both from 1;
// the row follows cell by cell. Each cell stays one cell of one line of the sheet: it is shown
// by visibleLine() (reportwording.h), a TAB in a key as ⟨制表符⟩, and a cell that starts with a
// double quote is quoted, which a spreadsheet would otherwise read as the start of a quoted
// field. A near row and a row of a key left empty stand as their excerpt, an unused row whole.
namespace lanshan {

std::u16string reportSheet(const FilterRun &run, const Reconciliation &report);

} // namespace lanshan
