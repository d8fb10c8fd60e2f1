#include "app/test_hooks.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/dialog_templates.h"
#include "app/event_wait.h"
#include "app/tq2_updator_dlg.h"
#include "engine/port_preselection.h"
#include "engine/virtual_unit/loopback_unit.h"
#include "midi/loopback/driver.h"

namespace vessa::app::test_hooks {
namespace {

constexpr const char* kReportInstanceVariable = "VESSA_UPDATER_TEST_REPORT_INSTANCE";
constexpr const char* kScreenshotsVariable = "VESSA_UPDATER_TEST_SCREENSHOTS";
constexpr const char* kOtherPortName = "Midi Through Port-0";
constexpr std::chrono::seconds kTourPatience{300};
constexpr int kAboutGrabDelayMs = 300;

void WaitUntil(const std::function<bool()>& done) {
  ServeEventsUntil(done, kTourPatience);
}

void Settle() {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(5);
  }
}

void Save(QWidget& window, const std::string& folder, const char* name) {
  Settle();
  const QString path = QString::fromStdString(folder) + "/" + name;
  if (!window.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

}  // namespace

bool InstanceReportRequested() {
  const char* value = std::getenv(kReportInstanceVariable);
  return value != nullptr && *value != '\0';
}

void ReportInstanceAndWait(int instanceNumber, const std::string& refusalText) {
  if (instanceNumber == 0) {
    std::printf("refused: %s\n", refusalText.c_str());
  } else {
    std::printf("instance %d\n", instanceNumber);
  }
  std::fflush(stdout);
  // The test ends us by closing our stdin (or by killing us).
  while (std::fgetc(stdin) != EOF) {
  }
}

std::optional<std::string> ScreenshotFolder() {
  const char* value = std::getenv(kScreenshotsVariable);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

void RunScreenshotTour(int instanceNumber, const std::string& folder) {
  auto driver = midi::loopback::CreateLoopbackDriver();
  auto other = driver->AddDevice(kOtherPortName);
  // The port name the dialog preselects for this instance.
  const std::string unitPortName = engine::PreferredPortNames(instanceNumber).back();
  engine::unit::LoopbackUnit unit(*driver, unitPortName);
  {
    CTq2UpdatorDlg dialog(instanceNumber, *driver);
    dialog.show();
    Save(dialog, folder, "main-ready.png");

    auto* progress = dialog.findChild<QProgressBar*>(control_name::kProgress);
    auto* status = dialog.findChild<QLineEdit*>(control_name::kStatusText);
    dialog.findChild<QPushButton*>(control_name::kOk)->click();
    // Well into the largest image, so the bar shows a run under way.
    WaitUntil([&] {
      return progress->maximum() > 1000000 && progress->value() > progress->maximum() / 3;
    });
    Save(dialog, folder, "main-running.png");
    WaitUntil([&] { return !dialog.Context().UpdateInProgress(); });
    Save(dialog, folder, "main-completed.png");
    std::printf("completed: %s\n", qPrintable(status->text()));

    QTimer::singleShot(kAboutGrabDelayMs, [&folder] {
      if (QWidget* about = QApplication::activeModalWidget()) {
        Save(*about, folder, "about-box.png");
        about->close();
      }
    });
    dialog.OnSysCommand(kIdmAboutBox);
    dialog.reject();
  }
}

}  // namespace vessa::app::test_hooks
