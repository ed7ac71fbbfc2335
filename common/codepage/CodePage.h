#pragma once
// Conversion between single/double-byte code page codes and Unicode (over iconv).
// CP1252: codes 0..255. CP932: single bytes 0..255 and double-byte lead/trail pairs
// written as (lead << 8) | trail.
#include <cstdint>
#include <optional>

namespace codepage {

enum class CodePage { Cp1252 = 1252, Cp932 = 932 };

// The character a code stands for, or nothing when the code page has no character for it.
std::optional<char32_t> toUnicode(CodePage page, uint16_t code);

// The code of a character, or nothing when the code page cannot represent it.
std::optional<uint16_t> fromUnicode(CodePage page, char32_t ch);

}  // namespace codepage
