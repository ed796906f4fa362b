#pragma once

#include <QLoggingCategory>

// The program's diagnostics, one category per concern, all declared here in the same way.
// Debug messages say why something the user does not see went wrong and are silent by
// default; turn them on with e.g. QT_LOGGING_RULES="lanshan.desktop.debug=true". Warnings
// report faults of the program itself and show by default.
namespace lanshan {

// The clipboard refused a text, or a resource compiled into the program could not be read.
inline const QLoggingCategory &lcDesktop()
{
    static const QLoggingCategory category("lanshan.desktop", QtInfoMsg);
    return category;
}

// Why a version check ended without an answer.
inline const QLoggingCategory &lcVersionCheck()
{
    static const QLoggingCategory category("lanshan.versioncheck", QtInfoMsg);
    return category;
}

// A list's source failed to give a count or an item; the list shows it as empty.
inline const QLoggingCategory &lcItemList()
{
    static const QLoggingCategory category("lanshan.itemlist", QtInfoMsg);
    return category;
}

} // namespace lanshan
