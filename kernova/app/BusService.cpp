#include "kernova/app/BusService.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDir>

#include <thread>

#include "kernova/app/FontInstaller.h"
#include "kernova/engine/BatchTrace.h"
#include "kernova/engine/Bmp.h"
#include "kernova/engine/Coverage.h"
#include "kernova/engine/ImportBudget.h"

namespace kernova {
namespace {

const QString kDocumentsPrefix = QString::fromLatin1(bus::kDocumentsPrefix);
const QString kNoDocument = QString::fromLatin1(bus::kErrorNoDocument);
const QString kInvalidArgument = QString::fromLatin1(bus::kErrorInvalidArgument);

QString hexCode(uint16_t code) { return QStringLiteral("%1").arg(code, 4, 16, QChar('0')).toUpper(); }

QString qString(const std::string& text) { return QString::fromStdString(text); }

// Paths come from another process whose working folder is unknown here.
std::optional<BusReply> requireAbsolute(const QString& member, const QString& path) {
  if (QDir::isAbsolutePath(path)) return std::nullopt;
  return BusReply::error(kInvalidArgument, QStringLiteral("%1 needs an absolute path, not \"%2\"").arg(member, path));
}

}  // namespace

// One line of the Coverage property, (sii) on the bus.
struct CoverageLine {
  QString name;
  int drawn = 0;
  int total = 0;
};

QDBusArgument& operator<<(QDBusArgument& out, const CoverageLine& line) {
  out.beginStructure();
  out << line.name << line.drawn << line.total;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, CoverageLine& line) {
  in.beginStructure();
  in >> line.name >> line.drawn >> line.total;
  in.endStructure();
  return in;
}

}  // namespace kernova

Q_DECLARE_METATYPE(kernova::CoverageLine)

