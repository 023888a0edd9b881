// Dialog units: the templates give positions and sizes in units of the
// dialog font. One horizontal unit is a quarter of the font's average
// character width, one vertical unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace corvane {

// The base units of a dialog font in pixels.
struct DialogBaseUnits {
    int x = 0;  // average character width
    int y = 0;  // character height
    bool operator==(const DialogBaseUnits&) const = default;
};

// Average width of the 52 Latin letters (rounded to nearest) and the line
// height of `font`.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDivRound(int a, int b, int c);

// Dialog units to pixels: x and width * base x / 4, y and height * base y / 8.
int HorizontalPixels(int units, DialogBaseUnits base);
int VerticalPixels(int units, DialogBaseUnits base);
QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base);
QSize DialogUnitsToPixels(const QSize& units, DialogBaseUnits base);

}  // namespace corvane
