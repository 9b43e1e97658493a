// PNG pictures by libpng, loaded when the first picture is made: a run
// that makes none does not load it (nor zlib and libm, which it needs).

#include <dlfcn.h>
#include <png.h>

#include <csetjmp>

#include "platform/failure.h"
#include "platform/png_writer.h"

namespace pixtrel {

struct PngWriter::State {
  ByteSink* sink;
  std::string name;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::string error;                ///< What libpng said went wrong.
  std::exception_ptr sink_failure;  ///< What the sink threw, kept from crossing libpng.
};

namespace {

/// The functions of libpng the writer calls.
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
  decltype(&png_write_info) write_info;
  decltype(&png_write_row) write_row;
  decltype(&png_write_end) write_end;
};

/// libpng, loaded on the first call; throws Failure naming `name` when the
/// system has it not.
const Libpng& Library(const std::string& name) {
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

/// libpng, once a writer has loaded it.
const Libpng& Loaded() { return Library(""); }

/// What png_jmpbuf gives: the place libpng jumps back to on an error.
std::jmp_buf& JumpBuffer(png_structp png) { return *Loaded().set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)); }

PngWriter::State& StateOf(png_structp png) { return *static_cast<PngWriter::State*>(Loaded().get_io_ptr(png)); }

extern "C" void WriteBytes(png_structp png, png_bytep bytes, png_size_t size) {
  PngWriter::State& state = StateOf(png);
  try {
    state.sink->Write(reinterpret_cast<const char*>(bytes), size);
    return;
  } catch (...) {
    state.sink_failure = std::current_exception();
  }
  Loaded().error(png, "write failed");  // Out of the handler: libpng jumps back to where it was called.
}

extern "C" void Flush(png_structp) {}

extern "C" void OnError(png_structp png, png_const_charp message) {
  static_cast<PngWriter::State*>(Loaded().get_error_ptr(png))->error = message;
  Loaded().longjmp(png, 1);
}

extern "C" void OnWarning(png_structp, png_const_charp) {}

/// Throws what made libpng give up: the sink's failure, or libpng's own.
[[noreturn]] void Fail(const PngWriter::State& state) {
  if (state.sink_failure) std::rethrow_exception(state.sink_failure);
  throw FileFailure(state.name, "Cannot write the picture: " + state.error);
}

}  // namespace

PngWriter::PngWriter(ByteSink& sink, std::string name, uint32_t width, uint32_t height)
    : state_(std::make_unique<State>()) {
  State& state = *state_;
  state.sink = &sink;
  state.name = std::move(name);
  const Libpng& png = Library(state.name);
  state.png = png.create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  if (state.png == nullptr) throw FileFailure(state.name, "Cannot start a picture");
  state.info = png.create_info_struct(state.png);
  if (state.info == nullptr) throw FileFailure(state.name, "Cannot start a picture");
  if (setjmp(JumpBuffer(state.png))) Fail(state);
  png.set_write_fn(state.png, &state, WriteBytes, Flush);
  png.set_IHDR(state.png, state.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png.write_info(state.png, state.info);
}

PngWriter::~PngWriter() {
  if (state_->png != nullptr) Loaded().destroy_write_struct(&state_->png, &state_->info);
}

void PngWriter::WriteRow(const uint8_t* rgb) {
  if (setjmp(JumpBuffer(state_->png))) Fail(*state_);
  Loaded().write_row(state_->png, rgb);
}

void PngWriter::Finish() {
  if (setjmp(JumpBuffer(state_->png))) Fail(*state_);
  Loaded().write_end(state_->png, nullptr);
}

bool PngWriter::Available() { return true; }

}  // namespace pixtrel
