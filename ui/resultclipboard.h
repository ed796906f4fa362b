#pragma once

#include "columnselection.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace lanshan {

class ColumnsPopup;
class FilterRun;

// The one way the result reaches the clipboard: whole rows, or the columns chosen with
// "复制列" until the inputs change, with the note in the caption line that says which. A run
// that found no row hands nothing over; a clipboard that does not take the result is said.
class ResultClipboard : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultClipboard)

public:
    // window: where the column box, the note and the messages belong; resultBox: the result as it
    // stands; columnsButton: "复制列", above which its box opens; note: the caption line's note,
    // which may reach noteEnd() (a position in the window).
    ResultClipboard(QWidget *window, QPlainTextEdit *resultBox, QPushButton *columnsButton, QLabel *note,
                    std::function<int()> noteEnd);
    ~ResultClipboard() override;

    // The run whose result the box shows, or none.
    void showRun(std::shared_ptr<const FilterRun> run);
    // The run's result, as just made (wholeRows), or in the chosen columns. blank: the run found
    // no row, and the clipboard keeps what it held until rows are taken.
    bool handOver(const QString &wholeRows);
    void setBlank(bool blank) { m_blank = blank; }
    // The result box as it stands back on the clipboard after a panel used it, silently.
    void restore();
    // The inputs changed: the columns chosen no longer hold.
    void dropColumns();
    // The boxes differ from the run's texts: the column box refuses until the next run.
    void setOutdated(bool outdated) { m_outdated = outdated; }
    void openColumnsBox();

private:
    QString clipboardText() const;
    void showNote();
    void copyColumns(const QString &list);

    QWidget *m_window;
    QPlainTextEdit *m_resultBox;
    QPushButton *m_columnsButton;
    QLabel *m_note;
    std::function<int()> m_noteEnd;
    ColumnsPopup *m_columnsBox = nullptr;
    std::shared_ptr<const FilterRun> m_run;
    ColumnSelection m_columns;
    bool m_columnsChosen = false;
    bool m_blank = false;
    bool m_outdated = false;
};

} // namespace lanshan
