#include "editor/EditorLink.h"

#include <cmath>

#include "common/codepage/CodePage.h"
#include <utility>

namespace editor {
namespace {

const QString kCannotStart = QStringLiteral("Kernovaが起動できませんでした");
const QString kNotAvailable = QStringLiteral("Kernova is not available.");
const QString kNotAnswering = QStringLiteral("Kernovaが応答しません。応答するまで送れません");
const QString kCannotCreate = QStringLiteral("フォントファイルを新規作成できませんでした");
const QString kLatinOrJapanese =
    QStringLiteral("欧文フォントなら Yes(はい)、和文フォントなら No(いいえ)を押してください。");
const QString kSaveFont = QStringLiteral("Kernovaでフォントがセーブされていません。セーブしますか？");
// Failures of the glyph calls, which the window shows in LabelStat.
constexpr const char* kNoDocument = "Kernovaでフォントファイルが開かれていません";
const QString kArial = QStringLiteral("Arial");
const QString kJapaneseFace = QStringLiteral("ＭＳ Ｐゴシック");

QString noDocumentQuestion() {
  return QStringLiteral("フォントファイルが開かれていません。新規作成しますか？") + "\r\r" +
         QStringLiteral("新規作成する場合は Yes(はい)、") +
         QStringLiteral("既存のファイルを開く場合は、自分で開いた後に No(いいえ)を押してください。") +
         "\r\r" + QStringLiteral("Kernovaを使わない場合は Cancel(キャンセル)を押してください。");
}

constexpr int kCharSetAnsi = 0;
constexpr int kCharSetShiftJis = 128;

bool isBlank(QChar c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads [sign] digits [. digits] [e|d [sign] digits], skipping blanks throughout.
double leadingNumber(const QString& text) {
  QString number;
  int i = 0;
  auto next = [&]() -> QChar {
    while (i < text.size() && isBlank(text[i])) ++i;
    return i < text.size() ? text[i] : QChar();
  };
  auto takeDigits = [&] {
    int count = 0;
    for (QChar c = next(); c.isDigit() && c.unicode() < 128; c = next(), ++count) number += text[i++];
    return count;
  };
  if (QChar c = next(); c == '+' || c == '-') number += text[i++];
  int digits = takeDigits();
  if (next() == '.') {
    number += text[i++];
    digits += takeDigits();
  }
  if (digits == 0) return 0.0;
  const QString mantissa = number;
  if (QChar c = next().toLower(); c == 'e' || c == 'd') {
    ++i;
    number += 'e';
    if (QChar s = next(); s == '+' || s == '-') number += text[i++];
    if (takeDigits() == 0) number = mantissa;
  }
  bool ok = false;
  const double value = number.toDouble(&ok);
  return ok ? value : 0.0;
}

}  // namespace

int32_t toUnsigned16(int32_t value) { return value >= 0 ? value : value + 65536; }

int16_t readSideBearing(const QString& text) {
  const double value = leadingNumber(text);
  if (!std::isfinite(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded < -32768.0 || rounded > 32767.0) return 0;
  return static_cast<int16_t>(rounded);
}

EditorLink::EditorLink(EditorLauncher& launcher, EditorWindow& window, Prompts& prompts,
                       QString caption)
    : m_launcher(launcher), m_window(window), m_prompts(prompts), m_caption(std::move(caption)) {}

Prompts::Answer EditorLink::ask(const QString& text, Prompts::Buttons buttons) {
  return m_prompts.ask(m_caption, text, buttons);
}

// Attach or start, make sure a document is open, probe the font type. Editor calls
// that fail inside are skipped.
bool inEditorCodeSet(FontType type, int32_t code) {
  using codepage::CodePage;
  if (code < 0x20 || code > 0xFFFF) return false;
  const auto unsignedCode = uint16_t(code);
  const CodePage page = type == FontType::Latin ? CodePage::Cp1252 : CodePage::Cp932;
  const std::optional<char32_t> ch = codepage::toUnicode(page, unsignedCode);
  if (!ch || *ch < 0x20 || (*ch >= 0x7F && *ch <= 0x9F)) return false;
  if (unsignedCode >= 0xF040 && unsignedCode <= 0xF9FC) return false;  // user-defined area
  return unsignedCode <= 0xFF || codepage::fromUnicode(page, *ch) == unsignedCode;
}

bool EditorLink::connectEditor(bool showWindows) {
  m_editorConnected = false;
  m_fonttype.reset();
  if (!attachOrStart()) return false;
  const auto active = m_editorApp->ActiveDocument();
  if (!active) return notAnswering();
  m_editorDoc = *active;
  if (!m_editorDoc) {
    m_window.showMainWindow();
    if (askForDocument() != DocumentChoice::Ready) return false;
  }
  // Every connection reads the document's name, as the editor's automation interface
  // expects; nothing depends on it, so a failed read does not fail the connection.
  (void)m_editorDoc->Name();
  probeFontType();
  keepReferenceFaceSuitable();
  if (showWindows) showEditorWindows();
  m_editorConnected = true;
  return true;
}

// The editor holds the bus name but does not answer (hung, or busy for longer than a
// call may wait): its document is kept, nothing is asked, and the link is off until
// it answers again.
bool EditorLink::notAnswering() {
  m_window.setStatusText(kNotAnswering);
  return false;
}

bool EditorLink::attachOrStart() {
  m_editorApp = m_launcher.attach();
  if (!m_editorApp) m_editorApp = m_launcher.start();
  if (m_editorApp) return true;
  ask(kCannotStart, Prompts::Buttons::Ok);
  m_window.setStatusText(kNotAvailable);
  return false;
}

// The no-font-open prompt, repeated while the user answers No without opening one.
EditorLink::DocumentChoice EditorLink::askForDocument() {
  for (;;) {
    switch (ask(noDocumentQuestion(), Prompts::Buttons::YesNoCancel)) {
      case Prompts::Answer::Yes:
        return createDocument();
      case Prompts::Answer::No: {
        const auto active = m_editorApp->ActiveDocument();
        if (!active) {
          notAnswering();
          return DocumentChoice::Failed;
        }
        m_editorDoc = *active;
        if (!m_editorDoc) continue;
        m_window.editorLinked();
        return DocumentChoice::Ready;
      }
      default:
        m_editorDoc.reset();
        m_editorApp.reset();
        return DocumentChoice::Cancelled;
    }
  }
}

EditorLink::DocumentChoice EditorLink::createDocument() {
  if (ask(kLatinOrJapanese, Prompts::Buttons::YesNo) == Prompts::Answer::Yes) {
    m_editorDoc = m_editorApp->NewFile(1, true);
    if (m_editorDoc && m_window.currentCharCode() > 255) m_window.setCurrentCharCode(255);
  } else {
    m_editorDoc = m_editorApp->NewFile(0, true);
  }
  if (!m_editorDoc) {
    ask(kCannotCreate, Prompts::Buttons::Ok);
    m_window.setStatusText(kNotAvailable);
    return DocumentChoice::Failed;
  }
  m_editorDoc->setcode(0, m_window.currentCharCode(), false);
  m_window.editorLinked();
  return DocumentChoice::Ready;
}

// A Japanese document holds 0x82A0, a Latin one ignores it. The editor is put back
// on the code it showed; when that code cannot be read it is not moved at all.
void EditorLink::probeFontType() {
  const std::optional<int16_t> saved = m_editorDoc->getcode(0, false);
  std::optional<int16_t> probe;
  if (saved) {
    m_editorDoc->setcode(0, static_cast<int16_t>(kProbeCode), false);
    probe = m_editorDoc->getcode(0, false);
    m_editorDoc->setcode(0, toUnsigned16(*saved), false);
  }
  const bool japanese = probe && toUnsigned16(*probe) == kProbeCode;
  m_fonttype = japanese ? FontType::Japanese : FontType::Latin;
}

void EditorLink::keepReferenceFaceSuitable() {
  const int charSet = m_window.referenceCharSet();
  if (m_fonttype == FontType::Latin && charSet != kCharSetAnsi) m_window.setReferenceFace(kArial);
  if (m_fonttype == FontType::Japanese && charSet != kCharSetShiftJis)
    m_window.setReferenceFace(kJapaneseFace);
}

void EditorLink::showEditorWindows() {
  const std::optional<uint32_t> windowId = m_editorApp ? m_editorApp->hWnd() : std::nullopt;
  m_window.showEditorWindow(windowId.value_or(0));
  m_window.showMainWindow();
}

void EditorLink::editorSetCode(int32_t code) {
  if (!m_editorConnected) return;
  connectEditor(false);
  if (m_editorDoc) m_editorDoc->setcode(0, code, false);
}

void EditorLink::tellCode(int32_t code) {
  connectEditor(false);
  if (m_editorDoc) m_editorDoc->setcode(0, code, false);
}

void EditorLink::stepCode(bool (EditorDocument::*step)()) {
  if (!m_editorConnected) return;
  connectEditor(false);
  if (!m_editorDoc) return;
  ((*m_editorDoc).*step)();
  if (const std::optional<int16_t> code = m_editorDoc->getcode(0, false))
    m_window.setCurrentCharCode(toUnsigned16(*code));
}

void EditorLink::editorNextCode() { stepCode(&EditorDocument::viewnextcode); }
void EditorLink::editorPrevCode() { stepCode(&EditorDocument::viewpreviouscode); }

// The four calls stop at the first failure, which goes to the caller.
Status EditorLink::editorReplaceGlyph(const QString& path) {
  if (!m_editorConnected) return Status::success();
  connectEditor(false);
  if (!m_editorDoc) return Status::failure(kNoDocument);
  if (!m_editorDoc->selectall()) return Status::failure("Kernovaが字形を選択できませんでした");
  if (!m_editorDoc->Delete()) return Status::failure("Kernovaが字形を削除できませんでした");
  if (!m_editorDoc->ImportBmpfile(path.toStdString()))
    return Status::failure("Kernovaが " + path.toStdString() + " を取り込めませんでした");
  if (!m_editorDoc->unselectall()) return Status::failure("Kernovaが選択を解除できませんでした");
  return Status::success();
}

Status EditorLink::editorImportBitmaps(const std::vector<GlyphImage>& glyphs, bool setBearings, int16_t left,
                                       int16_t right, int32_t& replaced) {
  replaced = 0;
  if (!m_editorConnected) return Status::success();
  // Batches come one after another on the connection made before the first: connecting
  // again would probe the font type, moving the editor's current code, for each batch.
  if (!m_editorDoc) return Status::failure("no font document is open in Kernova");
  const std::optional<int32_t> count = m_editorDoc->ImportBitmaps(glyphs, setBearings, left, right);
  if (!count) return Status::failure("Kernova could not import the glyphs");
  replaced = *count;
  return Status::success();
}

Status EditorLink::editorSetSideBearings(int16_t left, int16_t right) {
  if (!m_editorConnected) return Status::success();
  connectEditor(false);
  if (!m_editorDoc) return Status::failure(kNoDocument);
  if (!m_editorDoc->SetLeftRightSidebearing(left, right, false))
    return Status::failure("Kernovaがサイドベアリングを設定できませんでした");
  return Status::success();
}

void offerToSaveFont(EditorLauncher& launcher, EditorWindow& window, Prompts& prompts,
                     const QString& caption) {
  const std::shared_ptr<EditorApplication> app = launcher.attach();
  if (!app) return;
  const std::shared_ptr<EditorDocument> document = app->ActiveDocument().value_or(nullptr);
  if (!document) return;
  const std::optional<bool> saved = document->saved();
  if (!saved || *saved) return;
  if (prompts.ask(caption, kSaveFont, Prompts::Buttons::YesNo) != Prompts::Answer::Yes) return;
  window.showEditorWindow(app->hWnd().value_or(0));
  document->save();
}

}  // namespace editor
