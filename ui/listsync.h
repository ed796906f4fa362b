#pragma once

#include <QObject>

namespace lanshan {

class ListBox;

// Keeps two lists of equally many items side by side: the same top item and the same
// selected item, whichever list the user scrolls (bar, wheel, keys, dragging) or selects in.
// A change is copied to the other list once; the echo that the copy raises is not copied
// back, so a list that cannot scroll as far as the other never pulls it back.
class ListSync : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListSync)

public:
    // Both lists must have their models set; resetting a model later is fine.
    ListSync(ListBox *first, ListBox *second, QObject *parent = nullptr);

private:
    void copyTop(ListBox *from, ListBox *to);
    void copySelection(ListBox *from, ListBox *to);

    ListBox *m_first;
    ListBox *m_second;
    bool m_copying = false;
};

} // namespace lanshan
