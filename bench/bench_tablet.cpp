// Pen input: one reading that drains a full 32-packet queue, on plain values and as
// the window runs it (readout label and pen width included). Target: median < 20 us.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <array>
#include <cstdlib>

#include "app/Form1.h"
#include "input/PacketTracker.h"
#include "tests/app/FakeServices.h"

namespace {

constexpr int kQueueSize = 32;

// Serves the same 32 packets on every reading; rewinding costs one store.
class RewindingLayer final : public TabletLayer {
 public:
  RewindingLayer() {
    for (int i = 0; i < kQueueSize; ++i) {
      m_packets[size_t(i)] = FakeTabletLayer::pen(32 * i, 900 - i);
      m_packets[size_t(i)].pkSerialNumber = i + 1;
    }
  }
  void rewind() { m_next = 0; }
  bool present() const override { return true; }
  bool defaultContext(TabletContextSpec&) override { return true; }
  int32_t open(PictureBox&, const TabletContextSpec&) override { return 2; }
  bool setQueueSize(int32_t, int) override { return true; }
  void close(int32_t) override {}
  int packetsGet(int32_t, TabletPacket& packet) override {
    if (m_next == kQueueSize) return 0;
    packet = m_packets[size_t(m_next++)];
    return 1;
  }
  void overlap(int32_t, bool) override {}

 private:
  std::array<TabletPacket, kQueueSize> m_packets;
  int m_next = 0;
};

void BM_DrainFullQueue(benchmark::State& state) {
  RewindingLayer layer;
  input::PacketTracker tracker;
  int32_t width = 1;
  for (auto _ : state) {
    layer.rewind();
    tracker.read(layer, 2);
    std::string readout = tracker.readout();
    width = input::nextDrawWidth(width, input::pressureWidth(1, 250, tracker.penPressure()));
    benchmark::DoNotOptimize(readout);
    benchmark::DoNotOptimize(width);
  }
}
BENCHMARK(BM_DrainFullQueue)->Unit(benchmark::kMicrosecond)->Repetitions(10);

void BM_Form1ReadTabletPackets(benchmark::State& state) {
  QTemporaryDir dir;
  FakePrompts prompts;
  FixedRandom random;
  FakeTabletLayer tablet;
  FakeServices fakes;
  Form1Services services;
  services.prompts = &prompts;
  services.random = &random;
  services.tablet = &tablet;
  services.workingDirectory = dir.path().toStdString();
  fakes.fillIn(services);
  Form1 form(services);
  std::array<TabletPacket, kQueueSize> packets;
  for (int i = 0; i < kQueueSize; ++i) packets[size_t(i)] = FakeTabletLayer::pen(32 * i);
  for (auto _ : state) {
    for (const TabletPacket& packet : packets) tablet.queue.push(packet);
    form.Form_MouseMove(0, 0, 0, 0);
  }
  form.Form_Unload();
}
BENCHMARK(BM_Form1ReadTabletPackets)->Unit(benchmark::kMicrosecond)->Repetitions(10);

}  // namespace

