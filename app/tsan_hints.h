#pragma once
// Happens-before hints for hand-offs that pass through Qt's event queue. The
// distribution's Qt is not built with ThreadSanitizer, so it cannot see that
// posting an event orders the poster's writes before the handler's reads.

#if defined(__SANITIZE_THREAD__)
#define VESSA_TSAN_ENABLED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VESSA_TSAN_ENABLED 1
#endif
#endif

#ifdef VESSA_TSAN_ENABLED
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace vessa::app {

inline void TsanRelease([[maybe_unused]] void* addr) {
#ifdef VESSA_TSAN_ENABLED
  __tsan_release(addr);
#endif
}

inline void TsanAcquire([[maybe_unused]] void* addr) {
#ifdef VESSA_TSAN_ENABLED
  __tsan_acquire(addr);
#endif
}

}  // namespace vessa::app
