#pragma once

#include <QString>

#include <exception>

// A print that cannot go on. It carries the short Italian message the user
// is shown.
class ErroreStampa : public std::exception
{
public:
    explicit ErroreStampa(QString messaggio);

    const QString &messaggio() const noexcept { return testo; }
    const char *what() const noexcept override { return testoUtf8.constData(); }

private:
    QString testo;
    QByteArray testoUtf8;
};
