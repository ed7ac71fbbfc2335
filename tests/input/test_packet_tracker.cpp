// Pressure to width, the fall rate, the readout text and draining the packet queue.
#include "input/PacketTracker.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/input/FakeTabletLayer.h"

using input::pressureWidth;

namespace {

TabletPacket numberedPacket() {
  TabletPacket p;
  int32_t n = 1000;
  for (int32_t* item : {&p.pkContext, &p.pkStatus, &p.pkTime, &p.pkChanged, &p.pkSerialNumber,
                        &p.pkCursor, &p.pkButtons, &p.pkX, &p.pkY, &p.pkZ, &p.pkNormalPressure,
                        &p.pkTangentPressure, &p.orAzimuth, &p.orAltitude, &p.orTwist, &p.roPitch})
    *item = ++n;
  p.orAltitude = -p.orAltitude;
  return p;
}

TEST(PressureWidth, FollowsPressureHalvesToEvenWithinSixteenBits) {
  struct Case { int32_t bmin, bmax, pressure, width; };
  for (const Case& c : {Case{1, 250, 1023, 250}, {1, 250, 512, 126}, {30, 50, 256, 35}, {10, 10, 512, 10},
                        {10, 10, 513, 11}, {1, 250, 2'000'000'000, 32767}, {1, 250, -2'000'000'000, -32768}})
    EXPECT_EQ(pressureWidth(c.bmin, c.bmax, c.pressure), c.width) << c.bmin << " " << c.bmax << " " << c.pressure;
}

TEST(PressureWidth, FallsOfMoreThanFiveGoThreeAtATime) {
  for (auto [current, width, next] : {std::array{40, 1, 37}, {20, 14, 17}, {20, 15, 15}, {5, 200, 200}})
    EXPECT_EQ(input::nextDrawWidth(current, width), next) << current << " to " << width;
}

TEST(Readout, ListsSixteenItemsInDisplayOrderWithCrLf) {
  EXPECT_EQ(input::readoutText(numberedPacket()),
            "1006\r\n1007\r\n1008\r\n1009\r\n1010\r\n\r\n1012\r\n1011\r\n1005\r\n1004\r\n"
            "-1014\r\n1015\r\n1003\r\n1001\r\n1002\r\n1013\r\n1016");
}

TEST(PacketQueue, KeepsTheNewestWhenFull) {
  TabletPacketQueue queue;
  queue.setCapacity(32);
  for (int i = 1; i <= 40; ++i) queue.push(FakeTabletLayer::pen(i));
  EXPECT_EQ(queue.size(), 32);
  TabletPacket packet;
  ASSERT_EQ(queue.pop(packet), 1);
  EXPECT_EQ(packet.pkNormalPressure, 9);
}

TEST(PacketTracker, TheNewestPacketWinsAnEmptyQueueZeroesAndAClosedContextReadsNothing) {
  FakeTabletLayer layer;
  layer.openContext = 9;
  input::PacketTracker tracker;
  layer.queue.push(FakeTabletLayer::pen(100, 900, 1));
  layer.queue.push(numberedPacket());
  ASSERT_TRUE(tracker.read(layer, 9));
  EXPECT_EQ(tracker.penCursor(), 1006);
  EXPECT_EQ(tracker.penPressure(), 1011);
  EXPECT_EQ(tracker.penAltitude(), -1014);
  layer.queue.push(FakeTabletLayer::pen(900));
  for (int32_t closed : {0, 1, -5}) {
    EXPECT_FALSE(tracker.read(layer, closed));
    EXPECT_EQ(tracker.penPressure(), 1011);
  }
  ASSERT_TRUE(tracker.read(layer, 9));
  ASSERT_TRUE(tracker.read(layer, 9));
  EXPECT_EQ(tracker.penPressure(), 0);
}

}  // namespace
