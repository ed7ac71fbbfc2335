// The editor link against a scripted editor and window: connection, prompts, the
// type probe, the guarded operations, the shut-down question, the value readers.
#include <gtest/gtest.h>

#include <deque>

#include "FakeEditor.h"
#include "editor/EditorLink.h"

namespace {

using editor::EditorLink;
using editor::EditorWindow;
using editor::FontType;
using Answer = EditorWindow::Answer;
using Buttons = EditorWindow::Buttons;

const QString kNoDocumentQuestion =
    QStringLiteral("フォントファイルが開かれていません。新規作成しますか？\r\r新規作成する場合は Yes(はい)、"
                   "既存のファイルを開く場合は、自分で開いた後に No(いいえ)を押してください。\r\r"
                   "Kernovaを使わない場合は Cancel(キャンセル)を押してください。");
const QString kLatinOrJapanese =
    QStringLiteral("欧文フォントなら Yes(はい)、和文フォントなら No(いいえ)を押してください。");

class Window final : public EditorWindow {
 public:
  Answer ask(const QString& text, Buttons buttons) override {
    asked.push_back({text, buttons});
    events.push_back("ask");
    if (beforeAnswer) beforeAnswer(int(asked.size()));
    if (answers.empty()) return Answer::Cancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void setStatusText(const QString& text) override { status = text; }
  int32_t currentCharCode() const override { return code; }
  void setCurrentCharCode(int32_t value) override { code = value; }
  int referenceCharSet() const override { return charSet; }
  void setReferenceFace(const QString& face) override { faces.push_back(face); }
  void showMainWindow() override { events.push_back("main"); }
  void showEditorWindow(uint32_t id) override { events.push_back("editor:" + std::to_string(id)); }
  void editorLinked() override { linked = true; }

  struct Question { QString text; Buttons buttons; };
  std::vector<Question> asked;
  std::deque<Answer> answers;
  std::function<void(int)> beforeAnswer;
  std::vector<std::string> events;
  std::vector<QString> faces;
  QString status;
  int32_t code = 0x41;
  int charSet = 0;
  bool linked = false;
};

class EditorLinkTest : public ::testing::Test {
 protected:
  fake::Launcher launcher;
  Window window;
  EditorLink link{launcher, window};
};

TEST_F(EditorLinkTest, AttachesToARunningEditorWithADocumentWithoutAsking) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_TRUE(link.editorConnected());
  EXPECT_EQ(launcher.starts, 0);
  EXPECT_TRUE(window.asked.empty());
  EXPECT_FALSE(window.linked);
  EXPECT_EQ(link.fonttype(), FontType::Latin);
}

TEST_F(EditorLinkTest, StartsAnEditorWhenNoneRuns) {
  launcher.startable = fake::runningEditor(fake::japaneseCodes(), 0x82A0);
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_EQ(launcher.starts, 1);
  EXPECT_EQ(link.fonttype(), FontType::Japanese);
}

TEST_F(EditorLinkTest, AnEditorThatCannotStartIsReportedAndTheCallFails) {
  EXPECT_FALSE(link.connectEditor(true));
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_EQ(window.asked[0].text, QStringLiteral("Kernovaが起動できませんでした"));
  EXPECT_EQ(window.asked[0].buttons, Buttons::Ok);
  EXPECT_EQ(window.status, "Kernova is not available.");
  EXPECT_FALSE(link.editorConnected());
  EXPECT_FALSE(link.hasApplication());
}

TEST_F(EditorLinkTest, YesAndLatinCreateALatinFontAndCapTheCodeAt255) {
  launcher.running = std::make_shared<fake::Application>();
  window.code = 0x82A0;
  window.answers = {Answer::Yes, Answer::Yes};
  EXPECT_TRUE(link.connectEditor(false));
  ASSERT_EQ(window.asked.size(), 2u);
  EXPECT_EQ(window.asked[0].text, kNoDocumentQuestion);
  EXPECT_EQ(window.asked[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(window.asked[1].text, kLatinOrJapanese);
  EXPECT_EQ(window.asked[1].buttons, Buttons::YesNo);
  ASSERT_EQ(launcher.running->newFiles.size(), 1u);
  EXPECT_EQ(launcher.running->newFiles[0], std::make_pair(int16_t(1), true));
  EXPECT_EQ(window.code, 255);
  EXPECT_EQ(launcher.running->document()->setcodes.front(), 255);
  EXPECT_EQ(launcher.running->document()->current, 255);
  EXPECT_TRUE(window.linked);
  EXPECT_EQ(link.fonttype(), FontType::Latin);
}

TEST_F(EditorLinkTest, TheMainWindowIsShownBeforeTheNoDocumentQuestion) {
  launcher.running = std::make_shared<fake::Application>();
  window.answers = {Answer::Cancel};
  link.connectEditor(false);
  ASSERT_GE(window.events.size(), 2u);
  EXPECT_EQ(window.events[0], "main");
  EXPECT_EQ(window.events[1], "ask");
}

TEST_F(EditorLinkTest, YesAndJapaneseCreateAJapaneseFontAndKeepTheCode) {
  launcher.running = std::make_shared<fake::Application>();
  window.code = 0x82A2;
  window.answers = {Answer::Yes, Answer::No};
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_EQ(launcher.running->newFiles[0], std::make_pair(int16_t(0), true));
  EXPECT_EQ(window.code, 0x82A2);
  EXPECT_EQ(launcher.running->document()->current, 0x82A2);
  EXPECT_EQ(link.fonttype(), FontType::Japanese);
  EXPECT_TRUE(window.linked);
}

TEST_F(EditorLinkTest, NoWithoutOpeningADocumentAsksAgainAndCancelEmptiesTheLink) {
  launcher.running = std::make_shared<fake::Application>();
  window.answers = {Answer::No, Answer::No, Answer::No, Answer::Cancel};
  EXPECT_FALSE(link.connectEditor(false));
  EXPECT_EQ(window.asked.size(), 4u);
  for (const auto& question : window.asked) EXPECT_EQ(question.text, kNoDocumentQuestion);
  EXPECT_FALSE(link.hasApplication());
  EXPECT_FALSE(link.hasDocument());
  EXPECT_FALSE(window.linked);
  EXPECT_FALSE(link.editorConnected());
}

TEST_F(EditorLinkTest, NoAfterTheUserOpenedAFontLinksToIt) {
  auto app = std::make_shared<fake::Application>();
  launcher.running = app;
  window.answers = {Answer::No, Answer::No};
  window.beforeAnswer = [app](int question) {
    if (question == 2) app->active = std::make_shared<fake::Document>(fake::latinCodes(), 0x42);
  };
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_EQ(window.asked.size(), 2u);
  EXPECT_TRUE(window.linked);
  EXPECT_TRUE(app->newFiles.empty());
}

TEST_F(EditorLinkTest, ANewFileThatFailsIsReportedAndKeepsTheApplication) {
  launcher.running = std::make_shared<fake::Application>();
  launcher.running->newFileFails = true;
  window.answers = {Answer::Yes, Answer::Yes};
  window.code = 0x82A0;
  EXPECT_FALSE(link.connectEditor(false));
  ASSERT_EQ(window.asked.size(), 3u);
  EXPECT_EQ(window.asked[2].text, QStringLiteral("フォントファイルを新規作成できませんでした"));
  EXPECT_EQ(window.asked[2].buttons, Buttons::Ok);
  EXPECT_EQ(window.status, "Kernova is not available.");
  EXPECT_TRUE(link.hasApplication());
  EXPECT_FALSE(window.linked);
  EXPECT_EQ(window.code, 0x82A0);
}

TEST_F(EditorLinkTest, TheTypeProbeLeavesTheEditorOnItsCode) {
  launcher.running = fake::runningEditor(fake::japaneseCodes(), 0x82C0);
  link.connectEditor(false);
  EXPECT_EQ(launcher.running->document()->current, 0x82C0);
  EXPECT_EQ(launcher.running->document()->setcodes,
            (std::vector<uint16_t>{0x82A0, 0x82C0}));
  launcher.running = fake::runningEditor(fake::latinCodes(), 0xE9);
  link.connectEditor(false);
  EXPECT_EQ(launcher.running->document()->current, 0xE9);
  EXPECT_EQ(link.fonttype(), FontType::Latin);
}

TEST_F(EditorLinkTest, AProbeThatCannotReadTheCodeDoesNotMoveTheEditor) {
  launcher.running = fake::runningEditor(fake::japaneseCodes(), 0x82C0);
  launcher.running->document()->failing = {"getcode"};
  EXPECT_TRUE(link.connectEditor(false));
  EXPECT_EQ(launcher.running->document()->current, 0x82C0);
  EXPECT_EQ(link.fonttype(), FontType::Latin);
}

TEST_F(EditorLinkTest, TheReferenceFaceFollowsTheFontType) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  window.charSet = 128;
  link.connectEditor(false);
  EXPECT_EQ(window.faces, std::vector<QString>{"Arial"});
  window.faces.clear();
  window.charSet = 0;
  link.connectEditor(false);
  EXPECT_TRUE(window.faces.empty());
  launcher.running = fake::runningEditor(fake::japaneseCodes(), 0x82A0);
  link.connectEditor(false);
  EXPECT_EQ(window.faces, std::vector<QString>{QStringLiteral("ＭＳ Ｐゴシック")});
  window.faces.clear();
  window.charSet = 128;
  link.connectEditor(false);
  EXPECT_TRUE(window.faces.empty());
}

TEST_F(EditorLinkTest, ShowingWindowsShowsTheEditorThenTheMainWindow) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  link.connectEditor(true);
  EXPECT_EQ(window.events, (std::vector<std::string>{"editor:" + std::to_string(0x2a00005), "main"}));
  window.events.clear();
  link.connectEditor(false);
  EXPECT_TRUE(window.events.empty());
}

TEST_F(EditorLinkTest, GuardedOperationsDoNothingBeforeAConnection) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  link.editorSetCode(0x42);
  link.editorNextCode();
  EXPECT_TRUE(link.editorReplaceGlyph("/tmp/x.bmp").ok());
  EXPECT_EQ(launcher.attaches, 0);
  EXPECT_TRUE(launcher.running->document()->calls.empty());
  EXPECT_EQ(window.code, 0x41);
}

