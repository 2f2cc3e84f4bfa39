#pragma once

#include <QLabel>

// A label that reports a click: a mouse button pressed and then released
// over it. It takes every mouse event it gets, so nothing beneath it, neither
// its parent nor an overlapped sibling, sees the click.
class Cliccabile : public QLabel
{
    Q_OBJECT

public:
    explicit Cliccabile(QWidget *parent);

signals:
    void clic();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool premuto = false;
};
