#pragma once
// Tells ThreadSanitizer of a hand-off between two threads through Qt's event
// queue: what one thread wrote before posting an event (a piece of work, a copy
// of the state) the other reads after it takes the event. Qt's queue orders the
// two with a lock inside a library that ThreadSanitizer does not watch, so
// without these marks it reports every such hand-off as a race. They cost
// nothing in other builds.
//
//   handoffRelease(receiver); QCoreApplication::postEvent(receiver, event);  // sender
//   handoffAcquire(receiver); ... the event's work ...                      // receiver
// (app/EngineWork.cpp does both.)

#if defined(__SANITIZE_THREAD__)
#define KORVANTA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KORVANTA_TSAN 1
#endif
#endif

#if defined(KORVANTA_TSAN)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
inline void handoffRelease(const void* token) {
    __tsan_release(const_cast<void*>(token));
}
inline void handoffAcquire(const void* token) {
    __tsan_acquire(const_cast<void*>(token));
}
#else
inline void handoffRelease(const void*) {}
inline void handoffAcquire(const void*) {}
#endif
