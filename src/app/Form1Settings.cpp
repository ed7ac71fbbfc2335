// The settings store and the brush presets. Settings are read once at start-up and
// written once at shut-down, both in the same fixed order of keys. A stored value that
// cannot be converted, or is out of its key's range, gives the key's default.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <cmath>
#include <optional>

#include "app/Form1.h"
#include "common/Rounding.h"
#include "platform/SettingsStore.h"
#include "reference/ReferenceFace.h"
#include "reference/ReferenceLabel.h"

namespace {

constexpr int kPresetDefaults[3][3] = {{1, 20, 1}, {30, 50, 0}, {100, 100, 0}};
constexpr int kWidthLow = 1, kWidthHigh = 250;  // the sliders' range
constexpr double kLabelSizeLow = 5, kLabelSizeHigh = 37;  // as the label's drag allows
const QString kDefaultFace = QStringLiteral("ＭＳ Ｐゴシック");

std::optional<int64_t> parseInteger(const QString& text) {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok, 10);
  return ok ? std::optional<int64_t>(value) : std::nullopt;
}

// A decimal number; '.' is the separator written, a ',' from another locale is read too.
std::optional<double> parseDecimal(QString text) {
  text = text.trimmed();
  if (!text.contains('.')) text.replace(',', '.');
  bool ok = false;
  const double value = text.toDouble(&ok);
  return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// "&H" + hexadecimal, read as 32-bit two's complement: a fixed colour 0x00BBGGRR or a
// system colour 0x800000nn (nn up to the last system colour, 24).
std::optional<Colour> parseColour(const QString& text) {
  const QString t = text.trimmed();
  if (!t.startsWith("&H", Qt::CaseInsensitive) || t.size() < 3 || t.size() > 10)
    return std::nullopt;
  bool ok = false;
  const Colour value = t.mid(2).toUInt(&ok, 16);
  if (!ok) return std::nullopt;
  const bool system = (value & 0x80000000u) && (value & 0x7FFFFF00u) == 0 && (value & 0xFF) <= 24;
  return system || value <= 0xFFFFFFu ? std::optional<Colour>(value) : std::nullopt;
}

class SettingReader {
 public:
  explicit SettingReader(const platform::SettingsStore& store) : m_store(store) {}

  QString text(const char* key, const QString& fallback) const {
    return m_store.value(key).value_or(fallback);
  }
  int32_t integer(const char* key, int32_t fallback, int64_t low, int64_t high) const {
    const auto stored = m_store.value(key);
    const auto value = stored ? parseInteger(*stored) : std::nullopt;
    return value && *value >= low && *value <= high ? int32_t(*value) : fallback;
  }
  // A check box value: 0 unticked, 1 ticked, 2 grey.
  int check(const char* key, int fallback) const { return integer(key, fallback, 0, 2); }
  int32_t width(const QString& key, int32_t fallback) const {
    return integer(key.toLatin1().constData(), fallback, kWidthLow, kWidthHigh);
  }
  double labelSize(const char* key) const {
    const auto stored = m_store.value(key);
    const auto value = stored ? parseDecimal(*stored) : std::nullopt;
    return value && *value > kLabelSizeLow && *value <= kLabelSizeHigh ? *value : kLabelSizeHigh;
  }
  Colour colour(const char* key, Colour fallback) const {
    const auto stored = m_store.value(key);
    return (stored ? parseColour(*stored) : std::nullopt).value_or(fallback);
  }

 private:
  const platform::SettingsStore& m_store;
};

QString number(int64_t value) { return QString::number(value); }

}  // namespace

// Assigning a control runs its change handler, as a user's change would; the sliders'
// handlers are called explicitly after their values are set.
void Form1::loadSettings() {
  const platform::SettingsStore& store = settingsStore();
  if (!store.loadProblem().isEmpty()) reportPersistenceProblem(store.loadProblem());
  const SettingReader read(store);
  loadCharSetting(store);
  loadCheck(CheckAuto, read.check("Auto", 0), &Form1::CheckAuto_Click);
  loadCheck(CheckSync, read.check("Sync", 0), &Form1::CheckSync_Click);
  loadCheck(CheckRefChar, read.check("RefChar", 1), &Form1::CheckRefChar_Click);
  TextFace->setText(read.text("RefFace", kDefaultFace));
  m_lastRefFace.clear();
  loadCheck(CheckSB, read.check("SetSB", 0), &Form1::CheckSB_Click);
  TextLSB->setText(read.text("LSB", "20"));
  TextRSB->setText(read.text("RSB", "20"));
  loadPresetSettings(store);
  SliderMin->setValue(read.width("BMin", 1));
  SliderMin_Scroll();
  SliderMax->setValue(read.width("BMax", 20));
  SliderMax_Scroll();
  setCheckValue(CheckSumiro, read.check("Sumiro", 1));
  setCheckValue(CheckMouseMode, read.check("MouseMode", 0));
  loadReferenceLabelSettings(store);
}

