// Send All Written Characters: a whole font sent again from the stroke files, in
// batches of the editor's ImportBitmaps, with a progress box that can cancel.
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <algorithm>
#include <future>
#include <regex>

#include "app/Form1.h"
#include "canvas/RetainedImage.h"
#include "editor/EditorLink.h"
#include "glyph/GlyphBitmap.h"
#include "strokes/StrokeFile.h"

namespace {

// Glyphs per call: large enough that the calls cost little next to the tracing, small
// enough that the progress box moves and a cancel is heard within a moment.
constexpr size_t kBatchSize = 32;

// The codes of data/srfm_dataXXXX.log (four upper-case hex digits, as the tool names
// them), ascending.
std::vector<int32_t> writtenCodes(const std::filesystem::path& dataFolder) {
  static const std::regex name("srfm_data([0-9A-F]{4})\\.log");
  std::vector<int32_t> codes;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dataFolder, error)) {
    std::smatch match;
    const std::string file = entry.path().filename().string();
    if (entry.is_regular_file(error) && std::regex_match(file, match, name))
      codes.push_back(int32_t(std::stoul(match[1].str(), nullptr, 16)));
  }
  std::sort(codes.begin(), codes.end());
  return codes;
}

QString progressText(size_t done, size_t total, qint64 elapsedMs) {
  const QString count = QStringLiteral("%1 / %2 文字").arg(done).arg(total);
  if (done == 0) return count;
  const qint64 leftSeconds = (elapsedMs * qint64(total - done) / qint64(done) + 999) / 1000;
  return count + QStringLiteral("　残り約 %1 秒").arg(leftSeconds);
}

// The bitmap file of a character drawn from its stroke file; false when the file
// holds no ink or cannot be read.
bool writtenCharacterBitmap(const std::filesystem::path& file, RetainedImage& scratch, std::vector<uint8_t>& bmp) {
  StrokeLog log;
  if (strokefile::readStrokeFile(file, log).outcome != strokefile::LoadOutcome::Loaded) return false;
  Form1::composeStrokes(log, scratch);
  const QImage& image = scratch.image();
  const glyph::PixelView pixels{image.constBits(), image.width(), image.height(), int(image.bytesPerLine())};
  return glyph::hasInk(pixels) && glyph::encodeGlyphBitmap(pixels, bmp).ok();
}

struct WrittenCharacter {
  int32_t code;
  std::filesystem::path file;
};
using Batch = std::vector<editor::GlyphImage>;

// The bitmaps of characters [from, from + kBatchSize), drawn on a thread of their own
// while the editor takes the batch before: it touches nothing of the window.
std::future<Batch> drawBatch(const std::vector<WrittenCharacter>& characters, size_t from, QSize canvas) {
  return std::async(std::launch::async, [&characters, from, canvas] {
    RetainedImage scratch(canvas.width(), canvas.height());
    Batch batch;
    for (size_t i = from; i < std::min(characters.size(), from + kBatchSize); ++i) {
      editor::GlyphImage image{characters[i].code, {}};
      if (writtenCharacterBitmap(characters[i].file, scratch, image.bmp)) batch.push_back(std::move(image));
    }
    return batch;
  });
}

}  // namespace

void Form1::sendAllWrittenCharacters() {
  if (!saveStrokeFile(strokeFileName(m_currentCharCode))) return;  // LabelStat says why
  editor::EditorLink& link = editorLink();
  if (!link.connectEditor(false) || !link.fonttype()) return;
  std::vector<WrittenCharacter> characters;
  for (int32_t code : writtenCodes(strokeFilePath("data")))
    if (editor::inEditorCodeSet(*link.fonttype(), code)) characters.push_back({code, strokeFilePath(strokeFileName(code))});
  const bool bearings = checkValue(CheckSB) == 1;
  const int16_t left = editor::readSideBearing(TextLSB->text());
  const int16_t right = editor::readSideBearing(TextRSB->text());

  const size_t total = characters.size();
  QProgressDialog progress(progressText(0, total, 0), QStringLiteral("キャンセル"), 0, int(total), this);
  progress.setWindowTitle(kCaption);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  const QSize canvas(PictureTemp->width(), PictureTemp->height());
  QElapsedTimer clock;
  clock.start();
  m_switching = true;  // a code the editor sends meanwhile waits for the end
  size_t done = 0;
  int32_t sent = 0;
  Status status = Status::success();
  std::future<Batch> next = drawBatch(characters, 0, canvas);
  while (done < total && !progress.wasCanceled() && status) {
    const Batch batch = next.get();
    done = std::min(total, done + kBatchSize);
    if (done < total) next = drawBatch(characters, done, canvas);  // drawn while the editor traces
    int32_t replaced = 0;
    if (!batch.empty()) status = link.editorImportBitmaps(batch, bearings, left, right, replaced);
    sent += replaced;
    progress.setValue(int(done));
    progress.setLabelText(progressText(done, total, clock.elapsed()));
    QCoreApplication::processEvents();
  }
  if (next.valid()) next.wait();  // a batch drawn for nothing after a cancel or a failure
  const bool cancelled = progress.wasCanceled();
  progress.reset();
  link.editorSetCode(m_currentCharCode);
  m_switching = false;
  takeFollowedCode();
  if (!status) {
    showFailure("Kernovaへ文字を読み込めませんでした", status);
    return;
  }
  LabelStat->setText(QStringLiteral("%1 文字をKernovaへ送りました%2")
                         .arg(sent)
                         .arg(cancelled ? QStringLiteral("（キャンセルしました）") : QString()));
}
