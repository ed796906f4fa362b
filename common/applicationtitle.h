#pragma once

#include <QString>

namespace lanshan {

// The program's title, without the version: the main window's design caption, the title of
// its message boxes and of the about dialog.
inline QString applicationTitle()
{
    return QStringLiteral("岚杉数据筛选器");
}

} // namespace lanshan
