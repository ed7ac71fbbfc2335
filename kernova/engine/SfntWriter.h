#pragma once
// The byte level of a TrueType file: big-endian writing, table checksums, and the
// table directory that puts the tables together into one sfnt file.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kernova::sfnt {

constexpr uint32_t makeTag(std::string_view text) {
  return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
         uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

// A big-endian field of a fixed-size record. Byte-aligned, so a struct of them has
// exactly the layout the format gives it, which each record checks with a
// static_assert on its size. Values are truncated to the field's width.
template <typename T>
class BigEndian {
 public:
  constexpr BigEndian() = default;
  constexpr BigEndian(T value) { *this = value; }  // NOLINT: a field takes its value
  constexpr BigEndian& operator=(T value) {
    const auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
      m_bytes[i] = uint8_t(bits >> (8 * (sizeof(T) - 1 - i)));
    return *this;
  }

 private:
  uint8_t m_bytes[sizeof(T)] = {};
};

// The OpenType data types, as the format names them.
using UInt8 = BigEndian<uint8_t>;
using UInt16 = BigEndian<uint16_t>;
using Int16 = BigEndian<int16_t>;
using UInt32 = BigEndian<uint32_t>;
using Fixed = BigEndian<uint32_t>;       // 16.16
using Version16Dot16 = BigEndian<uint32_t>;
using FWord = BigEndian<int16_t>;        // font units
using UFWord = BigEndian<uint16_t>;      // font units
using LongDateTime = BigEndian<int64_t>; // seconds since 1904-01-01 00:00 UTC
using Tag = BigEndian<uint32_t>;

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
  // Appends a record made of BigEndian fields, byte for byte.
  template <typename Record>
  void record(const Record& fields) {
    static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) == 1);
    const auto* first = reinterpret_cast<const uint8_t*>(&fields);
    m_bytes.insert(m_bytes.end(), first, first + sizeof(Record));
  }
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
