#pragma once

#include <QDialog>

class QLabel;
class Cliccabile;

// The farewell window: the dedication, the credits and two pictures on the
// light yellow ground. Every way out of it ends the program; a click on the
// thank-you line and any key do nothing.
class Saluti : public QDialog
{
    Q_OBJECT

public:
    explicit Saluti(QWidget *parent = nullptr);

public slots:
    // Escape and every other way of rejecting the dialog do nothing: the
    // window never closes without ending the program.
    void reject() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void impostaFinestra();
    void creaControlli();
    void centraSulloSchermo();
    void ripristina();
    Cliccabile *creaDidascalia(const QString &nome, const QString &testo, int pixel);
    Cliccabile *creaDedica();
    Cliccabile *creaLabel2(qint16 index);
    Cliccabile *creaImmagine(const QString &nome, const QRect &progetto);
    QLabel *creaRingraziamento();

    void Form_Click();
    void Form_Unload(qint16 &cancel);
    void Image1_Click();
    void Image2_Click();
    void Label1_Click();
    void Label2_Click(qint16 index);

    bool premuto = false;
    bool inputChiesto = false;
};
