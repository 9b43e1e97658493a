#pragma once

#include <memory>
#include <string>

#include "studio/studio.h"
#include "studio/studio_access.h"

namespace pixtrel {

/// The studio's HTTP server: its page and its API, on the loopback address
/// only, to requests that StudioAccess lets in, with bodies of at most
/// kLargestBody bytes.
class StudioServer {
 public:
  static constexpr size_t kLargestBody = 16 * 1024 * 1024;

  /// Listens on 127.0.0.1 at `port` (0: a free port the system gives), for
  /// `studio`, which outlives the server, with a fresh token. Throws
  /// Failure when it cannot listen there.
  StudioServer(Studio& studio, int port);
  ~StudioServer();

  /// The port it listens at.
  int port() const;
  /// Who it lets in.
  const StudioAccess& access() const;

  /// Answers requests until Stop is called, or the page's Quit is pressed.
  void Run();
  /// Makes Run return; from any thread.
  void Stop();

 private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace pixtrel
