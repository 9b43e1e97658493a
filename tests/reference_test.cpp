// The man page and the README tell of every option and format the tables
// declare, and of none they do not; and nothing outside the formats tests a
// format's name.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/options.h"

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

/// The options of other tools that the README runs: CMake, lv_font_conv.
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

TEST(ReferenceTest, TheReadmesOptionListTellsOfEveryOptionAndChoice) {
  const std::string readme = ReadSource("README.md");
  const size_t list = readme.find("\nOptions of `pixtrel-extract`");
  ASSERT_NE(list, std::string::npos) << "README.md has no option list";
  const std::string options = readme.substr(list, readme.find("\n\n", readme.find("\n- ", list)) - list);
  // pixtrel-mkfont's and pixtrel-studio's options, and those of the tools the README runs.
  std::set<std::string> others = OptionsNamed(UnescapedManPage(ReadSource("tools/mkfont/pixtrel-mkfont.1.in")));
  others.merge(OptionsNamed(UnescapedManPage(ReadSource("src/studio/pixtrel-studio.1.in"))));
  others.merge(OptionsNamed(kToolOptions));
  // An option's part: the first item of the list that names it.
  ExpectEveryOption("README.md", readme, others, [&](const std::string& option) -> std::string {
    for (size_t at = options.find("\n- "); at != std::string::npos; at = options.find("\n- ", at + 1)) {
      const std::string item = options.substr(at, options.find("\n- ", at + 1) - at);
      if (HoldsWord(item, "`" + option)) return item;
    }
    return "";
  });
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
