#include "glyphdata/utf8.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/platform.h"

namespace pixtrel {

uint32_t Utf8CodePoint(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead;
  uint32_t value = lead & (0x7F >> character.size());
  for (size_t i = 1; i < character.size(); ++i) value = value << 6 | (static_cast<unsigned char>(character[i]) & 0x3F);
  return value;
}

void AppendUtf8(uint32_t code_point, std::string& text) {
  if (code_point < 0x80) {
    text += static_cast<char>(code_point);
    return;
  }
  const int continuations = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  constexpr unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
  text += static_cast<char>(kLead[continuations] | code_point >> (6 * continuations));
  for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
    text += static_cast<char>(0x80 | (code_point >> shift & 0x3F));
}

std::string CodePointName(uint32_t code_point) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code_point));
  return name;
}

std::string ControlName(uint32_t code_point) {
  switch (code_point) {
    case 0x00:
      return "NUL";
    case 0x08:
      return "backspace";
    case 0x09:
      return "tab";
    case 0x0A:
      return "line feed";
    case 0x0B:
      return "vertical tab";
    case 0x0C:
      return "form feed";
    case 0x1B:
      return "escape";
    case 0x7F:
      return "delete";
    default:
      return "control";
  }
}

std::string ShownIn(const std::string& charset, uint32_t code_point) {
  std::string utf8;
  if (code_point != 0) AppendUtf8(code_point, utf8);
  const std::optional<std::string> shown = ConvertText(charset.c_str(), "UTF-8", utf8);
  return shown && !shown->empty() ? *shown : "?";
}

