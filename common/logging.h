#pragma once

#include <QLoggingCategory>

// The program's diagnostics, silent by default: they say why something the user does not see
// went wrong. Turn one on with QT_LOGGING_RULES="lanshan.desktop.debug=true".
namespace lanshan {

// The clipboard refused a text, or a resource compiled into the program could not be read.
inline const QLoggingCategory &lcDesktop()
{
    static const QLoggingCategory category("lanshan.desktop", QtInfoMsg);
    return category;
}

} // namespace lanshan
