#include "Foglio.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TINGOLAMO"));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));

    Foglio foglio;
    foglio.mostra();
    return QApplication::exec();
}
