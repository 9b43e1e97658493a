#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace pixtrel {

/// Writes to a sink on a thread of its own, one buffer at a time, so that
/// the caller can fill the next buffer meanwhile.
class BackgroundWriter {
 public:
  /// A writer to `sink`, which must outlive it.
  explicit BackgroundWriter(ByteSink& sink);

  /// Waits for the write under way (its failure goes unreported: one is on
  /// its way already, or Wait has reported it) and ends the thread.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  /// Waits for the write under way, then starts writing the `size` bytes at
  /// `bytes`, which must stay as they are until the next Start or Wait
  /// returns. Throws the Failure of the write waited for.
  void Start(const char* bytes, size_t size);

  /// Waits for the write under way; throws its Failure.
  void Wait();

 private:
  void WriteWhatComes();

  ByteSink& sink_;
  std::mutex mutex_;
  std::condition_variable changed_;
  const char* bytes_ = nullptr;  ///< What is to be written, or being written.
  size_t size_ = 0;
  bool busy_ = false;      ///< bytes_ are to be written or being written.
  bool stopping_ = false;  ///< The thread is to end.
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace pixtrel
