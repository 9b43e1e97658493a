#include "fontfile/font_file_glyphs.h"
#include "platform/failure.h"

namespace pixtrel {

std::unique_ptr<GlyphSource> MakeFontFileGlyphs(const FontFileRequest& request) {
  throw FileFailure(request.path, "this build has no means of reading font files");
}

}  // namespace pixtrel
