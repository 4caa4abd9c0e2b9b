#pragma once

// Qt hands work between threads (queued calls, QSemaphore) with locks inside Qt, which
// Debian does not build for ThreadSanitizer, so TSan cannot see the order they guarantee.
// A release on one side and an acquire on the other, on the same token, show it that order.
// Nothing outside TSan builds.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
inline void HandOffRelease(void* token) {
    __tsan_release(token);
}
inline void HandOffAcquire(void* token) {
    __tsan_acquire(token);
}
#else
inline void HandOffRelease(void*) {}
inline void HandOffAcquire(void*) {}
#endif
