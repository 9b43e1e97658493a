#include "studio/studio_access.h"

namespace pixtrel {

bool StudioAccess::HostAllowed(std::string_view host) const {
  const std::string port = ":" + std::to_string(port_);
  for (const char* name : {"127.0.0.1", "localhost", "[::1]"})
    if (host == name + port) return true;
  return false;
}

bool StudioAccess::IsToken(std::string_view given) const {
  if (given.size() != token_.size()) return false;
  unsigned difference = 0;
  for (size_t i = 0; i < given.size(); ++i) difference |= static_cast<unsigned char>(given[i] ^ token_[i]);
  return difference == 0;
}

bool StudioAccess::TokenGiven(std::string_view cookies, std::string_view header) const {
  if (!header.empty() && IsToken(header)) return true;
  const std::string wanted = CookieName() + "=";
  for (size_t at = 0; at < cookies.size();) {
    size_t end = cookies.find(';', at);
    if (end == std::string_view::npos) end = cookies.size();
    std::string_view cookie = cookies.substr(at, end - at);
    while (cookie.starts_with(' ')) cookie.remove_prefix(1);
    if (cookie.starts_with(wanted) && IsToken(cookie.substr(wanted.size()))) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace pixtrel
