// The editor's bus contract, against the real `kernova` on a private session bus and
// called mostly through gdbus, which learns the argument types from its introspection.
// What the documents do with the calls is the engine's and DocumentSet's tests', a
// whole glyph transfer test_kernova_send's.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "kernova/engine/TrueTypeWriter.h"
#include "tests/kernova/app/EditorProcess.h"
#include "tests/support/FileBytes.h"

namespace kernova::testing {
namespace {

const QString kApp = QStringLiteral("/Application");
const QString kGet = QStringLiteral("org.freedesktop.DBus.Properties.Get");
const QString kSet = QStringLiteral("org.freedesktop.DBus.Properties.Set");
const QString kDocIface = QStringLiteral("Kernova.Document");
const QString kError = QStringLiteral("Error: GDBus.Error:Kernova.Error.");

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

// Each call is (object path, method, its arguments); gdbus's output must start with
// the expected text (an error's message follows its name).
void expectReplies(const std::vector<std::pair<QStringList, QString>>& calls) {
  for (const auto& [call, expected] : calls) {
    QString out;
    run("gdbus", QStringList{"call", "--session", "--dest", kEditorName, "--object-path", call[0], "--method"} +
                     call.mid(1), out);
    EXPECT_TRUE(out.startsWith(expected)) << call.join(' ').toStdString() << ": " << out.toStdString();
  }
}

QString quoted(const QString& text) { return "'" + text + "'"; }

class EditorBus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(waitUntil([] { return !editorNameOwned(); }, 5000)) << "an earlier editor still owns the name";
    ASSERT_TRUE(m_editor.start()) << "kernova did not take its bus name";
    writeBytes(m_bitmap.toStdString(), "BM");  // no font
  }

  QTemporaryDir m_home;
  EditorProcess m_editor{m_home.path()};
  QString m_bitmap = m_home.filePath("glyph.bmp");  // a file that is no font
};

