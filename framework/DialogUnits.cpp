#include "framework/DialogUnits.h"

#include <cstdint>
#include <cstdlib>

namespace tavirap {

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

DialogBaseUnits BaseUnitsFromFontMetrics(int alphabetWidth, int height) {
    return {(alphabetWidth / 26 + 1) / 2, height};
}

int DialogUnitsToPixelsX(int units, DialogBaseUnits base) {
    return MulDiv(units, base.x, 4);
}
int DialogUnitsToPixelsY(int units, DialogBaseUnits base) {
    return MulDiv(units, base.y, 8);
}

PixelRect MapDialogRect(const DialogRect& rect, DialogBaseUnits base) {
    return {DialogUnitsToPixelsX(rect.x, base), DialogUnitsToPixelsY(rect.y, base),
            DialogUnitsToPixelsX(rect.cx, base), DialogUnitsToPixelsY(rect.cy, base)};
}

}  // namespace tavirap
