#pragma once

#include <string>
#include <string_view>

namespace pixtrel {

/// Who may use the studio: a page of the studio's own address that holds
/// its secret token. A page of another site (whose requests name another
/// Host, even when its name leads to this machine) and another user of the
/// machine (who does not know the token) may not.
class StudioAccess {
 public:
  StudioAccess(std::string token, int port) : token_(std::move(token)), port_(port) {}

  /// The secret the printed address carries.
  const std::string& token() const { return token_; }

  /// True when `host`, a request's Host header, is 127.0.0.1:PORT,
  /// localhost:PORT or [::1]:PORT, PORT the studio's.
  bool HostAllowed(std::string_view host) const;

  /// True when the request carries the token: in the cookie the first page
  /// load set (`cookies`, its Cookie header) or in the X-Pixtrel-Token
  /// header (`header`).
  bool TokenGiven(std::string_view cookies, std::string_view header) const;

  /// True when `given` is the token, compared in a time that does not tell
  /// how much of it matched.
  bool IsToken(std::string_view given) const;

  /// The cookie's name: of the studio on this port, so that two studios
  /// keep theirs.
  std::string CookieName() const { return "pixtrel_studio_" + std::to_string(port_); }

 private:
  std::string token_;
  int port_;
};

}  // namespace pixtrel
