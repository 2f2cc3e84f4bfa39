#pragma once

#include "Palette.h"

#include <QAbstractButton>
#include <QIcon>

// A command button in graphical style: its face is a back colour with a
// picture instead of text. A pressed picture shows while it is held down and
// a disabled picture while it is disabled; the colour is never greyed out.
class GraphicButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Appearance { Flat = 0, ThreeD = 1 };

    explicit GraphicButton(QWidget *parent = nullptr);

    Colore backColour() const { return backColour_; }
    void setBackColour(Colore colour);

    void setPicture(const QIcon &picture);
    void setDownPicture(const QIcon &picture);
    void setDisabledPicture(const QIcon &picture);

    Appearance appearance() const { return appearance_; }
    void setAppearance(Appearance appearance);

    // What a screen reader says for the button. While the button is disabled
    // the suffix follows the name: a disabled swatch is the chosen one.
    void setSpokenName(const QString &name);
    void setDisabledSuffix(const QString &suffix);

    // Takes over every property of `model` but index, tab index and visibility.
    void copyPropertiesFrom(const GraphicButton &model);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    const QIcon &currentPicture() const;
    void drawBorder(QPainter &painter) const;
    void drawPicture(QPainter &painter, const QIcon &picture) const;
    void updateSpokenName();

    Colore backColour_ = 0x00FFFFFF;
    QIcon picture_;
    QIcon downPicture_;
    QIcon disabledPicture_;
    Appearance appearance_ = Appearance::ThreeD;
    QString spokenName_;
    QString disabledSuffix_;
};
