#pragma once
// A tablet layer for tests: present or missing, opening or refusing, with a packet
// queue the test fills directly and counters of what the caller did.
#include <cstring>

#include "input/TabletLayer.h"

class FakeTabletLayer final : public TabletLayer {
 public:
  bool isPresent = true;
  bool refuseOpen = false;
  int32_t nextHandle = 7;
  // What the "driver" reports as its default context.
  TabletContextSpec driverDefault = [] {
    TabletContextSpec logicalContext;
    std::memcpy(logicalContext.lcName.data(), "Default Driver Context Name Here", 33);
    logicalContext.lcOptions = wintab::CXO_SYSTEM | 0x0400;
    logicalContext.lcPktData = 0x00FF;
    logicalContext.lcMoveMask = 0x0F;
    logicalContext.lcBtnDnMask = 0x1234;
    logicalContext.lcBtnUpMask = 0x5678;
    logicalContext.lcOutExtX = 5000;
    logicalContext.lcOutExtY = 4000;
    return logicalContext;
  }();

  int32_t openContext = 0;
  PictureBox* window = nullptr;
  TabletContextSpec openedSpec;
  TabletPacketQueue queue;
  int opens = 0, closes = 0, overlaps = 0, fetches = 0;
  int queueSizeAsked = 0;

  bool present() const override { return isPresent; }
  bool defaultContext(TabletContextSpec& logicalContext) override {
    if (!isPresent) return false;
    logicalContext = driverDefault;
    return true;
  }
  int32_t open(PictureBox& on, const TabletContextSpec& logicalContext) override {
    ++opens;
    if (!isPresent || refuseOpen) return 0;
    window = &on;
    openedSpec = logicalContext;
    openContext = nextHandle++;
    return openContext;
  }
  bool setQueueSize(int32_t context, int packets) override {
    if (context != openContext) return false;
    queueSizeAsked = packets;
    queue.setCapacity(packets);
    return true;
  }
  void close(int32_t context) override {
    ++closes;
    if (context == openContext) openContext = 0;
  }
  int packetsGet(int32_t context, TabletPacket& packet) override {
    ++fetches;
    return context == openContext && context != 0 ? queue.pop(packet) : 0;
  }
  void overlap(int32_t, bool) override { ++overlaps; }

  // A pen packet as a driver would queue it.
  static TabletPacket pen(int32_t pressure, int32_t altitude = 900, int32_t cursor = 1) {
    TabletPacket packet;
    packet.pkCursor = cursor;
    packet.pkNormalPressure = pressure;
    packet.orAltitude = altitude;
    return packet;
  }
};
