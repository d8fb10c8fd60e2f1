#include "app/dialog_units.h"

#include <QApplication>
#include <QFontMetrics>

namespace vessa::app {
namespace {

constexpr int kTemplatePointSize = 9;
constexpr int kHorizontalDivisor = 4;
constexpr int kVerticalDivisor = 8;
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetPairs = 26;

// value * numerator / denominator, rounded half away from zero, as the
// templates' original platform scales them.
int ScaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

// The average width over the alphabet, rounded, as the templates' original
// platform measures it. A font's own average figure can be narrower than
// running text, and then captions no longer fit their controls.
DialogUnits DialogUnits::ForFont(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(kAlphabet);
  const int averageCharWidth = (alphabetWidth / kAlphabetPairs + 1) / 2;
  return DialogUnits(averageCharWidth, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const {
  return ScaleRounded(units, averageCharWidth_, kHorizontalDivisor);
}

int DialogUnits::ToPixelsY(int units) const {
  return ScaleRounded(units, charHeight_, kVerticalDivisor);
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
  return QRect(ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width), ToPixelsY(rect.height));
}

QSize DialogUnits::ToPixels(int width, int height) const {
  return QSize(ToPixelsX(width), ToPixelsY(height));
}

QFont DialogFont() {
  QFont font = QApplication::font();
  font.setPointSize(kTemplatePointSize);
  return font;
}

}  // namespace vessa::app
