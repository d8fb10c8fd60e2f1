#pragma once
// Serves the UI thread's events until a condition holds. A real event loop,
// not a sleep-and-poll one: the worker's window calls wait for the UI thread,
// so a run is only as fast as events are served.

#include <chrono>
#include <functional>

namespace vessa::app {

// True once `done` holds; false when `patience` ran out first.
bool ServeEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds patience);

}  // namespace vessa::app
