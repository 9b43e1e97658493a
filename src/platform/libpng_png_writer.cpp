// PNG pictures by libpng.

#include <csetjmp>

#include "platform/failure.h"
#include "platform/libpng.h"
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

/// libpng, once a writer has loaded it.
const Libpng& Loaded() { return LibpngFor(""); }

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
  const Libpng& png = LibpngFor(state.name);
  state.png = png.create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  if (state.png == nullptr) throw FileFailure(state.name, "Cannot start a picture");
  state.info = png.create_info_struct(state.png);
  if (state.info == nullptr) throw FileFailure(state.name, "Cannot start a picture");
  if (setjmp(JumpBuffer(state.png))) Fail(state);
  png.set_write_fn(state.png, &state, WriteBytes, Flush);
  png.set_IHDR(state.png, state.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Pictures of text are mostly runs of background: zlib's fastest level and
  // a single filter pack them nearly as small as the best, in a fraction of the time.
  png.set_compression_level(state.png, 1);
  png.set_filter(state.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
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

}  // namespace pixtrel
