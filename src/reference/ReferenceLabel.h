#pragma once
// The reference label: the current character in the reference face and colour, which
// the canvas enlarges as the writing guide. Reports its pointer events in twips
// relative to itself (15 twips to the pixel), as the label's handlers expect.
#include <QImage>
#include <QLabel>

#include "canvas/Colour.h"

class ReferenceLabel : public QLabel {
  Q_OBJECT
 public:
  static constexpr int kTwipsPerPixel = 15;
  // 24 points at 96 dots per inch, fixed in pixels so the guide is the same on every
  // screen.
  static constexpr int kFacePixelSize = 32;
  explicit ReferenceLabel(QWidget* parent = nullptr);

  // The reference colour (the label's fore colour), a colour value or system colour.
  Colour foreColour() const { return m_foreColour; }
  void setForeColour(Colour colour);
  // The guide-state back colour (window while the guide is on, button face when off).
  Colour backColour() const { return m_backColour; }
  void setBackColour(Colour colour);

  // Requests the face by name; realisedFace() tells which face the label really uses.
  void setFaceName(const QString& name);
  QString realisedFace() const;

  // The label as it shows on screen, at its size, independent of what covers it.
  QImage render() const;

 signals:
  void mouseDown(int button, int shift, float x, float y);
  void mouseMove(int button, int shift, float x, float y);
  void mouseUp(int button, int shift, float x, float y);
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void paintLabel(QPainter& painter) const;

  Colour m_foreColour = colours::SystemActiveBorder;
  Colour m_backColour = colours::SystemWindow;
};
