// libpng, loaded from the system's library on the first call.

#include <dlfcn.h>

#include "platform/failure.h"
#include "platform/libpng.h"

namespace pixtrel {

const Libpng& LibpngFor(const std::string& name) {
  static void* const handle = dlopen("libpng16.so.16", RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw FileFailure(name, std::string("Cannot load libpng: ") + dlerror());
  static const Libpng library = [&name] {
    auto find = [&name](auto& function, const char* symbol) {
      function = reinterpret_cast<decltype(+function)>(dlsym(handle, symbol));
      if (function == nullptr) throw FileFailure(name, std::string("Cannot load libpng: no ") + symbol);
    };
    Libpng found;
    find(found.create_write_struct, "png_create_write_struct");
    find(found.create_info_struct, "png_create_info_struct");
    find(found.destroy_write_struct, "png_destroy_write_struct");
    find(found.set_longjmp_fn, "png_set_longjmp_fn");
    find(found.longjmp, "png_longjmp");
    find(found.error, "png_error");
    find(found.get_io_ptr, "png_get_io_ptr");
    find(found.get_error_ptr, "png_get_error_ptr");
    find(found.set_write_fn, "png_set_write_fn");
    find(found.set_IHDR, "png_set_IHDR");
    find(found.write_info, "png_write_info");
    find(found.write_row, "png_write_row");
    find(found.write_end, "png_write_end");
    return found;
  }();
  return library;
}

}  // namespace pixtrel
