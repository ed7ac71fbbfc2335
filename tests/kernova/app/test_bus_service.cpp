// The editor's bus contract, against the real `kernova` on a private session bus:
// introspected signatures through gdbus, properties, object paths, the lettering tool's
// type probe, error reply names and the single-instance hand-over. What the documents do
// with the calls is the engine's and DocumentSet's tests', a whole glyph transfer
// test_kernova_send's.
#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QDBusVariant>
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

// Calls `arguments` (object path, method, its arguments) through gdbus; its output.
QString gdbus(const QStringList& arguments) {
  QString out;
  run("gdbus", QStringList{"call", "--session", "--dest", kEditorName, "--object-path", arguments[0], "--method"} +
                   arguments.mid(1), out);
  return out;
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
    ASSERT_TRUE(writeBytes(m_bitmap.toStdString(), {'B', 'M'}));  // no font
  }

  QString newFile(short type) {
    const QDBusMessage reply = call(kApp, "NewFile", {int16(type), true});
    expectReply(reply);
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
  }

  static QString editorExecutable() { return QString(qgetenv("DZ_BIN_DIR")) + "/kernova"; }

  QTemporaryDir m_home;
  EditorProcess m_editor{editorExecutable(), m_home.path()};
  QString m_bitmap = m_home.filePath("glyph.bmp");  // a file that is no font
};

// gdbus learns the argument types from the editor's introspection data.
TEST_F(EditorBus, GdbusCallsTheIntrospectedMembersAndReadsTheProperties) {
  const QString doc = "/Documents/1", copy = m_home.filePath("copy.ttf");
  const std::pair<QStringList, QString> calls[] = {
      {{kApp, "org.freedesktop.DBus.Properties.Get", kAppIface, "ActiveDocument"}, "(<objectpath '/'>,)"},
      {{kApp, "org.freedesktop.DBus.Properties.Get", kAppIface, "hWnd"}, "(<uint32 0>,)"},  // none offscreen
      {{kApp, "Kernova.Application.NewFile", "1", "false"}, "(objectpath '/Documents/1',)"},
      {{doc, "org.freedesktop.DBus.Properties.Get", kDocIface, "Name"}, "(<'Untitled-1'>,)"},
      {{doc, "Kernova.Document.setcode", "0", "65", "false"}, "()"},
      {{doc, "Kernova.Document.setcode", "0", "33440", "false"}, "()"},  // the tool's probe: 0x82A0 is not Latin
      {{doc, "Kernova.Document.getcode", "0", "false"}, "(int16 65,)"},
      {{doc, "Kernova.Document.SetLeftRightSidebearing", "40", "40", "false"}, "()"},
      {{doc, "Kernova.Document.save"}, "()"},
      {{doc, "org.freedesktop.DBus.Properties.Get", kDocIface, "saved"}, "(<true>,)"},
      {{doc, "Kernova.Document.SaveAs", "'" + copy + "'"}, "()"},
      {{doc, "org.freedesktop.DBus.Properties.Get", kDocIface, "FilePath"}, "(<'" + copy + "'>,)"},
      {{doc, "Kernova.Document.Close"}, "()"},
      {{kApp, "Kernova.Application.Open", "'" + copy + "'"}, "(objectpath '/Documents/2',)"},
      {{kApp, "Kernova.Application.NewFile", "0", "true"}, "(objectpath '/Documents/3',)"},
      {{"/Documents/3", "Kernova.Document.setcode", "0", "33440", "false"}, "()"},  // Japanese: 0x82A0 sticks
      {{"/Documents/3", "Kernova.Document.viewnextcode"}, "()"},
      {{"/Documents/3", "Kernova.Document.getcode", "0", "false"}, "(int16 -32095,)"},
      {{kApp, "Kernova.Application.Quit"}, "()"}};
  for (const auto& [arguments, expected] : calls) EXPECT_EQ(gdbus(arguments), expected) << arguments.join(' ').toStdString();
  EXPECT_TRUE(QFile::exists(m_home.filePath("Documents/Untitled-1.ttf"))) << "save makes the documents folder";
  ASSERT_TRUE(m_editor.process().waitForFinished(10000));
  EXPECT_EQ(m_editor.process().exitCode(), 0);
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
