#include "ErroreStampa.h"

ErroreStampa::ErroreStampa(QString messaggio)
    : testo(std::move(messaggio)), testoUtf8(testo.toUtf8())
{}
