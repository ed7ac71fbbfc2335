#pragma once
// A tablet layer for tests: present or missing, opening or refusing, with a packet
// queue the test fills directly; it counts opens and closes for the shut-down order.
#include "input/TabletLayer.h"

class FakeTabletLayer final : public TabletLayer {
 public:
  bool isPresent = true;
  bool refuseOpen = false;
  int32_t openContext = 0;
  TabletPacketQueue queue;
  int opens = 0, closes = 0;

  bool present() const override { return isPresent; }
  bool defaultContext(TabletContextSpec&) override { return isPresent; }
  int32_t open(PictureBox&, const TabletContextSpec&) override {
    ++opens;
    return openContext = isPresent && !refuseOpen ? opens + 6 : 0;
  }
  bool setQueueSize(int32_t context, int packets) override {
    queue.setCapacity(packets);
    return context == openContext;
  }
  void close(int32_t context) override {
    ++closes;
    if (context == openContext) openContext = 0;
  }
  int packetsGet(int32_t context, TabletPacket& packet) override {
    return context == openContext && context != 0 ? queue.pop(packet) : 0;
  }
  void overlap(int32_t, bool) override {}

  // A pen packet as a driver would queue it.
  static TabletPacket pen(int32_t pressure, int32_t altitude = 900, int32_t cursor = 1) {
    TabletPacket packet;
    packet.pkCursor = cursor;
    packet.pkNormalPressure = pressure;
    packet.orAltitude = altitude;
    return packet;
  }
};
