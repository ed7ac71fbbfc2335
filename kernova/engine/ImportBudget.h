#pragma once
// The tracer's budget applied to a bitmap file before it is read: a file that could
// only give a bitmap beyond kMaxTracedPixels (Tracer.h) is refused from its size and
// its header's dimensions, so refusing it costs no reading and decoding.
#include <string>

#include "common/Status.h"

namespace kernova {

// Succeeds when the file may hold a bitmap the tracer takes, or is no BMP at all
// (the reader then says what is wrong with it).
Status checkImportBudget(const std::string& path);

}  // namespace kernova
