#pragma once

#include <memory>

#include "formats/glyph_format.h"

namespace pixtrel {

/// One C source file (C99, and C++11 as well): a leading comment that says
/// how to draw the records (their layout, and above 1 bit a pixel the rule
/// of their levels), `#include <stdint.h>` and the header beside it, and
/// the arrays: of 16 x 16 records at 1 bit a pixel IDENT_glyphs[N][32], one
/// record a line with a comment naming its character, CP936 code and line;
/// of records of other shapes or depths IDENT_bitmaps[B] with
/// IDENT_offsets[N] (where record n starts) and IDENT_widths[N], the enum
/// IDENT_height and, above 1 bit a pixel, IDENT_bpp; IDENT_codes[N] (the
/// code point of each record's character); IDENT_lines[L][2] (uint16_t, or
/// uint32_t when a value needs it: for each line of the source, the index
/// of its first record, or with --unique of its first entry of IDENT_text,
/// and how many it has); and with --unique IDENT_text[M] (for each
/// character, the index of its record), each distinct record once.
std::unique_ptr<GlyphFormat> MakeCSourceFormat(const FormatRequest& request);

/// How the header beside a C source starts, by which a later run knows it
/// for its own.
inline constexpr char kCHeaderStart[] = "/* The declarations of ";

/// As MakeCSourceFormat, but a header: an include guard, and static const
/// definitions.
std::unique_ptr<GlyphFormat> MakeCHeaderFormat(const FormatRequest& request);

}  // namespace pixtrel
