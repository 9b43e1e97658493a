// The font catalogue of a Linux system: fontconfig, loaded from the system's
// library when first asked for, so that a run that needs none loads none.

#include <dirent.h>
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/failure.h"
#include "platform/font_catalog.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

/// The functions of fontconfig the catalogue calls.
struct Fontconfig {
  decltype(&FcInitLoadConfigAndFonts) init_load_config_and_fonts;
  decltype(&FcConfigDestroy) config_destroy;
  decltype(&FcPatternCreate) pattern_create;
  decltype(&FcPatternDestroy) pattern_destroy;
  decltype(&FcObjectSetBuild) object_set_build;
  decltype(&FcObjectSetDestroy) object_set_destroy;
  decltype(&FcFontList) font_list;
  decltype(&FcFontSetDestroy) font_set_destroy;
  decltype(&FcPatternGetString) pattern_get_string;
  decltype(&FcPatternGetInteger) pattern_get_integer;
  decltype(&FcPatternGetCharSet) pattern_get_char_set;
  decltype(&FcCharSetHasChar) char_set_has_char;
};

const Fontconfig& LoadedFontconfig() {
  static void* const handle = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw Failure(std::string("Cannot load fontconfig: ") + dlerror());
  static const Fontconfig library = [] {
    auto find = [](auto& function, const char* symbol) {
      function = reinterpret_cast<decltype(+function)>(dlsym(handle, symbol));
      if (function == nullptr) throw Failure(std::string("Cannot load fontconfig: no ") + symbol);
    };
    Fontconfig found;
    find(found.init_load_config_and_fonts, "FcInitLoadConfigAndFonts");
    find(found.config_destroy, "FcConfigDestroy");
    find(found.pattern_create, "FcPatternCreate");
    find(found.pattern_destroy, "FcPatternDestroy");
    find(found.object_set_build, "FcObjectSetBuild");
    find(found.object_set_destroy, "FcObjectSetDestroy");
    find(found.font_list, "FcFontList");
    find(found.font_set_destroy, "FcFontSetDestroy");
    find(found.pattern_get_string, "FcPatternGetString");
    find(found.pattern_get_integer, "FcPatternGetInteger");
    find(found.pattern_get_char_set, "FcPatternGetCharSet");
    find(found.char_set_has_char, "FcCharSetHasChar");
    return found;
  }();
  return library;
}

}  // namespace

bool HasFontCatalog() { return true; }

std::vector<CatalogFace> CatalogFaces(bool with_scripts) {
  const Fontconfig& fc = LoadedFontconfig();
  const std::unique_ptr<FcConfig, decltype(fc.config_destroy)> config(fc.init_load_config_and_fonts(),
                                                                      fc.config_destroy);
  if (!config) throw Failure("fontconfig cannot read its configuration");
  const std::unique_ptr<FcPattern, decltype(fc.pattern_destroy)> all(fc.pattern_create(), fc.pattern_destroy);
  const std::unique_ptr<FcObjectSet, decltype(fc.object_set_destroy)> objects(
      with_scripts ? fc.object_set_build(FC_FILE, FC_INDEX, FC_FAMILY, FC_STYLE, FC_CHARSET, nullptr)
                   : fc.object_set_build(FC_FILE, FC_INDEX, FC_FAMILY, FC_STYLE, nullptr),
      fc.object_set_destroy);
  const std::unique_ptr<FcFontSet, decltype(fc.font_set_destroy)> fonts(
      fc.font_list(config.get(), all.get(), objects.get()), fc.font_set_destroy);
  std::vector<CatalogFace> faces;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcPattern* font = fonts->fonts[i];
    auto text = [&](const char* object, int n = 0) -> std::optional<std::string> {
      FcChar8* value = nullptr;
      if (fc.pattern_get_string(font, object, n, &value) != FcResultMatch) return std::nullopt;
      return reinterpret_cast<char*>(value);
    };
    CatalogFace face;
    face.path = text(FC_FILE).value_or("");
    for (int n = 0; std::optional<std::string> family = text(FC_FAMILY, n); ++n) face.families.push_back(*family);
    face.style = text(FC_STYLE).value_or("");
    if (fc.pattern_get_integer(font, FC_INDEX, 0, &face.index) != FcResultMatch) face.index = 0;
    face.index &= 0xFFFF;  // The high bits number a variable font's instances.
    FcCharSet* characters = nullptr;
    if (with_scripts && fc.pattern_get_char_set(font, FC_CHARSET, 0, &characters) == FcResultMatch) {
      auto has = [&](FcChar32 a, FcChar32 b) {
        return fc.char_set_has_char(characters, a) && fc.char_set_has_char(characters, b);
      };
      face.hanzi = has(0x4E2D, 0x6587), face.kana = has(0x3042, 0x30A2), face.hangul = has(0xD55C, 0xAC00);
    }
    if (!face.path.empty()) faces.push_back(std::move(face));
  }
  return faces;
}

std::vector<std::string> FontDirectories() { return {}; }

std::optional<MappedFont> MapFont(const std::string& path) {
  const std::unique_ptr<ByteSource> file = RealDisk().OpenIfExists(path);
  const int64_t length = file ? file->Length() : 0;
  if (length <= 0) return std::nullopt;
  std::unique_ptr<MappedFile> mapped = RealDisk().MapIfLongEnough(path, static_cast<size_t>(length));
  if (!mapped) return std::nullopt;
  return MappedFont{std::move(mapped), static_cast<size_t>(length)};
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> files;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(dir.c_str()), closedir);
  if (!listing) return files;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string path = dir + "/" + entry->d_name;
    if (entry->d_name[0] != '.' && RealDisk().KindOf(RealDisk().FollowLinks(path)) == FileKind::kRegular)
      files.push_back(path);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace pixtrel
