#pragma once

#include "AddPage.h"
#include "CheckedPage.h"
#include "Conversion.h"

#include <QWidget>

#include <chrono>

class AdminWrite;
class PageWorker;
class QLabel;
class QPushButton;

// The parent's way to add a page: the picture and the colouring page made
// from it side by side, one sentence that says how many areas the page has
// (or, in plain words, why the picture cannot become a page), and the buttons
// "Aggiungi" and "Annulla". "Aggiungi" writes the page into the picture
// folder, through AdminWrite when the folder belongs to the system (which on
// Windows says how to start the program as the administrator instead). Every
// line it would print as a command it prints too.
class PageWindow : public QWidget
{
    Q_OBJECT

public:
    PageWindow(const QString &folder, bool programFolder, std::chrono::milliseconds bound,
               QWidget *parent = nullptr);

    // Reads the picture at `picturePath` and shows the page made from it.
    void open(const QString &picturePath);

private:
    QWidget *makeBoxes();
    QWidget *makeButtons();
    void showConversion(const Conversion &conversion);
    void add();
    void showOutcome(PageOutcome::Kind kind, const QString &reason);
    void refuse(const QString &reason);
    QString sentenceFor(PageOutcome::Kind kind, const QString &reason) const;
    void say(const QString &sentence);

    QString folder_;
    bool programFolder_;
    std::chrono::milliseconds bound_;
    QString picturePath_;
    QString name_;
    CheckedPage page_;

    QLabel *picture_ = nullptr;
    QLabel *drawing_ = nullptr;
    QLabel *sentence_ = nullptr;
    QPushButton *add_ = nullptr;
    QPushButton *cancel_ = nullptr;
    PageWorker *worker_ = nullptr;
    AdminWrite *adminWrite_ = nullptr;
};
