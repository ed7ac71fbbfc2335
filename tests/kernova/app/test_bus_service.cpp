// The editor's bus contract, against the real `kernova` on a private session bus:
// members through gdbus (introspected types) and QtDBus, the lettering tool's type
// probe and glyph transfer, bad calls, and the single-instance hand-over.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/kernova/app/EditorProcess.h"
#include "tests/kernova/app/TestBitmap.h"

namespace kernova::testing {
namespace {

const QString kApp = QStringLiteral("/Application");
const QString kAppIface = QStringLiteral("Kernova.Application");
const QString kDocIface = QStringLiteral("Kernova.Document");
const QString kInvalid = QStringLiteral("Kernova.Error.InvalidArgument");

struct CommandResult {
  int exitCode = -1;
  QString out, err;
};

CommandResult run(const QString& program, const QStringList& arguments, const QString& workingDir = {},
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(workingDir);
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) process.kill();
  process.waitForFinished();
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
          QString::fromUtf8(process.readAllStandardError()).trimmed()};
}

// gdbus learns the argument types from the editor's introspection data.
CommandResult gdbus(const QString& path, const QString& method, const QStringList& arguments = {}) {
  return run("gdbus", QStringList{"call", "--session", "--dest", kEditorName, "--object-path", path, "--method",
                                  method} + arguments);
}

QString gdbusGet(const QString& path, const QString& interface, const QString& property) {
  return gdbus(path, "org.freedesktop.DBus.Properties.Get", {interface, property}).out;
}

QDBusMessage call(const QString& path, const QString& member, const QVariantList& arguments = {},
                  const QString& interface = {}) {
  const QString iface = !interface.isEmpty() ? interface : path == kApp ? kAppIface : kDocIface;
  QDBusMessage message = QDBusMessage::createMethodCall(kEditorName, path, iface, member);
  message.setArguments(arguments);
  return QDBusConnection::sessionBus().call(message, QDBus::Block, 20000);
}

QVariant property(const QString& path, const QString& name) {
  const QDBusMessage reply =
      call(path, "Get", {path == kApp ? kAppIface : kDocIface, name}, "org.freedesktop.DBus.Properties");
  return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QString activeDocument() { return property(kApp, "ActiveDocument").value<QDBusObjectPath>().path(); }

void expectOk(const QDBusMessage& reply) {
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorName().toStdString() << ": "
                                                     << reply.errorMessage().toStdString();
}

void expectError(const QDBusMessage& reply, const QString& name) {
  EXPECT_EQ(reply.errorName(), name) << reply.errorMessage().toStdString();
  EXPECT_FALSE(reply.errorMessage().isEmpty());
}

QVariant int16(short value) { return QVariant::fromValue(value); }

short getcode(const QString& document) {
  const QDBusMessage reply = call(document, "getcode", {int16(0), false});
  expectOk(reply);
  return reply.arguments().value(0).value<short>();
}

void setcode(const QString& document, int code) { expectOk(call(document, "setcode", {int16(0), code, false})); }

// The lettering tool's probe: Japanese when 0x82A0 sticks; the old code is restored.
bool probeIsJapanese(const QString& document) {
  const short saved = getcode(document);
  setcode(document, 0x82A0);
  const short probe = getcode(document);
  setcode(document, saved);
  return probe == -32096;
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
    expectOk(reply);
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
  }

  // One glyph as the lettering tool sends it.
  void transfer(const QString& document, int code, short left, short right) {
    setcode(document, code);
    for (const char* member : {"selectall", "Delete"}) expectOk(call(document, member));
    expectOk(call(document, "ImportBmpfile", {m_bitmap}));
    expectOk(call(document, "unselectall"));
    expectOk(call(document, "SetLeftRightSidebearing", {int16(left), int16(right), false}));
  }

  static QString editorExecutable() { return QString(qgetenv("DZ_BIN_DIR")) + "/kernova"; }

  QTemporaryDir m_home;
  EditorProcess m_editor{editorExecutable(), m_home.path()};
  QString m_bitmap = m_home.filePath("glyph.bmp");
};

