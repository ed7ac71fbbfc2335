// The editor's bus contract, against the real `kernova` on a private session bus:
// every member through gdbus and through QtDBus, the lettering tool's type probe and
// glyph transfer, bad calls, and the single-instance hand-over.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusInterface>
#include <QDBusPendingCall>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "EditorProcess.h"
#include "TestBitmap.h"
#include "kernova/app/BusService.h"
#include "kernova/app/GlyphGrid.h"
#include "kernova/app/MainWindow.h"
#include "kernova/app/PreviewLine.h"

namespace kernova::testing {
namespace {

const QString kApplication = QStringLiteral("/Application");
const QString kAppInterface = QStringLiteral("Kernova.Application");
const QString kDocInterface = QStringLiteral("Kernova.Document");

struct CommandResult {
  int exitCode = -1;
  QString out;
  QString err;
};

CommandResult run(const QString& program, const QStringList& arguments, const QString& workingDir = {},
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  if (!workingDir.isEmpty()) process.setWorkingDirectory(workingDir);
  process.start(program, arguments);
  CommandResult result;
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    result.err = "timed out";
    return result;
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
  result.err = QString::fromUtf8(process.readAllStandardError()).trimmed();
  return result;
}

// gdbus learns the argument types from the editor's introspection data.
CommandResult gdbusCall(const QString& path, const QString& method, const QStringList& arguments = {}) {
  return run("gdbus", QStringList{"call", "--session", "--dest", kEditorName, "--object-path", path, "--method",
                                  method} + arguments);
}

CommandResult gdbusGet(const QString& path, const QString& interface, const QString& property) {
  return gdbusCall(path, "org.freedesktop.DBus.Properties.Get", {interface, property});
}

QDBusMessage call(const QString& path, const QString& interface, const QString& member,
                  const QVariantList& arguments = {}) {
  QDBusMessage message = QDBusMessage::createMethodCall(kEditorName, path, interface, member);
  message.setArguments(arguments);
  return QDBusConnection::sessionBus().call(message, QDBus::Block, 20000);
}

QVariant property(const QString& path, const QString& interface, const QString& name) {
  const QDBusMessage reply = call(path, "org.freedesktop.DBus.Properties", "Get", {interface, name});
  if (reply.type() != QDBusMessage::ReplyMessage) return {};
  return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QString objectPath(const QDBusMessage& reply) {
  return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

short getcode(const QString& document) {
  const QDBusMessage reply = call(document, kDocInterface, "getcode", {QVariant::fromValue<short>(0), false});
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  return reply.arguments().value(0).value<short>();
}

void setcode(const QString& document, int code) {
  const QDBusMessage reply =
      call(document, kDocInterface, "setcode", {QVariant::fromValue<short>(0), code, false});
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

// The lettering tool's probe: Japanese when 0x82A0 sticks; the old code is restored.
bool probeIsJapanese(const QString& document) {
  const short saved = getcode(document);
  setcode(document, -32096);
  const short probe = getcode(document);
  setcode(document, saved);
  return probe == -32096;
}

void expectOk(const QDBusMessage& reply) {
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorName().toStdString() << ": "
                                                     << reply.errorMessage().toStdString();
}

void expectError(const QDBusMessage& reply, const QString& name) {
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorName(), name) << reply.errorMessage().toStdString();
  EXPECT_FALSE(reply.errorMessage().isEmpty());
}

bool otsAccepts(const QString& fontPath, QString* output) {
  const CommandResult result = run("ots-sanitize", {fontPath});
  *output = result.out + result.err;
  return result.exitCode == 0;
}

class EditorBus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_home.isValid());
    ASSERT_TRUE(waitUntil([] { return !editorNameOwned(); }, 5000)) << "an earlier editor still owns the name";
    ASSERT_TRUE(m_editor.start()) << "kernova did not take its bus name";
    m_bitmap = m_home.filePath("glyph.bmp");
    ASSERT_TRUE(writeBytes(m_bitmap.toStdString(), sampleGlyphBmp()));
  }

  QString newFile(short type) {
    const QDBusMessage reply = call(kApplication, kAppInterface, "NewFile", {QVariant::fromValue(type), true});
    expectOk(reply);
    return objectPath(reply);
  }

