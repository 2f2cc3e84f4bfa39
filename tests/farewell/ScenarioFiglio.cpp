// Mouse clicks go through the window system layer, so they are routed to the
// control under the pointer and blocked outside the modal window.
#define QTEST_QPA_MOUSE_HANDLING

#include "ScenarioFiglio.h"

#include "Saluti.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <map>

namespace {

// Writes one line for every event of one type that a watched object gets.
class SpiaEventi : public QObject
{
public:
    SpiaEventi(QEvent::Type tipo, const char *formato) : tipo(tipo), formato(formato) {}

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (evento->type() == tipo)
            std::printf(formato, oggetto->objectName().toUtf8().constData());
        return false;
    }

private:
    const QEvent::Type tipo;
    const char *const formato;
};

QWidget *controllo(Saluti &saluti, const QString &nome, int index = -1)
{
    const QList<QWidget *> trovati = saluti.findChildren<QWidget *>(nome);
    for (QWidget *w : trovati) {
        if (index < 0 || w->property("index").toInt() == index)
            return w;
    }
    return nullptr;
}

void clicSu(Saluti &saluti, QPoint punto, Qt::MouseButton tasto = Qt::LeftButton)
{
    QTest::mouseClick(&saluti, tasto, Qt::NoModifier, punto);
}

void clicSuControllo(Saluti &saluti, const QString &nome, int index = -1)
{
    if (QWidget *w = controllo(saluti, nome, index))
        clicSu(saluti, w->geometry().center());
}

// A click on the thank-you line, including where it covers the dedication and
// the large picture, every kind of key, and a click on the sheet beneath.
void nonChiude(Saluti &saluti, QWidget &foglio)
{
    clicSuControllo(saluti, QStringLiteral("Label3"));
    clicSu(saluti, {20, 110});
    clicSu(saluti, {225, 150});
    clicSu(saluti, {225, 150}, Qt::RightButton);
    QWindow *finestra = saluti.windowHandle();
    for (const Qt::Key tasto :
         {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A, Qt::Key_Tab})
        QTest::keyClick(finestra, tasto);
    QTest::keyClick(finestra, Qt::Key_F4, Qt::AltModifier);
    QTest::mouseClick(&foglio, Qt::LeftButton, Qt::NoModifier, {10, 10});
}

using Azione = std::function<void(Saluti &, QWidget &)>;

const std::map<QString, Azione> &scenari()
{
    static const std::map<QString, Azione> tabella{
        {QStringLiteral("finestra"),
         [](Saluti &s, QWidget &) {
             clicSu(s, {420, 10});
         }},
        {QStringLiteral("finestra-tasto-destro"),
         [](Saluti &s, QWidget &) {
             clicSu(s, {150, 285}, Qt::RightButton);
         }},
        {QStringLiteral("Image1"),
         [](Saluti &s, QWidget &) {
             clicSuControllo(s, QStringLiteral("Image1"));
         }},
        {QStringLiteral("Image1-angolo"),
         [](Saluti &s, QWidget &) {
             clicSu(s, {64, 192});
         }},
        {QStringLiteral("Image2"),
         [](Saluti &s, QWidget &) {
             clicSuControllo(s, QStringLiteral("Image2"));
         }},
        {QStringLiteral("Image2-sopra-Label1"),
         [](Saluti &s, QWidget &) {
             clicSu(s, {300, 100});
         }},
        {QStringLiteral("Image2-bordo"),
         [](Saluti &s, QWidget &) {
             clicSu(s, {429, 298});
         }},
        {QStringLiteral("Label1"),
         [](Saluti &s, QWidget &) {
             clicSu(s, {30, 30});
         }},
        {QStringLiteral("Label2-0"),
         [](Saluti &s, QWidget &) {
             clicSuControllo(s, QStringLiteral("Label2"), 0);
         }},
        {QStringLiteral("Label2-1"),
         [](Saluti &s, QWidget &) {
             clicSuControllo(s, QStringLiteral("Label2"), 1);
         }},
        {QStringLiteral("chiusura"),
         [](Saluti &s, QWidget &) {
             s.windowHandle()->close();
         }},
        {QStringLiteral("resta"), nonChiude},
    };
    return tabella;
}

} // namespace

int eseguiScenario(const QString &nome)
{
    const auto scenario = scenari().find(nome);
    if (scenario == scenari().end())
        return 2;

    SpiaEventi chiusure(QEvent::Close, "chiusura %s\n");
    SpiaEventi clic(QEvent::MouseButtonPress, "%s clic\n");
    QWidget foglio;
    foglio.setObjectName(QStringLiteral("Foglio"));
    foglio.installEventFilter(&chiusure);
    foglio.installEventFilter(&clic);
    foglio.setGeometry(0, 0, 1280, 1024);
    foglio.show();

    Saluti saluti;
    saluti.installEventFilter(&chiusure);
    std::printf("pronto ");

    QTimer::singleShot(0, &saluti, [&] {
        if (!QTest::qWaitForWindowExposed(&saluti))
            std::printf("non mostrata\n");
        scenario->second(saluti, foglio);
        std::printf(saluti.isVisible() ? "aperta\n" : "chiusa\n");
        saluti.done(3);
    });
    return saluti.exec();
}
