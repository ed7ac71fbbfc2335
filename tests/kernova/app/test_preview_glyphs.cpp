// What the preview line sets for a text: a character the saved font would lack shows
// as the font's .notdef box, the same in a Latin and a Japanese font.
#include <gtest/gtest.h>

#include "kernova/app/PreviewLine.h"
#include "kernova/engine/TrueTypeLayout.h"

namespace kernova {

TEST(PreviewGlyphs, MissingCharactersShowAsTheNotdefBoxInLatinAndJapaneseFonts) {
  const Glyph drawn{{{{0, 0}, {0, 900}, {700, 900}, {700, 0}}}, kDefaultAdvance, false};
  for (FontType type : {FontType::Latin, FontType::Japanese}) {
    FontDocument document(type, "preview");
    document.setGlyph('A', drawn);
    // 'A' drawn, 'B' without a glyph, the space, U+3042 (no code in a Latin font, no glyph in a Japanese one).
    const std::vector<PreviewGlyph> shown = previewGlyphs(QStringLiteral("AB \u3042"), document);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].glyph, drawn);
    EXPECT_EQ(shown[2].glyph.advance, sfnt::kSpaceAdvance);
    EXPECT_TRUE(shown[2].glyph.empty());
    for (size_t i : {1u, 3u}) {
      EXPECT_TRUE(shown[i].missing) << int(type) << " " << i;
      EXPECT_EQ(shown[i].glyph, sfnt::missingGlyph()) << int(type) << " " << i;
    }
    EXPECT_FALSE(shown[0].missing || shown[2].missing);
  }
}

}  // namespace kernova
