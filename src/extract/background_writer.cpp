#include "extract/background_writer.h"

namespace pixtrel {

BackgroundWriter::BackgroundWriter(ByteSink& sink) : sink_(sink), thread_([this] { WriteWhatComes(); }) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty(); });
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::Start(const char* bytes, size_t size) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kBuffersInFlight; });
    ThrowFailure();
    queue_.emplace_back(bytes, size);
  }
  changed_.notify_all();
}

void BackgroundWriter::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty(); });
  ThrowFailure();
}

void BackgroundWriter::ThrowFailure() {
  if (std::exception_ptr failure = std::exchange(failure_, nullptr)) std::rethrow_exception(failure);
}

void BackgroundWriter::WriteWhatComes() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) return;
    const auto [bytes, size] = queue_.front();
    if (!failed_) {
      lock.unlock();
      std::exception_ptr failure;
      try {
        sink_.Write(bytes, size);
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      if (failure) {
        failure_ = failure;
        failed_ = true;
      }
    }
    queue_.pop_front();
    changed_.notify_all();
  }
}

}  // namespace pixtrel
