#include "app/tq2_updator_app.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/test_hooks.h"
#include "app/tq2_updator_dlg.h"
#include "platform/instance_lock.h"

namespace vessa::app {

CTq2UpdatorApp::CTq2UpdatorApp(midi::MidiDriver& driver) : driver_(driver) {}

void CTq2UpdatorApp::InitInstance() {
  instanceLock_ = platform::CreateSystemInstanceLock();
  const int instanceNumber = platform::AcquireInstanceNumber(*instanceLock_);

  if (test_hooks::InstanceReportRequested()) {
    test_hooks::ReportInstanceAndWait(instanceNumber, platform::RefusalText());
    return;
  }
  if (instanceNumber == 0) {
    ShowRefusal();
    return;
  }
  if (const auto folder = test_hooks::ScreenshotFolder()) {
    test_hooks::RunScreenshotTour(instanceNumber, *folder);
    return;
  }
  CTq2UpdatorDlg dialog(instanceNumber, driver_);
  dialog.exec();
}

void CTq2UpdatorApp::ShowRefusal() {
  // Captioned with the program's file name, as the desktop shows it.
  QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                  QString::fromStdString(platform::RefusalText()), QMessageBox::Ok);
  box.exec();
}

}  // namespace vessa::app
