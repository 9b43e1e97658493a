// The studio's reading of a request body over arbitrary bytes: it is
// refused (400 or 403) or read, never more; a command it reads names no
// path out of the project folder, and no output onto a text or a font.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "platform/platform.h"
#include "studio/studio.h"
#include "test_support.h"

using pixtrel::fuzzing::Require;

namespace {

/// A project folder with a text, a font's name and a link out of it; the
/// fuzzer works in it.
const pixtrel::ProjectFolder& Folder() {
  static pixtrel::testing::TempDir dir;
  static const pixtrel::ProjectFolder folder = [] {
    pixtrel::testing::WriteFile(dir / "menu.txt", "设置\n");
    pixtrel::testing::WriteFile(dir / "font.ttf", "");
    std::filesystem::create_directory_symlink("/", dir / "root");
    pixtrel::ChangeDirectory(dir.path());
    return pixtrel::ProjectFolder(".");
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pixtrel::ProjectFolder& folder = Folder();
  const std::string body(reinterpret_cast<const char*>(data), size);
  try {
    const pixtrel::StudioCommand command = pixtrel::ReadCommand(body, folder);
    for (const pixtrel::CommandWord& word : command.words) {
      const pixtrel::FileUse use = word.row == nullptr ? pixtrel::FileUse::kReads : word.row->file;
      const bool bare_name = word.row != nullptr && word.value.find('/') == std::string::npos;
      if (use != pixtrel::FileUse::kNone && !bare_name && word.value != "-")
        Require(!folder.Outside(word.value), "every path a command names stays in the folder");
      if (word.row != nullptr && word.row->file == pixtrel::FileUse::kWrites)
        Require(word.value != "menu.txt" && word.value != "font.ttf", "no output replaces a text or a font");
    }
  } catch (const pixtrel::StudioRefusal& refusal) {
    Require(refusal.status == 400 || refusal.status == 403, "a request is refused with 400 or 403");
    Require(!refusal.message.empty(), "a refusal says why");
  }
  return 0;
}
