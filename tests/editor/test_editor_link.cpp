// The editor link against a scripted editor and window: connection, prompts, the
// type probe, the guarded operations, the shut-down question, the value readers.
#include <gtest/gtest.h>

#include "editor/EditorLink.h"
#include "editor/SystemCodePage.h"
#include "tests/editor/FakeEditor.h"
#include "tests/support/FakePrompts.h"

namespace {

using editor::FontType;
using Answer = Prompts::Answer;

const std::string kEditorShown = "editor:" + std::to_string(0x2a00005);

// The window and its message boxes, so questions and window events share one record.
struct Window final : editor::EditorWindow, FakePrompts {
  Window() { onAsk = [this] { events.push_back("ask"); }; }
  void setStatusText(const QString& text) override { status = text; }
  int32_t currentCharCode() const override { return code; }
  void setCurrentCharCode(int32_t value) override { code = value; }
  int referenceCharSet() const override { return charSet; }
  void setReferenceFace(const QString& face) override { events.push_back("face:" + face.toStdString()); }
  void showMainWindow() override { events.push_back("main"); }
  void showEditorWindow(uint32_t id) override { events.push_back("editor:" + std::to_string(id)); }
  void editorLinked() override { events.push_back("linked"); }

  std::vector<std::string> events;
  QString status;
  int32_t code = 0x41;
  int charSet = 0;
};

class EditorLinkTest : public ::testing::Test {
 protected:
  // An editor without a document, found by attach.
  std::shared_ptr<fake::Application> emptyEditor(std::deque<Answer> answers) {
    window.answers = std::move(answers);
    return launcher.running = std::make_shared<fake::Application>();
  }
  // An editor with one document open, started by the link.
  std::shared_ptr<fake::Document> connected(std::vector<uint16_t> codes, uint16_t current) {
    launcher.running = nullptr;
    launcher.startable = fake::runningEditor(std::move(codes), current);
    EXPECT_TRUE(link.connectEditor(false));
    return launcher.running->document();
  }

