#pragma once
// Showing another program's window by its native id without moving, resizing or
// restacking it. On X11 the window is mapped; elsewhere nothing happens.
#include <cstdint>

namespace platform {

// Returns false when nothing was done (id 0, or not on X11).
bool showForeignWindow(uint32_t windowId);

}  // namespace platform
