#pragma once

#include <QAccessibleWidget>

// The sheet as a screen reader sees it: a window whose children are the
// controls it shows. A control the sheet keeps hidden, as the template swatch
// from which the palette's swatches are made, is no part of it.
class SheetAccessible : public QAccessibleWidget
{
public:
    explicit SheetAccessible(QWidget *sheet);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // Makes screen readers meet the sheet and its drawing box through this
    // file's interfaces; a second call changes nothing.
    static void install();

private:
    QWidgetList shownControls() const;
};
