#pragma once
// The editor's bus contract, shared by the editor that serves it and the tool that
// calls it: the bus name, object paths, interfaces, error names and font types.
#include <cstdint>

namespace bus {

inline constexpr char kServiceName[] = "Kernova.Application";
inline constexpr char kApplicationPath[] = "/Application";
inline constexpr char kDocumentsPrefix[] = "/Documents/";  // followed by the number, from 1
inline constexpr char kNoObject[] = "/";                     // "no document"
inline constexpr char kApplicationInterface[] = "Kernova.Application";
inline constexpr char kDocumentInterface[] = "Kernova.Document";

// Beyond the automation interface: the document's coverage by character set, a
// read-only property of type a(sii) (set name, drawn, total), and the signal (i code)
// a document sends when the user picks a code in the editor's window (never for a move
// made over the bus).
inline constexpr char kCoverageProperty[] = "Coverage";
inline constexpr char kCurrentCodeChangedSignal[] = "CurrentCodeChanged";
// The batch form of setcode + selectall + Delete + ImportBmpfile + unselectall (+
// SetLeftRightSidebearing when the flag is set) for many glyphs in one call:
// (a(iay) glyphs, b setBearings, n left, n right) -> i replaced. Each glyph is a code
// and the bytes of a BMP file; codes outside the document's code set are skipped;
// the current code stays. It stops at the first glyph that fails (ImportFailed, the
// glyphs before it stay replaced).
inline constexpr char kImportBitmapsMethod[] = "ImportBitmaps";

// Error replies.
inline constexpr char kErrorNoDocument[] = "Kernova.Error.NoDocument";
inline constexpr char kErrorInvalidArgument[] = "Kernova.Error.InvalidArgument";
inline constexpr char kErrorOpenFailed[] = "Kernova.Error.OpenFailed";
inline constexpr char kErrorImportFailed[] = "Kernova.Error.ImportFailed";
inline constexpr char kErrorSaveFailed[] = "Kernova.Error.SaveFailed";
inline constexpr char kErrorInstallFailed[] = "Kernova.Error.InstallFailed";

}  // namespace bus

// A font's kind, with the values NewFile takes.
enum class FontType : int16_t { Japanese = 0, Latin = 1 };