TEST_F(EditorLinkTest, NextAndPreviousTakeTheEditorsCode) {
  launcher.running = fake::runningEditor(fake::japaneseCodes(), 0x82A0);
  ASSERT_TRUE(link.connectEditor(false));
  link.editorNextCode();
  EXPECT_EQ(window.code, 0x82A1);
  link.editorPrevCode();
  link.editorPrevCode();
  EXPECT_EQ(window.code, 0x829F);
}

TEST_F(EditorLinkTest, ACodeThatCannotBeReadAfterAStepKeepsTheCurrentOne) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  ASSERT_TRUE(link.connectEditor(false));
  launcher.running->document()->failing = {"getcode"};
  link.editorNextCode();
  EXPECT_EQ(window.code, 0x41);
}

TEST_F(EditorLinkTest, AnOperationReconnectsAndOffersADocumentWhenTheEditorWasRestarted) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  ASSERT_TRUE(link.connectEditor(false));
  launcher.running = nullptr;
  launcher.startable = std::make_shared<fake::Application>();
  window.answers = {Answer::Cancel};
  link.editorSetCode(0x42);
  EXPECT_EQ(launcher.starts, 1);
  EXPECT_EQ(window.asked.size(), 1u);
  EXPECT_FALSE(link.editorConnected());
  link.editorSetCode(0x43);
  EXPECT_EQ(window.asked.size(), 1u);
}