namespace kernova {
namespace {

QVariant coverageValue(const FontDocument& document) {
  QList<CoverageLine> lines;
  for (const CoverageCount& count : coverage(document)) {
    lines.push_back({QString::fromStdString(count.name), count.drawn, count.total});
  }
  return QVariant::fromValue(lines);
}

}  // namespace

BusService::BusService(DocumentSet& documents, WindowHooks hooks, QObject* parent)
    : QObject(parent), m_documents(documents), m_hooks(std::move(hooks)) {
  qDBusRegisterMetaType<CoverageLine>();
  qDBusRegisterMetaType<QList<CoverageLine>>();
  connect(&m_documents, &DocumentSet::codePicked, this, &BusService::sendCurrentCodeChanged);
  m_applicationObject = new BusObject(
      applicationInterface(), [](const QString&) { return BusTarget{}; }, this);
  m_documentObjects = new BusObject(
      documentInterface(), [this](const QString& path) { return resolveDocument(path); }, this);
}

Status BusService::registerObjects(QDBusConnection& connection) {
  if (!connection.isConnected()) return Status::failure("not connected to the session bus");
  if (!connection.registerVirtualObject(bus::kApplicationPath, m_applicationObject) ||
      !connection.registerVirtualObject("/Documents", m_documentObjects, QDBusConnection::SubPath)) {
    return Status::failure("cannot register the editor's objects: " +
                           connection.lastError().message().toStdString());
  }
  m_connection = connection;
  return Status::success();
}

void BusService::sendCurrentCodeChanged(int number, int code) {
  if (!m_connection) return;
  QDBusMessage message = QDBusMessage::createSignal(documentPath(number), QString::fromLatin1(bus::kDocumentInterface),
                                                   QString::fromLatin1(bus::kCurrentCodeChangedSignal));
  message << code;
  m_connection->send(message);
}

QString BusService::documentPath(int number) {
  return number == 0 ? QString::fromLatin1(bus::kNoObject) : kDocumentsPrefix + QString::number(number);
}

BusInterface BusService::applicationInterface() {
  BusInterface interface{QString::fromLatin1(bus::kApplicationInterface), {}, {}, {}};
  interface.methods = {
      {"NewFile", "nb", "o", {"type", "visible"}, [this](int, const QVariantList& a) { return newFile(a); }},
      {"Open", "s", "o", {"path"}, [this](int, const QVariantList& a) { return openFile(a); }},
      {"Quit", "", "", {}, [this](int, const QVariantList&) { return quit(); }},
  };
  interface.properties = {
      {"ActiveDocument", "o",
       [this](int) { return QVariant::fromValue(QDBusObjectPath(documentPath(m_documents.active()))); }},
      {"hWnd", "u", [this](int) { return QVariant::fromValue(m_hooks.windowId ? m_hooks.windowId() : 0u); }},
  };
  return interface;
}

BusInterface BusService::documentInterface() {
  BusInterface interface{QString::fromLatin1(bus::kDocumentInterface), {}, {}, {}};
  interface.methods = {
      documentMethod("getcode", "nb", "n", {"index", "flag"}, &BusService::getcode),
      documentMethod("setcode", "nib", "", {"index", "code", "flag"}, &BusService::setcode),
      documentMethod("viewnextcode", "", "", {}, &BusService::viewnextcode),
      documentMethod("viewpreviouscode", "", "", {}, &BusService::viewpreviouscode),
      documentMethod("selectall", "", "", {}, &BusService::selectall),
      documentMethod("Delete", "", "", {}, &BusService::deleteSelection),
      documentMethod("unselectall", "", "", {}, &BusService::unselectall),
      documentMethod("ImportBmpfile", "s", "", {"path"}, &BusService::importBmpfile),
      documentMethod("SetLeftRightSidebearing", "nnb", "", {"left", "right", "flag"},
                     &BusService::setLeftRightSidebearing),
      documentMethod(bus::kImportBitmapsMethod, "a(iay)bnn", "i", {"glyphs", "setBearings", "left", "right"},
                     &BusService::importBitmaps),
      documentMethod("Undo", "", "", {}, &BusService::undo),
      documentMethod("Redo", "", "", {}, &BusService::redo),
      documentMethod("save", "", "", {}, &BusService::save),
      documentMethod("SaveAs", "s", "", {"path"}, &BusService::saveAs),
      documentMethod("Close", "", "", {}, &BusService::close),
      documentMethod("Install", "", "", {}, &BusService::install),
  };
  auto document = [this](int number) -> const FontDocument& { return *m_documents.document(number); };
  interface.properties = {
      {"Name", "s", [document](int n) { return QVariant(qString(document(n).name())); }},
      {"saved", "b", [document](int n) { return QVariant(!document(n).modified()); }},
      {"FilePath", "s", [document](int n) { return QVariant(qString(document(n).filePath())); }},
      infoProperty("FamilyName", &FontInfo::family),
      infoProperty("StyleName", &FontInfo::style),
      infoProperty("Designer", &FontInfo::designer),
      infoProperty("Copyright", &FontInfo::copyright),
      infoProperty("License", &FontInfo::license),
      {bus::kCoverageProperty, "a(sii)", [document](int n) { return coverageValue(document(n)); }},
  };
  interface.signalList = {{bus::kCurrentCodeChangedSignal, "i", {"code"}}};
  return interface;
}

BusMethod BusService::documentMethod(const char* name, const char* in, const char* out,
                                     QStringList argumentNames, DocumentHandler handler) {
  // resolveDocument() has already turned away calls on documents that are not open.
  auto call = [this, handler](int number, const QVariantList& arguments) {
    return (this->*handler)(number, *m_documents.document(number), arguments);
  };
  return BusMethod{name, in, out, std::move(argumentNames), call};
}

// A name of the font. The family reads as the one the font is saved with; set empty,
// it follows the document's name again. An empty style is "Regular".
BusProperty BusService::infoProperty(const char* name, std::string FontInfo::*field) {
  auto read = [this, field](int n) {
    const FontDocument& document = *m_documents.document(n);
    return QVariant(qString(field == &FontInfo::family ? document.familyName() : document.fontInfo().*field));
  };
  auto write = [this, name, field](int n, const QVariant& value) {
    FontDocument& document = *m_documents.document(n);
    FontInfo info = document.fontInfo();
    info.*field = value.toString().toStdString();
    if (info.style.empty()) info.style = "Regular";
    document.setFontInfo(std::move(info));
    return changed(n, QStringLiteral("%1: %2").arg(QLatin1String(name), value.toString()));
  };
  return BusProperty{name, "s", read, write};
}

BusTarget BusService::resolveDocument(const QString& path) const {
  bool isNumber = false;
  const int number = path.startsWith(kDocumentsPrefix) ? path.mid(kDocumentsPrefix.size()).toInt(&isNumber) : 0;
  if (!isNumber || number <= 0) {
    return BusTarget{0, BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
                                        QStringLiteral("no object %1").arg(path)), false};
  }
  if (m_documents.wasClosed(number)) {
    return BusTarget{number, BusReply::error(kNoDocument, QStringLiteral("document %1 is closed").arg(path)), true};
  }
  if (!m_documents.document(number)) {
    return BusTarget{number, BusReply::error(kNoDocument, QStringLiteral("no document %1").arg(path)), false};
  }
  return BusTarget{number, std::nullopt, true};
}

