#pragma once
// A picture box: a widget over a retained image with a one-pixel flat border.
// Pointer events arrive as plain values in pixels of the drawing area: button and
// modifier bit sets (1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt).
#include <QWidget>

#include "canvas/RetainedImage.h"

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  PictureBox(int innerWidth, int innerHeight, bool border, QWidget* parent = nullptr);

  RetainedImage& picture() { return m_picture; }
  const RetainedImage& picture() const { return m_picture; }
  int border() const { return m_border; }
  // Shows on screen what changed in the retained image since the last refresh.
  void refresh();

  static int buttonBits(Qt::MouseButtons buttons);
  static int modifierBits(Qt::KeyboardModifiers modifiers);

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
  RetainedImage m_picture;
  int m_border;
};
