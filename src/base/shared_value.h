// A value shared between the user-interface thread and a worker thread.
// Each read and each write is one indivisible (relaxed atomic) access, which
// is all the program needs of these fields; copying the record that holds
// them copies the values.
#pragma once

#include <atomic>

namespace tolvar {

template <typename T>
class Shared {
 public:
  Shared(T value = T{}) : value_(value) {}  // NOLINT(google-explicit-constructor)
  Shared(const Shared& other) : value_(other.load()) {}
  Shared& operator=(const Shared& other) {
    store(other.load());
    return *this;
  }
  Shared& operator=(T value) {
    store(value);
    return *this;
  }
  operator T() const { return load(); }  // NOLINT(google-explicit-constructor)

  T load() const { return value_.load(std::memory_order_relaxed); }
  void store(T value) { value_.store(value, std::memory_order_relaxed); }

 private:
  std::atomic<T> value_;
};

}  // namespace tolvar