  fake::Launcher launcher;
  Window window;
  editor::EditorLink link{launcher, window, window, "DeruziZazaRurid"};
};

// A Latin font caps the code at 255; a new file that fails is reported, the code and
// the application kept.
TEST_F(EditorLinkTest, YesCreatesAFontOfTheChosenTypeOrReportsTheFailure) {
  struct Case { Answer type; bool fails; int32_t code, expectedCode; };
  for (const Case& c : {Case{Answer::Yes, false, 256, 255}, Case{Answer::No, false, 0x82A2, 0x82A2},
                        Case{Answer::Yes, true, 0x82A0, 0x82A0}}) {
    emptyEditor({Answer::Yes, c.type})->newFileFails = c.fails;
    window.code = c.code;
    window.events.clear();
    window.asked.clear();
    EXPECT_EQ(link.connectEditor(false), !c.fails);
    EXPECT_EQ(window.asked.back().buttons, c.fails ? Prompts::Buttons::Ok : Prompts::Buttons::YesNo);
    EXPECT_EQ(window.events.front(), "main") << "the main window is shown before the question";
    EXPECT_EQ(window.code, c.expectedCode);
    EXPECT_TRUE(link.hasApplication());
    if (!c.fails) {
      EXPECT_EQ(launcher.running->document()->current, c.expectedCode);
      EXPECT_EQ(link.fonttype(), c.type == Answer::Yes ? FontType::Latin : FontType::Japanese);
    }
  }
}

TEST_F(EditorLinkTest, NoAsksAgainUntilAFontIsOpenAndCancelEmptiesTheLink) {
  auto app = emptyEditor({Answer::No, Answer::No});
  window.onAsk = [&window = window, app] {
    if (window.asked.size() == 2) app->active = std::make_shared<fake::Document>(fake::latinCodes(), 0x42);
  };
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_EQ(window.events.back(), "linked") << "the font the user opened is taken";
  EXPECT_EQ(window.asked.size(), 2u);

  emptyEditor({Answer::Cancel});
  EXPECT_FALSE(link.connectEditor(false));
  EXPECT_FALSE(link.hasApplication());
}

// Regression: an editor that did not answer was taken for one without a font: the
// no-font-open question came up, and Yes ended in "could not create".
TEST_F(EditorLinkTest, AnEditorThatDoesNotAnswerIsReportedAndAskedNothing) {
  connected(fake::latinCodes(), 0x41);
  launcher.running->hung = true;
  launcher.running->document()->saved_ = false;
  EXPECT_FALSE(link.connectEditor(false));
  EXPECT_TRUE(window.status.contains(QStringLiteral("応答しません")));
  editor::offerToSaveFont(launcher, window, window, "DeruziZazaRurid");
  EXPECT_TRUE(window.asked.empty());
}

// The type probe puts the editor back on its code (0x82C0: not the probe's own code),
// and does not probe over a code it cannot read.
TEST_F(EditorLinkTest, TheReferenceFaceFollowsTheFontTypeAndWindowsShowEditorFirst) {
  struct Case { bool japanese; int charSet; std::vector<std::string> events; };
  for (const Case& c : {Case{false, 128, {"face:Arial"}}, Case{false, 0, {}},
                        Case{true, 0, {"face:ＭＳ Ｐゴシック"}}, Case{true, 128, {}}}) {
    window.events.clear();
    window.charSet = c.charSet;
    const uint16_t code = c.japanese ? 0x82C0 : 0xE9;
    EXPECT_EQ(connected(c.japanese ? fake::japaneseCodes() : fake::latinCodes(), code)->current, code);
    EXPECT_EQ(window.events, c.events) << c.charSet << ": the face for the font, and no window shown";
  }
  link.connectEditor(true);
  EXPECT_EQ(window.events, (std::vector<std::string>{kEditorShown, "main"}));
  launcher.running->document()->failing = {"getcode"};
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_EQ(launcher.running->document()->current, 0x82C0) << "an unreadable code is not probed over";
}

// Operations do nothing before a connection and take the editor's code only when it is
// readable; each reconnects, so an editor that is gone is reported and the link stays off.
TEST_F(EditorLinkTest, OperationsActOnlyOnAConnectionAndReconnectEachTime) {
  launcher.running = fake::runningEditor(fake::japaneseCodes(), 0x82A0);
  link.editorSetCode(0x42);
  link.editorNextCode();
  EXPECT_TRUE(link.editorReplaceGlyph("/tmp/x.bmp").ok());
  EXPECT_EQ(launcher.running->document()->current, 0x82A0) << "nothing happens before a connection";
  EXPECT_TRUE(launcher.running->document()->imports.empty());
  ASSERT_TRUE(link.connectEditor(false));
  link.editorPrevCode();
  EXPECT_EQ(window.code, 0x829F);
  launcher.running->document()->failing = {"getcode"};
  link.editorNextCode();
  EXPECT_EQ(window.code, 0x829F);

  launcher.running = nullptr;  // and none can be started
  link.editorSetCode(0x42);
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_EQ(window.asked[0].buttons, Prompts::Buttons::Ok);
  link.editorSetCode(0x43);
  EXPECT_EQ(window.asked.size(), 1u) << "a link that failed stays off";
}

TEST_F(EditorLinkTest, GlyphAndSideBearingCallsStopAtTheFirstFailure) {
  auto document = connected(fake::latinCodes(), 0x41);
  for (const auto& [failing, imports] : {std::pair{"selectall", 0u}, {"Delete", 0u}, {"ImportBmpfile", 0u},
                                         {"unselectall", 1u}, {"", 1u}}) {
    document->failing = {failing};
    document->imports.clear();
    EXPECT_EQ(link.editorReplaceGlyph("/data/srfm_dots0041.bmp").ok(), *failing == 0) << failing;
    EXPECT_EQ(document->imports.size(), imports) << failing;
  }
  EXPECT_TRUE(link.editorSetSideBearings(12, -3).ok());
  EXPECT_EQ(document->bearings.back(), std::make_pair(int16_t(12), int16_t(-3)));
  document->failing = {"SetLeftRightSidebearing"};
  EXPECT_FALSE(link.editorSetSideBearings(1, 1).ok());
}

// The question itself and its answers are covered through Form1 in tests/app.
TEST_F(EditorLinkTest, ShutDownNeverStartsAnEditorNorAsksWithoutAnUnsavedFont) {
  launcher.startable = fake::runningEditor(fake::latinCodes(), 0x41);
  editor::offerToSaveFont(launcher, window, window, "DeruziZazaRurid");
  EXPECT_FALSE(launcher.running) << "no editor is started";
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  editor::offerToSaveFont(launcher, window, window, "DeruziZazaRurid");
  launcher.running->document()->saved_ = false;
  launcher.running->document()->failing = {"saved"};
  editor::offerToSaveFont(launcher, window, window, "DeruziZazaRurid");
  EXPECT_TRUE(window.asked.empty()) << "a saved font, or an unreadable mark";
  launcher.running->document()->failing.clear();
  window.answers = {Answer::Yes};
  editor::offerToSaveFont(launcher, window, window, "DeruziZazaRurid");
  EXPECT_TRUE(launcher.running->document()->saved_);
  EXPECT_EQ(window.events, (std::vector<std::string>{"ask", kEditorShown})) << "shown with the question";
}

// One code page for every character of the entry: CP932 on a Japanese system and for
// a Japanese font whatever the locale, so its characters can be typed anywhere.
TEST(CharacterCodePage, AJapaneseLocaleOrAJapaneseFontConvertsThroughCp932) {
  using codepage::CodePage;
  struct Row { CodePage system; std::optional<FontType> font; int32_t code; const char* text; };
  for (const Row& r : {Row{CodePage::Cp1252, FontType::Latin, 0x80, "€"},
                       Row{CodePage::Cp1252, std::nullopt, '?', "あ"},
                       Row{CodePage::Cp1252, FontType::Japanese, -0x7D60, "あ"},
                       Row{CodePage::Cp932, FontType::Latin, 0x82A0, "あ"}}) {
    editor::setSystemCodePage(r.system);
    const QString text = QString::fromUtf8(r.text);
    if (r.code != '?') {
      EXPECT_EQ(editor::characterOfCode(r.code, r.font), text) << r.code;
    }
    EXPECT_EQ(int16_t(editor::codeOfText(text, r.font)), int16_t(r.code)) << r.text;
  }
  editor::setSystemCodePage(std::nullopt);
}

TEST(EditorValues, SideBearingTextsReadTheirLeadingNumberRoundedToEvenOrZero) {
  const std::pair<const char*, int16_t> cases[] = {
      {"12.5", 12}, {"13.5", 14}, {"7px", 7}, {"1 2", 12}, {"1e2", 100}, {"3e", 3}, {".5", 0}, {"-.6", -1},
      {"abc", 0}, {"-", 0}, {"32767.5", 0}, {"-32768", -32768}, {"32767", 32767}, {"1e400", 0}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(editor::readSideBearing(text), expected) << text;
}

}  // namespace
