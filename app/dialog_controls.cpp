#include "app/dialog_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace vessa::app {

QLabel* CreateLabel(QWidget& parent, const char* name, const char* text, const DialogRect& rect,
                    const DialogUnits& units) {
  auto* label = new QLabel(text, &parent);
  label->setObjectName(name);
  label->setGeometry(units.ToPixels(rect));
  return label;
}

QPushButton* CreateButton(QWidget& parent, const char* name, const char* text,
                          const DialogRect& rect, const DialogUnits& units) {
  auto* button = new QPushButton(text, &parent);
  button->setObjectName(name);
  button->setGeometry(units.ToPixels(rect));
  return button;
}

QLineEdit* CreateReadOnlyField(QWidget& parent, const char* name, const DialogRect& rect,
                               const DialogUnits& units) {
  auto* field = new QLineEdit(&parent);
  field->setObjectName(name);
  field->setReadOnly(true);
  field->setFrame(false);
  field->setFocusPolicy(Qt::StrongFocus);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  field->setPalette(palette);
  field->setGeometry(units.ToPixels(rect));
  return field;
}

}  // namespace vessa::app
