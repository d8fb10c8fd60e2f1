#include "app/app_icon.h"

namespace vessa::app {

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    icon.addFile(QString(":/icons/vessa-updater-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace vessa::app
