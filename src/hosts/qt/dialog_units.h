#pragma once

#include <QFont>
#include <QRect>

// Converts dialog units to pixels the way Windows does for a dialog font: a horizontal unit is a
// quarter of the font's average character width over the alphabet, a vertical unit an eighth of its
// height, both rounded to the nearest pixel.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(const QRect& units) const;

    int BaseUnitX() const { return m_baseUnitX; }
    int BaseUnitY() const { return m_baseUnitY; }

private:
    int m_baseUnitX;
    int m_baseUnitY;
};
