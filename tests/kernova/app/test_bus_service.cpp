// The editor's bus contract, against the real `kernova` on a private session bus:
// introspected signatures through gdbus, properties, object paths, the lettering tool's
// type probe, error reply names, the single-instance hand-over and installing a font into
// a private font folder and fontconfig cache. What the documents do with the calls is
// the engine's and DocumentSet's tests', a whole glyph transfer test_kernova_send's.
#include <gtest/gtest.h>

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

// An empty name expects a reply; any other an error of that name with a message.
void expectReply(const QDBusMessage& reply, const QString& errorName = {}) {
  EXPECT_EQ(reply.errorName(), errorName) << reply.errorMessage().toStdString();
  EXPECT_EQ(reply.errorMessage().isEmpty(), errorName.isEmpty());
}

QVariant int16(short value) { return QVariant::fromValue(value); }

short getcode(const QString& document) {
  return busCall(document, "getcode", {int16(0), false}).arguments().value(0).value<short>();
}

void setcode(const QString& document, int code) { expectReply(busCall(document, "setcode", {int16(0), code, false})); }

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
    const QDBusMessage reply = busCall(kApp, "NewFile", {int16(type), true});
    expectReply(reply);
    return objectPath(reply);
  }

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
  expectReply(busCall(doc, "ImportBmpfile", {m_home.filePath("missing.bmp")}), "Kernova.Error.ImportFailed");
  expectReply(busCall(doc, "ImportBmpfile", {"relative.bmp"}), kInvalid);
  expectReply(busCall(doc, "ImportBmpfile", {42}), kInvalid);
  expectReply(busCall(doc, "setcode", {int16(0), int16(0x42), false}), kInvalid);
  expectReply(busCall(doc, "SetLeftRightSidebearing", {10, 10, false}), kInvalid);
  expectReply(busCall(kApp, "NewFile", {int16(7), true}), kInvalid);
  expectReply(busCall(doc, "nosuchmember"), "org.freedesktop.DBus.Error.UnknownMethod");
  expectReply(busCall(doc, "SaveAs", {"/proc/kernova/font.ttf"}), "Kernova.Error.SaveFailed");
  expectReply(busCall(kApp, "Open", {m_bitmap}), "Kernova.Error.OpenFailed");
  EXPECT_EQ(getcode(doc), 0x41) << "a rejected setcode must not move the code";
  EXPECT_TRUE(getProperty(doc, "saved").toBool()) << "failed calls change nothing";
  EXPECT_EQ(getProperty(doc, "Name").toString(), "Untitled-1") << "a failed Save As renames nothing";
  expectReply(busCall(doc, "Close"));
  expectReply(busCall(doc, "getcode", {int16(0), false}), "Kernova.Error.NoDocument");
  expectReply(busCall(doc, "Get", {kDocIface, "Name"}, "org.freedesktop.DBus.Properties"), "Kernova.Error.NoDocument");
  expectReply(busCall("/Documents/9", "selectall"), "Kernova.Error.NoDocument");
  EXPECT_EQ(newFile(1), "/Documents/2") << "a closed document's number is not reused";
}

TEST_F(EditorBus, FontsNamedOnTheCommandLineAreOpenedOrHandedToTheRunningEditor) {
  const QString doc = newFile(0);
  const QString handed = m_home.filePath("handed.ttf"), atStart = m_home.filePath("start.ttf");
  expectReply(busCall(doc, "SaveAs", {handed}));
  expectReply(busCall(doc, "SaveAs", {atStart}));
  expectReply(busCall(doc, "Close"));
  QString out;
  EXPECT_EQ(run(editorExecutable(), {"handed.ttf"}, out, m_home.path()), 0) << out.toStdString();
  EXPECT_EQ(getProperty("/Documents/2", "FilePath").toString(), handed);
  EXPECT_TRUE(probeIsJapanese("/Documents/2")) << "the type survives save and open";
  EXPECT_EQ(run(editorExecutable(), {m_bitmap}, out, m_home.path()), 1);
  EXPECT_TRUE(out.contains("could not open")) << out.toStdString();
  EXPECT_EQ(m_editor.process().state(), QProcess::Running);
  m_editor.stop();
  EditorProcess editor(editorExecutable(), m_home.path());
  ASSERT_TRUE(editor.start({atStart}));
  EXPECT_EQ(getProperty("/Documents/1", "Name").toString(), "start");
}

// The names are writable properties of their type; a font installed twice under one
// family is one file that fontconfig knows, and a font folder that cannot be made is
// an error reply.
TEST_F(EditorBus, NamesAreWritablePropertiesAndInstallReplacesTheFamilysCopy) {
  const QString doc = newFile(0), saved = m_home.filePath("Other.ttf");
  for (const QString& path : {m_home.filePath("Names.ttf"), saved}) expectReply(busCall(doc, "SaveAs", {path}));
  EXPECT_EQ(getProperty(doc, "FamilyName").toString(), "Names") << "the first Save As names the family";
  const std::pair<QString, QString> names[] = {
      {"FamilyName", "筆かな"}, {"StyleName", "Bold"}, {"Designer", "Ann Ink"}, {"Copyright", "(c) Ann"}, {"License", "OFL"}};
  for (const auto& [name, value] : names) EXPECT_EQ(setProperty(doc, name, value), "") << name.toStdString();
  EXPECT_EQ(setProperty(doc, "Name", "x"), "org.freedesktop.DBus.Error.PropertyReadOnly");
  EXPECT_EQ(setProperty(doc, "Designer", 7), kInvalid);
  expectReply(busCall(doc, "save"));
  expectReply(busCall(doc, "Close"));
  const QString back = objectPath(busCall(kApp, "Open", {saved}));
  for (const auto& [name, value] : names) EXPECT_EQ(getProperty(back, name).toString(), value) << name.toStdString();
  expectReply(busCall(back, "Install"));
  ASSERT_EQ(setProperty(back, "Designer", "Someone Else"), "");
  expectReply(busCall(back, "Install"));
  const QDir fonts(m_home.path() + "/data/fonts");
  EXPECT_EQ(fonts.entryList({"*.ttf"}), QStringList{"u7B46u304Bu306A-Bold.ttf"});
  QString listed;
  run("fc-list", {":", "family", "file"}, listed, m_home.path());
  EXPECT_TRUE(listed.contains(fonts.filePath("u7B46u304Bu306A-Bold.ttf") + ": u7B46u304Bu306A,筆かな"));
  ASSERT_TRUE(QDir(m_home.path() + "/data").removeRecursively());
  QFile(m_home.path() + "/data").open(QIODevice::WriteOnly);
  expectReply(busCall(back, "Install"), "Kernova.Error.InstallFailed");
}

}  // namespace
}  // namespace kernova::testing

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
