#include "hosts/qt/dialog_units.h"

#include <QFontMetrics>
#include <cmath>

namespace {

// MulDiv: the product over the divisor, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator) {
    return static_cast<int>(std::lround(static_cast<double>(number) * numerator / denominator));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseUnitX = (alphabetWidth / 26 + 1) / 2;
    m_baseUnitY = metrics.height();
}

int DialogUnits::ToPixelsX(int units) const {
    return MulDiv(units, m_baseUnitX, 4);
}

int DialogUnits::ToPixelsY(int units) const {
    return MulDiv(units, m_baseUnitY, 8);
}

QRect DialogUnits::ToPixels(const QRect& units) const {
    const int left = ToPixelsX(units.x());
    const int top = ToPixelsY(units.y());
    return {left, top, ToPixelsX(units.x() + units.width()) - left,
            ToPixelsY(units.y() + units.height()) - top};
}
