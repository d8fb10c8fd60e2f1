#include "app/event_wait.h"

#include <QEventLoop>
#include <QTimer>

namespace vessa::app {
namespace {

constexpr std::chrono::milliseconds kPollInterval{2};

}  // namespace

bool ServeEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(kPollInterval);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(patience, &loop, &QEventLoop::quit);
  poll.start();
  loop.exec();
  return done();
}

}  // namespace vessa::app
