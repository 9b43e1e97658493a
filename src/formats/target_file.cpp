#include "formats/target_file.h"

#include "extract/glyph_file.h"

namespace pixtrel {

TargetFile::TargetFile(Disk& disk, const std::string& path) : path_(path) {
  if (path.empty()) {
    output_ = std::make_unique<StreamGlyphOutput>(disk);
    return;
  }
  auto file = std::make_unique<AtomicGlyphFile>(disk, path);
  file_ = file.get();
  output_ = std::move(file);
}

void TargetFile::WriteWhole(std::string_view bytes) {
  GlyphFile writer(*output_);
  writer.Append(bytes);
  writer.Close();
}

void TargetFile::Install() {
  if (file_ != nullptr && file_->Exists()) file_->Install();
}

void TargetFile::RemoveOld() {
  if (file_ != nullptr) file_->RemoveOld();
}

}  // namespace pixtrel
