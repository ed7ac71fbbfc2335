#pragma once
// The guide's geometry and colour: cropping the reference label by dragging, the
// colour toggle, and the enlargement of the label's pixels onto the canvas.
#include "canvas/Colour.h"

class QImage;
class RetainedImage;

namespace reference {

inline constexpr double kTwipsPerPixel = 15.0;
// A label side must stay strictly above this many pixels.
inline constexpr double kLabelSizeFloor = 5.0;

// One drag step of one side of the label. `lastPos` and `pos` are pointer positions in
// twips; moving left (or up) by one pixel shrinks the side by one pixel. Returns the
// new size, or `size` unchanged when the result would be 5 or less or above `maxSize`.
double dragStep(double size, double lastPos, double pos, double maxSize);

// The double-click toggle: application workspace becomes active border, anything
// else (including colours loaded from the settings) becomes application workspace.
Colour toggledReferenceColour(Colour colour);

// Copies the label picture without its top row and left column, stretched by pixel
// replication to (target width + 1) x (target height + 1) from the target's top left,
// clipped to the target: the picture box's outer size less one, as its frame adds two.
void enlargeReference(const QImage& label, RetainedImage& target);

}  // namespace reference
