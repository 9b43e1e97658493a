// libpng, linked into the program.

#include "platform/libpng.h"

namespace pixtrel {

const Libpng& LibpngFor(const std::string&) {
  static const Libpng library{png_create_write_struct,
                              png_create_info_struct,
                              png_destroy_write_struct,
                              png_set_longjmp_fn,
                              png_longjmp,
                              png_error,
                              png_get_io_ptr,
                              png_get_error_ptr,
                              png_set_write_fn,
                              png_set_IHDR,
                              png_set_compression_level,
                              png_set_filter,
                              png_write_info,
                              png_write_row,
                              png_write_end};
  return library;
}

}  // namespace pixtrel
