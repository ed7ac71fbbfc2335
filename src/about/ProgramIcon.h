#pragma once
// The program's icon, drawn by code so it needs no image file: a brush-written
// character on paper with a red seal.
#include <QIcon>
#include <QImage>

namespace about {

// The icon at `size` x `size` pixels (ARGB32, transparent corners).
QImage programIconImage(int size);

// The icon at the usual sizes (16 to 128 pixels).
QIcon programIcon();

}  // namespace about
