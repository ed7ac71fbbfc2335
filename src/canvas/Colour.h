#pragma once
// Colour values as the window stores them: 0x00BBGGRR for a fixed colour (red in the
// low byte), 0x800000nn for system colour number nn.
#include <cstdint>

using Colour = uint32_t;

namespace colours {
inline constexpr Colour Black = 0x000000;
inline constexpr Colour White = 0xFFFFFF;
inline constexpr Colour Red = 0x0000FF;
inline constexpr Colour Blue = 0xFF0000;
inline constexpr Colour LightGreyInk = 0xE0E0E0;
inline constexpr Colour GuideLine = 0xDDDDDD;

inline constexpr Colour SystemWindow = 0x80000005;
inline constexpr Colour SystemActiveBorder = 0x8000000A;
inline constexpr Colour SystemAppWorkspace = 0x8000000C;
inline constexpr Colour SystemButtonFace = 0x8000000F;

// 0xAARRGGBB (QRgb layout, alpha 255) of a colour value. System colours take fixed
// classic-scheme values so output is the same on every desktop.
uint32_t toArgb(Colour colour);
}  // namespace colours
