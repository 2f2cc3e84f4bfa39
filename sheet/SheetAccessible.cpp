#include "SheetAccessible.h"

#include <QAccessible>
#include <QWidget>

namespace {

QAccessibleInterface *sheetInterfaces(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("Foglio"))
        return new SheetAccessible(widget);
    // The drawing box is a surface to paint on, not an empty filler.
    if (className == QLatin1String("DrawingBox"))
        return new QAccessibleWidget(widget, QAccessible::Canvas);
    return nullptr;
}

} // namespace

SheetAccessible::SheetAccessible(QWidget *sheet) : QAccessibleWidget(sheet, QAccessible::Window) {}

int SheetAccessible::childCount() const
{
    return static_cast<int>(shownControls().size());
}

QAccessibleInterface *SheetAccessible::child(int index) const
{
    const QWidgetList controls = shownControls();
    if (index < 0 || index >= controls.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(controls.at(index));
}

int SheetAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || !child->object() || !child->object()->isWidgetType())
        return -1;
    return static_cast<int>(shownControls().indexOf(static_cast<QWidget *>(child->object())));
}

void SheetAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(sheetInterfaces);
        return true;
    }();
    Q_UNUSED(installed);
}

QWidgetList SheetAccessible::shownControls() const
{
    QWidgetList controls;
    for (QObject *child : widget()->children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (control && !control->isWindow() && !control->isHidden())
            controls.append(control);
    }
    return controls;
}
