// The tool against the real editor on a private bus: the editor is started beside the
// tool, a drawn glyph is sent, the font is saved and must render through FreeType like
// the canvas (the validators run over the editor's fonts in the kernova tests). The
// editor refuses arguments of other types, so each call checks the tool's marshalling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QLabel>
#include <QTemporaryDir>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "app/Form1.h"
#include "canvas/RetainedImage.h"
#include "editor/EditorLink.h"
#include "platform/DBusEditor.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"
#include "tests/kernova/app/EditorProcess.h"
#include "tests/support/FileBytes.h"

namespace {

using kernova::testing::editorNameOwned;
using kernova::testing::kEditorName;

// Share of ink the canvas and a FreeType rendering of the saved glyph have in common,
// at 1 pixel per canvas pixel (2048 units per em, 4 units per pixel, baseline at row 442).
double renderedOverlap(const QString& fontPath, const QImage& canvas, uint32_t character) {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int both = 0, either = 0;
  if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, fontPath.toLocal8Bit().constData(), 0, &face) == 0 &&
      FT_Set_Pixel_Sizes(face, 512, 512) == 0 && FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) == 0) {
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x) {
        const int row = face->glyph->bitmap_top - (442 - y), column = x - face->glyph->bitmap_left;
        const bool inked = qBlue(canvas.pixel(x, y)) == 0;
        const bool rendered = row >= 0 && row < int(bitmap.rows) && column >= 0 && column < int(bitmap.width) &&
                              bitmap.buffer[row * bitmap.pitch + column] >= 128;
        both += inked && rendered;
        either += inked || rendered;
      }
  }
  FT_Done_FreeType(library);  // frees the face too
  return either == 0 ? -1 : double(both) / either;
}

TEST(KernovaSend, ADrawnGlyphSentAndSavedRendersLikeTheCanvas) {
  QTemporaryDir dir;
  FakeServices fakes;
  platform::DBusEditorLauncher launcher(QDBusConnection::sessionBus(), QString(qgetenv("DZ_BIN_DIR")) + "/kernova");
  Form1Services services{.editor = &launcher, .workingDirectory = dir.path().toStdString()};
  fakes.fillIn(services);
  auto form = std::make_unique<Form1>(services);
  peek(*form).setCurrentCharCode('B');  // a new font starts on 'A'
  fakes.prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // new font, Latin
  form->Form_Activate();
  ASSERT_TRUE(peek(*form).editorLinked()) << form->LabelStat->text().toStdString();
  RetainedImage& canvas = form->canvas();  // the strokes' way onto it is the window tests'
  canvas.setDrawWidth(30);
  for (auto [from, to] : {std::pair{QPointF(120, 420), QPointF(250, 80)}, {{250, 80}, {380, 420}}, {{170, 300}, {330, 300}}}) {
    canvas.dot(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
  }
  form->CommandKernova_Click();
  // B's bitmap again, as a batch of one for 'A'.
  const std::string bmp = readBytes(dir.filePath("data/srfm_dots0042.bmp").toStdString());
  const std::vector<editor::GlyphImage> batch{{'A', {bmp.begin(), bmp.end()}}};
  int32_t replaced = 0;
  ASSERT_TRUE(peek(*form).editorLink().editorImportBitmaps(batch, false, 0, 0, replaced).ok());
  EXPECT_EQ(replaced, 1);

  const QString document = QDBusInterface(kEditorName, "/Application", kEditorName)
                               .property("ActiveDocument").value<QDBusObjectPath>().path();
  const QString fontPath = dir.filePath("brush.ttf");
  const QDBusMessage saved = kernova::testing::busCall(document, "SaveAs", {fontPath});
  ASSERT_EQ(saved.type(), QDBusMessage::ReplyMessage) << saved.errorMessage().toStdString();
  EXPECT_GT(renderedOverlap(fontPath, canvas.image(), 'A'), 0.9);
  EXPECT_GT(renderedOverlap(fontPath, canvas.image(), 'B'), 0.9);
  // The members the send does not use.
  const auto active = launcher.attach()->ActiveDocument().value_or(nullptr);
  ASSERT_TRUE(active);
  EXPECT_EQ(active->saved(), true);
  EXPECT_EQ(active->getcode(0, false), int16_t('B'));
  EXPECT_TRUE(active->SetLeftRightSidebearing(10, -5, false));
  form.reset();  // before the editor goes, as at the tool's shut-down
  QDBusInterface(kEditorName, "/Application", kEditorName).call("Quit");
  kernova::testing::waitUntil([] { return !editorNameOwned(); }, 5000);
}

}  // namespace
