// The About box and the maker's page.
#include "about/AboutActions.h"
#include "about/frmAbout.h"
#include "app/Form1.h"

// Modal, owned by the main window, which stays blocked until the dialog closes.
void Form1::mnuHelpAbout_Click() {
  frmAbout dialog(this, {*m_services.urls, *m_services.registry, *m_prompts});
  dialog.exec();
}

void Form1::mnuTovaneAtelier_Click() { about::openMakerPage(*m_services.urls); }
