#pragma once
// Shared by the window tests: one QApplication for the whole test program,
// waiting on the event loop, and answering modal boxes from inside their own
// event loops (a modal box blocks the code that opened it).

#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

class QTimer;

namespace vessa::app::testing {

// Generous: only a broken build ever waits this long.
inline constexpr std::chrono::milliseconds kPatience{120000};

// Runs the event loop until `done` holds; false on running out of patience.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience = kPatience);

// Calls `handle` once with the next modal window other than `except` that
// shows up, from within whichever event loop is running at that moment.
// Destroying the watcher stops it.
class ModalWatcher {
 public:
  ModalWatcher(std::function<void(QWidget&)> handle, const QWidget* except = nullptr);
  ~ModalWatcher();
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;
  bool Handled() const { return handled_; }

 private:
  std::unique_ptr<QTimer> timer_;
  bool handled_ = false;
};

}  // namespace vessa::app::testing
