// Loads a code table made of arbitrary bytes, with no font file. A table of
// fewer lines than slots fails naming the table; any other loads, every
// entry is the last character of its line, the font stays zero, and Lookup
// finds the first slot that holds a character, as a scan from slot 0 does.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "glyphdata/cp936.h"
#include "glyphdata/glyph_store.h"
#include "platform/failure.h"
#include "test_support.h"

namespace {

using namespace pixtrel;
using fuzzing::Require;

/// Checks a loaded store against the table's plain lines.
void CheckLoaded(const GlyphStore& store, const std::vector<std::string_view>& lines) {
  std::vector<int> first_slot(65536, -1);
  for (size_t slot = 0; slot < GlyphCount; ++slot) {
    const std::string entry = fuzzing::PlainLastCharacter(lines[slot]);
    Require(store.CodeTable()[slot] == entry, "each entry is the last character of its line");
    if (entry.size() == 2) {
      int& first = first_slot[DoubleByteCode(entry[0], entry[1])];
      if (first < 0) first = static_cast<int>(slot);
    }
  }
  for (size_t code = 0; code < first_slot.size(); ++code) {
    std::optional<uint16_t> found = store.Lookup(static_cast<uint16_t>(code));
    Require(found ? *found == first_slot[code] : first_slot[code] < 0, "Lookup finds the first slot holding the code");
  }
  const auto& font = store.FontBytes();
  Require(std::all_of(font.begin(), font.end(), [](uint8_t byte) { return byte == 0; }),
          "a missing font file leaves the font zero");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static testing::TempDir dir;
  const std::string table(reinterpret_cast<const char*>(data), size);
  testing::WriteFile(dir / "GB2312.tbl", table);
  const std::vector<std::string_view> lines = fuzzing::PlainLines(table);

  auto store = std::make_unique<GlyphStore>(dir.path());
  try {
    store->LoadGlyphData();
  } catch (const Failure& failure) {
    Require(lines.size() < GlyphCount, "a table of enough lines loads");
    Require(std::string(failure.what()).starts_with(store->TablePath()), "the failure names the table");
    return 0;
  }
  Require(lines.size() >= GlyphCount, "a table of too few lines fails");
  CheckLoaded(*store, lines);
  return 0;
}
