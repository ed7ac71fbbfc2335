#include "kernova/engine/SfntWriter.h"

#include <algorithm>
#include <bit>

namespace kernova::sfnt {

void SfntBuffer::u16(uint32_t value) {
  m_bytes.push_back(uint8_t(value >> 8));
  m_bytes.push_back(uint8_t(value));
}

void SfntBuffer::u32(uint32_t value) {
  u16(value >> 16);
  u16(value & 0xFFFF);
}

void SfntBuffer::bytes(const std::vector<uint8_t>& data) {
  m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

void SfntBuffer::padTo(size_t alignment) {
  while (m_bytes.size() % alignment != 0) m_bytes.push_back(0);
}

void SfntBuffer::patchU16(size_t offset, uint32_t value) {
  m_bytes.at(offset) = uint8_t(value >> 8);
  m_bytes.at(offset + 1) = uint8_t(value);
}

uint32_t tableChecksum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  size_t whole = size / 4 * 4;
  for (size_t i = 0; i < whole; i += 4)
    sum += uint32_t(data[i]) << 24 | uint32_t(data[i + 1]) << 16 | uint32_t(data[i + 2]) << 8 |
           uint32_t(data[i + 3]);
  uint32_t last = 0;
  for (size_t i = whole; i < size; ++i) last |= uint32_t(data[i]) << (24 - 8 * (i - whole));
  return sum + last;
}

namespace {

void writeDirectoryHeader(SfntBuffer& out, size_t tableCount) {
  // searchRange is 16 times the largest power of two not above the table count.
  uint32_t power = std::bit_floor(uint32_t(tableCount));
  uint32_t searchRange = power * 16;
  out.u32(0x00010000);
  out.u16(uint32_t(tableCount));
  out.u16(searchRange);
  out.u16(uint32_t(std::countr_zero(power)));
  out.u16(uint32_t(tableCount * 16 - searchRange));
}

}  // namespace

std::vector<uint8_t> assembleFont(std::vector<Table> tables) {
  std::sort(tables.begin(), tables.end(),
            [](const Table& a, const Table& b) { return a.tag < b.tag; });
  SfntBuffer out;
  writeDirectoryHeader(out, tables.size());
  size_t offset = 12 + 16 * tables.size();
  size_t headOffset = 0;
  for (const Table& table : tables) {
    if (table.tag == makeTag("head")) headOffset = offset;
    out.u32(table.tag);
    out.u32(tableChecksum(table.data));
    out.u32(uint32_t(offset));
    out.u32(uint32_t(table.data.size()));
    offset += (table.data.size() + 3) / 4 * 4;
  }
  for (const Table& table : tables) {
    out.bytes(table.data);
    out.padTo(4);
  }
  std::vector<uint8_t> file = out.take();
  // The head table is summed with checkSumAdjustment zero; the adjustment then
  // makes the whole file sum to the magic number.
  uint32_t adjustment = kChecksumMagic - tableChecksum(file);
  size_t at = headOffset + kHeadChecksumAdjustmentOffset;
  for (int i = 0; i < 4; ++i) file.at(at + size_t(i)) = uint8_t(adjustment >> (24 - 8 * i));
  return file;
}

}  // namespace kernova::sfnt
