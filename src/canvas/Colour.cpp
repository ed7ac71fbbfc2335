#include "canvas/Colour.h"

namespace colours {

uint32_t toArgb(Colour colour) {
  if (colour & 0x80000000u) {
    switch (colour & 0xFF) {
      case 0x05: return 0xFFFFFFFF;  // window
      case 0x0A:                     // active border
      case 0x0F: return 0xFFD4D0C8;  // button face
      case 0x0C: return 0xFF808080;  // application workspace
      case 0x08:                     // window text
      case 0x12: return 0xFF000000;  // button text
      default: return 0xFFD4D0C8;
    }
  }
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace colours