// Names are writable string properties; an installed font is one file named by its
// PostScript name that fontconfig knows; an unmakeable font folder is an error reply.
TEST_F(EditorBus, MembersPropertiesErrorNamesAndInstall) {
  const QString doc = "/Documents/1", japanese = "/Documents/3", copy = m_home.filePath("copy.ttf");
  const QString fonts = m_home.path() + "/data/fonts";
  expectReplies({
      {{kApp, kGet, kEditorName, "ActiveDocument"}, "(<objectpath '/'>,)"},
      {{kApp, kGet, kEditorName, "hWnd"}, "(<uint32 0>,)"},  // none offscreen
      {{kApp, "Kernova.Application.NewFile", "7", "false"}, kError + "InvalidArgument"},
      {{kApp, "Kernova.Application.NewFile", "1", "false"}, "(objectpath '/Documents/1',)"},
      {{doc, "Kernova.Document.SetLeftRightSidebearing", "40", "40", "false"}, "()"},
      {{doc, "Kernova.Document.ImportBmpfile", quoted(m_bitmap)}, kError + "ImportFailed"},
      {{doc, "Kernova.Document.ImportBmpfile", "'relative.bmp'"}, kError + "InvalidArgument"},
      {{doc, "Kernova.Document.SaveAs", "'/proc/kernova/font.ttf'"}, kError + "SaveFailed"},
      {{doc, "Kernova.Document.SaveAs", quoted(copy)}, "()"},
      {{doc, "Kernova.Document.save"}, "()"},
      {{doc, kGet, kDocIface, "saved"}, "(<true>,)"},
      {{doc, "Kernova.Document.Close"}, "()"},
      {{doc, "Kernova.Document.getcode", "0", "false"}, kError + "NoDocument"},
      {{kApp, "Kernova.Application.Open", quoted(m_bitmap)}, kError + "OpenFailed"},
      {{kApp, "Kernova.Application.Open", quoted(copy)}, "(objectpath '/Documents/2',)"},
      {{kApp, "Kernova.Application.NewFile", "0", "true"}, "(objectpath '/Documents/3',)"},
      {{japanese, "Kernova.Document.setcode", "0", "33440", "false"}, "()"},  // the lettering tool's type probe
      {{japanese, kGet, kDocIface, "Coverage"}, "(<[('Hiragana', 0, "},  // a(sii)
      {{japanese, kSet, kDocIface, "FamilyName", "<'筆かな'>"}, "()"},
      {{japanese, kSet, kDocIface, "StyleName", "<'Bold'>"}, "()"},
      {{japanese, kSet, kDocIface, "Designer", "<7>"}, kError + "InvalidArgument"},
      {{japanese, kSet, kDocIface, "Name", "<'x'>"}, "Error: GDBus.Error:org.freedesktop.DBus.Error.PropertyReadOnly"},
      {{japanese, kGet, kDocIface, "FamilyName"}, "(<'筆かな'>,)"},
      {{japanese, kSet, kDocIface, "Designer", "<'Aoi'>"}, "()"},
      {{japanese, kSet, kDocIface, "Copyright", "<'(c) 2026 Aoi'>"}, "()"},
      {{japanese, kSet, kDocIface, "License", "<'OFL-1.1'>"}, "()"},
      {{japanese, kGet, kDocIface, "Designer"}, "(<'Aoi'>,)"},
      {{japanese, kGet, kDocIface, "Copyright"}, "(<'(c) 2026 Aoi'>,)"},
      {{japanese, kGet, kDocIface, "License"}, "(<'OFL-1.1'>,)"},
      {{japanese, "Kernova.Document.Install"}, "()"},
  });
  EXPECT_EQ(QDir(fonts).entryList({"*.ttf"}), QStringList{"u7B46u304Bu306A-Bold.ttf"});
  QString listed;
  run("fc-list", {":", "family", "file"}, listed, m_home.path());
  EXPECT_TRUE(listed.contains(fonts + "/u7B46u304Bu306A-Bold.ttf: u7B46u304Bu306A,筆かな")) << listed.toStdString();
  ASSERT_TRUE(QDir(m_home.path() + "/data").removeRecursively());
  QFile(m_home.path() + "/data").open(QIODevice::WriteOnly);
  // What gdbus would not send: other argument types, unknown members and objects.
  const QVariant int16 = QVariant::fromValue<short>(0x41);
  EXPECT_EQ(busCall(japanese, "setcode", {int16, int16, false}).errorName(), "Kernova.Error.InvalidArgument");
  EXPECT_EQ(busCall(japanese, "nosuchmember").errorName(), "org.freedesktop.DBus.Error.UnknownMethod");
  EXPECT_EQ(busCall("/Documents/9", "selectall").errorName(), "Kernova.Error.NoDocument");
  expectReplies({{{japanese, "Kernova.Document.Install"}, kError + "InstallFailed"},
                 {{japanese, "Kernova.Document.getcode", "0", "false"}, "(int16 -32096,)"},
                 {{kApp, "Kernova.Application.Quit"}, "()"}});
  ASSERT_TRUE(m_editor.process().waitForFinished(10000));
  EXPECT_EQ(m_editor.process().exitCode(), 0);
}

TEST_F(EditorBus, FontsNamedOnTheCommandLineAreOpenedOrHandedToTheRunningEditor) {
  const QString font = m_home.filePath("handed.ttf");
  ASSERT_TRUE(saveFont(FontDocument(FontType::Latin, "Brush"), font.toStdString()).ok());
  QString out;
  EXPECT_EQ(run(editorExecutable(), {"handed.ttf"}, out, m_home.path()), 0) << out.toStdString();
  expectReplies({{{"/Documents/1", kGet, kDocIface, "FilePath"}, "(<" + quoted(font) + ">,)"}});
  EXPECT_EQ(run(editorExecutable(), {m_bitmap}, out, m_home.path()), 1);
  EXPECT_TRUE(out.contains("could not open")) << out.toStdString();
  EXPECT_EQ(m_editor.process().state(), QProcess::Running);
  m_editor.stop();
  EditorProcess editor(m_home.path());
  ASSERT_TRUE(editor.start({font}));
  expectReplies({{{"/Documents/1", kGet, kDocIface, "Name"}, "(<'handed'>,)"}});
}

}  // namespace
}  // namespace kernova::testing

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
