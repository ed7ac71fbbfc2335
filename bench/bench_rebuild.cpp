// Rebuilding a whole Japanese font from the stroke files: Send All Written Characters
// over 7,000 files of 20 strokes each (batches of the editor's ImportBitmaps), against
// the same characters sent one by one as a user does today (switch, then "Kernova":
// bitmap file, connection, setcode, select, delete, import, unselect, side bearings),
// in one run against one editor. The one-by-one case times a sample of the glyphs,
// each on its own (its median is per glyph). Afterwards the editor's resident memory
// with the 7,000-glyph font open is reported. Targets: under 3 ms a glyph and 25 s in
// all for Send All, at least 3 times faster than one by one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>

#include "app/Form1.h"
#include "bench/RealEditorWindow.h"
#include "editor/EditorLink.h"
#include "editor/SystemCodePage.h"
#include "prompts/Prompts.h"
#include "tests/app/Form1TestAccess.h"
#include "tests/support/ThrowAwayHome.h"

namespace {

constexpr int kGlyphs = 7000;
constexpr int kOneByOneSample = 60;

struct JapaneseFontPrompts final : Prompts {
  Answer ask(const QString&, const QString&, Buttons buttons) override {
    if (buttons == Buttons::YesNoCancel) return Answer::Yes;  // create a font
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;  // No: a Japanese one
  }
};

Form1* g_form = nullptr;
std::vector<int32_t> g_codes;

// 20 strokes of 12 moves each over the canvas, as a brush character has them.
void drawTwentyStrokes(Form1& form) {
  form.SliderMax->setValue(18);
  form.SliderMin->setValue(6);
  for (int s = 0; s < 20; ++s) {
    const float x0 = 60 + (s % 5) * 80, y0 = 60 + (s / 5) * 90;
    const float x1 = x0 + 60 - (s % 3) * 30, y1 = y0 + 70;
    form.PictureDOT_MouseDown(1, 0, x0, y0);
    for (int i = 1; i <= 12; ++i) form.PictureDOT_MouseMove(1, 0, x0 + (x1 - x0) * i / 12, y0 + (y1 - y0) * i / 12);
    form.PictureDOT_MouseUp(1, 0, x1, y1);
  }
}

// The template character's stroke file copied to the first kGlyphs double-byte codes;
// `folder` is the working folder the stroke files' names start from.
void writeStrokeFiles(const std::filesystem::path& folder, const std::filesystem::path& source) {
  for (int32_t code = 0x8140; code <= 0xFC4B && int(g_codes.size()) < kGlyphs; ++code) {
    if (!editor::inEditorCodeSet(FontType::Japanese, code)) continue;
    const std::filesystem::path file = folder / Form1::strokeFileName(code).toStdString();
    if (file != source) std::filesystem::copy_file(source, file, std::filesystem::copy_options::overwrite_existing);
    g_codes.push_back(code);
  }
}

void BM_SendAllWrittenCharacters(benchmark::State& state) {
  for (auto _ : state) g_form->sendAllWrittenCharacters();
  state.counters["glyphs"] = double(g_codes.size());
  state.counters["ms_per_glyph"] = benchmark::Counter(double(g_codes.size()) * state.iterations() / 1000.0,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SendAllWrittenCharacters)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(1);

void BM_OneByOne(benchmark::State& state) {
  size_t next = 0;
  for (auto _ : state) {
    g_form->followEditorCode(g_codes[next++ % g_codes.size()]);
    g_form->CommandKernova_Click();
  }
}
BENCHMARK(BM_OneByOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(kOneByOneSample)->ReportAggregatesOnly(true);

// VmRSS of the editor process, from the bus's record of its process id.
double editorResidentMegabytes() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  const uint pid = bus.interface()->servicePid(bus::kServiceName).value();
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  return -1;
}

void BM_EditorMemoryWithTheFontOpen(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(editorResidentMegabytes());
  state.counters["kernova_rss_MB"] = editorResidentMegabytes();
}
BENCHMARK(BM_EditorMemoryWithTheFontOpen)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  useThrowAwayHome(home);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  editor::setSystemCodePage(codepage::CodePage::Cp932);

  JapaneseFontPrompts prompts;
  RealEditorWindow window(home, prompts, 0x8140);
  Form1* form = window.form.get();
  if (peek(*form).editorUnavailable() || peek(*form).fonttype() != 2) {
    std::fprintf(stderr, "bench_rebuild: no Japanese font in an editor (%s)\n", qPrintable(editorProgram()));
    return 1;
  }
  drawTwentyStrokes(*form);
  form->CommandSave_Click();
  Form1::setCheckValue(form->CheckSB, 1);
  form->TextLSB->setText("40");
  form->TextRSB->setText("40");
  const std::filesystem::path folder = home.path().toStdString();
  writeStrokeFiles(folder, folder / Form1::strokeFileName(0x8140).toStdString());
  g_form = form;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::fprintf(stderr, "bench_rebuild: %s\n", qPrintable(form->LabelStat->text()));
  return 0;
}
