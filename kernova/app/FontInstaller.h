#pragma once
// Installing a document for the user: the font goes to the user's font folder
// ($XDG_DATA_HOME/fonts, by default ~/.local/share/fonts) as "<PostScript name>.ttf",
// written atomically, so installing the same family and style again replaces the
// earlier copy; fontconfig's cache of that folder is then refreshed, so other
// programs see the font at once.
#include <QString>

#include "kernova/engine/FontDocument.h"
#include "common/Status.h"

namespace kernova {

QString userFontFolder();

// Writes the font and runs `fc-cache` on the folder (at most kCacheTimeoutMs). On
// success `installedPath` is the file. A font that was written but whose cache could
// not be refreshed is a failure that says so.
Status installFont(const FontDocument& document, QString& installedPath);

inline constexpr int kCacheTimeoutMs = 30000;

}  // namespace kernova
