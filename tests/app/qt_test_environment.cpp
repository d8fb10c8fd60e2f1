#include "qt_test_environment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/event_wait.h"

namespace vessa::app::testing {
namespace {

constexpr std::chrono::milliseconds kModalPollInterval{5};

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "app_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
  return ServeEventsUntil(done, patience);
}

ModalWatcher::ModalWatcher(std::function<void(QWidget&)> handle, const QWidget* except)
    : timer_(std::make_unique<QTimer>()) {
  timer_->setInterval(kModalPollInterval);
  QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(),
                   [this, handle = std::move(handle), except] {
                     QWidget* modal = QApplication::activeModalWidget();
                     if (modal == nullptr || modal == except || !modal->isVisible()) return;
                     timer_->stop();
                     handled_ = true;
                     handle(*modal);
                   });
  timer_->start();
}

ModalWatcher::~ModalWatcher() = default;

}  // namespace vessa::app::testing
