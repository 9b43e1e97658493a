#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// The records as they are, one after another in text order; with --unique
/// each distinct record once, in the order of first occurrence, and the
/// --index file of one little-endian uint16 an occurrence, the index of its
/// record.
std::unique_ptr<GlyphFormat> MakeBinFormat(const FormatRequest& request);

}  // namespace pixtrel
