// Dialog units, as Windows converts them: a horizontal unit is a quarter of
// the dialog font's average character width, a vertical unit an eighth of
// its character height. Backends supply the font's metrics; the arithmetic
// is the same everywhere.
#pragma once

#include "framework/DialogTemplate.h"

namespace tavirap {

// a * b / c rounded half away from zero, in 64-bit arithmetic; -1 when c is 0.
int MulDiv(int a, int b, int c);

struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

// alphabetWidth: the pixel width of "ABC...XYZabc...xyz" in the dialog font;
// height: the font's character height (ascent plus descent).
DialogBaseUnits BaseUnitsFromFontMetrics(int alphabetWidth, int height);

inline constexpr const char* kBaseUnitsAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

int DialogUnitsToPixelsX(int units, DialogBaseUnits base);
int DialogUnitsToPixelsY(int units, DialogBaseUnits base);
// Each of x, y, cx and cy is converted on its own, as dialog creation does.
PixelRect MapDialogRect(const DialogRect& rect, DialogBaseUnits base);

}  // namespace tavirap
