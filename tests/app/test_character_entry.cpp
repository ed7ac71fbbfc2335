// Moving between characters and the state the window starts in: the menu's shortcuts
// over the text fields, keys the character field does not take as text, the stored
// check boxes and character, the one code page, the canvas's pen width, the messages.
#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSlider>
#include <QTest>
#include <functional>

#include "editor/SystemCodePage.h"
#include "tests/app/AppHarness.h"
#include "widgets/PictureBox.h"

namespace {

using codepage::CodePage;
using Stored = std::map<QString, QString>;

struct CharacterEntryTest : AppTest {
  FakeSettingsStore store;
  fake::Launcher launcher;

  void TearDown() override {
    AppTest::TearDown();
    editor::setSystemCodePage(std::nullopt);
  }
  // Form_Load with `stored` on a system of code page `page`; the editor holds a Latin
  // or a Japanese font and connects at the first activation.
  void load(CodePage page, Stored stored, bool japanese = false) {
    form.reset();
    editor::setSystemCodePage(page);
    store.values = std::move(stored);
    launcher.running = fake::runningEditor(japanese ? fake::japaneseCodes() : fake::latinCodes(), 0x41);
    services.settings = &store;
    services.editor = &launcher;
    build();
  }
  int32_t records() { return peek(*form).strokeLog().logEnd(); }
  void drawStroke() {
    form->PictureDOT_MouseDown(1, 0, 100, 100);
    form->PictureDOT_MouseUp(1, 0, 100, 100);
  }
};

// Regression: a text field with the focus took Ctrl+Z, Ctrl+Y and Ctrl+C for its own
// editing, so the strokes were not undone, redone or cleared.
TEST_F(CharacterEntryTest, MenuShortcutsActWhicheverControlHasTheFocus) {
  load(CodePage::Cp1252, {{"Char", "65"}, {"SetSB", "1"}});
  form->Form_Activate();
  form->show();
  QApplication::setActiveWindow(form.get());
  QTest::mouseClick(form->PictureDOT, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(form->PictureDOT->hasFocus()) << "a click on the canvas takes the focus";
  const size_t sent = launcher.running->document()->imports.size();
  const struct {
    QLineEdit* field;
    Qt::Key key;
    std::function<bool()> done;
  } steps[] = {{form->TextChar, Qt::Key_Z, [&] { return records() == 0; }},
               {form->TextLSB, Qt::Key_Y, [&] { return records() > 0; }},
               {form->TextRSB, Qt::Key_T, [&] { return launcher.running->document()->imports.size() > sent; }},
               {form->TextFace, Qt::Key_C, [&] { return records() == 0; }},
               {form->TextChar, Qt::Key_N, [&] { return peek(*form).currentCharCode() == 0x42; }},
               {form->TextChar, Qt::Key_P, [&] { return peek(*form).currentCharCode() == 0x41; }}};
  for (const auto& step : steps) {
    step.field->setFocus();
    QTest::keyClick(step.field, step.key, Qt::ControlModifier);
    EXPECT_TRUE(step.done()) << "Ctrl+" << char(step.key);
  }
}

// Regression: Enter and Tab made the control codes 0x0D and 0x09 the character and
// left empty stroke files for them.
TEST_F(CharacterEntryTest, EnterAndTabNeverChangeTheCharacter) {
  load(CodePage::Cp1252, {{"Char", "65"}});
  form->Form_Activate();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab})
    QTest::keyClick(form->TextChar, key);
  EXPECT_EQ(peek(*form).currentCharCode(), 0x41);
  form->Form_Unload();
  for (const char* code : {"000D", "0009"})
    EXPECT_FALSE(QFileInfo::exists(workingDirectory() + "/data/srfm_data" + code + ".log")) << code;
}

// Regression: stored values equal to a box's initial state ran no handler, so the
// guide was off with its controls still enabled, and the bearings were editable.
TEST_F(CharacterEntryTest, StoredCheckBoxesAreAppliedToTheirControlsWhateverTheyHold) {
  for (const bool on : {false, true}) {
    load(CodePage::Cp1252, {{"RefChar", on ? "1" : "0"}, {"SetSB", on ? "1" : "0"}});
    for (QWidget* w : std::initializer_list<QWidget*>{form->LabelChar, form->TextFace,
                                                      form->LabelCurFace, form->TextLSB, form->TextRSB})
      EXPECT_EQ(w->isEnabled(), on) << w->metaObject()->className();
    EXPECT_EQ(form->LabelChar->backColour(), on ? colours::SystemWindow : colours::SystemButtonFace);
  }
}

// Regression: the start-up character used a code page of its own and a negative
// (sign-extended double-byte) code fell back to 33; typing outside a Japanese locale
// gave "?" although the editor's font was Japanese.
TEST_F(CharacterEntryTest, EveryCharacterFollowsTheLocaleOrTheEditorsJapaneseFont) {
  const struct {
    CodePage page;
    const char* stored;
    bool japanese;
    const char* typed;  // after the first activation, or nothing
    int32_t code;
    const char* shown;
  } rows[] = {{CodePage::Cp932, "177", false, nullptr, 0xB1, "ｱ"},
              {CodePage::Cp932, "-32096", false, nullptr, -32096, "あ"},
              {CodePage::Cp1252, "33440", true, "", 0x82A0, "あ"},
              {CodePage::Cp1252, "33", true, "い", 0x82A2, "い"}};
  for (const auto& row : rows) {
    load(row.page, {{"Char", row.stored}}, row.japanese);
    if (row.typed) form->Form_Activate();
    if (row.typed && *row.typed) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(row.typed));
      QApplication::sendEvent(form->TextChar, &press);
    }
    EXPECT_EQ(peek(*form).currentCharCode(), row.code) << row.stored;
    EXPECT_EQ(form->LabelChar->text(), QString::fromUtf8(row.shown)) << row.stored;
    EXPECT_EQ(form->TextChar->text(), QString::fromUtf8(row.shown)) << row.stored;
    EXPECT_EQ(form->LabelCode->text(), QString::number(uint16_t(row.code), 16).toUpper());
  }
}

// Regression: the recomposition gave the canvas the width its replay ended on, so the
// pen's next reading fell from a stale width.
TEST_F(CharacterEntryTest, RedrawingLeavesTheCanvasPenWidthAlone) {
  load(CodePage::Cp1252, {});
  form->SliderMax->setValue(60);
  form->SliderMin->setValue(40);
  drawStroke();
  form->canvas().setDrawWidth(3);
  form->redrawCanvas();
  EXPECT_EQ(form->canvas().drawWidth(), 3);
}

}  // namespace
