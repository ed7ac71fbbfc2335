// Pen input: the tablet context and the reading of its packets.
#include <QLabel>

#include "app/Form1.h"

// No tablet layer yet: it behaves as a missing tablet library.
void Form1::openTablet() { LabelStat->setText("Tablet Driver is not available..."); }

void Form1::closeTablet() { m_tabletContext = 0; }

void Form1::CommandResetTablet_Click() {
  closeTablet();
  openTablet();
}

// With no open context nothing is read and the pen values stay 0 (mouse mode).
void Form1::readTabletPackets() {}

brush::PenValues Form1::penValues() const { return {}; }

void Form1::Form_MouseMove(int, int, float, float) { readTabletPackets(); }

void Form1::initialiseTablet() {}
