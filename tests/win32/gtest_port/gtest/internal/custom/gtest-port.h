// gtest/internal/custom/gtest-port.h - GoogleTest's hook for a port's own
// settings; cmake/win32.cmake puts this folder before GoogleTest's, whose
// file of the same name is empty.
//
// The Windows builds use MinGW-w64's win32 thread model, so that the .scr
// links no threading runtime. Under that model this GCC has no std::mutex or
// std::condition_variable, and GoogleTest builds its Notification (which
// only holds back a thread that GoogleTest itself starts) on those two. Here
// it is an atomic flag instead.
#ifndef VIMBREL_GTEST_CUSTOM_PORT_H
#define VIMBREL_GTEST_CUSTOM_PORT_H

#include <atomic>
#include <thread>

#if !defined(_GLIBCXX_HAS_GTHREADS)
#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true, std::memory_order_release); }

  void WaitForNotification() {
    while (!notified_.load(std::memory_order_acquire)) std::this_thread::yield();
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
#endif

#endif
