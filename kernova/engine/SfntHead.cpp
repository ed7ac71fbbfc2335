// head: the font header.
#include <cstddef>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

struct HeadTable {
  UInt16 majorVersion = 1;
  UInt16 minorVersion = 0;
  Fixed fontRevision;
  UInt32 checksumAdjustment = 0;  // set when the file is assembled
  UInt32 magicNumber = 0x5F0F3CF5;
  UInt16 flags;
  UInt16 unitsPerEm = kUnitsPerEm;
  LongDateTime created;
  LongDateTime modified;
  FWord xMin;
  FWord yMin;
  FWord xMax;
  FWord yMax;
  UInt16 macStyle = 0;
  UInt16 lowestRecPPEM = 8;
  Int16 fontDirectionHint = 2;
  Int16 indexToLocFormat;
  Int16 glyphDataFormat = 0;
};
static_assert(sizeof(HeadTable) == 54);
static_assert(offsetof(HeadTable, checksumAdjustment) == kHeadChecksumAdjustmentOffset);

// flags: baseline at y=0, left side bearing point at x=0, integer scaling.
constexpr uint16_t kBaselineAtZero = 0x0001;
constexpr uint16_t kLeftSideBearingAtZero = 0x0002;
constexpr uint16_t kIntegerScaling = 0x0008;

}  // namespace

std::vector<uint8_t> compileHead(const FontLayout& layout, bool longOffsets, uint64_t timestamp) {
  HeadTable head;
  // 16.16 fixed from thousandths, rounded.
  head.fontRevision = uint32_t((uint64_t(layout.info.version) * 65536 + 500) / 1000);
  head.created = int64_t(timestamp);
  head.modified = int64_t(timestamp);
  head.flags = kBaselineAtZero | kLeftSideBearingAtZero | kIntegerScaling;
  head.xMin = layout.fontBox.xMin;
  head.yMin = layout.fontBox.yMin;
  head.xMax = layout.fontBox.xMax;
  head.yMax = layout.fontBox.yMax;
  head.indexToLocFormat = longOffsets ? 1 : 0;
  SfntBuffer out;
  out.record(head);
  return out.take();
}

}  // namespace kernova::sfnt
