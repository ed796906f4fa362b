#pragma once

#include <QFrame>

#include <cstddef>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace lanshan {

// The small box that "复制列" opens above itself: which result columns go to the clipboard,
// typed ("3", "2-4", "1,3"; by the header's names too: "语文", "1,数学") or picked from the
// columns offered, named where the data has a header ("3 语文"). Enter hands the list over in
// numbers; a list that was refused is said in the box, which stays open. Escape or a click
// elsewhere closes it.
class ColumnsPopup : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColumnsPopup)

public:
    explicit ColumnsPopup(QWidget *parent);
    ~ColumnsPopup() override;

    // The columns offered: by the header's names where there are any, else by number up to the
    // widest result line; the names may be typed for their columns. current is the list in
    // force, shown selected.
    void offer(const std::vector<std::u16string> &names, std::size_t widest, const QString &current);
    void openAbove(QWidget *anchor);
    void refuse(const QString &why);
    // What the box asks for, where it is not the result's columns to copy.
    void setPrompt(const QString &prompt);

Q_SIGNALS:
    // The list in numbers ("4,1", "2-4"; empty for whole rows): names typed, and a column
    // picked from the offer, give their columns' numbers. A list the parser refuses is said in
    // the box and not handed over.
    void chosen(const QString &list);

private:
    void hand();

    QLabel *m_prompt = nullptr;
    QComboBox *m_box = nullptr;
    QLabel *m_refusal = nullptr;
    // The header's names as offered, whole: what a typed name is looked up in.
    std::vector<std::u16string> m_names;
};

} // namespace lanshan
