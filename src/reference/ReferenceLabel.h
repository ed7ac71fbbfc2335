#pragma once
// The reference label: the current character in the reference face and colour, which
// the canvas enlarges as the writing guide. Reports its pointer events in twips
// relative to itself (15 twips to the pixel), as the label's handlers expect.
#include <QLabel>

#include "platform/Colour.h"

class ReferenceLabel : public QLabel {
  Q_OBJECT
 public:
  static constexpr int kTwipsPerPixel = 15;
  explicit ReferenceLabel(QWidget* parent = nullptr);

  // The reference colour (the label's fore colour), a colour value or system colour.
  Colour foreColour() const { return m_foreColour; }
  void setForeColour(Colour colour);

 signals:
  void mouseDown(int button, int shift, float x, float y);
  void mouseMove(int button, int shift, float x, float y);
  void mouseUp(int button, int shift, float x, float y);
  void doubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  Colour m_foreColour = colours::SystemActiveBorder;
};
