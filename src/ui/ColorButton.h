#pragma once

#include "core/SettingsStore.h"

#include <QColor>
#include <QPushButton>

// A push button showing a colour: a swatch, a divider and a small arrow
// pointing down. A click (or Space, Alt+Down, F4) opens the colour dialog on
// the current colour with its custom colours shown; OK there takes the
// chosen colour. Nobody is told: the owner reads color() when it needs it.
// While the colour is automatic (kAutomaticColour) the swatch shows the
// default colour, the desktop's colour for an empty window area.
class ColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ColorButton(QWidget *parent = nullptr);

    // The current colour, kAutomaticColour included.
    Rgb color() const { return m_color; }
    // Stores the colour and repaints at once when shown.
    void setColor(Rgb color);
    QColor defaultColor() const { return m_defaultColor; }
    // What the swatch shows: the colour, or the default colour while automatic.
    QColor shownColor() const;
    // Where the swatch is drawn (empty while disabled: no swatch then).
    QRect swatchRect() const;
    // The arrow pointing down at the right, and the x of the etched divider
    // left of it; both drawn whether enabled or not.
    QPolygon arrow() const { return parts().arrow; }
    int dividerX() const { return parts().dividerX; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    // Opens the colour dialog.
    void chooseColor();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The interior parts: swatch, divider x, arrow.
    struct Parts
    {
        QRect interior;
        QRect swatch;
        int dividerX = 0;
        QPolygon arrow;
    };
    Parts parts() const;

    Rgb m_color = kAutomaticColour;
    QColor m_defaultColor;
};
