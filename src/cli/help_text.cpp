// The texts pixtrel-extract shows of itself, made from the options' and the
// formats' tables.

#include <algorithm>
#include <string>
#include <vector>

#include "cli/options.h"
#include "formats/glyph_format.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

constexpr size_t kHelpColumn = 24;  ///< Where an option's help starts.
constexpr size_t kLineWidth = 79;

/// `text` wrapped into lines of kLineWidth, each but the first indented to `indent`.
std::string Wrapped(const std::string& text, size_t indent) {
  std::string wrapped, line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && indent + line.size() + 1 + word.size() > kLineWidth) {
      wrapped += line + "\n" + std::string(indent, ' ');
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  return wrapped + line + "\n";
}

/// `text` and spaces after it up to `width`, one at least.
std::string Padded(const std::string& text, size_t width) {
  return text + std::string(text.size() < width ? width - text.size() : 1, ' ');
}

const OptionRow& Row(std::string_view name) {
  const std::span<const OptionRow> table = OptionTable();
  return *std::find_if(table.begin(), table.end(), [&](const OptionRow& row) { return row.name == name; });
}

/// An option as the usage writes it: "--font FONT".
std::string Spelled(std::string_view name) {
  const OptionRow& row = Row(name);
  return std::string("--") + row.name + (row.argument != nullptr ? std::string(" ") + row.argument : "");
}

/// The names of the formats of `role`, as the usage writes them: "lvgl|u8g2".
std::string FormatsOf(FormatRole role) {
  std::string names;
  for (const FormatKind& kind : Formats())
    if (kind.role == role) names += (names.empty() ? "" : "|") + std::string(kind.name);
  return names;
}

/// The choices of `row` as help lists them, the default and what a choice
/// means in brackets: "auto (the default: ...), utf-8 (utf8), ...".
std::string ChoicesText(const OptionRow& row) {
  std::vector<std::string> shown;
  for (const OptionChoice& choice : row.choices()) {
    std::string note = row.default_value != nullptr && choice.name == row.default_value ? "the default" : "";
    if (!choice.aliases.empty()) note += (note.empty() ? "" : ", ") + choice.aliases;
    if (!choice.what.empty()) note += (note.empty() ? "" : ": ") + choice.what;
    shown.push_back(choice.name + (note.empty() ? "" : " (" + note + ")"));
  }
  return WordList(shown, "or");
}

/// The help of `row`: what it does, then its choices, or its bounds and default.
std::string RowHelp(const OptionRow& row) {
  std::string help = row.help;
  if (row.choices != nullptr) return help + ": " + ChoicesText(row);
  if (row.high > 0 && row.default_value != nullptr)
    return help + " (" + row.Takes() + ", default " + row.default_value + ")";
  if (row.default_value != nullptr) return help + "; default " + row.default_value;
  return help;
}

/// The line of `row` in --help: its names, then its help from kHelpColumn on.
std::string HelpLine(const OptionRow& row) {
  std::string names = row.letter != 0 ? std::string("  -") + row.letter + ", " : std::string(6, ' ');
  names += std::string("--") + row.name + (row.argument != nullptr ? std::string(" ") + row.argument : "");
  names += names.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - names.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
  return names + Wrapped(RowHelp(row), kHelpColumn);
}

}  // namespace

std::string UsageText() {
  const std::string fonts = "--format " + FormatsOf(FormatRole::kFont);
  return "usage: pixtrel-extract [OPTION]... SOURCE\n"
         "       pixtrel-extract " +
         fonts +
         " -o FILE [OPTION]... SOURCE...\n"
         "       pixtrel-extract -o FILE [OPTION]... -\n"
         "       pixtrel-extract " +
         Spelled("font") + " " + Spelled("size") + " " + fonts +
         " -o FILE\n"
         "                       " +
         Spelled("charset") + "|" + Spelled("range") +
         " [OPTION]... [SOURCE]...\n"
         "       pixtrel-extract " +
         Spelled("show") +
         "\n"
         "       pixtrel-extract --list-fonts [PATTERN]\n"
         "       pixtrel-extract --list-formats\n";
}

std::string HelpText() {
  std::string text =
      "Writes the glyph file of SOURCE: the record of every character of the text\n"
      "that the font set or the font file has, in text order; or a font of the\n"
      "characters of the SOURCEs for a display library.\n\n";
  for (const OptionRow& row : OptionTable()) text += HelpLine(row);
  return text +
         "\n"
         "Exit status: 0 a glyph file was written; 1 none was, since the text holds no\n"
         "character of the table (a font is written even empty); 2 a failure, a\n"
         "refusal or a wrong command line; 3 (with --strict) some characters got no\n"
         "glyph, so no glyph file was written.\n"
         "A SOURCE of - is standard input. A failed run leaves the old glyph file as it was.\n";
}

std::string FormatListText() {
  std::string text;
  for (const FormatKind& kind : Formats()) {
    std::string files = std::string(".") + kind.extension;
    for (const char* companion : kind.companions)
      if (companion != nullptr) files += std::string("+.") + companion;
    const char* use = kind.use == FormatUse::kCompiled   ? "compiled"
                      : kind.use == FormatUse::kIncluded ? "included"
                                                         : "data";
    text += Padded(kind.name, 10) + Padded(files, 8) + Padded(kind.IsFont() ? "font" : "glyphs", 8) + Padded(use, 10) +
            kind.help + "\n";
  }
  return text;
}

}  // namespace pixtrel
