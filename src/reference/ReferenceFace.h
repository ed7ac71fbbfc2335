#pragma once
// Installed font faces for the reference character: the Windows face names users type,
// the face actually realised, its character set, and the input-method modes of the
// character entry field that follow it.
#include <QString>
#include <cstdint>

class QFont;
class QWidget;

namespace reference {

// Character sets as the face handling counts them.
inline constexpr int kWesternCharSet = 0;
inline constexpr int kShiftJisCharSet = 128;

// Input-method modes of a text field: 2 allowed (initially off), 3 disabled.
inline constexpr int kImeAllowed = 2;
inline constexpr int kImeDisabled = 3;

// Maps the Windows Japanese face names (full-width and ASCII spellings) to the IPA
// faces. Safe to call more than once; only the first call changes anything.
void installFaceSubstitutions();

// The family the font database actually selects for `font` (a substitute when the
// requested family is not installed).
QString realisedFace(const QFont& font);

// 128 when `family` supports the Japanese writing system, else 0.
int faceCharacterSet(const QString& family);

// The input-method mode last set on `field` (0, no control, when never set).
int inputMethodMode(const QWidget* field);
// Sets the mode; mode 3 turns the field's input method off, any other mode on.
void setInputMethodMode(QWidget* field, int mode);

// The code as `LabelCode` shows it: upper-case hexadecimal, its last four digits.
QString codeCaption(int32_t code);

}  // namespace reference
