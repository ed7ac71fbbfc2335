// One glyph transfer over the session bus, as the lettering tool sends it: setcode,
// selectall, Delete, ImportBmpfile of a 512 x 512 bitmap, unselectall,
// SetLeftRightSidebearing; timed from the first call to the reply of the last.
// Uses the running editor, or starts `kernova` (offscreen) when the name is free.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include <QFileInfo>

#include "tests/kernova/app/EditorProcess.h"
#include "tests/kernova/engine/BmpSamples.h"
#include "tests/support/FileBytes.h"

namespace {

using kernova::testing::kEditorName;

struct Session {
  QTemporaryDir home;
  QString bitmap;
  QString document;
  std::unique_ptr<kernova::testing::EditorProcess> ownEditor;
};
Session* g_session = nullptr;

QDBusMessage call(const QString& path, const QString& interface, const QString& member,
                  const QVariantList& arguments = {}) {
  QDBusMessage message = QDBusMessage::createMethodCall(kEditorName, path, interface, member);
  message.setArguments(arguments);
  return QDBusConnection::sessionBus().call(message, QDBus::Block, 20000);
}

// The editor's sample glyph as the lettering tool exports it: a 1-bit bottom-up BMP of the
// 512 x 512 canvas, a ring with a bar through its side.
std::string sampleGlyphBmp() {
  kernova::InkBitmap canvas = samples::blank(512, 512);
  samples::stroke(canvas, 256, 260, 256, 260, 150);
  samples::stroke(canvas, 256, 260, 256, 260, 80, false);
  samples::fillRect(canvas, 380, 80, 419, 441);
  const std::vector<uint8_t> bytes = samples::encodeBmp(canvas, true);
  return {bytes.begin(), bytes.end()};
}

// Returns an empty string when the editor is ready with a fresh Latin document.
QString prepare(Session& session) {
  if (!session.home.isValid()) return "no temporary folder";
  session.bitmap = session.home.filePath("glyph.bmp");
  writeBytes(session.bitmap.toStdString(), sampleGlyphBmp());
  if (!QFileInfo(session.bitmap).size()) return "cannot write the bitmap";
  if (qEnvironmentVariableIsEmpty("DZ_BIN_DIR"))  // the build's own editor
    qputenv("DZ_BIN_DIR", QFileInfo(QStringLiteral(KERNOVA_EXECUTABLE)).path().toUtf8());
  if (!kernova::testing::editorNameOwned()) {
    session.ownEditor = std::make_unique<kernova::testing::EditorProcess>(session.home.path());
    if (!session.ownEditor->start()) return "cannot start " + kernova::testing::editorExecutable();
  }
  const QDBusMessage created = call("/Application", "Kernova.Application", "NewFile",
                                    {QVariant::fromValue<short>(1), false});
  if (created.type() != QDBusMessage::ReplyMessage) return "NewFile: " + created.errorMessage();
  session.document = created.arguments().value(0).value<QDBusObjectPath>().path();
  return {};
}

void BM_GlyphTransfer(benchmark::State& state) {
  const QString doc = g_session->document;
  const QString iface = QStringLiteral("Kernova.Document");
  const QVariant zero = QVariant::fromValue<short>(0);
  const QVariantList sideBearings{QVariant::fromValue<short>(40), QVariant::fromValue<short>(40), false};
  for (auto _ : state) {
    const QDBusMessage replies[] = {
        call(doc, iface, "setcode", {zero, 0x41, false}),
        call(doc, iface, "selectall"),
        call(doc, iface, "Delete"),
        call(doc, iface, "ImportBmpfile", {g_session->bitmap}),
        call(doc, iface, "unselectall"),
        call(doc, iface, "SetLeftRightSidebearing", sideBearings),
    };
    for (const QDBusMessage& reply : replies) {
      if (reply.type() != QDBusMessage::ReplyMessage) {
        state.SkipWithError(qPrintable(reply.errorName() + ": " + reply.errorMessage()));
        return;
      }
    }
  }
}
BENCHMARK(BM_GlyphTransfer)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Session session;
  g_session = &session;
  const QString problem = prepare(session);
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "bench_bus_transfer: %s\n", qPrintable(problem));
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  call(session.document, "Kernova.Document", "Close");
  return 0;
}