// gdbus for the properties, a representative set of members and an error reply;
// the other members go through QtDBus below.
TEST_F(EditorBus, GdbusCallsTheIntrospectedMembersAndReadsTheProperties) {
  EXPECT_EQ(gdbusGet(kApp, kAppIface, "ActiveDocument"), "(<objectpath '/'>,)");
  EXPECT_EQ(gdbusGet(kApp, kAppIface, "hWnd"), "(<uint32 0>,)") << "no native window offscreen";
  EXPECT_EQ(gdbus(kApp, "Kernova.Application.NewFile", {"1", "false"}).out, "(objectpath '/Documents/1',)");
  const QString doc = "/Documents/1";
  EXPECT_EQ(gdbusGet(doc, kDocIface, "Name"), "(<'Untitled-1'>,)");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.setcode", {"0", "65", "false"}).out, "()");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.getcode", {"0", "false"}).out, "(int16 65,)");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.SetLeftRightSidebearing", {"40", "40", "false"}).out, "()");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.save").out, "()");
  EXPECT_EQ(gdbusGet(doc, kDocIface, "saved"), "(<true>,)");
  EXPECT_TRUE(QFile::exists(m_home.filePath("Documents/Untitled-1.ttf"))) << "save makes the documents folder";
  const QString copy = m_home.filePath("copy.ttf");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.SaveAs", {"'" + copy + "'"}).out, "()");
  EXPECT_EQ(gdbusGet(doc, kDocIface, "FilePath"), "(<'" + copy + "'>,)");
  EXPECT_EQ(gdbus(doc, "Kernova.Document.Close").out, "()");
  EXPECT_EQ(gdbus(kApp, "Kernova.Application.Open", {"'" + copy + "'"}).out, "(objectpath '/Documents/2',)");
  const CommandResult closed = gdbus(doc, "Kernova.Document.selectall");
  EXPECT_TRUE(closed.err.contains("Kernova.Error.NoDocument")) << closed.err.toStdString();
  EXPECT_EQ(gdbus(kApp, "Kernova.Application.Quit").out, "()");
  ASSERT_TRUE(m_editor.process().waitForFinished(10000));
  EXPECT_EQ(m_editor.process().exitCode(), 0);
  EXPECT_TRUE(waitUntil([] { return !editorNameOwned(); }, 5000));
}

TEST_F(EditorBus, QDBusInterfaceSeesTheContractAndTheProbeTellsLatinFromJapanese) {
  QDBusInterface application(kEditorName, kApp, kAppIface);
  ASSERT_TRUE(application.isValid()) << application.lastError().message().toStdString();
  EXPECT_EQ(application.property("hWnd").metaType(), QMetaType::fromType<uint>());
  const QString latin = application.call("NewFile", int16(1), true).arguments().value(0)
                            .value<QDBusObjectPath>().path();
  QDBusInterface document(kEditorName, latin, kDocIface);
  ASSERT_TRUE(document.isValid()) << document.lastError().message().toStdString();
  EXPECT_EQ(document.property("FilePath").toString(), m_home.filePath("Documents/Untitled-1.ttf"));
  setcode(latin, 0x10041);
  EXPECT_EQ(getcode(latin), 0x41) << "setcode takes the low 16 bits";
  EXPECT_FALSE(probeIsJapanese(latin));
  EXPECT_EQ(getcode(latin), 0x41) << "the probe must leave the code where it was";

  const QString japanese = newFile(0);
  EXPECT_EQ(activeDocument(), japanese);
  setcode(japanese, 0x829F);
  EXPECT_TRUE(probeIsJapanese(japanese));
  EXPECT_EQ(getcode(japanese), short(0x829F));
  expectOk(call(japanese, "viewnextcode"));
  EXPECT_EQ(getcode(japanese), -32096) << "0x82A0 follows, read back as a negative int16";
  expectOk(call(japanese, "viewpreviouscode"));
  EXPECT_EQ(getcode(japanese), short(0x829F));
}

TEST_F(EditorBus, TransferProducesAFontThatPassesOtsWithTheSideBearings) {
  const QString doc = newFile(1);
  transfer(doc, 0x41, 50, 60);
  EXPECT_FALSE(property(doc, "saved").toBool());
  expectOk(call(doc, "Undo"));
  EXPECT_TRUE(property(doc, "saved").toBool()) << "the whole transfer is one step";
  expectOk(call(doc, "Redo"));
  expectOk(call(doc, "save"));
  EXPECT_TRUE(property(doc, "saved").toBool());
  const QString font = property(doc, "FilePath").toString();
  const CommandResult ots = run("ots-sanitize", {font});
  EXPECT_EQ(ots.exitCode, 0) << (ots.out + ots.err).toStdString();
  const CommandResult metrics = run("/usr/bin/python3", {"-c",
      "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
      "name = f.getBestCmap()[0x41]\ng = f['glyf'][name]\nadvance, lsb = f['hmtx'][name]\n"
      "print(g.numberOfContours >= 2, lsb, g.xMin, advance - g.xMax)", font});
  EXPECT_EQ(metrics.out, "True 50 50 60") << "a ring with its hole, placed by the bearings; "
                                           << metrics.err.toStdString();
}

