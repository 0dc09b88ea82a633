// ownership.h - how the core's resource holders own their memory.
//
// A holder (Scene, SpanTables, DrawnSpans, ChangeList, ShownFrame,
// IndexedImage) keeps its blocks in std::unique_ptr arrays, so it releases
// them when it goes and cannot be copied; moving one hands its blocks over
// and leaves it empty. A pointer that only looks into a block (the scene's
// frame pixels, a shell's image) is a BorrowedPointer, which a move carries
// along and leaves null. The blocks are allocated by ZeroedBlock inside
// Allocated, so running out of memory is a false result, never an
// exception that leaves the core:
//
//   if (!Allocated([&] { list.rows = ZeroedBlock<ChangeRow>(rows); })) return false;
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

// count zeroed values of a trivial type; throws std::bad_alloc, which
// Allocated turns into false.
template <typename T>
std::unique_ptr<T[]> ZeroedBlock(size_t count) {
  return std::make_unique<T[]>(count);
}

// Runs make, which allocates; false, with what it made so far left to its
// holders' destructors, when memory runs out.
template <typename Make>
bool Allocated(Make&& make) noexcept {
  try {
    make();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// A pointer into memory that someone else releases (a block of the same
// holder, or a shell's image). It reads as a plain pointer; moving its
// holder moves it along and leaves null behind, and it cannot be copied,
// so neither can its holder.
template <typename T>
class BorrowedPointer {
 public:
  BorrowedPointer() = default;
  BorrowedPointer(T* pointer) : pointer_(pointer) {}  // NOLINT: reads and assigns as the pointer it is
  BorrowedPointer(const BorrowedPointer&) = delete;
  BorrowedPointer& operator=(const BorrowedPointer&) = delete;
  BorrowedPointer(BorrowedPointer&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  BorrowedPointer& operator=(BorrowedPointer&& other) noexcept {
    pointer_ = std::exchange(other.pointer_, nullptr);
    return *this;
  }
  operator T*() const { return pointer_; }  // NOLINT
  T* get() const { return pointer_; }

 private:
  T* pointer_ = nullptr;
};
