#pragma once

#include "ControlArray.h"
#include "GraphicButton.h"
#include "OnDemandLibrary.h"
#include "Palette.h"
#include "PictureLoader.h"

#include <QWidget>

#include <cstdint>
#include <future>

class DrawingBox;
class PictureList;
class QGroupBox;
class QRadioButton;
class Saluti;

// The sheet window: covers the screen and carries the palette, the drawing
// box, the picture list and the print and end buttons. Its handlers are the
// whole program's behaviour; each reads as a short list of steps.
class Foglio : public QWidget
{
    Q_OBJECT

public:
    explicit Foglio(QWidget *parent = nullptr);
    ~Foglio() override;

    // Shows the window over the whole screen, with or without a window manager.
    void mostra();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void creaControlli();
    void impilaControlli();
    void ordinaTabulazione();
    void nominaControlli();

    // Handlers.
    void Form_Resize();
    void Colori_Click(std::int16_t index);
    void Scelta_Click(std::int16_t index);
    void Disegno_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    void FileList_Click();
    void Stampa_Click();
    void Fine_Click();

    // The palette build and the layout pass's steps.
    void CostruisciTavolozza();
    void caricaDisegnoIniziale();
    void collocaDisegno();
    void collocaLista();
    void collocaPulsanti();

    QString risorsa(const QString &relative) const;
    void avvisa(const QString &message);

    // The cue player and printing, reached through their modules.
    void Suona(const QString &path);
    QString stampaPagina(const QImage &picture);

    QGroupBox *NColori = nullptr;
    ControlArray<QRadioButton> Scelta{QStringLiteral("Scelta")};
    GraphicButton *Stampa = nullptr;
    GraphicButton *Fine = nullptr;
    DrawingBox *Disegno = nullptr;
    PictureList *FileList = nullptr;
    ControlArray<GraphicButton> Colori{QStringLiteral("Colori")};

    ColourTable Tavolozza;
    bool primoPassaggioFatto_ = false;
    // The first drawing, read on a worker while the controls are made.
    QString percorsoIniziale_;
    std::future<PictureLoad> disegnoIniziale_;
    Saluti *saluti_ = nullptr;
    OnDemandLibrary suoni_{QStringLiteral("tingolamo_suoni")};
    OnDemandLibrary stampa_{QStringLiteral("tingolamo_stampa")};
};