TEST_F(EditorLinkTest, ReplacingAGlyphRunsFourCallsAndStopsAtTheFirstFailure) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  ASSERT_TRUE(link.connectEditor(false));
  auto document = launcher.running->document();
  document->calls.clear();
  EXPECT_TRUE(link.editorReplaceGlyph("/data/srfm_dots0041.bmp").ok());
  std::vector<std::string> glyphCalls;
  for (const auto& call : document->calls)
    if (call != "getcode" && call != "setcode") glyphCalls.push_back(call);
  EXPECT_EQ(glyphCalls, (std::vector<std::string>{"selectall", "Delete", "ImportBmpfile", "unselectall"}));
  document->calls.clear();
  document->failing = {"Delete"};
  EXPECT_FALSE(link.editorReplaceGlyph("/data/srfm_dots0041.bmp").ok());
  EXPECT_EQ(std::count(document->calls.begin(), document->calls.end(), "ImportBmpfile"), 0);
  EXPECT_EQ(document->imports.size(), 1u);
}

TEST_F(EditorLinkTest, SideBearingsReachTheEditorAndTheirFailureIsReturned) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  ASSERT_TRUE(link.connectEditor(false));
  EXPECT_TRUE(link.editorSetSideBearings(12, -3).ok());
  EXPECT_EQ(launcher.running->document()->bearings.back(), std::make_pair(int16_t(12), int16_t(-3)));
  launcher.running->document()->failing = {"SetLeftRightSidebearing"};
  EXPECT_FALSE(link.editorSetSideBearings(1, 1).ok());
}

