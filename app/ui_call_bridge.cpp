#include "app/ui_call_bridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <memory>

#include "app/tsan_hints.h"

namespace vessa::app {
namespace {

const QEvent::Type kCallEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

// Our own event rather than a queued functor: it is made by the caller and
// read and freed only by the UI thread, so the one hand-off through Qt's
// queue is all the sanitizer needs to be told about.
class CallEvent : public QEvent {
 public:
  explicit CallEvent(std::shared_ptr<UiCallBridge::PendingCall> pending)
      : QEvent(kCallEventType), pending_(std::move(pending)) {}
  // Also freed unread when the bridge goes first.
  ~CallEvent() override { TsanAcquire(this); }
  UiCallBridge::PendingCall& Pending() { return *pending_; }

 private:
  // Shared with the caller, which may give up waiting once closing began.
  std::shared_ptr<UiCallBridge::PendingCall> pending_;
};

}  // namespace

UiCallBridge::UiCallBridge() : receiver_(*this) {}

UiCallBridge::~UiCallBridge() = default;

bool UiCallBridge::Receiver::event(QEvent* event) {
  // Before the first look at it: the event may come from the worker.
  TsanAcquire(event);
  if (event->type() != kCallEventType) return QObject::event(event);
  bridge_.RunPosted(static_cast<CallEvent*>(event)->Pending());
  return true;
}

void UiCallBridge::Run(std::function<void()> call) {
  if (QThread::currentThread() == receiver_.thread()) {
    if (!Closing()) call();
    return;
  }
  auto pending = std::make_shared<PendingCall>();
  pending->call = std::move(call);
  {
    std::lock_guard lock(mutex_);
    if (closing_) return;
  }
  auto* event = new CallEvent(pending);
  TsanRelease(event);
  QCoreApplication::postEvent(&receiver_, event);
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [&] { return pending->finished || closing_; });
}

void UiCallBridge::RunPosted(PendingCall& pending) {
  if (!Closing()) pending.call();
  {
    std::lock_guard lock(mutex_);
    pending.finished = true;
  }
  finished_.notify_all();
}

void UiCallBridge::BeginClosing() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  finished_.notify_all();
}

bool UiCallBridge::Closing() {
  std::lock_guard lock(mutex_);
  return closing_;
}

}  // namespace vessa::app
