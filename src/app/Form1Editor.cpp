// The font editor bridge: connection, character navigation, glyph transfer.
#include <QLabel>

#include "app/Form1.h"

// No editor link yet: the first activation reports it unavailable.
void Form1::initialiseEditor() {
  m_editorUnavailable = true;
  LabelStat->setText("Kernovaが起動できないか、Kernovaとの連動がキャンセルされました。");
  setEditorControlsEnabled(false);
}

void Form1::askToSaveEditorFont() {}
void Form1::TextChar_KeyPress(int16_t) {}
void Form1::TextChar_Change() {}
void Form1::CommandNext_Click() {}
void Form1::CommandPrev_Click() {}
void Form1::CheckAuto_Click() {}
void Form1::CheckSync_Click() {}
void Form1::CommandKernova_Click() {}
void Form1::CheckSB_Click() {}
