// The font's names over the bus and Install, against the real `kernova` on a private
// session bus, with a private font folder and fontconfig cache: the names set on a
// document come back from the saved file, and an installed font is what fc-list shows.
#include <gtest/gtest.h>

#include <QDBusVariant>
#include <QDir>
#include <QTemporaryDir>

#include "tests/kernova/app/EditorProcess.h"

namespace kernova::testing {
namespace {

const QString kDocIface = QStringLiteral("Kernova.Document");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

QDBusMessage call(const QString& path, const QString& member, const QVariantList& arguments = {},
                  const QString& interface = kDocIface) {
  QDBusMessage message = QDBusMessage::createMethodCall(kEditorName, path, interface, member);
  message.setArguments(arguments);
  return QDBusConnection::sessionBus().call(message, QDBus::Block, 20000);
}

QString get(const QString& document, const QString& name) {
  return call(document, "Get", {kDocIface, name}, kProperties).arguments().value(0).value<QDBusVariant>().variant().toString();
}

QString set(const QString& document, const QString& name, const QVariant& value) {
  return call(document, "Set", {kDocIface, name, QVariant::fromValue(QDBusVariant(value))}, kProperties).errorName();
}

QString objectPath(const QDBusMessage& reply) { return reply.arguments().value(0).value<QDBusObjectPath>().path(); }

}  // namespace

TEST(BusFontInfo, NamesAreSavedAndReadBackAndInstallReplacesTheFamilysCopy) {
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
  qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
  EditorProcess editor(qEnvironmentVariable("DZ_BIN_DIR") + "/kernova", home.path());
  ASSERT_TRUE(editor.start());
  const QString doc = objectPath(call("/Application", "NewFile", {QVariant::fromValue(short(0)), false}, "Kernova.Application"));
  EXPECT_EQ(get(doc, "FamilyName"), "Untitled-1");
  const QString first = home.filePath("Brush Kana.ttf"), second = home.filePath("Other.ttf");
  for (const QString& path : {first, second}) ASSERT_EQ(call(doc, "SaveAs", {path}).errorName(), "");
  EXPECT_EQ(get(doc, "FamilyName"), "Brush Kana") << "the first Save As names the family";

  const std::pair<QString, QString> names[] = {
      {"FamilyName", "筆かな"}, {"StyleName", "Bold"}, {"Designer", "Ann Ink"}, {"Copyright", "(c) Ann"}, {"License", "OFL"}};
  for (const auto& [name, value] : names) EXPECT_EQ(set(doc, name, value), "") << name.toStdString();
  EXPECT_EQ(set(doc, "Name", "x"), "org.freedesktop.DBus.Error.PropertyReadOnly");
  EXPECT_EQ(set(doc, "Designer", 7), "Kernova.Error.InvalidArgument");
  ASSERT_EQ(call(doc, "save").errorName(), "");
  ASSERT_EQ(call(doc, "Close").errorName(), "");
  const QString back = objectPath(call("/Application", "Open", {second}, "Kernova.Application"));
  for (const auto& [name, value] : names) EXPECT_EQ(get(back, name), value) << name.toStdString();

  // Installed twice under one family: one file, and fontconfig knows the family.
  EXPECT_EQ(call(back, "Install").errorName(), "");
  ASSERT_EQ(set(back, "Designer", "Someone Else"), "");
  EXPECT_EQ(call(back, "Install").errorName(), "");
  const QDir fonts(home.path() + "/data/fonts");
  EXPECT_EQ(fonts.entryList({"*.ttf"}), QStringList{"u7B46u304Bu306A-Bold.ttf"});
  QProcess list;
  list.setProcessEnvironment(EditorProcess::environment(home.path()));
  list.start("fc-list", {":", "family", "file"});
  ASSERT_TRUE(list.waitForFinished(30000));
  EXPECT_TRUE(QString::fromUtf8(list.readAllStandardOutput()).contains(fonts.filePath("u7B46u304Bu306A-Bold.ttf") + ": u7B46u304Bu306A,筆かな"));

  // A font folder that cannot be made is an error reply.
  editor.stop();
  QFile(home.path() + "/blocked").open(QIODevice::WriteOnly);
  qputenv("XDG_DATA_HOME", (home.path() + "/blocked").toUtf8());
  EditorProcess blocked(qEnvironmentVariable("DZ_BIN_DIR") + "/kernova", home.path());
  ASSERT_TRUE(blocked.start());
  const QString fresh = objectPath(call("/Application", "NewFile", {QVariant::fromValue(short(1)), false}, "Kernova.Application"));
  EXPECT_EQ(call(fresh, "Install").errorName(), "Kernova.Error.InstallFailed");
}

}  // namespace kernova::testing
