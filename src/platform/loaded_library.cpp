#include "platform/loaded_library.h"

#include <dlfcn.h>

#include "platform/failure.h"

namespace pixtrel {

LoadedLibrary::LoadedLibrary(const char* soname, const char* what, const std::string& name)
    : handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)), what_(what), name_(name) {
  if (handle_ == nullptr) throw FileFailure(name, "Cannot load " + what_ + ": " + dlerror());
}

void* LoadedLibrary::Symbol(const char* symbol) const {
  void* found = dlsym(handle_, symbol);
  if (found == nullptr) throw FileFailure(name_, "Cannot load " + what_ + ": no " + symbol);
  return found;
}

}  // namespace pixtrel
