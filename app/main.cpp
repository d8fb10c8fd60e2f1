// vessa-updater: rewrites the flash of a connected unit through a dialog.

#include <QApplication>

#include "app/tq2_updator_app.h"
#include "midi/system_driver.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  vessa::app::CTq2UpdatorApp updater(vessa::midi::SystemMidiDriver());
  updater.InitInstance();
  return 0;
}
