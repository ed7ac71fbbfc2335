#pragma once
// Drawing glyphs: TrueType quadratic contours as a QPainterPath, and the mapping of
// the font's em box (advance wide, ascender to descender high) into a pixel box.
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "kernova/engine/Glyph.h"

namespace kernova {

// The glyph's outline in font units (y grows upward), filled with the non-zero rule
// as TrueType fills it. Off-curve points in a row imply the on-curve point halfway
// between them; a contour may start on an off-curve point.
QPainterPath glyphOutline(const Glyph& glyph);

// Maps font units into `box`: x 0..`advance` to the box's width, ascender..descender
// to its height, keeping the aspect ratio (the em box is centred horizontally).
QTransform emBoxTransform(const QRectF& box, int advance = kDefaultAdvance);

// Maps font units to pixels with the glyph origin (pen position on the baseline) at
// `origin`, `scale` pixels per unit, y flipped.
QTransform baselineTransform(const QPointF& origin, double scale);

}  // namespace kernova
