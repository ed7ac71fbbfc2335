#pragma once
// Stroke replay: the stroke log's records drawn again on a Surface through the same
// dot and segment calls the brush engine made for them, so a replayed character has
// the pixels it was drawn with.
#include <cstdint>

#include "strokes/StrokeLog.h"

class Surface;

// Draws records fromIndex..toIndex (inclusive) onto the surface; the surface keeps the
// last ink colour and width afterwards. Nothing when toIndex < fromIndex.
void replayStrokes(const StrokeLog& log, Surface& surface, int32_t fromIndex, int32_t toIndex);
