#include "reference/ReferenceFace.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QVariant>
#include <QWidget>


namespace reference {
namespace {
constexpr const char* kImeModeProperty = "dzInputMethodMode";
}

void installFaceSubstitutions() {
  static const bool installed = [] {
    const struct {
      const char* windowsName;
      const char* installed;
    } faces[] = {
        {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
        {"ＭＳ ゴシック", "IPAGothic"},    {"MS Gothic", "IPAGothic"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PMincho", "IPAPMincho"},
        {"ＭＳ 明朝", "IPAMincho"},        {"MS Mincho", "IPAMincho"},
    };
    for (const auto& face : faces)
      QFont::insertSubstitution(QString::fromUtf8(face.windowsName), face.installed);
    return true;
  }();
  (void)installed;
}

QString realisedFace(const QFont& font) { return QFontInfo(font).family(); }

int faceCharacterSet(const QString& family) {
  return QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)
             ? kShiftJisCharSet
             : kWesternCharSet;
}

int inputMethodMode(const QWidget* field) {
  return field->property(kImeModeProperty).toInt();
}

void setInputMethodMode(QWidget* field, int mode) {
  field->setProperty(kImeModeProperty, mode);
  field->setAttribute(Qt::WA_InputMethodEnabled, mode != kImeDisabled);
}

QString codeCaption(int32_t code) {
  return QString::number(uint32_t(code), 16).toUpper().right(4);
}

}  // namespace reference