// The controls must show the stored state whatever it is, and a value equal to the
// box's initial state raises no change: its handler is then run here.
void Form1::loadCheck(QCheckBox* box, int value, void (Form1::*handler)()) {
  const bool changes = checkValue(box) != value;
  setCheckValue(box, value);
  if (!changes) (this->*handler)();
}

// The character entry is set with its signals blocked: loading is not navigation. A
// double-byte code may be stored sign-extended; it is kept as stored.
void Form1::loadCharSetting(const platform::SettingsStore& store) {
  m_currentCharCode = SettingReader(store).integer("Char", 33, -0x8000, 0xFFFF);
  const QString character = characterOf(m_currentCharCode);
  {
    const QSignalBlocker blocker(TextChar);
    TextChar->setText(character);
  }
  LabelChar->setText(character);
  LabelCode->setText(reference::codeCaption(m_currentCharCode));
}

// BMin, BMax and CheckSumiro carry each preset's values into CommandPreset_Click; the
// slider and check box keys loaded afterwards give them their real values.
void Form1::loadPresetSettings(const platform::SettingsStore& store) {
  const SettingReader read(store);
  for (int i = 0; i < 3; ++i) {
    const QString digit = QString::number(i);
    m_BMin = read.width("PresetMin" + digit, kPresetDefaults[i][0]);
    m_BMax = read.width("PresetMax" + digit, kPresetDefaults[i][1]);
    setCheckValue(CheckSumiro, read.check(("PresetMod" + digit).toLatin1().constData(),
                                          kPresetDefaults[i][2]));
    CommandPreset_Click(i);
  }
}

void Form1::loadReferenceLabelSettings(const platform::SettingsStore& store) {
  const SettingReader read(store);
  LabelChar->setForeColour(read.colour("RefCharColor", colours::SystemActiveBorder));
  LabelChar->resize(roundEven(read.labelSize("RefCharWidth")),
                    roundEven(read.labelSize("RefCharHeight")));
}

// Every key in one write: the store takes all of them or keeps its old contents.
void Form1::saveSettings() {
  platform::SettingsStore::Entries entries = {
      {"Char", number(m_currentCharCode)},
      {"Auto", number(checkValue(CheckAuto))},
      {"Sync", number(checkValue(CheckSync))},
      {"RefChar", number(checkValue(CheckRefChar))},
      {"RefFace", TextFace->text()},
      {"SetSB", number(checkValue(CheckSB))},
      {"LSB", TextLSB->text()},
      {"RSB", TextRSB->text()}};
  for (int i = 0; i < 3; ++i) {
    const QString digit = QString::number(i);
    entries.emplace_back("PresetMin" + digit, number(m_presetMin[i]));
    entries.emplace_back("PresetMax" + digit, number(m_presetMax[i]));
    entries.emplace_back("PresetMod" + digit, number(m_presetMode[i]));
  }
  entries.emplace_back("BMin", number(SliderMin->value()));
  entries.emplace_back("BMax", number(SliderMax->value()));
  entries.emplace_back("Sumiro", number(checkValue(CheckSumiro)));
  entries.emplace_back("MouseMode", number(checkValue(CheckMouseMode)));
  entries.emplace_back("RefCharColor", "&H" + QString::number(LabelChar->foreColour(), 16).toUpper());
  entries.emplace_back("RefCharWidth", number(LabelChar->width()));
  entries.emplace_back("RefCharHeight", number(LabelChar->height()));
  const Status saved = settingsStore().setValues(entries);
  if (!saved)
    reportSaveFailure("設定を保存できません: " + QString::fromStdString(saved.message()), true);
}

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
