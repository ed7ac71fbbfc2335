#pragma once
// The code sets of the two document types, in ascending order.
//  Latin:    single-byte codes whose CP1252 character is printable.
//  Japanese: printable single-byte codes of CP932 and every double-byte CP932 code
//            that maps to a character (user-defined area excluded), each character
//            once: a code whose character CP932 writes as another code is left out.
#include <cstdint>
#include <vector>

#include "common/BusContract.h"

namespace kernova {

using ::FontType;

class CodeOrder {
 public:
  static const CodeOrder& forType(FontType type);  // built once, then shared

  const std::vector<uint16_t>& codes() const { return m_codes; }
  bool contains(uint16_t code) const;
  int indexOf(uint16_t code) const;  // -1 when absent
  // The neighbours in the order; at either end the code itself.
  uint16_t next(uint16_t code) const;
  uint16_t previous(uint16_t code) const;

  explicit CodeOrder(std::vector<uint16_t> ascendingCodes);

 private:
  std::vector<uint16_t> m_codes;
};

}  // namespace kernova
