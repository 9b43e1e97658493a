#pragma once

// The functions of libpng the PNG writer calls: on Linux loaded from the
// system's library when the first picture is made (a run that makes none
// loads neither it nor zlib and libm, which it needs); on Windows linked
// into the program.

#include <png.h>

#include <string>

namespace pixtrel {

/// The functions of libpng the PNG writer calls.
struct Libpng {
  decltype(&png_create_write_struct) create_write_struct;
  decltype(&png_create_info_struct) create_info_struct;
  decltype(&png_destroy_write_struct) destroy_write_struct;
  decltype(&png_set_longjmp_fn) set_longjmp_fn;
  decltype(&png_longjmp) longjmp;
  decltype(&png_error) error;
  decltype(&png_get_io_ptr) get_io_ptr;
  decltype(&png_get_error_ptr) get_error_ptr;
  decltype(&png_set_write_fn) set_write_fn;
  decltype(&png_set_IHDR) set_IHDR;
  decltype(&png_set_compression_level) set_compression_level;
  decltype(&png_set_filter) set_filter;
  decltype(&png_write_info) write_info;
  decltype(&png_write_row) write_row;
  decltype(&png_write_end) write_end;
};

/// libpng's functions, the same table on every call; the first call loads
/// them where they are loaded, and throws Failure naming `name` when the
/// system has them not. Once they are there, `name` is not looked at.
const Libpng& LibpngFor(const std::string& name);

}  // namespace pixtrel
