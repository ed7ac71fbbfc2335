// The reference character: its face, the guide switch, the label's crop and colour.
#include "app/Form1.h"
#include "platform/RetainedImage.h"

// Faces are not applied yet: the label keeps its own font.
void Form1::TextFace_Change() {}

void Form1::CheckRefChar_Click() { redrawCanvas(); }

void Form1::LabelChar_MouseDown(int, int, float, float) {}
void Form1::LabelChar_MouseMove(int, int, float, float) {}
void Form1::LabelChar_MouseUp(int, int, float, float) { redrawCanvas(); }
void Form1::LabelChar_DblClick() {}

// No reference capture yet: the guide shows only the background.
void Form1::captureReference(RetainedImage&) {}

void Form1::initialiseReference() {}
