#include "cli/font_list.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "fontfile/installed_fonts.h"
#include "platform/platform.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

/// "hanzi, kana, Hangul", of those `face` holds.
std::string Scripts(const CatalogFace& face) {
  std::vector<std::string> scripts;
  if (face.hanzi) scripts.push_back("hanzi");
  if (face.kana) scripts.push_back("kana");
  if (face.hangul) scripts.push_back("Hangul");
  std::string text;
  for (const std::string& script : scripts) text += (text.empty() ? "; " : ", ") + script;
  return text;
}

/// "; strikes of 12, 13 and 14 pixels" (or "; a strike of 12 pixels"), when `face` has any.
std::string Strikes(const CatalogFace& face) {
  std::vector<std::string> sizes;
  for (int size : face.strikes) sizes.push_back(std::to_string(size));
  if (sizes.empty()) return "";
  return (sizes.size() == 1 ? "; a strike of " : "; strikes of ") + WordList(sizes, "and") + " pixels";
}

}  // namespace

int ListFonts(const std::optional<std::string>& pattern) {
  const std::string wanted = Lowercase(pattern.value_or(""));
  int listed = 0;
  for (const CatalogFace& face : InstalledFaces(true)) {
    const std::string name = ListedName(face);
    if (Lowercase(name).find(wanted) == std::string::npos && Lowercase(face.path).find(wanted) == std::string::npos)
      continue;
    WriteText(stdout,
              name + ": " + face.path + ", face " + std::to_string(face.index) + Scripts(face) + Strikes(face) + "\n");
    ++listed;
  }
  return listed > 0 ? 0 : 1;
}

}  // namespace pixtrel
