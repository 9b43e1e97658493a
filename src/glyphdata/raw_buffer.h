#pragma once

#include <memory>
#include <vector>

namespace pixtrel {

/// An allocator whose elements are left as they come when made without a
/// value, so that a large buffer costs no memory until it is written to.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;

  template <class U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

/// A buffer of bytes whose new room is not cleared: a read fills it.
using RawBuffer = std::vector<char, DefaultInitAllocator<char>>;

}  // namespace pixtrel
