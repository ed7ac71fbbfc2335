#pragma once
// The code pages of the character entry. The system's ANSI code page is CP932 when the
// locale's language is Japanese, else CP1252 (tests set it explicitly). Characters and
// codes are converted through characterCodePage, the one rule of the whole tool, so the
// entry field, the sample, the code display, Next / Prev and the start-up character
// always agree.
#include <QString>
#include <cstdint>
#include <optional>

#include "common/BusContract.h"
#include "common/codepage/CodePage.h"

namespace editor {

codepage::CodePage systemCodePage();
// Overrides the locale's choice for the whole process; nothing restores it.
void setSystemCodePage(std::optional<codepage::CodePage> page);

// CP932 when the system's code page is CP932 or the editor's font (nothing while it is
// unknown) is Japanese, else CP1252: a Japanese font's characters can be typed and
// shown outside a Japanese locale.
codepage::CodePage characterCodePage(std::optional<FontType> editorFont);

// The character of a code taken as unsigned 16 bits (a negative code is a double-byte
// code stored sign-extended); empty when the code page has none.
QString characterOfCode(int32_t code, std::optional<FontType> editorFont);
// The code of the text's first character, as a signed 16-bit value; '?' (63) when
// the code page cannot represent it, 0 for an empty text.
int16_t codeOfText(const QString& text, std::optional<FontType> editorFont);

}  // namespace editor
