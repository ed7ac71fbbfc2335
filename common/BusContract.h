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
