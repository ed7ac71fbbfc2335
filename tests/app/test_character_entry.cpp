// The character field and the start-up state: menu shortcuts over the text fields, keys
// the field does not take as text, the stored check boxes and character.
#include <QAction>
#include <QKeyEvent>
#include <QTest>
#include <functional>

#include "tests/app/AppHarness.h"

namespace {

using codepage::CodePage;

struct CharacterEntry : AppTest {
  // Form_Load with `stored` on a system of code page `page`; the editor, holding a
  // Latin font, connects at the first activation.
  void load(CodePage page, std::map<QString, QString> stored) {
    editor::setSystemCodePage(page);
    fakes.settings.values = std::move(stored);
    fakes.editor.running = fake::runningEditor(fake::latinCodes(), 0x41);
    build();
  }
};

// Regression: a text field with the focus took Ctrl+Z, Ctrl+Y and Ctrl+C for its own
// editing, so the strokes were not undone, redone or cleared.
TEST_F(CharacterEntry, MenuShortcutsActWhicheverControlHasTheFocus) {
  load(CodePage::Cp1252, {{"Char", "65"}, {"SetSB", "1"}});
  form->Form_Activate();
  form->show();
  QApplication::setActiveWindow(form.get());
  QTest::mouseClick(form->PictureDOT, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(form->PictureDOT->hasFocus()) << "a click on the canvas takes the focus";
  const struct {
    QLineEdit* field;
    Qt::Key key;
    std::function<bool()> done;
  } steps[] = {{form->TextChar, Qt::Key_Z, [&] { return records() == 0; }},
               {form->TextLSB, Qt::Key_Y, [&] { return records() > 0; }},
               {form->TextRSB, Qt::Key_T, [&] { return !document().imports.empty(); }},
               {form->TextFace, Qt::Key_C, [&] { return records() == 0; }},
               {form->TextChar, Qt::Key_N, [&] { return code() == 0x42; }},
               {form->TextChar, Qt::Key_P, [&] { return code() == 0x41; }}};
  for (const auto& step : steps) {
    step.field->setFocus();
    QTest::keyClick(step.field, step.key, Qt::ControlModifier);
    EXPECT_TRUE(step.done()) << "Ctrl+" << char(step.key);
  }
}

// Regression: Enter and Tab made the control codes 0x0D and 0x09 the character and
// left empty stroke files for them.
TEST_F(CharacterEntry, EnterAndTabNeverChangeTheCharacter) {
  load(CodePage::Cp1252, {{"Char", "65"}});
  form->Form_Activate();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab}) QTest::keyClick(form->TextChar, key);
  EXPECT_EQ(code(), 0x41);
}

// Regression: stored values equal to a box's initial state ran no handler, so the
// guide was off with its controls still enabled, and the bearings were editable.
TEST_F(CharacterEntry, StoredCheckBoxesAreAppliedToTheirControlsWhateverTheyHold) {
  for (const bool on : {false, true}) {
    load(CodePage::Cp1252, {{"RefChar", on ? "1" : "0"}, {"SetSB", on ? "1" : "0"}});
    for (QWidget* w : std::initializer_list<QWidget*>{form->TextFace, form->TextLSB})
      EXPECT_EQ(w->isEnabled(), on) << w->metaObject()->className();
    EXPECT_EQ(form->LabelChar->backColour(), on ? colours::SystemWindow : colours::SystemButtonFace);
  }
}

// Regression: the start-up character used a code page of its own and a negative
// (sign-extended double-byte) code fell back to 33.
TEST_F(CharacterEntry, TheStoredCharacterIsShownInTheSystemCodePageEvenSignExtended) {
  load(CodePage::Cp932, {{"Char", "-32096"}});
  EXPECT_EQ(code(), -32096);
  EXPECT_EQ(form->LabelChar->text(), QStringLiteral("あ"));
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("あ"));
  EXPECT_EQ(form->LabelCode->text(), "82A0");
}

}  // namespace
