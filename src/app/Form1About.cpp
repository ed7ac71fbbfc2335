// The About box and the maker's page.
#include "app/Form1.h"

// The About box is not built yet.
void Form1::mnuHelpAbout_Click() {}
void Form1::mnuTovaneAtelier_Click() {}
