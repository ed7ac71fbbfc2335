// Pen input: the tablet context and the reading of its packets.
#include <QLabel>
#include <ctime>

#include "app/Form1.h"
#include "platform/TabletLayer.h"
#include "prompts/Prompts.h"
#include "widgets/PictureBox.h"

namespace {
constexpr int kTabletQueueSize = 32;
}

// The platform is asked afresh at every open, never the list of input devices: a
// stylus may be listed only once it has come near the tablet.
void Form1::openTablet() {
  if (!m_tablet->defaultContext(m_tabletContextSpec)) {
    LabelStat->setText("Tablet Driver is not available...");
    return;
  }
  input::configureContextSpec(m_tabletContextSpec);
  m_tabletContext = m_tablet->open(*PictureDOT, m_tabletContextSpec);
  if (m_tabletContext == 0) {
    m_prompts->ask(kCaption, "Failed to initialize Tablet Driver", Prompts::Buttons::Ok);
    return;
  }
  m_tablet->setQueueSize(m_tabletContext, kTabletQueueSize);
  LabelStat->setText("");
}

void Form1::closeTablet() {
  if (m_tabletContext == 0) return;
  if (m_tablet) m_tablet->close(m_tabletContext);
  m_tabletContext = 0;
}

void Form1::CommandResetTablet_Click() {
  closeTablet();
  openTablet();
}

// With no open context nothing is read and the pen values stay as they were (0 from
// the start: mouse mode).
bool Form1::readTabletPackets() {
  if (!m_tablet || !m_packets.read(*m_tablet, m_tabletContext)) return false;
  Label1->setText(QString::fromStdString(m_packets.readout()));
  return true;
}

// Every pointer event reads the tablet here, before the brush sees it; the engine
// applies the reading's width at the step where the reading belongs.
brush::PenSample Form1::penSample(int button, int shift, float x, float y) {
  const bool read = readTabletPackets();
  return {x,
          y,
          button,
          shift,
          m_packets.penCursor(),
          m_packets.penPressure(),
          m_packets.penAltitude(),
          read,
          penTime()};
}

// Milliseconds on the coarse monotonic clock: it is read at every pointer event, where
// the fine clock would cost more than the rest of a tablet reading's bookkeeping, and
// nothing needs time finer than the 25 ms width clock.
int64_t Form1::penTime() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Moves over the window's background keep the queue drained and the width following
// the pen while it is off the canvas.
void Form1::Form_MouseMove(int button, int shift, float x, float y) {
  m_brush->follow(penSample(button, shift, x, y));
}
