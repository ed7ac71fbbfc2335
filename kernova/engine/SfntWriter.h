#pragma once
// The byte level of a TrueType file: big-endian writing, table checksums, and the
// table directory that puts the tables together into one sfnt file.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kernova::sfnt {

constexpr uint32_t makeTag(std::string_view text) {
  return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
         uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

// An append-only big-endian buffer. Values are truncated to the width they are
// written with; the table code checks ranges before it writes.
class SfntBuffer {
 public:
  void u8(uint32_t value) { m_bytes.push_back(uint8_t(value)); }
  void u16(uint32_t value);
  void i16(int32_t value) { u16(uint32_t(value) & 0xFFFF); }
  void u32(uint32_t value);
  void tag(std::string_view text) { u32(makeTag(text)); }
  void bytes(const std::vector<uint8_t>& data);
  // Zero bytes up to the next multiple of `alignment`.
  void padTo(size_t alignment);
  // Overwrites a 16-bit value written earlier at `offset`.
  void patchU16(size_t offset, uint32_t value);

  size_t size() const { return m_bytes.size(); }
  const std::vector<uint8_t>& data() const { return m_bytes; }
  std::vector<uint8_t> take() { return std::move(m_bytes); }

 private:
  std::vector<uint8_t> m_bytes;
};

// The TrueType checksum: the sum of big-endian 32-bit words, the last one padded
// with zeros.
uint32_t tableChecksum(const uint8_t* data, size_t size);
inline uint32_t tableChecksum(const std::vector<uint8_t>& data) {
  return tableChecksum(data.data(), data.size());
}

struct Table {
  uint32_t tag = 0;
  std::vector<uint8_t> data;
};

constexpr uint32_t kChecksumMagic = 0xB1B0AFBA;
constexpr size_t kHeadChecksumAdjustmentOffset = 8;

// The whole file: version 0x00010000, the directory sorted by tag, each table
// 4-byte aligned in directory order, and head.checkSumAdjustment set so that the
// file sums to 0xB1B0AFBA. `tables` must hold a head table at least 12 bytes long.
std::vector<uint8_t> assembleFont(std::vector<Table> tables);

}  // namespace kernova::sfnt
