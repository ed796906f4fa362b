#include "controls.h"

#include "listbox.h"
#include "pushbutton.h"
#include "tabstopdelegate.h"
#include "textbox.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>

#include <algorithm>

namespace lanshan {

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect geometry)
{
    auto *box = opaque(place(new QGroupBox(caption, parent), name, geometry));
    // Announced by its own caption; unnamed, it would take that of the frame it lies in.
    box->setAccessibleName(caption);
    return box;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect geometry)
{
    return place(new PushButton(caption, parent), name, geometry);
}

QPlainTextEdit *textBox(QWidget *parent, const QString &name, QRect geometry, Scrolling scrolling)
{
    auto *box = place(new TextBox(parent), name, geometry);
    // Tab moves on to the next control; TABs arrive in the boxes by pasting.
    box->setTabChangesFocus(true);
    box->setLineWrapMode(scrolling == Scrolling::Both ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    box->setHorizontalScrollBarPolicy(scrolling == Scrolling::Both ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(scrolling == Scrolling::None ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    return box;
}

ListBox *listBox(QWidget *parent, const QString &name, QRect geometry, QAbstractItemModel *model)
{
    auto *list = place(new ListBox(parent), name, geometry);
    list->setModel(model);
    list->setUniformItemSizes(true);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTextElideMode(Qt::ElideNone);
    auto *delegate = new TabStopDelegate(list);
    list->setItemDelegate(delegate);
    QObject::connect(model, &QAbstractItemModel::modelReset, delegate, &TabStopDelegate::forgetWidths);
    return list;
}

QLabel *label(QWidget *parent, const QString &name, QRect geometry, const QString &text)
{
    auto *l = place(new QLabel(text, parent), name, geometry);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

void fitHeight(QLabel *label, int bottom)
{
    const int needed = label->heightForWidth(label->width());
    if (needed > label->height())
        label->resize(label->width(), std::max(label->height(), std::min(needed, bottom - label->y())));
}

} // namespace lanshan