TEST_F(EditorLinkTest, ShutDownAsksToSaveOnlyAnUnsavedFontAndSavesOnYes) {
  launcher.running = fake::runningEditor(fake::latinCodes(), 0x41);
  auto document = launcher.running->document();
  editor::offerToSaveFont(launcher, window);
  EXPECT_TRUE(window.asked.empty());
  document->saved_ = false;
  window.answers = {Answer::No};
  editor::offerToSaveFont(launcher, window);
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_EQ(window.asked[0].text, QStringLiteral("Kernovaでフォントがセーブされていません。セーブしますか？"));
  EXPECT_EQ(window.asked[0].buttons, Buttons::YesNo);
  EXPECT_FALSE(document->saved_);
  window.answers = {Answer::Yes};
  editor::offerToSaveFont(launcher, window);
  EXPECT_TRUE(document->saved_);
  EXPECT_EQ(window.events.back(), "editor:" + std::to_string(0x2a00005));
}

TEST_F(EditorLinkTest, ShutDownNeverStartsAnEditorNorAsksWhenTheDocumentIsGone) {
  launcher.startable = fake::runningEditor(fake::latinCodes(), 0x41);
  editor::offerToSaveFont(launcher, window);
  EXPECT_EQ(launcher.starts, 0);
  launcher.running = std::make_shared<fake::Application>();
  editor::offerToSaveFont(launcher, window);
  auto unreadable = fake::runningEditor(fake::latinCodes(), 0x41);
  unreadable->document()->failing = {"saved"};
  launcher.running = unreadable;
  editor::offerToSaveFont(launcher, window);
  EXPECT_TRUE(window.asked.empty());
}

TEST(EditorValues, ToUnsigned16MapsNegativeCodesIntoTheUpperHalf) {
  EXPECT_EQ(editor::toUnsigned16(-32096), 33440);
  EXPECT_EQ(editor::toUnsigned16(65), 65);
  EXPECT_EQ(editor::toUnsigned16(-1), 65535);
  EXPECT_EQ(editor::toUnsigned16(0), 0);
}

TEST(EditorValues, SideBearingTextsReadTheirLeadingNumberRoundedToEven) {
  EXPECT_EQ(editor::readSideBearing("12.5"), 12);
  EXPECT_EQ(editor::readSideBearing("13.5"), 14);
  EXPECT_EQ(editor::readSideBearing("-2.5"), -2);
  EXPECT_EQ(editor::readSideBearing("7px"), 7);
  EXPECT_EQ(editor::readSideBearing("  42"), 42);
  EXPECT_EQ(editor::readSideBearing("1 2"), 12);
  EXPECT_EQ(editor::readSideBearing("1e2"), 100);
  EXPECT_EQ(editor::readSideBearing("3e"), 3);
  EXPECT_EQ(editor::readSideBearing(".5"), 0);
  EXPECT_EQ(editor::readSideBearing("-.6"), -1);
}

TEST(EditorValues, SideBearingTextsWithoutANumberOrOutOfRangeGiveZero) {
  EXPECT_EQ(editor::readSideBearing("abc"), 0);
  EXPECT_EQ(editor::readSideBearing(""), 0);
  EXPECT_EQ(editor::readSideBearing("-"), 0);
  EXPECT_EQ(editor::readSideBearing("40000"), 0);
  EXPECT_EQ(editor::readSideBearing("32767.5"), 0);
  EXPECT_EQ(editor::readSideBearing("-32768"), -32768);
  EXPECT_EQ(editor::readSideBearing("32767"), 32767);
  EXPECT_EQ(editor::readSideBearing("1e400"), 0);
}

}  // namespace