TEST_F(EditorBus, BadCallsAreErrorRepliesAndTheEditorKeepsServing) {
  const QString doc = newFile(1);
  setcode(doc, 0x41);
  const QString junk = m_home.filePath("junk.bmp");
  ASSERT_TRUE(writeBytes(junk.toStdString(), {'n', 'o', 't', ' ', 'b', 'm', 'p'}));
  for (const QString& bad : {m_home.filePath("missing.bmp"), junk})
    expectError(call(doc, "ImportBmpfile", {bad}), "Kernova.Error.ImportFailed");
  expectError(call(doc, "ImportBmpfile", {"relative.bmp"}), kInvalid);
  expectError(call(doc, "ImportBmpfile", {42}), kInvalid);
  expectError(call(doc, "setcode", {int16(0), int16(0x42), false}), kInvalid);
  expectError(call(doc, "getcode", {0, false}), kInvalid);
  expectError(call(doc, "SetLeftRightSidebearing", {10, 10, false}), kInvalid);
  expectError(call(kApp, "NewFile", {1, true}), kInvalid);
  expectError(call(kApp, "NewFile", {int16(7), true}), kInvalid);
  expectError(call(doc, "nosuchmember"), "org.freedesktop.DBus.Error.UnknownMethod");
  expectError(call(doc, "SaveAs", {"/proc/kernova/font.ttf"}), "Kernova.Error.SaveFailed");
  expectError(call(kApp, "Open", {m_home.filePath("missing.ttf")}), "Kernova.Error.OpenFailed");
  expectError(call(kApp, "Open", {m_bitmap}), "Kernova.Error.OpenFailed");
  EXPECT_EQ(getcode(doc), 0x41) << "a rejected setcode must not move the code";
  EXPECT_TRUE(property(doc, "saved").toBool()) << "failed calls change nothing";
  EXPECT_EQ(property(doc, "Name").toString(), "Untitled-1") << "a failed Save As renames nothing";

  expectOk(call(doc, "Close"));
  expectError(call(doc, "getcode", {int16(0), false}), "Kernova.Error.NoDocument");
  expectError(call(doc, "Get", {kDocIface, "Name"}, "org.freedesktop.DBus.Properties"), "Kernova.Error.NoDocument");
  expectError(call("/Documents/9", "selectall"), "Kernova.Error.NoDocument");
  EXPECT_EQ(newFile(1), "/Documents/2") << "a closed document's number is not reused";
  setcode("/Documents/2", 0x42);
  EXPECT_EQ(getcode("/Documents/2"), 0x42);
}

TEST_F(EditorBus, FontsNamedOnTheCommandLineAreOpenedOrHandedToTheRunningEditor) {
  const QString doc = newFile(0);
  transfer(doc, 0x82A0, 0, 0);
  const QString handed = m_home.filePath("handed.ttf"), atStart = m_home.filePath("start.ttf");
  expectOk(call(doc, "SaveAs", {handed}));
  expectOk(call(doc, "SaveAs", {atStart}));
  expectOk(call(doc, "Close"));
  const QProcessEnvironment environment = EditorProcess::environment(m_home.path());
  const CommandResult second = run(editorExecutable(), {"handed.ttf"}, m_home.path(), environment);
  EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
  EXPECT_EQ(activeDocument(), "/Documents/2");
  EXPECT_EQ(property("/Documents/2", "FilePath").toString(), handed);
  EXPECT_TRUE(probeIsJapanese("/Documents/2")) << "the type survives save and open";
  const CommandResult refused = run(editorExecutable(), {m_bitmap}, m_home.path(), environment);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains("could not open")) << refused.err.toStdString();
  EXPECT_EQ(m_editor.process().state(), QProcess::Running);

  m_editor.stop();
  EditorProcess editor(editorExecutable(), m_home.path());
  ASSERT_TRUE(editor.start({atStart}));
  EXPECT_EQ(activeDocument(), "/Documents/1");
  EXPECT_EQ(property("/Documents/1", "Name").toString(), "start");
}

}  // namespace
}  // namespace kernova::testing

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
