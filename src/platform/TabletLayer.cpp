#include "platform/TabletLayer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTabletEvent>
#include <QWindow>
#include <QtMath>
#include <algorithm>
#include <cmath>

#include "common/Rounding.h"
#include "widgets/PictureBox.h"

namespace platform {
namespace {

// Cursor numbers as a tablet driver numbers the two ends of a stylus.
constexpr int32_t kPenCursor = 1;
constexpr int32_t kEraserCursor = 2;
constexpr int32_t kMaxPressure = 1023;

bool isEraser(const QTabletEvent& event) {
  return event.pointerType() == QPointingDevice::PointerType::Eraser;
}

int32_t changedItems(const TabletPacket& before, const TabletPacket& now) {
  using namespace wintab;
  int32_t bits = PK_TIME | PK_SERIAL_NUMBER;
  const auto mark = [&bits](bool differs, int32_t bit) {
    if (differs) bits |= bit;
  };
  mark(before.pkContext != now.pkContext, PK_CONTEXT);
  mark(before.pkStatus != now.pkStatus, PK_STATUS);
  mark(before.pkCursor != now.pkCursor, PK_CURSOR);
  mark(before.pkButtons != now.pkButtons, PK_BUTTONS);
  mark(before.pkX != now.pkX, PK_X);
  mark(before.pkY != now.pkY, PK_Y);
  mark(before.pkZ != now.pkZ, PK_Z);
  mark(before.pkNormalPressure != now.pkNormalPressure, PK_NORMAL_PRESSURE);
  mark(before.pkTangentPressure != now.pkTangentPressure, PK_TANGENT_PRESSURE);
  mark(before.orAzimuth != now.orAzimuth || before.orAltitude != now.orAltitude ||
           before.orTwist != now.orTwist,
       PK_ORIENTATION);
  return bits;
}

// Wintab's orientation in tenths of a degree from Qt's two tilt angles: the altitude
// is the angle above the tablet (900 upright), the azimuth the direction the pen
// leans, clockwise from the top of the tablet.
void setOrientation(const QTabletEvent& event, TabletPacket& packet) {
  const double tx = std::tan(qDegreesToRadians(double(event.xTilt())));
  const double ty = std::tan(qDegreesToRadians(double(event.yTilt())));
  const double altitude = qRadiansToDegrees(std::atan2(1.0, std::hypot(tx, ty)));
  double azimuth = qRadiansToDegrees(std::atan2(tx, -ty));
  if (azimuth < 0) azimuth += 360.0;
  packet.orAzimuth = roundEven(azimuth * 10) % 3600;
  packet.orAltitude = std::max(roundEven(altitude * 10), 1);
  if (isEraser(event)) packet.orAltitude = -packet.orAltitude;
  double twist = std::fmod(event.rotation(), 360.0);
  if (twist < 0) twist += 360.0;
  packet.orTwist = roundEven(twist * 10) % 3600;
}

// One axis of the screen onto [org, org + |extent|]; a positive extent grows
// against the screen's direction (Wintab's y grows upward unless the extent is
// negative).
int32_t toOutput(double position, double start, double length, int32_t org, int32_t extent,
                 bool flipOnPositive) {
  const double span = std::abs(double(extent));
  double fraction = length > 0 ? (position - start) / length : 0.0;
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (flipOnPositive && extent > 0) fraction = 1.0 - fraction;
  return org + roundEven(fraction * span);
}

class QtTabletLayer;

// Proximity events go to the application object, not to a widget; the pen's packets
// are taken where the platform delivers them, at the window that holds the context,
// so the pen is read wherever it is over that window, and each event once (a widget
// passes an event it leaves unaccepted on to its parents).
class PenEventFilter final : public QObject {
 public:
  explicit PenEventFilter(QtTabletLayer& layer) : m_layer(layer) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtTabletLayer& m_layer;
};

class QtTabletLayer final : public TabletLayer {
 public:
  explicit QtTabletLayer(bool present) : m_present(present) {
    if (m_present && QCoreApplication::instance())
      QCoreApplication::instance()->installEventFilter(&m_filter);
  }
  ~QtTabletLayer() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(&m_filter);
    unhook();
  }

  bool present() const override { return m_present; }
  bool defaultContext(TabletContextSpec& logicalContext) override;
  int32_t open(PictureBox& window, const TabletContextSpec& logicalContext) override;
  bool setQueueSize(int32_t context, int packets) override;
  void close(int32_t context) override;
  int packetsGet(int32_t context, TabletPacket& packet) override;
  void overlap(int32_t, bool) override {}

  // A pen leaving the tablet makes what it queued stale.
  void proximity(bool entering) {
    if (!entering) m_queue.clear();
    m_last = TabletPacket{};
  }
  void queueEvent(QObject* receiver, const QTabletEvent& event) {
    if (m_window && receiver == m_window->window()->windowHandle()) queueEvent(event);
  }