BusReply BusService::newFile(const QVariantList& arguments) {
  const short type = arguments[0].value<short>();
  if (type != short(FontType::Latin) && type != short(FontType::Japanese)) {
    return BusReply::error(kInvalidArgument,
                           QStringLiteral("NewFile type %1: 1 makes a Latin font, 0 a Japanese one").arg(type));
  }
  const int number = m_documents.create(FontType(type));
  if (arguments[1].toBool() && m_hooks.showWindow) m_hooks.showWindow();
  m_documents.report(QStringLiteral("New %1 font %2")
                         .arg(type == short(FontType::Latin) ? "Latin" : "Japanese",
                              qString(m_documents.document(number)->name())));
  return BusReply::ok({QVariant::fromValue(QDBusObjectPath(documentPath(number)))});
}

BusReply BusService::openFile(const QVariantList& arguments) {
  const QString path = arguments[0].toString();
  if (auto error = requireAbsolute("Open", path)) return *error;
  int number = 0;
  const Status status = m_documents.open(path, number);
  if (!status) return failed(bus::kErrorOpenFailed, "Open", status);
  m_documents.report(QStringLiteral("Opened %1").arg(path));
  return BusReply::ok({QVariant::fromValue(QDBusObjectPath(documentPath(number)))});
}

BusReply BusService::quit() {
  if (m_hooks.quit) m_hooks.quit();
  return BusReply::ok();
}

BusReply BusService::getcode(int, FontDocument& document, const QVariantList&) {
  // int16 on the bus: codes from 0x8000 come back negative.
  return BusReply::ok({QVariant::fromValue(static_cast<short>(document.currentCode()))});
}

BusReply BusService::setcode(int number, FontDocument& document, const QVariantList& arguments) {
  const auto code = static_cast<uint16_t>(arguments[1].toInt() & 0xFFFF);
  if (!document.setCurrentCode(code)) return BusReply::ok();  // not in the code set: ignored
  return changed(number, QStringLiteral("Code %1").arg(hexCode(code)));
}

BusReply BusService::viewnextcode(int number, FontDocument& document, const QVariantList&) {
  document.viewNextCode();
  return changed(number, QStringLiteral("Code %1").arg(hexCode(document.currentCode())));
}

BusReply BusService::viewpreviouscode(int number, FontDocument& document, const QVariantList&) {
  document.viewPreviousCode();
  return changed(number, QStringLiteral("Code %1").arg(hexCode(document.currentCode())));
}

BusReply BusService::selectall(int number, FontDocument& document, const QVariantList&) {
  document.selectAll();
  return changed(number, {});
}

BusReply BusService::deleteSelection(int number, FontDocument& document, const QVariantList&) {
  document.deleteSelection();
  return changed(number, {});
}

BusReply BusService::unselectall(int number, FontDocument& document, const QVariantList&) {
  document.unselectAll();
  return changed(number, {});
}

BusReply BusService::importBmpfile(int number, FontDocument& document, const QVariantList& arguments) {
  const QString path = arguments[0].toString();
  if (auto error = requireAbsolute("ImportBmpfile", path)) return *error;
  InkBitmap bitmap;
  Status status = checkImportBudget(path.toStdString());
  if (status) status = readBmpFile(path.toStdString(), bitmap);
  if (status) status = document.importBitmap(bitmap);
  if (!status) return failed(bus::kErrorImportFailed, "ImportBmpfile", status);
  return changed(number, QStringLiteral("Imported %1 into %2").arg(path, hexCode(document.currentCode())));
}

BusReply BusService::setLeftRightSidebearing(int number, FontDocument& document,
                                             const QVariantList& arguments) {
  const short left = arguments[0].value<short>();
  const short right = arguments[1].value<short>();
  const Status status = document.setSideBearings(left, right);
  if (!status) return failed(bus::kErrorInvalidArgument, "SetLeftRightSidebearing", status);
  return changed(number, QStringLiteral("Side bearings of %1: %2, %3")
                             .arg(hexCode(document.currentCode())).arg(left).arg(right));
}

namespace {

struct BitmapOfCode {
  uint16_t code = 0;
  std::vector<uint8_t> bytes;
};

std::vector<BitmapOfCode> bitmapsOf(const QVariant& argument) {
  std::vector<BitmapOfCode> glyphs;
  const QDBusArgument array = argument.value<QDBusArgument>();
  array.beginArray();
  while (!array.atEnd()) {
    int code = 0;
    QByteArray bytes;
    array.beginStructure();
    array >> code >> bytes;
    array.endStructure();
    glyphs.push_back({uint16_t(code & 0xFFFF), std::vector<uint8_t>(bytes.begin(), bytes.end())});
  }
  array.endArray();
  return glyphs;
}

// What the single-glyph members do for one glyph, on the current code, with its bitmap
// read and traced beforehand.
Status replaceCurrentGlyph(FontDocument& document, TracedBmp& traced, std::optional<std::pair<int, int>> bearings) {
  if (!traced.read) return traced.read;
  document.selectAll();
  document.deleteSelection();
  Status status = traced.traced ? document.importTraced(std::move(traced.contours)) : traced.traced;
  document.unselectAll();
  if (status && bearings) status = document.setSideBearings(bearings->first, bearings->second);
  return status;
}

}  // namespace

