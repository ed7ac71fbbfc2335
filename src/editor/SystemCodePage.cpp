#include "editor/SystemCodePage.h"

#include <QLocale>

namespace editor {
namespace {

std::optional<codepage::CodePage>& overridePage() {
  static std::optional<codepage::CodePage> page;
  return page;
}

}  // namespace

codepage::CodePage systemCodePage() {
  if (overridePage()) return *overridePage();
  return QLocale::system().language() == QLocale::Japanese ? codepage::CodePage::Cp932
                                                           : codepage::CodePage::Cp1252;
}

void setSystemCodePage(std::optional<codepage::CodePage> page) { overridePage() = page; }

codepage::CodePage characterCodePage(std::optional<FontType> editorFont) {
  return editorFont == FontType::Japanese ? codepage::CodePage::Cp932 : systemCodePage();
}

QString characterOfCode(int32_t code, std::optional<FontType> editorFont) {
  const std::optional<char32_t> ch =
      codepage::toUnicode(characterCodePage(editorFont), uint16_t(code));
  if (!ch) return {};
  return QString::fromUcs4(&*ch, 1);
}

int16_t codeOfText(const QString& text, std::optional<FontType> editorFont) {
  const QList<uint> characters = text.toUcs4();
  if (characters.isEmpty()) return 0;
  const std::optional<uint16_t> code =
      codepage::fromUnicode(characterCodePage(editorFont), characters.front());
  return static_cast<int16_t>(code.value_or('?'));
}

}  // namespace editor
