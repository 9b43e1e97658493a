#pragma once

// A shared library of the system's, loaded when first needed rather than
// when the program starts.

#include <string>

namespace pixtrel {

/// A shared library loaded by its name, whose functions are found by theirs.
class LoadedLibrary {
 public:
  /// Loads the library `soname` (as "libpng16.so.16"), called `what` in
  /// messages; throws Failure "NAME: Cannot load WHAT: why" when the system
  /// has it not. The library stays loaded while the program runs.
  LoadedLibrary(const char* soname, const char* what, const std::string& name);

  /// Sets `function` to the library's function `symbol`; throws Failure
  /// "NAME: Cannot load WHAT: no SYMBOL" when it has none.
  template <class Function>
  void Find(Function& function, const char* symbol) const {
    function = reinterpret_cast<Function>(Symbol(symbol));
  }

 private:
  void* Symbol(const char* symbol) const;

  void* handle_;
  std::string what_;
  std::string name_;
};

}  // namespace pixtrel
