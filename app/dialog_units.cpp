#include "app/dialog_units.h"

#include <QFontMetrics>
#include <cstdint>

namespace corvane {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // Half of the width of 26 letters, rounded: the average over 52.
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t p = std::int64_t{a} * b;
    const std::int64_t half = (c > 0 ? c : -c) / 2;
    const bool negative = (p < 0) != (c < 0);
    const std::int64_t q = ((p < 0 ? -p : p) + half) / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -q : q);
}

int HorizontalPixels(int units, DialogBaseUnits base) { return MulDivRound(units, base.x, 4); }
int VerticalPixels(int units, DialogBaseUnits base) { return MulDivRound(units, base.y, 8); }

QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base) {
    return QRect(HorizontalPixels(units.x(), base), VerticalPixels(units.y(), base),
                 HorizontalPixels(units.width(), base), VerticalPixels(units.height(), base));
}

QSize DialogUnitsToPixels(const QSize& units, DialogBaseUnits base) {
    return QSize(HorizontalPixels(units.width(), base), VerticalPixels(units.height(), base));
}

}  // namespace corvane
