#include "extract/background_writer.h"

#include <utility>

namespace pixtrel {

BackgroundWriter::BackgroundWriter(ByteSink& sink) : sink_(sink), thread_([this] { WriteWhatComes(); }) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::Start(const char* bytes, size_t size) {
  Wait();
  {
    std::lock_guard lock(mutex_);
    bytes_ = bytes;
    size_ = size;
    busy_ = true;
  }
  changed_.notify_all();
}

void BackgroundWriter::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (std::exception_ptr failure = std::exchange(failure_, nullptr)) std::rethrow_exception(failure);
}

void BackgroundWriter::WriteWhatComes() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (!busy_) return;
    lock.unlock();
    std::exception_ptr failure;
    try {
      sink_.Write(bytes_, size_);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    failure_ = failure;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace pixtrel
