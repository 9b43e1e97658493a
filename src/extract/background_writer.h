#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/platform.h"

namespace pixtrel {

/// Writes to a sink on a thread of its own, buffer after buffer, so that
/// the caller can fill the next buffer meanwhile. One buffer waits while
/// another is written, so that the thread goes on writing without waiting
/// for the caller to wake.
class BackgroundWriter {
 public:
  /// How many buffers may be handed over and not written yet.
  static constexpr size_t kBuffersInFlight = 2;

  /// A writer to `sink`, which must outlive it.
  explicit BackgroundWriter(ByteSink& sink);

  /// Waits for the writes under way (a failure goes unreported: one is on
  /// its way already, or Wait has reported it) and ends the thread.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  /// Hands over the `size` bytes at `bytes` to be written after those handed
  /// over before; they must stay as they are until kBuffersInFlight more
  /// were handed over, or Wait returns. Waits while kBuffersInFlight are
  /// not written yet. Throws the Failure of an earlier write; after one,
  /// nothing more is written.
  void Start(const char* bytes, size_t size);

  /// Waits until everything handed over is written; throws the Failure of a
  /// write.
  void Wait();

 private:
  void WriteWhatComes();
  void ThrowFailure();

  ByteSink& sink_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<const char*, size_t>> queue_;  ///< Handed over, the first being written.
  bool stopping_ = false;                             ///< The thread is to end.
  std::exception_ptr failure_;
  bool failed_ = false;  ///< A write failed: nothing more is written.
  std::thread thread_;
};

}  // namespace pixtrel
