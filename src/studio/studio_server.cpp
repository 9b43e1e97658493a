#include "studio/studio_server.h"

#include <httplib.h>

#include "platform/failure.h"
#include "platform/platform.h"
#include "studio/studio_page.h"

namespace pixtrel {

namespace {

/// What every answer carries: no page of another origin frames it, reads
/// it, or runs script in it.
const httplib::Headers kSafetyHeaders = {
    {"Content-Security-Policy", "default-src 'self'; img-src 'self' data: blob:; frame-ancestors 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Cache-Control", "no-store"}};

void Answer(httplib::Response& response, int status, const std::string& body, const char* type) {
  response.status = status;
  response.set_content(body, type);
}

void Answer(httplib::Response& response, const StudioAnswer& answer) {
  Answer(response, answer.status, answer.body, answer.type.c_str());
}

/// A refusal before the request is read: a JSON error.
void Refuse(httplib::Response& response, int status, const std::string& why) {
  Answer(response, status, "{\"error\":\"" + why + "\"}", "application/json");
}

/// The port is the studio's alone: no other program listens at it too
/// (cpp-httplib would share it, SO_REUSEPORT), and on Windows none takes it
/// over; a port a closed studio used is free at once.
void ListenAlone(socket_t socket) {
  int yes = 1;
#ifdef _WIN32
  setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
#else
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
}

}  // namespace

struct StudioServer::Server {
  Server(Studio& studio, int port) : studio(studio), bound(Listen(http, port)), access(SecretToken(16), bound) {
    Route();
  }

  /// Binds `http` to 127.0.0.1 at `port` (0: a free one); the port.
  static int Listen(httplib::Server& http, int port) {
    http.set_socket_options(ListenAlone);
    const int bound =
        port == 0 ? http.bind_to_any_port("127.0.0.1") : (http.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound < 0) throw Failure("127.0.0.1:" + std::to_string(port) + ": cannot listen there (a port in use?)");
    return bound;
  }

  /// Refuses a request of another Host or without the token before its
  /// body is read (a body too large is skipped, and refused); lets the printed address in, once, setting
  /// the token's cookie.
  httplib::Server::HandlerResponse Guard(const httplib::Request& request, httplib::Response& response) {
    if (!access.HostAllowed(request.get_header_value("Host"))) {
      Refuse(response, 403, "the studio answers requests for 127.0.0.1:" + std::to_string(bound) + " only");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (request.path == "/" && request.has_param("token") && access.IsToken(request.get_param_value("token"))) {
      response.set_header("Set-Cookie",
                          access.CookieName() + "=" + access.token() + "; Path=/; HttpOnly; SameSite=Strict");
      response.set_redirect("/", 303);
      return httplib::Server::HandlerResponse::Handled;
    }
    if (!access.TokenGiven(request.get_header_value("Cookie"), request.get_header_value("X-Pixtrel-Token"))) {
      Refuse(response, 403, "no token: open the address pixtrel-studio printed");
      return httplib::Server::HandlerResponse::Handled;
    }
    // Over the loopback, compressing an answer (a picture in Base64) costs
    // far more time than sending it: cpp-httplib compresses what a request
    // accepts compressed, so the request accepts nothing. (The request is
    // the server's own object, handed over as const.)
    const_cast<httplib::Request&>(request).headers.erase("Accept-Encoding");
    return httplib::Server::HandlerResponse::Unhandled;
  }

  void Route() {
    http.set_default_headers(kSafetyHeaders);
    // A browser keeps idle connections open, each holding one of the server's threads.
    http.set_keep_alive_timeout(1);
    http.set_payload_max_length(kLargestBody);
    http.set_pre_routing_handler([this](const auto& request, auto& response) { return Guard(request, response); });
    http.set_error_handler([](const httplib::Request&, httplib::Response& response) {
      if (!response.body.empty()) return;
      if (response.status == 413) return Refuse(response, 400, "the request is over 16 MB");
      Refuse(response, response.status, response.status == 404 ? "no such page" : "the request could not be read");
    });
    http.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr thrown) {
      try {
        std::rethrow_exception(thrown);
      } catch (const std::exception& failure) {
        Answer(response, 500, failure.what(), "text/plain; charset=utf-8");
      }
    });
    http.Get("/api/options", [this](const auto&, auto& response) { Answer(response, studio.Options()); });
    http.Get("/api/fonts", [this](const auto&, auto& response) { Answer(response, studio.Fonts()); });
    http.Get("/api/texts", [this](const auto&, auto& response) { Answer(response, studio.Texts()); });
    http.Post("/api/preview",
              [this](const auto& request, auto& response) { Answer(response, studio.Preview(request.body)); });
    http.Post("/api/export",
              [this](const auto& request, auto& response) { Answer(response, studio.Export(request.body)); });
    http.Post("/api/texts",
              [this](const auto& request, auto& response) { Answer(response, studio.SaveText(request.body)); });
    http.Post("/api/quit", [this](const auto&, auto& response) {
      Answer(response, 200, "{}", "application/json");
      http.stop();
    });
    http.Get(R"(/[a-z.]*)", [](const httplib::Request& request, httplib::Response& response) {
      if (std::optional<StudioPageFile> file = FindStudioPageFile(request.path))
        return Answer(response, 200, std::string(file->body), std::string(file->type).c_str());
      response.status = 404;
    });
  }

  Studio& studio;
  httplib::Server http;
  int bound;
  StudioAccess access;
};

StudioServer::StudioServer(Studio& studio, int port) : server_(std::make_unique<Server>(studio, port)) {}
StudioServer::~StudioServer() = default;
int StudioServer::port() const { return server_->bound; }
const StudioAccess& StudioServer::access() const { return server_->access; }
void StudioServer::Run() { server_->http.listen_after_bind(); }
void StudioServer::Stop() { server_->http.stop(); }

}  // namespace pixtrel
