#pragma once
// Dialog templates are laid out in dialog units, which scale with the dialog
// font: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height.

#include <QFont>
#include <QRect>
#include <QSize>

namespace vessa::app {

// One control's place in a template, in dialog units.
struct DialogRect {
  int x, y, width, height;
};

class DialogUnits {
 public:
  DialogUnits(int averageCharWidth, int charHeight);
  static DialogUnits ForFont(const QFont& font);

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  QRect ToPixels(const DialogRect& rect) const;
  QSize ToPixels(int width, int height) const;

 private:
  int averageCharWidth_;
  int charHeight_;
};

// The dialog font: the system's own family at the templates' 9 points, so
// any installed font that covers the port names can be used.
QFont DialogFont();

}  // namespace vessa::app
