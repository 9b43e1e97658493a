#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// How the header of an LVGL font in external flash starts, by which a
/// later run knows it for its own.
inline constexpr char kLvglFlashHeaderStart[] = "/* The declarations of the LVGL font ";

/// An LVGL font (8.3 and 9.x) whose bitmaps lie in external flash, in three
/// files: IDENT.c, the font's descriptors, character maps and kerning, for
/// the MCU's flash, as the C font holds them; IDENT.bin, its bitmaps, to be
/// written to external flash; IDENT.h, which declares the function the
/// firmware defines to read them, int IDENT_read(uint32_t offset, void *
/// buffer, uint32_t size), 0 on success. LVGL asks for a glyph's bitmap,
/// which is read into one buffer of the largest glyph's size and decoded
/// by LVGL as its own (compressed bitmaps too): the font's RAM is that
/// buffer and a glyph's descriptor.
std::unique_ptr<GlyphFormat> MakeLvglFlashFormat(const FormatRequest& request);

}  // namespace pixtrel
