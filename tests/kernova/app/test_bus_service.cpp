// The editor's bus contract, against the real `kernova` on a private session bus:
// introspected signatures through gdbus, properties, object paths, error reply names,
// the lettering tool's type probe and glyph transfer, and the single-instance hand-over.
// What the documents do with the calls is the engine's and DocumentSet's tests'.
#include <gtest/gtest.h>

#include <climits>

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QTemporaryDir>

#include "tests/kernova/app/EditorProcess.h"
#include "tests/kernova/app/TestBitmap.h"
#include "kernova/engine/TrueTypeReader.h"

namespace kernova::testing {
namespace {

const QString kApp = QStringLiteral("/Application");
const QString kAppIface = QStringLiteral("Kernova.Application");
const QString kDocIface = QStringLiteral("Kernova.Document");
const QString kInvalid = QStringLiteral("Kernova.Error.InvalidArgument");

// Runs a program to its end; returns its exit code, standard output and error in `out`.
int run(const QString& program, const QStringList& arguments, QString& out, const QString& home = {}) {
  QProcess process;
  if (!home.isEmpty()) process.setProcessEnvironment(EditorProcess::environment(home));
  process.setWorkingDirectory(home);
  process.start(program, arguments);
  process.waitForFinished(30000);
  out = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// gdbus learns the argument types from the editor's introspection data.
QString gdbus(const QString& path, const QString& method, const QStringList& arguments = {}) {
  QString out;
  run("gdbus", QStringList{"call", "--session", "--dest", kEditorName, "--object-path", path, "--method", method} +
                   arguments, out);
  return out;
}

QString gdbusGet(const QString& path, const QString& property) {
  return gdbus(path, "org.freedesktop.DBus.Properties.Get", {path == kApp ? kAppIface : kDocIface, property});
}

QDBusMessage call(const QString& path, const QString& member, const QVariantList& arguments = {},
                  const QString& interface = {}) {
  QDBusMessage message = QDBusMessage::createMethodCall(
      kEditorName, path, !interface.isEmpty() ? interface : path == kApp ? kAppIface : kDocIface, member);
  message.setArguments(arguments);
  return QDBusConnection::sessionBus().call(message, QDBus::Block, 20000);
}

QVariant property(const QString& path, const QString& name) {
  const QDBusMessage reply =
      call(path, "Get", {path == kApp ? kAppIface : kDocIface, name}, "org.freedesktop.DBus.Properties");
  return reply.arguments().value(0).value<QDBusVariant>().variant();
}

// An empty name expects a reply; any other an error of that name with a message.
void expectReply(const QDBusMessage& reply, const QString& errorName = {}) {
  EXPECT_EQ(reply.errorName(), errorName) << reply.errorMessage().toStdString();
  EXPECT_EQ(reply.errorMessage().isEmpty(), errorName.isEmpty());
}

QVariant int16(short value) { return QVariant::fromValue(value); }

short getcode(const QString& document) {
  return call(document, "getcode", {int16(0), false}).arguments().value(0).value<short>();
}

void setcode(const QString& document, int code) { expectReply(call(document, "setcode", {int16(0), code, false})); }

// The lettering tool's probe: Japanese when 0x82A0 sticks (read back as a negative int16).
bool probeIsJapanese(const QString& document) {
  setcode(document, 0x82A0);
  return getcode(document) == -32096;
}

class EditorBus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(waitUntil([] { return !editorNameOwned(); }, 5000)) << "an earlier editor still owns the name";
    ASSERT_TRUE(m_editor.start()) << "kernova did not take its bus name";
    ASSERT_TRUE(writeBytes(m_bitmap.toStdString(), sampleGlyphBmp()));
  }

  QString newFile(short type) {
    const QDBusMessage reply = call(kApp, "NewFile", {int16(type), true});
    expectReply(reply);
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
  }

  // One glyph as the lettering tool sends it.
  void transfer(const QString& document, int code, short left, short right) {
    setcode(document, code);
    for (const char* member : {"selectall", "Delete"}) expectReply(call(document, member));
    expectReply(call(document, "ImportBmpfile", {m_bitmap}));
    expectReply(call(document, "unselectall"));
    expectReply(call(document, "SetLeftRightSidebearing", {int16(left), int16(right), false}));
  }

  static QString editorExecutable() { return QString(qgetenv("DZ_BIN_DIR")) + "/kernova"; }

  QTemporaryDir m_home;
  EditorProcess m_editor{editorExecutable(), m_home.path()};
  QString m_bitmap = m_home.filePath("glyph.bmp");
};

TEST_F(EditorBus, GdbusCallsTheIntrospectedMembersAndReadsTheProperties) {
  EXPECT_EQ(gdbusGet(kApp, "ActiveDocument"), "(<objectpath '/'>,)");
  EXPECT_EQ(gdbusGet(kApp, "hWnd"), "(<uint32 0>,)") << "no native window offscreen";
  EXPECT_EQ(gdbus(kApp, "Kernova.Application.NewFile", {"1", "false"}), "(objectpath '/Documents/1',)");
  const QString doc = "/Documents/1";
  EXPECT_EQ(gdbusGet(doc, "Name"), "(<'Untitled-1'>,)");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.setcode", {"0", "65", "false"}), "()");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.getcode", {"0", "false"}), "(int16 65,)");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.SetLeftRightSidebearing", {"40", "40", "false"}), "()");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.save"), "()");
  EXPECT_EQ(gdbusGet(doc, "saved"), "(<true>,)");
  EXPECT_TRUE(QFile::exists(m_home.filePath("Documents/Untitled-1.ttf"))) << "save makes the documents folder";
  const QString copy = m_home.filePath("copy.ttf");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.SaveAs", {"'" + copy + "'"}), "()");
  EXPECT_EQ(gdbusGet(doc, "FilePath"), "(<'" + copy + "'>,)");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.Close"), "()");
  EXPECT_EQ(gdbus(kApp, "Kernova.Application.Open", {"'" + copy + "'"}), "(objectpath '/Documents/2',)");
  EXPECT_TRUE(gdbus(doc, "Kernova.Document.selectall").contains("Kernova.Error.NoDocument"));
  EXPECT_EQ(gdbus(kApp, "Kernova.Application.Quit"), "()");
  ASSERT_TRUE(m_editor.process().waitForFinished(10000));
  EXPECT_EQ(m_editor.process().exitCode(), 0);
  EXPECT_TRUE(waitUntil([] { return !editorNameOwned(); }, 5000));
}

