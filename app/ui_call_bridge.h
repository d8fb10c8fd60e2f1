#pragma once
// Carries the update worker's calls on the window to the UI thread. Each call
// runs there in the order made, and the caller waits until it has run, so a
// text set by the worker is on screen before the worker goes on, and an error
// box holds the worker until it is dismissed. Once the window is closing, no
// further call runs and every waiting or later caller returns at once, so a
// worker never waits for a UI thread that is itself waiting for the worker.

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace vessa::app {

class UiCallBridge {
 public:
  // Construct on the UI thread. Calls still queued when the bridge goes are
  // dropped.
  UiCallBridge();
  UiCallBridge(const UiCallBridge&) = delete;
  UiCallBridge& operator=(const UiCallBridge&) = delete;
  ~UiCallBridge();

  // Any thread. On the UI thread the call runs directly.
  void Run(std::function<void()> call);

  // UI thread. Pending and later calls return without running.
  void BeginClosing();
  bool Closing();

  struct PendingCall {
    std::function<void()> call;
    bool finished = false;
  };

 private:
  // UI thread: runs one posted call unless closing, then releases its caller.
  void RunPosted(PendingCall& pending);

  class Receiver : public QObject {
   public:
    explicit Receiver(UiCallBridge& bridge) : bridge_(bridge) {}
    bool event(QEvent* event) override;

   private:
    UiCallBridge& bridge_;
  };

  Receiver receiver_;
  std::mutex mutex_;
  std::condition_variable finished_;
  bool closing_ = false;
};

}  // namespace vessa::app