  // The transfer of one glyph as the lettering tool sends it.
  void transfer(const QString& document, int code, short left, short right) {
    setcode(document, code);
    expectOk(call(document, kDocInterface, "selectall"));
    expectOk(call(document, kDocInterface, "Delete"));
    expectOk(call(document, kDocInterface, "ImportBmpfile", {m_bitmap}));
    expectOk(call(document, kDocInterface, "unselectall"));
    expectOk(call(document, kDocInterface, "SetLeftRightSidebearing",
                  {QVariant::fromValue(left), QVariant::fromValue(right), false}));
  }

  // A second `kernova` on the same bus, run to its end.
  CommandResult runSecondEditor(const QStringList& arguments) {
    return run(editorExecutable(), arguments, m_home.path(), EditorProcess::environment(m_home.path()));
  }

  static QString editorExecutable() { return QString(qgetenv("DZ_BIN_DIR")) + "/kernova"; }

  QTemporaryDir m_home;
  EditorProcess m_editor{editorExecutable(), m_home.path()};
  QString m_bitmap;
};

TEST_F(EditorBus, StartsWithoutDocumentAndWithoutNativeWindowOffscreen) {
  EXPECT_EQ(gdbusGet(kApplication, kAppInterface, "ActiveDocument").out, "(<objectpath '/'>,)");
  EXPECT_EQ(property(kApplication, kAppInterface, "ActiveDocument").value<QDBusObjectPath>().path(), "/");
  EXPECT_EQ(gdbusGet(kApplication, kAppInterface, "hWnd").out, "(<uint32 0>,)");
  const QVariant hWnd = property(kApplication, kAppInterface, "hWnd");
  EXPECT_EQ(hWnd.metaType(), QMetaType::fromType<uint>());
  EXPECT_EQ(hWnd.toUInt(), 0u);
}

TEST_F(EditorBus, NewFileNumbersDocumentsAndNamesThemUntitled) {
  EXPECT_EQ(gdbusCall(kApplication, "Kernova.Application.NewFile", {"1", "true"}).out,
            "(objectpath '/Documents/1',)");
  EXPECT_EQ(newFile(0), "/Documents/2");
  EXPECT_EQ(property(kApplication, kAppInterface, "ActiveDocument").value<QDBusObjectPath>().path(),
            "/Documents/2");
  EXPECT_EQ(gdbusGet("/Documents/1", kDocInterface, "Name").out, "(<'Untitled-1'>,)");
  EXPECT_EQ(property("/Documents/2", kDocInterface, "Name").toString(), "Untitled-2");
  EXPECT_EQ(property("/Documents/2", kDocInterface, "FilePath").toString(),
            QDir(m_home.path()).filePath("Documents/Untitled-2.ttf"));
  EXPECT_EQ(gdbusGet("/Documents/2", kDocInterface, "saved").out, "(<true>,)");
}

TEST_F(EditorBus, TypeProbeTellsLatinFromJapanese) {
  const QString latin = newFile(1);
  setcode(latin, 0x41);
  EXPECT_FALSE(probeIsJapanese(latin));
  EXPECT_EQ(getcode(latin), 0x41) << "the probe must leave the code where it was";

  const QString japanese = newFile(0);
  setcode(japanese, 0x41);
  EXPECT_TRUE(probeIsJapanese(japanese));
  EXPECT_EQ(getcode(japanese), 0x41);
  setcode(japanese, 0x82A0);
  EXPECT_EQ(getcode(japanese), -32096) << "codes from 0x8000 come back as negative int16";
}

TEST_F(EditorBus, SetcodeUsesLowSixteenBitsAndIgnoresCodesOutsideTheSet) {
  const QString latin = newFile(1);
  setcode(latin, 0x10041);
  EXPECT_EQ(getcode(latin), 0x41);
  setcode(latin, 0x7F);  // DEL is not printable: not in a Latin font
  EXPECT_EQ(getcode(latin), 0x41);
  setcode(latin, 0x100);
  EXPECT_EQ(getcode(latin), 0x41);
}

TEST_F(EditorBus, ViewNextAndPreviousStepThroughTheCodeOrder) {
  const QString japanese = newFile(0);
  setcode(japanese, 0x829F);
  expectOk(call(japanese, kDocInterface, "viewnextcode"));
  EXPECT_EQ(getcode(japanese), -32096) << "0x82A0 follows 0x829F";
  expectOk(call(japanese, kDocInterface, "viewpreviouscode"));
  EXPECT_EQ(getcode(japanese), short(0x829F));

  const QString latin = newFile(1);
  setcode(latin, 0xFF);
  expectOk(call(latin, kDocInterface, "viewnextcode"));
  EXPECT_EQ(getcode(latin), 0xFF) << "the last code stays put";
  setcode(latin, 0x20);
  expectOk(call(latin, kDocInterface, "viewpreviouscode"));
  EXPECT_EQ(getcode(latin), 0x20) << "the first code stays put";
}

TEST_F(EditorBus, EveryDocumentMemberAnswersThroughGdbus) {
  gdbusCall(kApplication, "Kernova.Application.NewFile", {"1", "false"});
  const QString doc = "/Documents/1";
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.setcode", {"0", "65", "false"}).out, "()");
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.viewnextcode").exitCode, 0);
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.getcode", {"0", "false"}).out, "(int16 66,)");
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.viewpreviouscode").exitCode, 0);
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.getcode", {"0", "false"}).out, "(int16 65,)");
  for (const char* member : {"selectall", "Delete"}) {
    EXPECT_EQ(gdbusCall(doc, QString("Kernova.Document.") + member).out, "()") << member;
  }
  const CommandResult import = gdbusCall(doc, "Kernova.Document.ImportBmpfile", {"'" + m_bitmap + "'"});
  EXPECT_EQ(import.exitCode, 0) << import.err.toStdString();
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.unselectall").out, "()");
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.SetLeftRightSidebearing", {"40", "40", "false"}).out, "()");
  EXPECT_EQ(gdbusGet(doc, kDocInterface, "saved").out, "(<false>,)");
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.save").out, "()");
  EXPECT_EQ(gdbusGet(doc, kDocInterface, "saved").out, "(<true>,)");
  EXPECT_TRUE(QFile::exists(QDir(m_home.path()).filePath("Documents/Untitled-1.ttf")))
      << "save creates the missing documents folder";

  const QString copy = m_home.filePath("copy.ttf");
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.SaveAs", {"'" + copy + "'"}).out, "()");
  EXPECT_EQ(gdbusGet(doc, kDocInterface, "FilePath").out, "(<'" + copy + "'>,)");
  EXPECT_EQ(gdbusGet(doc, kDocInterface, "Name").out, "(<'copy'>,)");
  EXPECT_EQ(gdbusCall(doc, "Kernova.Document.Close").out, "()");
  EXPECT_EQ(gdbusGet(kApplication, kAppInterface, "ActiveDocument").out, "(<objectpath '/'>,)");
  EXPECT_EQ(gdbusCall(kApplication, "Kernova.Application.Open", {"'" + copy + "'"}).out,
            "(objectpath '/Documents/2',)");
}

TEST_F(EditorBus, TransferProducesAFontThatPassesOts) {
  const QString doc = newFile(1);
  transfer(doc, 0x41, 50, 60);
  EXPECT_FALSE(property(doc, kDocInterface, "saved").toBool());
  expectOk(call(doc, kDocInterface, "save"));
  EXPECT_TRUE(property(doc, kDocInterface, "saved").toBool());

  const QString font = property(doc, kDocInterface, "FilePath").toString();
  QString otsOutput;
  EXPECT_TRUE(otsAccepts(font, &otsOutput)) << otsOutput.toStdString();
  // fontTools: 'A' has the traced outline, placed by the side bearings.
  const CommandResult metrics = run("/usr/bin/python3", {"-c",
      "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
      "name = f.getBestCmap()[0x41]\ng = f['glyf'][name]\nadvance, lsb = f['hmtx'][name]\n"
      "print(g.numberOfContours, lsb, g.xMin, advance - g.xMax)", font});
  EXPECT_EQ(metrics.exitCode, 0) << metrics.err.toStdString();
  const QStringList fields = metrics.out.split(' ');
  ASSERT_EQ(fields.size(), 4) << metrics.out.toStdString();
  EXPECT_GE(fields[0].toInt(), 2) << "the ring has an outer contour and a hole";
  EXPECT_EQ(fields[1], "50");
  EXPECT_EQ(fields[2], "50");
  EXPECT_EQ(fields[3], "60");
}

TEST_F(EditorBus, RepeatedTransferReplacesTheGlyph) {
  const QString doc = newFile(1);
  transfer(doc, 0x41, 0, 0);
  // Same file name in two folders: the name table follows the file name.
  ASSERT_TRUE(QDir(m_home.path()).mkpath("first") && QDir(m_home.path()).mkpath("second"));
  const QString first = m_home.filePath("first/Font.ttf");
  expectOk(call(doc, kDocInterface, "SaveAs", {first}));
  transfer(doc, 0x41, 0, 0);
  const QString second = m_home.filePath("second/Font.ttf");
  expectOk(call(doc, kDocInterface, "SaveAs", {second}));
  QFile a(first), b(second);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
  EXPECT_EQ(a.readAll(), b.readAll()) << "selectall + Delete must drop the old outline before the import";
}

TEST_F(EditorBus, FailedImportsAreErrorRepliesAndTheEditorKeepsServing) {
  const QString doc = newFile(1);
  expectError(call(doc, kDocInterface, "ImportBmpfile", {m_home.filePath("missing.bmp")}),
              "Kernova.Error.ImportFailed");
  const QString junk = m_home.filePath("junk.bmp");
  ASSERT_TRUE(writeBytes(junk.toStdString(), {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'}));
  expectError(call(doc, kDocInterface, "ImportBmpfile", {junk}), "Kernova.Error.ImportFailed");
  expectError(call(doc, kDocInterface, "ImportBmpfile", {"relative.bmp"}), "Kernova.Error.InvalidArgument");
  const CommandResult viaGdbus = gdbusCall(doc, "Kernova.Document.ImportBmpfile", {"'" + junk + "'"});
  EXPECT_NE(viaGdbus.exitCode, 0);
  EXPECT_TRUE(viaGdbus.err.contains("Kernova.Error.ImportFailed")) << viaGdbus.err.toStdString();
  EXPECT_TRUE(property(doc, kDocInterface, "saved").toBool()) << "a failed import changes nothing";
  setcode(doc, 0x42);
  EXPECT_EQ(getcode(doc), 0x42);
}

TEST_F(EditorBus, WrongArgumentTypesAreRejected) {
  const QString doc = newFile(1);
  setcode(doc, 0x41);
  const auto int16 = [](short v) { return QVariant::fromValue(v); };
  expectError(call(doc, kDocInterface, "setcode", {int16(0), int16(0x42), false}), "Kernova.Error.InvalidArgument");
  expectError(call(doc, kDocInterface, "getcode", {0, false}), "Kernova.Error.InvalidArgument");
  expectError(call(doc, kDocInterface, "SetLeftRightSidebearing", {10, 10, false}), "Kernova.Error.InvalidArgument");
  expectError(call(kApplication, kAppInterface, "NewFile", {1, true}), "Kernova.Error.InvalidArgument");
  expectError(call(doc, kDocInterface, "ImportBmpfile", {42}), "Kernova.Error.InvalidArgument");
  const CommandResult viaDbusSend =
      run("dbus-send", {"--session", "--print-reply", "--dest=Kernova.Application", doc,
                        "Kernova.Document.setcode", "int16:0", "int16:66", "boolean:false"});
  EXPECT_NE(viaDbusSend.exitCode, 0);
  EXPECT_TRUE(viaDbusSend.err.contains("Kernova.Error.InvalidArgument")) << viaDbusSend.err.toStdString();
  EXPECT_EQ(getcode(doc), 0x41) << "a rejected setcode must not move the code";
  expectError(call(doc, kDocInterface, "nosuchmember"), "org.freedesktop.DBus.Error.UnknownMethod");
}

TEST_F(EditorBus, NewFileRejectsUnknownTypes) {
  const CommandResult result = gdbusCall(kApplication, "Kernova.Application.NewFile", {"7", "true"});
  EXPECT_NE(result.exitCode, 0);
  EXPECT_TRUE(result.err.contains("Kernova.Error.InvalidArgument")) << result.err.toStdString();
  expectError(call(kApplication, kAppInterface, "NewFile", {QVariant::fromValue<short>(-1), false}),
              "Kernova.Error.InvalidArgument");
  EXPECT_EQ(property(kApplication, kAppInterface, "ActiveDocument").value<QDBusObjectPath>().path(), "/");
  EXPECT_EQ(newFile(1), "/Documents/1");
}

TEST_F(EditorBus, ClosedDocumentsAnswerNoDocumentAndTheirNumbersAreNotReused) {
  const QString doc = newFile(1);
  expectOk(call(doc, kDocInterface, "Close"));
  expectError(call(doc, kDocInterface, "getcode", {QVariant::fromValue<short>(0), false}), "Kernova.Error.NoDocument");
  expectError(call(doc, kDocInterface, "save"), "Kernova.Error.NoDocument");
  expectError(call(doc, "org.freedesktop.DBus.Properties", "Get", {kDocInterface, "Name"}),
              "Kernova.Error.NoDocument");
  const CommandResult viaGdbus = gdbusCall(doc, "Kernova.Document.selectall");
  EXPECT_TRUE(viaGdbus.err.contains("Kernova.Error.NoDocument")) << viaGdbus.err.toStdString();
  expectError(call("/Documents/9", kDocInterface, "selectall"), "Kernova.Error.NoDocument");
  EXPECT_EQ(newFile(1), "/Documents/2");
  EXPECT_EQ(property("/Documents/2", kDocInterface, "Name").toString(), "Untitled-2");
}

TEST_F(EditorBus, SaveFailuresAreErrorRepliesAndKeepTheUnsavedMark) {
  const QString doc = newFile(1);
  transfer(doc, 0x41, 0, 0);
  expectError(call(doc, kDocInterface, "SaveAs", {"/proc/kernova/font.ttf"}), "Kernova.Error.SaveFailed");
  expectError(call(doc, kDocInterface, "SaveAs", {"font.ttf"}), "Kernova.Error.InvalidArgument");
  EXPECT_FALSE(property(doc, kDocInterface, "saved").toBool());
  EXPECT_EQ(property(doc, kDocInterface, "Name").toString(), "Untitled-1") << "a failed Save As renames nothing";
}

TEST_F(EditorBus, OpenReadsASavedFontAndRefusesOthers) {
  const QString doc = newFile(0);
  transfer(doc, 0x82A0, 0, 0);
  const QString font = m_home.filePath("kana.ttf");
  expectOk(call(doc, kDocInterface, "SaveAs", {font}));
  expectOk(call(doc, kDocInterface, "Close"));

  const QDBusMessage opened = call(kApplication, kAppInterface, "Open", {font});
  expectOk(opened);
  const QString reopened = objectPath(opened);
  EXPECT_EQ(reopened, "/Documents/2");
  EXPECT_EQ(property(reopened, kDocInterface, "FilePath").toString(), font);
  EXPECT_TRUE(probeIsJapanese(reopened));
  EXPECT_EQ(objectPath(call(kApplication, kAppInterface, "Open", {font})), reopened) << "already open";

  expectError(call(kApplication, kAppInterface, "Open", {m_home.filePath("missing.ttf")}), "Kernova.Error.OpenFailed");
  expectError(call(kApplication, kAppInterface, "Open", {m_bitmap}), "Kernova.Error.OpenFailed");
  EXPECT_EQ(property(kApplication, kAppInterface, "ActiveDocument").value<QDBusObjectPath>().path(), reopened);
}

TEST_F(EditorBus, QDBusInterfaceSeesTheContractThroughIntrospection) {
  QDBusInterface application(kEditorName, kApplication, kAppInterface);
  ASSERT_TRUE(application.isValid()) << application.lastError().message().toStdString();
  EXPECT_EQ(application.property("ActiveDocument").value<QDBusObjectPath>().path(), "/");
  const QDBusMessage created = application.call("NewFile", QVariant::fromValue<short>(1), true);
  expectOk(created);
  QDBusInterface document(kEditorName, objectPath(created), kDocInterface);
  ASSERT_TRUE(document.isValid()) << document.lastError().message().toStdString();
  EXPECT_EQ(document.property("Name").toString(), "Untitled-1");
  EXPECT_TRUE(document.property("saved").toBool());
  const CommandResult introspection =
      run("gdbus", {"introspect", "--session", "--dest", kEditorName, "--object-path", objectPath(created)});
  EXPECT_TRUE(introspection.out.contains(QRegularExpression(R"(setcode\(in\s+n \w+,\s*in\s+i \w+,\s*in\s+b \w+\))")))
      << introspection.out.toStdString();
}

TEST_F(EditorBus, QuitEndsTheEditorAndReleasesTheName) {
  newFile(1);  // unsaved work must not hold up Quit with a question
  EXPECT_EQ(gdbusCall(kApplication, "Kernova.Application.Quit").out, "()");
  ASSERT_TRUE(m_editor.process().waitForFinished(10000));
  EXPECT_EQ(m_editor.process().exitCode(), 0);
  EXPECT_TRUE(waitUntil([] { return !editorNameOwned(); }, 5000));
}

TEST_F(EditorBus, SecondInstanceHandsItsFontToTheFirstAndExitsZero) {
  const QString doc = newFile(1);
  transfer(doc, 0x41, 0, 0);
  const QString font = m_home.filePath("handed.ttf");
  expectOk(call(doc, kDocInterface, "SaveAs", {font}));
  expectOk(call(doc, kDocInterface, "Close"));

  const CommandResult second = runSecondEditor({"handed.ttf"});  // relative to its working folder
  EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
  EXPECT_EQ(m_editor.process().state(), QProcess::Running);
  const QString active = property(kApplication, kAppInterface, "ActiveDocument").value<QDBusObjectPath>().path();
  EXPECT_EQ(active, "/Documents/2");
  EXPECT_EQ(property(active, kDocInterface, "FilePath").toString(), font);
}

TEST_F(EditorBus, FontOnTheCommandLineIsOpenedAtStart) {
  const QString doc = newFile(1);
  const QString font = m_home.filePath("start.ttf");
  expectOk(call(doc, kDocInterface, "SaveAs", {font}));
  m_editor.stop();

  EditorProcess editor(editorExecutable(), m_home.path());
  ASSERT_TRUE(editor.start({font}));
  const QString active = property(kApplication, kAppInterface, "ActiveDocument").value<QDBusObjectPath>().path();
  EXPECT_EQ(active, "/Documents/1");
  EXPECT_EQ(property(active, kDocInterface, "FilePath").toString(), font);
  EXPECT_EQ(property(active, kDocInterface, "Name").toString(), "start");
}

TEST_F(EditorBus, SecondInstanceReportsAFontTheFirstCannotOpen) {
  const CommandResult second = runSecondEditor({m_bitmap});
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_TRUE(second.err.contains("could not open")) << second.err.toStdString();
  EXPECT_EQ(m_editor.process().state(), QProcess::Running);
}

int darkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 100;
  }
  return count;
}

// The service in this process on a connection of its own, called from the test's
// connection: the window must show every change as soon as the reply is back.
TEST(InProcessService, WindowShowsChangesMadeOverTheBusAtOnce) {
  QTemporaryDir dir;
  const QString bitmap = dir.filePath("glyph.bmp");
  ASSERT_TRUE(writeBytes(bitmap.toStdString(), sampleGlyphBmp()));
  QDBusConnection serviceBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "in-process");
  DocumentSet documents;
  documents.setDocumentsFolder(dir.path());
  MainWindow window(documents);
  window.show();
  bool shown = false;
  BusService service(documents, WindowHooks{[] { return 0u; }, [&shown] { shown = true; }, {}});
  ASSERT_TRUE(service.registerObjects(serviceBus).ok());
  const auto callService = [&](const QString& path, const QString& member, const QVariantList& arguments = {}) {
    const QString interface = path == kApplication ? kAppInterface : kDocInterface;
    QDBusMessage message = QDBusMessage::createMethodCall(serviceBus.baseService(), path, interface, member);
    message.setArguments(arguments);
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(message, 20000);
    EXPECT_TRUE(waitUntil([&pending] { return pending.isFinished(); }, 20000));
    expectOk(pending.reply());
  };

  callService(kApplication, "NewFile", {QVariant::fromValue<short>(1), true});
  EXPECT_TRUE(shown) << "NewFile(..., true) shows the window";
  EXPECT_TRUE(window.windowTitle().startsWith("Untitled-1"));
  callService("/Documents/1", "setcode", {QVariant::fromValue<short>(0), int('A'), false});
  window.preview()->textField()->setText("A");
  EXPECT_EQ(darkPixels(window.preview()->strip()->grab().toImage()), 0);
  callService("/Documents/1", "ImportBmpfile", {bitmap});
  EXPECT_TRUE(window.isWindowModified());
  EXPECT_GT(darkPixels(window.preview()->strip()->grab().toImage()), 100);
  const int cell = documents.document(1)->codeOrder().indexOf('A');
  EXPECT_GT(darkPixels(window.grid()->viewport()->grab(window.grid()->cellRect(cell)).toImage()), 50);
  callService("/Documents/1", "save");
  EXPECT_FALSE(window.isWindowModified());
  callService("/Documents/1", "Close");
  EXPECT_EQ(window.windowTitle(), "Kernova");
  QDBusConnection::disconnectFromBus("in-process");
}

}  // namespace
}  // namespace kernova::testing

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
