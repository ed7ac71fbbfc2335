#pragma once
// Reading Windows bitmap files into an ink raster.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Status.h"
#include "kernova/engine/InkBitmap.h"

namespace kernova {

// Strict BMP reader (1-bit uncompressed, both row orders, both palette orders;
// 8, 24 and 32-bit uncompressed; ink = dark pixels; at most 8192 x 8192).
Status readBmp(const std::vector<uint8_t>& bytes, InkBitmap& out);
// readBmp of a file's contents; the failure names the file. Only a regular file is
// read: a folder, a named pipe or a device is refused without waiting on it.
Status readBmpFile(const std::string& path, InkBitmap& out);

}  // namespace kernova
