#pragma once
// The program's icon, drawn by code so it needs no image file: a brush-written
// character on paper with a red seal.
#include <QIcon>
#include <QImage>

class QPainter;

namespace about {

// Draws the icon into the square (0, 0, size, size) of any paint device; the one
// drawing behind the window icon and the installed PNG and SVG icons.
void paintProgramIcon(QPainter& painter, int size);

// The icon at `size` x `size` pixels (ARGB32, transparent corners).
QImage programIconImage(int size);

// The icon at the usual sizes (16 to 128 pixels).
QIcon programIcon();

}  // namespace about
