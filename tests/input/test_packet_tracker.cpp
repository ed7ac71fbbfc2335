#include "input/PacketTracker.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/input/FakeTabletLayer.h"

using input::nextDrawWidth;
using input::PacketTracker;
using input::pressureWidth;

namespace {

TabletPacket numberedPacket() {
  TabletPacket p;
  p.pkContext = 1001;
  p.pkStatus = 1002;
  p.pkTime = 1003;
  p.pkChanged = 1004;
  p.pkSerialNumber = 1005;
  p.pkCursor = 1006;
  p.pkButtons = 1007;
  p.pkX = 1008;
  p.pkY = 1009;
  p.pkZ = 1010;
  p.pkNormalPressure = 1011;
  p.pkTangentPressure = 1012;
  p.orAzimuth = 1013;
  p.orAltitude = -1014;
  p.orTwist = 1015;
  p.roPitch = 1016;
  p.roRoll = 1017;
  p.roYaw = 1018;
  return p;
}

}  // namespace

TEST(PressureWidth, FullRangeFollowsPressureWithHalvesToEven) {
  EXPECT_EQ(pressureWidth(1, 250, 1023), 250);  // 249.76
  EXPECT_EQ(pressureWidth(1, 250, 512), 126);   // 125.5
  EXPECT_EQ(pressureWidth(1, 250, 0), 1);
  EXPECT_EQ(pressureWidth(30, 50, 256), 35);
}

TEST(PressureWidth, EqualLimitsUseARangeOfOneAndCanExceedBMax) {
  EXPECT_EQ(pressureWidth(10, 10, 0), 10);
  EXPECT_EQ(pressureWidth(10, 10, 512), 10);  // 10.5
  EXPECT_EQ(pressureWidth(10, 10, 513), 11);
  EXPECT_EQ(pressureWidth(10, 10, 1023), 11);
}

TEST(PressureWidth, PressureAboveTheScaleIsNotClampedToBMax) {
  EXPECT_EQ(pressureWidth(1, 250, 2048), 499);
}

