// The settings store and the brush presets.
#include <QCheckBox>
#include <QPushButton>
#include <QSlider>

#include "app/Form1.h"

// No settings store yet: every run starts from the defaults.
void Form1::loadSettings() {
  static const int presetDefaults[3][3] = {{1, 20, 1}, {30, 50, 0}, {100, 100, 0}};
  for (int i = 0; i < 3; ++i) {
    m_BMin = presetDefaults[i][0];
    m_BMax = presetDefaults[i][1];
    setCheckValue(CheckSumiro, presetDefaults[i][2]);
    CommandPreset_Click(i);
  }
  SliderMin->setValue(1);
  SliderMin_Scroll();
  SliderMax->setValue(20);
  SliderMax_Scroll();
  setCheckValue(CheckSumiro, 1);
  setCheckValue(CheckRefChar, 1);
}

void Form1::saveSettings() {}

void Form1::CommandPreset_Click(int index) {
  m_presetMin[index] = m_BMin;
  m_presetMax[index] = m_BMax;
  m_presetMode[index] = checkValue(CheckSumiro);
  QString caption = QString::number(m_BMin) + "," + QString::number(m_BMax);
  if (checkValue(CheckSumiro) == 1) caption += ",M";
  CommandUsePreset[index]->setText(caption);
}

void Form1::CommandUsePreset_Click(int index) {
  SliderMin->setValue(m_presetMin[index]);
  SliderMin_Scroll();
  SliderMax->setValue(m_presetMax[index]);
  SliderMax_Scroll();
  setCheckValue(CheckSumiro, m_presetMode[index]);
}
