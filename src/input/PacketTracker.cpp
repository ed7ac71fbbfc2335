#include "input/PacketTracker.h"

#include <algorithm>
#include <cstring>

#include "common/Rounding.h"

namespace input {

void configureContextSpec(TabletContextSpec& logicalContext) {
  const char name[] = "TEST";
  std::memcpy(logicalContext.lcName.data(), name, sizeof name);
  logicalContext.lcPktData = 0xFFFFFFFF;
  logicalContext.lcPktMode = 0;
  logicalContext.lcMoveMask = 0xFFFFFFFF;
  logicalContext.lcBtnUpMask = logicalContext.lcBtnDnMask;
  logicalContext.lcOutOrgX = 0;
  logicalContext.lcOutOrgY = 0;
  logicalContext.lcOutExtX = 1024;
  logicalContext.lcOutExtY = -768;
}

int32_t pressureWidth(int32_t bmin, int32_t bmax, int32_t pressure) {
  const int32_t range = std::max(bmax - bmin, 1);
  const int64_t product = int64_t(range) * pressure;
  // The pen width is a 16-bit value; a driver's wild pressure must not overflow it.
  const double width = std::clamp(bmin + double(product) / 1024.0, -32768.0, 32767.0);
  return roundEven(width);
}

int32_t nextDrawWidth(int32_t current, int32_t width) {
  return width < current - 5 ? current - 3 : width;
}

std::string readoutText(const TabletPacket& p) {
  const int32_t items[] = {p.pkCursor,         p.pkButtons,        p.pkX,
                           p.pkY,              p.pkZ,              p.pkTangentPressure,
                           p.pkNormalPressure, p.pkSerialNumber,   p.pkChanged,
                           p.orAltitude,       p.orTwist,          p.pkTime,
                           p.pkContext,        p.pkStatus,         p.orAzimuth,
                           p.roPitch};
  std::string text;
  for (size_t i = 0; i < std::size(items); ++i) {
    if (i > 0) text += "\r\n";
    if (i == 5) text += "\r\n";
    text += std::to_string(items[i]);
  }
  return text;
}

// The buffer is zeroed once per reading, not between fetches: a fetch that finds
// the queue empty leaves the newest packet in place, so the newest values win.
bool PacketTracker::read(TabletLayer& layer, int32_t context) {
  if (context <= 1) return false;
  layer.overlap(context, true);
  m_buffer = PacketBuffer{};
  int fetched = 0;
  do {
    fetched = layer.packetsGet(context, m_buffer.packet);
    m_penCursor = m_buffer.packet.pkCursor;
    m_penPressure = m_buffer.packet.pkNormalPressure;
    m_penAltitude = m_buffer.packet.orAltitude;
  } while (fetched != 0);
  return true;
}

}  // namespace input
