// The man page tells of every option the table declares; the README and
// docs/ name none it does not, and docs/ hold every format, layout and CMake
// keyword; and nothing outside the formats tests a format's name.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/options.h"
#include "formats/glyph_format.h"

namespace pixtrel {
namespace {

std::string ReadSource(const std::filesystem::path& path) {
  std::ifstream in(std::filesystem::path(PIXTREL_SOURCE) / path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

/// A man page's text without its escapes: "\\-" a "-", no change of font.
std::string UnescapedManPage(const std::string& man) {
  return std::regex_replace(std::regex_replace(man, std::regex(R"(\\f[BIRP])"), ""), std::regex(R"(\\-)"), "-");
}

/// The options of other tools that the README and docs/ run: CMake, lv_font_conv.
constexpr char kToolOptions[] = "--build --install --prefix --target --no-compress";

/// True when `text` holds `word` as a word of its own: an option, a choice.
bool HoldsWord(const std::string& text, const std::string& word) {
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    auto part_of_word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; };
    const bool starts = at == 0 || !part_of_word(text[at - 1]) || text.compare(at, 2, "--") == 0;
    const size_t end = at + word.size();
    if (starts && (end == text.size() || !part_of_word(text[end]))) return true;
  }
  return false;
}

/// The options `text` names ("--size"), as words.
std::set<std::string> OptionsNamed(const std::string& text) {
  std::set<std::string> named;
  const std::regex option(R"((^|[^-\w])(--[a-z][a-z0-9-]*))");
  for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) named.insert((*it)[2]);
  return named;
}

/// Checks that `text` names every option of the table and none else but
/// `others`; that each part `PartOf(text, option)` names every choice of it.
template <class PartOf>
void ExpectEveryOption(const std::string& document, const std::string& text, const std::set<std::string>& others,
                       PartOf part_of) {
  std::set<std::string> declared;
  for (const OptionRow& row : OptionTable()) {
    const std::string option = std::string("--") + row.name;
    declared.insert(option);
    const std::string part = part_of(option);
    if (part.empty()) {
      ADD_FAILURE() << document << " does not tell of " << option;
      continue;
    }
    if (row.choices == nullptr) continue;
    for (const OptionChoice& choice : row.choices())
      EXPECT_TRUE(HoldsWord(part, choice.name)) << document << ": " << option << " does not name " << choice.name;
  }
  for (const std::string& named : OptionsNamed(text))
    EXPECT_TRUE(declared.count(named) || others.count(named)) << document << " tells of " << named << ", no option";
}

TEST(ReferenceTest, TheManPageTellsOfEveryOptionAndChoice) {
  const std::string man = UnescapedManPage(ReadSource("src/cli/pixtrel-extract.1.in"));
  const std::string options = man.substr(man.find("\n.SH OPTIONS"));
  // An option's part: from where a bold line names it to the next entry.
  ExpectEveryOption("pixtrel-extract.1", man, {}, [&](const std::string& option) -> std::string {
    const std::regex bold("\n\\.[BIR]+ [^\n]*" + option + "([^-a-z][^\n]*)?\n");
    std::smatch match;
    if (!std::regex_search(options, match, bold)) return "";
    const size_t start = static_cast<size_t>(match.position(0));
    return options.substr(start, options.find("\n.TP", start + 1) - start);
  });
}

/// The README and every document of docs/, one after another.
std::string Documents() {
  std::string documents = ReadSource("README.md");
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(PIXTREL_SOURCE) / "docs"))
    if (entry.path().extension() == ".md")
      documents += ReadSource(std::filesystem::relative(entry.path(), PIXTREL_SOURCE));
  return documents;
}

TEST(ReferenceTest, TheDocumentsNameNoOptionButThoseOfTheTools) {
  std::set<std::string> known = OptionsNamed(UnescapedManPage(ReadSource("src/cli/pixtrel-extract.1.in")));
  known.merge(OptionsNamed(UnescapedManPage(ReadSource("tools/mkfont/pixtrel-mkfont.1.in"))));
  known.merge(OptionsNamed(UnescapedManPage(ReadSource("src/studio/pixtrel-studio.1.in"))));
  known.merge(OptionsNamed(kToolOptions));
  for (const std::string& named : OptionsNamed(Documents()))
    EXPECT_TRUE(known.count(named)) << "README.md or docs/ tell of " << named << ", no option";
}

TEST(ReferenceTest, TheFormatsDocumentTellsOfEveryFormatAndLayout) {
  const std::string formats = ReadSource("docs/formats.md");
  for (const FormatKind& format : Formats())
    EXPECT_TRUE(std::regex_search(formats, std::regex(std::string("\n## [^\n]*`") + format.name + "`")))
        << "docs/formats.md has no section on " << format.name;
  for (const OptionRow& row : OptionTable()) {
    if (std::string(row.name) != "layout") continue;
    for (const OptionChoice& choice : row.choices())
      EXPECT_NE(formats.find(std::string("\n| `") + choice.name + "`"), std::string::npos)
          << "docs/formats.md's table of layouts has no " << choice.name;
  }
}

TEST(ReferenceTest, TheBuildsDocumentTellsOfEveryCMakeKeyword) {
  const std::string builds = ReadSource("docs/builds.md");
  const size_t start = builds.find("`pixtrel_add_glyphs(NAME");
  ASSERT_NE(start, std::string::npos) << "docs/builds.md shows no call of pixtrel_add_glyphs";
  const std::string call = builds.substr(start, builds.find('`', start + 1) - start);
  for (const OptionRow& row : OptionTable()) {
    if (row.cmake == nullptr) continue;
    EXPECT_TRUE(HoldsWord(call, row.cmake)) << "docs/builds.md's pixtrel_add_glyphs takes no " << row.cmake;
  }
}

TEST(ReferenceTest, NothingButTheFormatsTestsAFormatsName) {
  const std::regex tested(R"re((==|!=|FindFormat\(|starts_with\(|ends_with\()\s*"(bin|c|h|lvgl|lvgl-bin|u8g2)")re");
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(std::filesystem::path(PIXTREL_SOURCE) / "src")) {
    if (!entry.is_regular_file() || entry.path().parent_path().filename() == "formats") continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string code = text.str();
    EXPECT_FALSE(std::regex_search(code, tested)) << entry.path() << " tests a format's name";
  }
}

}  // namespace
}  // namespace pixtrel
