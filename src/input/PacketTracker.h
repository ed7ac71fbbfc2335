#pragma once
// Reading the tablet's packets at every pointer event: drain the context's queue,
// keep the newest packet's cursor, pressure and altitude, and turn the pressure
// into the canvas's pen width with a limited fall rate. Plain values only; the
// window shows the readout and applies the width.
#include <array>
#include <cstdint>
#include <string>

#include "input/TabletLayer.h"

namespace input {

// Sixteen items through roPitch as 32-bit integers, then a spare area that takes
// whatever a driver writes beyond them (roRoll and roYaw land there).
struct PacketBuffer {
  TabletPacket packet;
  std::array<uint8_t, 1024 - 8> spare{};
};
static_assert(sizeof(PacketBuffer) == 1088, "the packet buffer is 16 items plus 1024 spare bytes");

// The context logicalContext as this system opens it: the default system context with the
// name, packet items, move mask, button-up mask and a 1024 x 768 output space whose
// y grows downward.
void configureContextSpec(TabletContextSpec& logicalContext);

// round(bmin + range * pressure / 1024) with range = bmax - bmin, at least 1; not
// clamped to bmax.
int32_t pressureWidth(int32_t bmin, int32_t bmax, int32_t pressure);

// The pen width after a reading: rises at once; a fall of more than 5 pixels goes
// 3 pixels per reading, a smaller one at once.
int32_t nextDrawWidth(int32_t current, int32_t width);

// Sixteen items, one per line (CR LF), with an empty line after the fifth.
std::string readoutText(const TabletPacket& packet);

class PacketTracker {
 public:
  // Drains the queue of `context`. Returns false, changing nothing, when the context
  // is not open (handle not above 1). On an empty queue all three values become 0.
  bool read(TabletLayer& layer, int32_t context);

  int32_t penCursor() const { return m_penCursor; }
  int32_t penPressure() const { return m_penPressure; }
  int32_t penAltitude() const { return m_penAltitude; }
  const PacketBuffer& buffer() const { return m_buffer; }
  std::string readout() const { return readoutText(m_buffer.packet); }

 private:
  PacketBuffer m_buffer;
  int32_t m_penCursor = 0;
  int32_t m_penPressure = 0;
  int32_t m_penAltitude = 0;
};

}  // namespace input
