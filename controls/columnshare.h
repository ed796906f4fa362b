#pragma once

#include <QObject>

class QHeaderView;

namespace lanshan {

// Keeps one section of a header at its share of the width the sections after the fixed ones
// have, as the view grows or shrinks; the last section stretches over the rest. The sections
// before it keep their widths. Where the user drags the section, or one before it, the new width
// is the new share, kept from then on.
class ColumnShare : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColumnShare)

public:
    // share: of the width right of the sections before `section`, from 0 to 1.
    ColumnShare(QHeaderView *header, int section, double share);

    double share() const { return m_share; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The width right of the sections before this one.
    int room() const;
    void apply();
    void resized(int section, int oldSize, int newSize);

    QHeaderView *m_header;
    int m_section;
    double m_share;
    bool m_applying = false;
};

} // namespace lanshan
