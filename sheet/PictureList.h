#pragma once

#include "PictureCatalogue.h"

#include <QListWidget>

#include <vector>

// The picture list: the names of the picture folder's GIF files. The folder
// is read once, when it is set; the list does not watch it afterwards.
// On a touch screen a tap chooses the line under the finger and a swipe
// scrolls the list without choosing anything; the mouse works as ever.
class PictureList : public QListWidget
{
    Q_OBJECT

public:
    explicit PictureList(QWidget *parent = nullptr);

    QString Path() const;
    void setPath(const QString &folder);
    // The selected name, without folder; empty when nothing is selected.
    QString FileName() const;
    // The selected file's full path as the loader takes it (NativeFiles.h):
    // folder, "/", name.
    QByteArray selectedPath() const;

signals:
    // The selection moved to another line, by mouse or keyboard.
    void selectionMoved();

protected:
    void focusInEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    const CatalogueEntry *selectedEntry() const;
    void touchBegin(const QPointF &at);
    void touchMove(const QPointF &at);
    void touchEnd(const QPointF &at);

    QByteArray folder_;
    std::vector<CatalogueEntry> entries_;
    QPointF touchStart_;
    int scrollStart_ = 0;
    bool swiping_ = false;
};
