#include "kernova/engine/Tracer.h"

namespace kernova {

Status readBmp(const std::vector<uint8_t>&, InkBitmap&) {
  return Status::failure("bitmap import is not available in this build");
}

Status readBmpFile(const std::string&, InkBitmap&) {
  return Status::failure("bitmap import is not available in this build");
}

Status traceBitmap(const InkBitmap&, const TraceParameters&, std::vector<Contour>&) {
  return Status::failure("bitmap import is not available in this build");
}

}  // namespace kernova