// The transfer as the lettering tool makes it, read back from the saved font.
TEST_F(EditorBus, ProbeTellsLatinFromJapaneseAndATransferredGlyphIsSavedWithItsSideBearings) {
  const QString latin = newFile(1);
  EXPECT_FALSE(probeIsJapanese(latin));
  transfer(latin, 0x10042, 50, 60);  // setcode takes the low 16 bits: 'B'
  expectReply(call(latin, "Undo"));
  EXPECT_TRUE(property(latin, "saved").toBool()) << "the whole transfer is one step";
  expectReply(call(latin, "Redo"));
  EXPECT_FALSE(property(latin, "saved").toBool());
  expectReply(call(latin, "save"));
  std::unique_ptr<FontDocument> saved;
  ASSERT_TRUE(loadTrueType(property(latin, "FilePath").toString().toStdString(), saved));
  const Glyph& glyph = *saved->glyph('B');
  EXPECT_EQ(glyph.contours.size(), 2u) << "the ring with its bar, and its hole";
  int left = INT_MAX, right = INT_MIN;
  for (const Contour& contour : glyph.contours)
    for (const Point& point : contour) left = std::min(left, point.x), right = std::max(right, point.x);
  EXPECT_EQ(left, 50);
  EXPECT_EQ(glyph.advance - right, 60);

  const QString japanese = newFile(0);
  EXPECT_EQ(property(kApp, "ActiveDocument").value<QDBusObjectPath>().path(), japanese);
  EXPECT_TRUE(probeIsJapanese(japanese));
  expectReply(call(japanese, "viewnextcode"));
  EXPECT_EQ(getcode(japanese), short(0x82A1));
  expectReply(call(japanese, "viewpreviouscode"));
  EXPECT_EQ(getcode(japanese), short(0x82A0));
}

TEST_F(EditorBus, BadCallsAreErrorRepliesAndTheEditorKeepsServing) {
  const QString doc = newFile(1);
  setcode(doc, 0x41);
  expectReply(call(doc, "ImportBmpfile", {m_home.filePath("missing.bmp")}), "Kernova.Error.ImportFailed");
  expectReply(call(doc, "ImportBmpfile", {"relative.bmp"}), kInvalid);
  expectReply(call(doc, "ImportBmpfile", {42}), kInvalid);
  expectReply(call(doc, "setcode", {int16(0), int16(0x42), false}), kInvalid);
  expectReply(call(doc, "SetLeftRightSidebearing", {10, 10, false}), kInvalid);
  expectReply(call(kApp, "NewFile", {int16(7), true}), kInvalid);
  expectReply(call(doc, "nosuchmember"), "org.freedesktop.DBus.Error.UnknownMethod");
  expectReply(call(doc, "SaveAs", {"/proc/kernova/font.ttf"}), "Kernova.Error.SaveFailed");
  expectReply(call(kApp, "Open", {m_bitmap}), "Kernova.Error.OpenFailed");
  EXPECT_EQ(getcode(doc), 0x41) << "a rejected setcode must not move the code";
  EXPECT_TRUE(property(doc, "saved").toBool()) << "failed calls change nothing";
  EXPECT_EQ(property(doc, "Name").toString(), "Untitled-1") << "a failed Save As renames nothing";
  expectReply(call(doc, "Close"));
  expectReply(call(doc, "getcode", {int16(0), false}), "Kernova.Error.NoDocument");
  expectReply(call(doc, "Get", {kDocIface, "Name"}, "org.freedesktop.DBus.Properties"), "Kernova.Error.NoDocument");
  expectReply(call("/Documents/9", "selectall"), "Kernova.Error.NoDocument");
  EXPECT_EQ(newFile(1), "/Documents/2") << "a closed document's number is not reused";
}

TEST_F(EditorBus, FontsNamedOnTheCommandLineAreOpenedOrHandedToTheRunningEditor) {
  const QString doc = newFile(0);
  const QString handed = m_home.filePath("handed.ttf"), atStart = m_home.filePath("start.ttf");
  expectReply(call(doc, "SaveAs", {handed}));
  expectReply(call(doc, "SaveAs", {atStart}));
  expectReply(call(doc, "Close"));
  QString out;
  EXPECT_EQ(run(editorExecutable(), {"handed.ttf"}, out, m_home.path()), 0) << out.toStdString();
  EXPECT_EQ(property("/Documents/2", "FilePath").toString(), handed);
  EXPECT_TRUE(probeIsJapanese("/Documents/2")) << "the type survives save and open";
  EXPECT_EQ(run(editorExecutable(), {m_bitmap}, out, m_home.path()), 1);
  EXPECT_TRUE(out.contains("could not open")) << out.toStdString();
  EXPECT_EQ(m_editor.process().state(), QProcess::Running);
  m_editor.stop();
  EditorProcess editor(editorExecutable(), m_home.path());
  ASSERT_TRUE(editor.start({atStart}));
  EXPECT_EQ(property("/Documents/1", "Name").toString(), "start");
}

}  // namespace
}  // namespace kernova::testing

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
