#include "app/read_only_field.h"

#include <QLineEdit>
#include <QPalette>

namespace vessa::app {

void MakeReadOnlyField(QLineEdit& field) {
  field.setReadOnly(true);
  field.setFrame(false);
  field.setFocusPolicy(Qt::StrongFocus);
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  field.setPalette(palette);
}

}  // namespace vessa::app
