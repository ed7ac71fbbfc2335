#include "reference/ReferenceFace.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QVariant>
#include <QWidget>

#include "common/codepage/CodePage.h"

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

QString characterOfCode(int32_t code) {
  if (code < 0 || code > 0xFFFF) return {};
  const auto page = code > 255 ? codepage::CodePage::Cp932 : codepage::CodePage::Cp1252;
  const std::optional<char32_t> ch = codepage::toUnicode(page, uint16_t(code));
  if (!ch) return {};
  return QString::fromUcs4(&*ch, 1);
}

int32_t codeOfCharacter(const QString& text) {
  if (text.isEmpty()) return 0;
  const char32_t ch = text.toUcs4().front();
  for (auto page : {codepage::CodePage::Cp1252, codepage::CodePage::Cp932})
    if (const std::optional<uint16_t> code = codepage::fromUnicode(page, ch)) return *code;
  return 0;
}

QString codeCaption(int32_t code) {
  return QString::number(uint32_t(code), 16).toUpper().right(4);
}

}  // namespace reference
