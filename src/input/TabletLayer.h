#pragma once
// The pen-tablet layer, shaped like the Wintab calls its callers were designed
// around: fetch the default system context, open a context on a window, size its
// packet queue, pull packets one at a time (oldest first), close. Qt-free, so the
// packet logic above it builds without widgets; the production implementation,
// platform::makeTabletLayer, is fed by Qt's tablet events.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

class PictureBox;

// One Wintab PACKET with every item requested, in the published item order.
struct TabletPacket {
  int32_t pkContext = 0;
  int32_t pkStatus = 0;
  int32_t pkTime = 0;
  int32_t pkChanged = 0;
  int32_t pkSerialNumber = 0;
  int32_t pkCursor = 0;  // non-zero for any pen
  int32_t pkButtons = 0;
  int32_t pkX = 0;  // in the context's output space
  int32_t pkY = 0;
  int32_t pkZ = 0;
  int32_t pkNormalPressure = 0;  // 0..1023
  int32_t pkTangentPressure = 0;
  int32_t orAzimuth = 0;   // tenths of a degree
  int32_t orAltitude = 0;  // tenths of a degree; negative for the eraser end
  int32_t orTwist = 0;
  int32_t roPitch = 0;
  int32_t roRoll = 0;
  int32_t roYaw = 0;
};
static_assert(sizeof(TabletPacket) == 18 * 4, "a PACKET is eighteen 32-bit items");

// The LOGCONTEXTA fields this system reads or sets; the rest stay with the layer.
struct TabletContextSpec {
  std::array<char, 40> lcName{};
  uint32_t lcOptions = 0;
  uint32_t lcPktData = 0;
  uint32_t lcPktMode = 0;
  uint32_t lcMoveMask = 0;
  uint32_t lcBtnDnMask = 0;
  uint32_t lcBtnUpMask = 0;
  int32_t lcOutOrgX = 0;
  int32_t lcOutOrgY = 0;
  int32_t lcOutExtX = 0;
  int32_t lcOutExtY = 0;  // negative: y grows downward
};

namespace wintab {
inline constexpr uint32_t CXO_SYSTEM = 0x0001;
inline constexpr int32_t TPS_PROXIMITY = 0x0001;
inline constexpr int32_t TPS_INVERT = 0x0010;
// pkChanged bits, one per packet item.
inline constexpr int32_t PK_CONTEXT = 0x0001, PK_STATUS = 0x0002, PK_TIME = 0x0004,
                         PK_CHANGED = 0x0008, PK_SERIAL_NUMBER = 0x0010, PK_CURSOR = 0x0020,
                         PK_BUTTONS = 0x0040, PK_X = 0x0080, PK_Y = 0x0100, PK_Z = 0x0200,
                         PK_NORMAL_PRESSURE = 0x0400, PK_TANGENT_PRESSURE = 0x0800,
                         PK_ORIENTATION = 0x1000, PK_ROTATION = 0x2000;
}  // namespace wintab

// A bounded packet queue: when full, the oldest packet is dropped for the newest.
class TabletPacketQueue {
 public:
  void setCapacity(int capacity) {
    m_capacity = capacity < 1 ? 1 : capacity;
    while (int(m_packets.size()) > m_capacity) m_packets.pop_front();
  }
  int capacity() const { return m_capacity; }
  int size() const { return int(m_packets.size()); }
  void push(const TabletPacket& packet) {
    if (int(m_packets.size()) == m_capacity) m_packets.pop_front();
    m_packets.push_back(packet);
  }
  // Moves the oldest packet into `out`; returns 0 (and leaves `out` alone) when empty.
  int pop(TabletPacket& out) {
    if (m_packets.empty()) return 0;
    out = m_packets.front();
    m_packets.pop_front();
    return 1;
  }
  void clear() { m_packets.clear(); }

 private:
  std::deque<TabletPacket> m_packets;
  int m_capacity = 8;
};

// Context handles are greater than 1; 0 means "no context".
class TabletLayer {
 public:
  virtual ~TabletLayer() = default;
  // False when the platform cannot deliver tablet events at all (a missing library).
  virtual bool present() const = 0;
  // The default system context (WTInfoA, WTI_DEFSYSCTX); false when not present.
  virtual bool defaultContext(TabletContextSpec& logicalContext) = 0;
  // Opens an enabled context on `window`: its handle, or 0 when refused.
  virtual int32_t open(PictureBox& window, const TabletContextSpec& logicalContext) = 0;
  virtual bool setQueueSize(int32_t context, int packets) = 0;
  virtual void close(int32_t context) = 0;
  // Copies the oldest waiting packet into `packet`: 1, or 0 with `packet` untouched.
  virtual int packetsGet(int32_t context, TabletPacket& packet) = 0;
  virtual void overlap(int32_t context, bool toTop) = 0;
};
