#include "Cliccabile.h"

#include <QMouseEvent>

Cliccabile::Cliccabile(QWidget *parent) : QLabel(parent) {}

void Cliccabile::mousePressEvent(QMouseEvent *event)
{
    premuto = true;
    event->accept();
}

void Cliccabile::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool clicQui = premuto && rect().contains(event->position().toPoint());
    premuto = false;
    if (clicQui)
        emit clic();
}