TEST(PressureWidth, WildPressureStaysInsideTheSixteenBitPenWidth) {
  EXPECT_EQ(pressureWidth(1, 250, 2'000'000'000), 32767);
  EXPECT_EQ(pressureWidth(1, 250, -2'000'000'000), -32768);
}

TEST(FallRate, ZeroPressureFromFortyStepsDownByThreeToBMin) {
  const std::vector<int32_t> expected = {37, 34, 31, 28, 25, 22, 19, 16, 13, 10, 7, 4, 1, 1};
  std::vector<int32_t> seen;
  int32_t width = 40;
  for (size_t i = 0; i < expected.size(); ++i) {
    width = nextDrawWidth(width, pressureWidth(1, 250, 0));
    seen.push_back(width);
  }
  EXPECT_EQ(seen, expected);
}

TEST(FallRate, RisesAndSmallFallsTakeEffectAtOnce) {
  EXPECT_EQ(nextDrawWidth(5, 200), 200);
  EXPECT_EQ(nextDrawWidth(20, 15), 15);  // a fall of exactly 5
  EXPECT_EQ(nextDrawWidth(20, 14), 17);  // a fall of 6 is limited
}

TEST(Readout, ListsSixteenItemsInDisplayOrderWithCrLf) {
  const std::string expected =
      "1006\r\n1007\r\n1008\r\n1009\r\n1010\r\n\r\n1012\r\n1011\r\n1005\r\n1004\r\n"
      "-1014\r\n1015\r\n1003\r\n1001\r\n1002\r\n1013\r\n1016";
  EXPECT_EQ(input::readoutText(numberedPacket()), expected);
}

TEST(Readout, EmptyPacketShowsSixteenZeros) {
  EXPECT_EQ(input::readoutText(TabletPacket{}),
            "0\r\n0\r\n0\r\n0\r\n0\r\n\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0");
}

TEST(ContextSpec, ChangesOnlyTheListedFieldsOfTheDefaultContext) {
  FakeTabletLayer layer;
  TabletContextSpec logicalContext = layer.driverDefault;
  input::configureContextSpec(logicalContext);
  EXPECT_EQ(std::string(logicalContext.lcName.data()), "TEST");
  EXPECT_EQ(std::string(logicalContext.lcName.data() + 5), "lt Driver Context Name Here");
  EXPECT_EQ(logicalContext.lcOptions, layer.driverDefault.lcOptions);
  EXPECT_EQ(logicalContext.lcPktData, 0xFFFFFFFFu);
  EXPECT_EQ(logicalContext.lcPktMode, 0u);
  EXPECT_EQ(logicalContext.lcMoveMask, 0xFFFFFFFFu);
  EXPECT_EQ(logicalContext.lcBtnDnMask, 0x1234u);
  EXPECT_EQ(logicalContext.lcBtnUpMask, 0x1234u);
  EXPECT_EQ(logicalContext.lcOutOrgX, 0);
  EXPECT_EQ(logicalContext.lcOutOrgY, 0);
  EXPECT_EQ(logicalContext.lcOutExtX, 1024);
  EXPECT_EQ(logicalContext.lcOutExtY, -768);
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

TEST(PacketQueue, EmptyPopLeavesTheTargetAlone) {
  TabletPacketQueue queue;
  TabletPacket packet = FakeTabletLayer::pen(77);
  EXPECT_EQ(queue.pop(packet), 0);
  EXPECT_EQ(packet.pkNormalPressure, 77);
}

class DrainTest : public ::testing::Test {
 protected:
  FakeTabletLayer layer;
  PacketTracker tracker;
  int32_t context = 9;
  void SetUp() override {
    layer.openContext = context;
    layer.setQueueSize(context, 32);
  }
};

TEST_F(DrainTest, NewestPacketWinsAndTheQueueIsEmptied) {
  layer.queue.push(FakeTabletLayer::pen(100, 900, 1));
  layer.queue.push(FakeTabletLayer::pen(200, 450, 1));
  layer.queue.push(FakeTabletLayer::pen(300, -700, 2));
  ASSERT_TRUE(tracker.read(layer, context));
  EXPECT_EQ(tracker.penCursor(), 2);
  EXPECT_EQ(tracker.penPressure(), 300);
  EXPECT_EQ(tracker.penAltitude(), -700);
  EXPECT_EQ(layer.queue.size(), 0);
  EXPECT_EQ(layer.fetches, 4);  // three packets and the fetch that ends the loop
  EXPECT_EQ(layer.overlaps, 1);
}

TEST_F(DrainTest, EmptyQueueZeroesTheValuesOfAnEarlierReading) {
  layer.queue.push(numberedPacket());
  ASSERT_TRUE(tracker.read(layer, context));
  EXPECT_EQ(tracker.penPressure(), 1011);
  ASSERT_TRUE(tracker.read(layer, context));
  EXPECT_EQ(tracker.penCursor(), 0);
  EXPECT_EQ(tracker.penPressure(), 0);
  EXPECT_EQ(tracker.penAltitude(), 0);
  EXPECT_EQ(tracker.readout(), input::readoutText(TabletPacket{}));
}

TEST_F(DrainTest, ReadingKeepsTheWholePacketIncludingItemsBeyondTheSixteenth) {
  layer.queue.push(numberedPacket());
  ASSERT_TRUE(tracker.read(layer, context));
  EXPECT_EQ(tracker.buffer().packet.roYaw, 1018);
  EXPECT_EQ(tracker.readout(), input::readoutText(numberedPacket()));
}

TEST_F(DrainTest, NoOpenContextReadsNothingAndKeepsTheValues) {
  layer.queue.push(FakeTabletLayer::pen(500));
  ASSERT_TRUE(tracker.read(layer, context));
  layer.queue.push(FakeTabletLayer::pen(900));
  for (int32_t closed : {0, 1, -5}) {
    EXPECT_FALSE(tracker.read(layer, closed));
    EXPECT_EQ(tracker.penPressure(), 500);
  }
  EXPECT_EQ(layer.queue.size(), 1);
  EXPECT_EQ(layer.overlaps, 1);
}
