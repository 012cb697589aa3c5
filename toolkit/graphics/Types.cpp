#include "toolkit/graphics/Types.h"

TColor ColorToRGB(TColor Color) {
    if ((Color & clSystemColor) == 0) return Color;
    switch (Color & 0xFF) {
    case 5:
        return clWhite; // window
    case 8:
        return clBlack; // window text
    case 13:
        return RGB(0, 120, 215); // highlight
    case 14:
        return clWhite; // highlight text
    case 15:
        return RGB(240, 240, 240); // button face
    case 16:
        return RGB(160, 160, 160); // button shadow
    default:
        return RGB(192, 192, 192);
    }
}
