#include "visibleaccessible.h"

#include "highlightframe.h"

#include <QDialog>
#include <QGroupBox>

#include <algorithm>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    // Asked once for each class of the object's ancestry, the most derived first.
    if (!object || !object->isWidgetType() || className != QLatin1StringView(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (qobject_cast<HighlightFrame *>(widget))
        return new VisibleAccessible(widget, QAccessible::Grouping);
    if (widget->isWindow() && !qobject_cast<QDialog *>(widget) && className.startsWith(u"lanshan::"_s))
        return new VisibleAccessible(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

VisibleAccessible::VisibleAccessible(QWidget *widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{ }

void VisibleAccessible::install()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(factory);
    installed = true;
}

QList<QWidget *> VisibleAccessible::shownChildren() const
{
    QList<QWidget *> shown;
    for (QObject *object : widget()->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (child && !child->isWindow() && !child->isHidden())
            shown.append(child);
    }
    // Children lie in stacking order, the lowest first: an opaque one covers those below it.
    QList<QWidget *> seen;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QRect place = shown[i]->geometry();
        const bool covered = std::any_of(shown.begin() + i + 1, shown.end(), [&](const QWidget *above) {
            return above->autoFillBackground() && above->geometry().contains(place);
        });
        if (!covered)
            seen.append(shown[i]);
    }
    return seen;
}

int VisibleAccessible::childCount() const
{
    return static_cast<int>(shownChildren().size());
}

QAccessibleInterface *VisibleAccessible::child(int index) const
{
    const QList<QWidget *> children = shownChildren();
    if (index < 0 || index >= children.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(children[index]);
}

int VisibleAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || !child->object() || !child->object()->isWidgetType())
        return -1;
    return static_cast<int>(shownChildren().indexOf(static_cast<QWidget *>(child->object())));
}

QAccessibleInterface *VisibleAccessible::childAt(int x, int y) const
{
    // The topmost first: what the user sees at that point.
    const QList<QWidget *> children = shownChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        QAccessibleInterface *child = QAccessible::queryAccessibleInterface(*it);
        if (child && child->rect().contains(x, y))
            return child;
    }
    return nullptr;
}

QString VisibleAccessible::text(QAccessible::Text t) const
{
    // A frame is named by its own caption, never by that of the frame it lies in.
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        if (const auto *frame = qobject_cast<const QGroupBox *>(widget()))
            return frame->title();
    return QAccessibleWidget::text(t);
}

} // namespace lanshan
