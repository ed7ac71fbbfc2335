// The tool against the real editor on a private bus: the editor is started beside
// the tool, a glyph drawn with mouse events is sent, the font is saved, and the
// saved font must render through FreeType like the canvas (the validators run over
// the editor's fonts in the kernova tests).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "app/Form1.h"
#include "editor/SystemCodePage.h"
#include "platform/DBusEditor.h"
#include "platform/SettingsStore.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"
#include "tests/kernova/app/EditorProcess.h"
#include "widgets/PictureBox.h"

namespace {

using kernova::testing::editorNameOwned;
using kernova::testing::kEditorName;

QString editorProgram() { return QString::fromLocal8Bit(qgetenv("DZ_BIN_DIR")) + "/kernova"; }

struct KernovaSendFixture : ::testing::Test {
  QTemporaryDir dir;
  FakePrompts prompts;
  FixedRandom random;
  std::unique_ptr<platform::DBusEditorLauncher> launcher;
  platform::IniSettingsStore settings{dir.filePath("tovane.ini")};
  FakeServices fakes;
  std::unique_ptr<Form1> form;

  void SetUp() override {
    ASSERT_TRUE(QFileInfo(editorProgram()).isExecutable()) << editorProgram().toStdString();
    editor::setSystemCodePage(codepage::CodePage::Cp1252);
    launcher = std::make_unique<platform::DBusEditorLauncher>(QDBusConnection::sessionBus(), editorProgram());
    Form1Services services{.prompts = &prompts, .random = &random, .settings = &settings,
                           .editor = launcher.get(), .workingDirectory = dir.path().toStdString()};
    fakes.fillIn(services);
    form = std::make_unique<Form1>(services);
    peek(*form).setCurrentCharCode(0x41);
  }
  void TearDown() override {
    form.reset();
    if (editorNameOwned()) QDBusInterface(kEditorName, "/Application", kEditorName).call("Quit");
    kernova::testing::waitUntil([] { return !editorNameOwned(); }, 5000);
    editor::setSystemCodePage(std::nullopt);
  }

  void mouse(QEvent::Type type, QPointF p) {
    const QPointF local = p + QPointF(1, 1);  // the canvas border
    const bool move = type == QEvent::MouseMove, press = type == QEvent::MouseButtonPress;
    QMouseEvent event(type, local, form->PictureDOT->mapToGlobal(local), move ? Qt::NoButton : Qt::LeftButton,
                      move || press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->PictureDOT, &event);
  }
  void stroke(QPointF from, QPointF to) {
    mouse(QEvent::MouseButtonPress, from);
    for (int i = 1; i <= 20; ++i) mouse(QEvent::MouseMove, from + (to - from) * (i / 20.0));
    mouse(QEvent::MouseButtonRelease, to);
  }
};

// Ink of the canvas against a FreeType rendering of the saved glyph at 1 pixel per
// canvas pixel (2048 units per em, 4 units per pixel, baseline at canvas row 442).
double renderedOverlap(const QString& fontPath, const QImage& canvas, uint32_t character) {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&library) != 0) return -1;
  int both = 0, either = 0;
  if (FT_New_Face(library, fontPath.toLocal8Bit().constData(), 0, &face) == 0 &&
      FT_Set_Pixel_Sizes(face, 512, 512) == 0 &&
      FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) == 0) {
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        const int row = face->glyph->bitmap_top - (442 - y), column = x - face->glyph->bitmap_left;
        const bool inked = qBlue(canvas.pixel(x, y)) == 0;
        const bool rendered = row >= 0 && row < int(bitmap.rows) && column >= 0 && column < int(bitmap.width) &&
                              bitmap.buffer[row * bitmap.pitch + column] >= 128;
        both += inked && rendered;
        either += inked || rendered;
      }
    }
  }
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  return either == 0 ? -1 : double(both) / either;
}

TEST_F(KernovaSendFixture, ADrawnGlyphSentAndSavedRendersLikeTheCanvas) {
  prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // new font, Latin
  form->Form_Activate();
  ASSERT_FALSE(peek(*form).editorUnavailable()) << form->LabelStat->text().toStdString();
  ASSERT_TRUE(peek(*form).editorLinked());
  EXPECT_EQ(peek(*form).fonttype(), 1);
  form->SliderMax->setValue(30);
  form->SliderMin->setValue(30);
  stroke({120, 420}, {250, 80});
  stroke({250, 80}, {380, 420});
  stroke({170, 300}, {330, 300});
  ASSERT_GT(peek(*form).strokeLog().logEnd(), 0);
  form->CommandKernova_Click();
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("data/srfm_dots0041.bmp")));

  const QString document = QDBusInterface(kEditorName, "/Application", kEditorName)
                               .property("ActiveDocument").value<QDBusObjectPath>().path();
  ASSERT_NE(document, "/");
  const QString fontPath = dir.filePath("brush.ttf");
  const QDBusMessage saved = QDBusInterface(kEditorName, document, "Kernova.Document").call("SaveAs", fontPath);
  ASSERT_EQ(saved.type(), QDBusMessage::ReplyMessage) << saved.errorMessage().toStdString();

  const double overlap = renderedOverlap(fontPath, form->canvas().image(), 'A');
  EXPECT_GT(overlap, 0.9) << "share of ink the canvas and the rendering have in common";
}

// The editor quit behind the tool's back: the next send starts a new one (which has no
// document, so the question comes again) instead of hanging on the dead connection.
TEST_F(KernovaSendFixture, AnEditorThatDiedIsStartedAgainAndACancelEndsTheSendQuickly) {
  prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::No};  // new font, Japanese
  form->Form_Activate();
  ASSERT_FALSE(peek(*form).editorUnavailable());
  QDBusInterface(kEditorName, "/Application", kEditorName).call("Quit");
  ASSERT_TRUE(kernova::testing::waitUntil([] { return !editorNameOwned(); }, 5000));

  prompts.answers = {Prompts::Answer::Cancel};
  const size_t asked = prompts.asked.size();
  QElapsedTimer timer;
  timer.start();
  form->CommandKernova_Click();
  EXPECT_LT(timer.elapsed(), 10000);
  ASSERT_EQ(prompts.asked.size(), asked + 1) << "the new editor has no document";
  EXPECT_TRUE(prompts.asked.back().text.startsWith(QStringLiteral("フォントファイルが開かれていません")));
  EXPECT_TRUE(editorNameOwned());
  EXPECT_FALSE(peek(*form).editorConnected());
}

}  // namespace
