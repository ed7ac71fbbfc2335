#pragma once
// The system's ANSI code page: CP932 when the locale's language is Japanese, else
// CP1252. Tests set it explicitly. Codes and characters of the character entry are
// converted here.
#include <QString>
#include <cstdint>
#include <optional>

#include "common/codepage/CodePage.h"

namespace editor {

codepage::CodePage systemCodePage();
// Overrides the locale's choice for the whole process; nothing restores it.
void setSystemCodePage(std::optional<codepage::CodePage> page);

// The character of an unsigned 16-bit code; empty when the code page has none.
QString characterOfCode(int32_t code);
// The code of the text's first character, as a signed 16-bit value; '?' (63) when
// the code page cannot represent it, 0 for an empty text.
int16_t codeOfText(const QString& text);

}  // namespace editor
