// libpng, loaded from the system's library on the first call.

#include "platform/libpng.h"
#include "platform/loaded_library.h"

namespace pixtrel {

const Libpng& LibpngFor(const std::string& name) {
  static const Libpng library = [&name] {
    const LoadedLibrary loaded("libpng16.so.16", "libpng", name);
    Libpng found;
    loaded.Find(found.create_write_struct, "png_create_write_struct");
    loaded.Find(found.create_info_struct, "png_create_info_struct");
    loaded.Find(found.destroy_write_struct, "png_destroy_write_struct");
    loaded.Find(found.set_longjmp_fn, "png_set_longjmp_fn");
    loaded.Find(found.longjmp, "png_longjmp");
    loaded.Find(found.error, "png_error");
    loaded.Find(found.get_io_ptr, "png_get_io_ptr");
    loaded.Find(found.get_error_ptr, "png_get_error_ptr");
    loaded.Find(found.set_write_fn, "png_set_write_fn");
    loaded.Find(found.set_IHDR, "png_set_IHDR");
    loaded.Find(found.set_compression_level, "png_set_compression_level");
    loaded.Find(found.set_filter, "png_set_filter");
    loaded.Find(found.write_info, "png_write_info");
    loaded.Find(found.write_row, "png_write_row");
    loaded.Find(found.write_end, "png_write_end");
    return found;
  }();
  return library;
}

}  // namespace pixtrel