 private:
  void queueEvent(const QTabletEvent& event);
  void setPosition(const QTabletEvent& event, TabletPacket& packet) const;
  // The canvas and the window's background report the hovering pen too, not only the
  // pen on the surface, and leave its events unaccepted, so Qt still moves the pointer.
  void setTracking(bool on) {
    for (QWidget* w = m_window; w; w = w->parentWidget()) w->setTabletTracking(on);
  }
  void unhook() {
    if (m_window) setTracking(false);
    m_window = nullptr;
  }

  bool m_present;
  int32_t m_context = 0;
  int32_t m_nextHandle = 2;
  int32_t m_serial = 0;
  TabletContextSpec m_spec;
  QPointer<PictureBox> m_window;
  TabletPacketQueue m_queue;
  TabletPacket m_last;
  PenEventFilter m_filter{*this};
};

bool PenEventFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::TabletEnterProximity: m_layer.proximity(true); break;
    case QEvent::TabletLeaveProximity: m_layer.proximity(false); break;
    case QEvent::TabletMove:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      m_layer.queueEvent(watched, *static_cast<QTabletEvent*>(event));
      break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

// The whole screen in the driver's own output space, pen cursor on the system pointer.
bool QtTabletLayer::defaultContext(TabletContextSpec& logicalContext) {
  if (!m_present) return false;
  logicalContext = TabletContextSpec{};
  const char name[] = "System";
  std::copy(std::begin(name), std::end(name), logicalContext.lcName.begin());
  logicalContext.lcOptions = wintab::CXO_SYSTEM;
  logicalContext.lcPktData = 0xFFFFFFFF;
  logicalContext.lcMoveMask = 0xFFFFFFFF;
  logicalContext.lcBtnDnMask = 0xFFFFFFFF;
  logicalContext.lcBtnUpMask = 0xFFFFFFFF;
  logicalContext.lcOutExtX = 32768;
  logicalContext.lcOutExtY = 32768;
  return true;
}

int32_t QtTabletLayer::open(PictureBox& window, const TabletContextSpec& logicalContext) {
  if (!m_present) return 0;
  close(m_context);
  m_spec = logicalContext;
  m_context = m_nextHandle++;
  m_queue.clear();
  m_last = TabletPacket{};
  m_window = &window;
  setTracking(true);
  return m_context;
}

bool QtTabletLayer::setQueueSize(int32_t context, int packets) {
  if (context == 0 || context != m_context || packets < 1) return false;
  m_queue.setCapacity(packets);
  return true;
}

void QtTabletLayer::close(int32_t context) {
  if (context == 0 || context != m_context) return;
  unhook();
  m_queue.clear();
  m_context = 0;
}

int QtTabletLayer::packetsGet(int32_t context, TabletPacket& packet) {
  if (context == 0 || context != m_context) return 0;
  return m_queue.pop(packet);
}

void QtTabletLayer::setPosition(const QTabletEvent& event, TabletPacket& packet) const {
  const QScreen* screen = m_window ? m_window->screen() : QGuiApplication::primaryScreen();
  const QRectF area = screen ? QRectF(screen->geometry()) : QRectF(0, 0, 1024, 768);
  const QPointF global = event.globalPosition();
  packet.pkX = toOutput(global.x(), area.x(), area.width(), m_spec.lcOutOrgX, m_spec.lcOutExtX,
                        false);
  packet.pkY = toOutput(global.y(), area.y(), area.height(), m_spec.lcOutOrgY, m_spec.lcOutExtY,
                        true);
}

void QtTabletLayer::queueEvent(const QTabletEvent& event) {
  const QEvent::Type type = event.type();
  if (type != QEvent::TabletMove && type != QEvent::TabletPress && type != QEvent::TabletRelease)
    return;
  TabletPacket packet;
  packet.pkContext = m_context;
  packet.pkStatus = isEraser(event) ? wintab::TPS_INVERT : 0;
  packet.pkTime = int32_t(uint32_t(event.timestamp()));
  packet.pkSerialNumber = ++m_serial;
  packet.pkCursor = isEraser(event) ? kEraserCursor : kPenCursor;
  packet.pkButtons = PictureBox::buttonBits(event.buttons());
  setPosition(event, packet);
  packet.pkZ = roundEven(event.z());
  packet.pkNormalPressure = std::clamp(roundEven(event.pressure() * kMaxPressure), 0, kMaxPressure);
  packet.pkTangentPressure =
      roundEven(std::clamp(double(event.tangentialPressure()), -1.0, 1.0) * kMaxPressure);
  setOrientation(event, packet);
  packet.pkChanged = changedItems(m_last, packet);
  m_last = packet;
  m_queue.push(packet);
}

}  // namespace


std::unique_ptr<TabletLayer> makeTabletLayer(const std::string& platformName) {
  return std::make_unique<QtTabletLayer>(platformName == "xcb" || platformName == "wayland");
}

std::unique_ptr<TabletLayer> makeTabletLayer() {
  return makeTabletLayer(QGuiApplication::platformName().toStdString());
}

}  // namespace platform