// The glyphs' bitmaps are read and traced on all cores first; the document then takes
// them one by one in the call's order, as the single-glyph members would.
BusReply BusService::importBitmaps(int number, FontDocument& document, const QVariantList& arguments) {
  std::optional<std::pair<int, int>> bearings;
  if (arguments[1].toBool()) bearings = std::pair<int, int>(arguments[2].value<short>(), arguments[3].value<short>());
  std::vector<BitmapOfCode> glyphs = bitmapsOf(arguments[0]);
  std::erase_if(glyphs, [&](const BitmapOfCode& glyph) { return !document.codeOrder().contains(glyph.code); });
  std::vector<const std::vector<uint8_t>*> images;
  for (const BitmapOfCode& glyph : glyphs) images.push_back(&glyph.bytes);
  std::vector<TracedBmp> traced = traceBmps(images, std::max(1u, std::thread::hardware_concurrency()));
  const uint16_t current = document.currentCode();
  int replaced = 0;
  Status status = Status::success();
  for (size_t i = 0; i < glyphs.size() && status; ++i) {
    document.setCurrentCode(glyphs[i].code);
    status = replaceCurrentGlyph(document, traced[i], bearings);
    if (!status) status = Status::failure(hexCode(glyphs[i].code).toStdString() + ": " + status.message());
    replaced += status ? 1 : 0;
  }
  document.setCurrentCode(current);
  if (replaced > 0) m_documents.notifyChanged(number);
  if (!status) return failed(bus::kErrorImportFailed, bus::kImportBitmapsMethod, status);
  m_documents.report(QStringLiteral("Imported %1 glyphs").arg(replaced));
  return BusReply::ok({replaced});
}

// Nothing to undo or redo is no error: the call simply changes nothing.
BusReply BusService::undo(int number, FontDocument&, const QVariantList&) {
  m_documents.report(m_documents.undo(number) ? QStringLiteral("Undo") : QStringLiteral("Nothing to undo"));
  return BusReply::ok();
}

BusReply BusService::redo(int number, FontDocument&, const QVariantList&) {
  m_documents.report(m_documents.redo(number) ? QStringLiteral("Redo") : QStringLiteral("Nothing to redo"));
  return BusReply::ok();
}

BusReply BusService::save(int number, FontDocument& document, const QVariantList&) {
  const Status status = m_documents.save(number);
  if (!status) return failed(bus::kErrorSaveFailed, "save", status);
  m_documents.report(QStringLiteral("Saved %1").arg(qString(document.filePath())));
  return BusReply::ok();
}

BusReply BusService::saveAs(int number, FontDocument& document, const QVariantList& arguments) {
  const QString path = arguments[0].toString();
  if (auto error = requireAbsolute("SaveAs", path)) return *error;
  const Status status = m_documents.saveAs(number, path);
  if (!status) return failed(bus::kErrorSaveFailed, "SaveAs", status);
  m_documents.report(QStringLiteral("Saved %1").arg(qString(document.filePath())));
  return BusReply::ok();
}

BusReply BusService::close(int number, FontDocument& document, const QVariantList&) {
  const QString name = qString(document.name());
  m_documents.close(number);
  m_documents.report(QStringLiteral("Closed %1").arg(name));
  return BusReply::ok();
}

BusReply BusService::install(int, FontDocument& document, const QVariantList&) {
  QString path;
  const Status status = installFont(document, path);
  if (!status) return failed(bus::kErrorInstallFailed, "Install", status);
  m_documents.report(QStringLiteral("Installed %1").arg(path));
  return BusReply::ok();
}

BusReply BusService::failed(const char* errorName, const QString& member, const Status& status) {
  const QString message = qString(status.message());
  m_documents.report(QStringLiteral("%1 failed: %2").arg(member, message));
  return BusReply::error(QString::fromLatin1(errorName), message);
}

BusReply BusService::changed(int number, const QString& action) {
  m_documents.notifyChanged(number);
  if (!action.isEmpty()) m_documents.report(action);
  return BusReply::ok();
}

}  // namespace kernova
