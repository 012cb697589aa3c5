// The program's own pictures: the glyphs of the picture buttons and the placement pointer.
#pragma once

#include <QCursor>
#include <memory>
#include <string>

#include "toolkit/graphics/Graphics.h"

// A button glyph: Symbol drawn in Color on a ground that the button leaves out.
std::unique_ptr<TBitmap> ButtonGlyph(const std::string& Symbol, TColor Color);
// The pointer over the frame view: a cross with an open centre, so the pixel placed stays visible.
QCursor PlacementCursor();