namespace {

// The census looks at every byte that is not ASCII on its own: a lead byte
// followed by the continuation bytes it needs starts a well-formed sequence,
// and every other byte that is not ASCII is ill formed. No continuation
// byte can be a lead, so well-formed sequences never overlap, and this
// counts as reading the text sequence by sequence would; but no byte waits
// for the one before it, and a text of CP936, all ill-formed sequences,
// costs no misprediction a byte.

/// For a byte, as the lead of a sequence: its length (0 for no lead) in
/// bits 0-2, which classes of second byte it takes in bits 3-5, and in bits
/// 6 and 7 whether it needs a third and a fourth byte. For a byte as a
/// continuation: 1, and its class in bits 3-5 (0 for no continuation).
enum : uint8_t { k80To8F = 1, k90To9F = 2, kA0ToBF = 4, kAnyContinuation = 7 };

struct ByteTables {
  std::array<uint8_t, 256> lead{};
  std::array<uint8_t, 256> continuation{};
};

constexpr ByteTables kTables = [] {
  ByteTables tables;
  for (int byte = 0x80; byte <= 0xBF; ++byte)
    tables.continuation[byte] = static_cast<uint8_t>(1 | (byte <= 0x8F   ? k80To8F
                                                          : byte <= 0x9F ? k90To9F
                                                                         : kA0ToBF)
                                                             << 3);
  auto lead = [&](int first, int last, int length, int seconds) {
    for (int byte = first; byte <= last; ++byte)
      tables.lead[byte] = static_cast<uint8_t>(length | seconds << 3 | (length >= 3) << 6 | (length >= 4) << 7);
  };
  lead(0xC2, 0xDF, 2, kAnyContinuation);
  lead(0xE0, 0xE0, 3, kA0ToBF);  // No overlong forms,
  lead(0xE1, 0xEF, 3, kAnyContinuation);
  lead(0xED, 0xED, 3, k80To8F | k90To9F);  // no surrogates,
  lead(0xF0, 0xF0, 4, k90To9F | kA0ToBF);
  lead(0xF1, 0xF3, 4, kAnyContinuation);
  lead(0xF4, 0xF4, 4, k80To8F);  // nothing past U+10FFFF.
  return tables;
}();

/// How many bytes of well-formed sequences start at each of the `count`
/// bytes at `at`, summed; three bytes after the last must be readable.
int64_t WellFormedStarting(const unsigned char* at, size_t count) {
  int64_t well_formed = 0;
  for (const unsigned char* end = at + count; at != end; ++at) {
    // Arithmetic, not conditions: a branch here would be taken at random in a CP936 text.
    const unsigned lead = kTables.lead[at[0]];
    const unsigned second = ((lead & 0x38) & kTables.continuation[at[1]]) != 0;
    const unsigned third = kTables.continuation[at[2]] | (~lead >> 6 & 1);
    const unsigned fourth = kTables.continuation[at[3]] | (~lead >> 7 & 1);
    well_formed += (second & third & fourth & 1) * (lead & 7);
  }
  return well_formed;
}

/// Sixteen bytes side by side, as the compiler's vector extension has them.
using Lanes = unsigned char __attribute__((vector_size(16)));

Lanes LanesAt(const unsigned char* at) {
  Lanes lanes;
  std::memcpy(&lanes, at, sizeof lanes);
  return lanes;
}

/// As WellFormedStarting and NonAscii of the bytes at `at`, sixteen
/// positions at a time, for as many whole sixteens as `count` holds; adds
/// to `well_formed` and `non_ascii` and returns how many positions it took.
size_t CountSixteens(const unsigned char* at, size_t count, int64_t& well_formed, int64_t& non_ascii) {
  const size_t whole = count - count % 16;
  Lanes well_sum{}, non_ascii_sum{};
  for (size_t i = 0, in_sums = 0; i < whole; i += 16) {
    const Lanes b0 = LanesAt(at + i), b1 = LanesAt(at + i + 1), b2 = LanesAt(at + i + 2), b3 = LanesAt(at + i + 3);
    auto continuation = [](Lanes b) { return (b & 0xC0) == 0x80; };
    const auto c1 = continuation(b1), c2 = continuation(b2), c3 = continuation(b3);
    const auto two = b0 >= 0xC2 && b0 <= 0xDF && c1;
    const auto three = b0 >= 0xE0 && b0 <= 0xEF && c1 && c2 && !(b0 == 0xE0 && b1 < 0xA0) && !(b0 == 0xED && b1 > 0x9F);
    const auto four =
        b0 >= 0xF0 && b0 <= 0xF4 && c1 && c2 && c3 && !(b0 == 0xF0 && b1 < 0x90) && !(b0 == 0xF4 && b1 > 0x8F);
    well_sum += (reinterpret_cast<const Lanes&>(two) & 2) | (reinterpret_cast<const Lanes&>(three) & 3) |
                (reinterpret_cast<const Lanes&>(four) & 4);
    non_ascii_sum += b0 >> 7;
    if (++in_sums == 63 || i + 16 == whole) {  // Before a lane of four a time could overflow.
      for (int lane = 0; lane < 16; ++lane) well_formed += well_sum[lane], non_ascii += non_ascii_sum[lane];
      well_sum = Lanes{}, non_ascii_sum = Lanes{}, in_sums = 0;
    }
  }
  return whole;
}

int64_t NonAscii(const unsigned char* at, size_t count) {
  int64_t non_ascii = 0;
  for (const unsigned char* end = at + count; at != end; ++at) non_ascii += *at >> 7;
  return non_ascii;
}

}  // namespace

void Utf8Census::Count(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  if (held_ > 0) {  // The bytes held back, as far as what follows them is here now.
    const size_t taken = std::min(kLookAhead, size), available = held_ + taken;
    std::memcpy(held_bytes_ + held_, bytes, taken);
    const size_t ready = available > kLookAhead ? std::min(held_, available - kLookAhead) : 0;
    Take(held_bytes_, ready);
    held_ = available - ready;
    std::memmove(held_bytes_, held_bytes_ + ready, held_);
    if (taken < kLookAhead) return;  // All of `text` is held now.
    held_ = 0;
  }
  const size_t whole = size >= kLookAhead ? size - kLookAhead : 0;
  Take(bytes, whole);
  held_ = size - whole;
  std::memcpy(held_bytes_, bytes + whole, held_);
}

void Utf8Census::End() {
  std::memset(held_bytes_ + held_, 0, kLookAhead);  // A sequence cut short is ill formed.
  Take(held_bytes_, held_);
  held_ = 0;
}

void Utf8Census::Take(const unsigned char* bytes, size_t count) {
  const size_t taken = CountSixteens(bytes, count, well_formed_, non_ascii_);
  well_formed_ += WellFormedStarting(bytes + taken, count - taken);
  non_ascii_ += NonAscii(bytes + taken, count - taken);
}

}  // namespace pixtrel
