#pragma once

#include <QString>

namespace lanshan {

// The clipboard's plain text with its line breaks as the platform's spreadsheets hold them.
// Excel and WPS on Windows put CR LF between rows and a lone LF inside a cell that holds a
// line break; Qt's own clipboard text turns every CR LF into LF when reading and every lone LF
// into CR LF when writing, so the two could no longer be told apart. On Windows this class
// reads and writes the clipboard's Unicode text as it is; elsewhere, where programs put LF
// between rows, it goes through Qt and every line break ends a line.
class ClipboardText
{
public:
    // True where a lone LF or CR of pasted text is a character of its line and only CR LF ends
    // a line (Windows); false where every line break ends a line.
    static bool keepsLoneBreaks();

    // The clipboard's text, CR LF between lines where keepsLoneBreaks(), else LF; null when the
    // clipboard holds no text.
    static QString read();

    // Clears the clipboard and puts the text, whose lines end with CR LF. Where
    // keepsLoneBreaks() the text goes on exactly as given; elsewhere with LF line breaks.
    static void write(const QString &text);
};

// CR LF turned into LF: the clipboard's own line breaks, which Qt turns into the platform's.
QString withLfLineBreaks(QString text);

} // namespace lanshan
